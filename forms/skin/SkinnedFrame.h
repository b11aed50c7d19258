#pragma once
// The skinned frame of a top-level window: border, caption bar, icon, title
// and caption buttons drawn with the skin's colours and glyphs. The frame's
// geometry stays the system's (the client area does not move); the window
// hands its non-client messages here first.

#include <functional>
#include <optional>

#include "forms/Handles.h"
#include "forms/skin/Skin.h"

namespace forms {

class SkinnedFrame {
public:
    // `defaultProc` runs the window's default handling of a message.
    SkinnedFrame(HWND hwnd, const Skin& skin, int dpi, std::function<LRESULT(UINT, WPARAM, LPARAM)> defaultProc);
    SkinnedFrame(const SkinnedFrame&) = delete;
    SkinnedFrame& operator=(const SkinnedFrame&) = delete;

    // Handles a message of the frame's; nullopt leaves it to the window.
    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    void paint();
    struct Geometry {
        int width = 0, height = 0;
        RECT client{};   // in window coordinates
        RECT caption{};  // empty when the frame has no room for one
        RECT minimize{}, maximize{}, close{};
    };
    Geometry geometry() const;
    const RECT* buttonRect(const Geometry& g, LRESULT hit) const;
    LRESULT hitButton(const Geometry& g, POINT windowPoint) const;
    POINT clientToWindow(LPARAM lp) const;

    HWND hwnd_;
    const Skin& skin_;
    int scale_;
    std::function<LRESULT(UINT, WPARAM, LPARAM)> defaultProc_;
    UniqueFont captionFont_;
    bool active_ = false;
    bool tracking_ = false;
    LRESULT hot_ = 0;       // the caption button under the mouse
    LRESULT pressed_ = 0;   // the caption button held down
    bool pressedInside_ = false;
};

}  // namespace forms
