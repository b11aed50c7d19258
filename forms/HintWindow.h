#pragma once
// The form's hint window: one tooltip that every control with a hint hands its
// mouse messages to, so it can show that control's text after the usual pause.

#include <string>

#include "forms/Win32.h"

namespace forms {

class HintWindow {
public:
    HintWindow() = default;
    HintWindow(const HintWindow&) = delete;
    HintWindow& operator=(const HintWindow&) = delete;
    ~HintWindow() { destroy(); }

    // Makes the tooltip, owned by `owner`: shown 500 ms after the pointer comes to rest
    // on a control, hidden after 2,500 ms. Throws if it cannot be made.
    void create(HINSTANCE instance, HWND owner);
    // Before the owner's window goes.
    void destroy();

    // Shows `text` for `control`, a window inside the owner.
    void add(HWND control, const std::string& text);
    // Hands the tooltip a mouse message of a control that has a hint.
    void relay(HWND control, UINT msg, WPARAM wp, LPARAM lp) const;

    HWND handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
};

}  // namespace forms
