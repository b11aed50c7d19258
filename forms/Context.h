#pragma once
// What a control is given by the form that holds it: the module its windows
// belong to, where its failures go, the classes of the toolkit's own windows,
// the hint window, and the wrappers of the form's other windows by handle.
// Controls never see the form itself.

#include <utility>
#include <vector>

#include "forms/Win32.h"

namespace forms {

class Control;
class FailureSink;
class HintWindow;
class WindowClasses;

// The form's windows and their wrappers. Every lookup of another window's wrapper goes
// through here rather than through anything stored in that window, which other code
// (a hook DLL, an input method, a subclass) may have changed. UI thread only; a form
// has a dozen or so windows, so a list beats a hash table.
class WindowMap {
public:
    void add(HWND hwnd, Control* control) { entries_.emplace_back(hwnd, control); }
    void remove(HWND hwnd) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->first == hwnd) {
                entries_.erase(it);
                return;
            }
    }
    Control* find(HWND hwnd) const {
        if (!hwnd) return nullptr;
        for (const auto& [window, control] : entries_)
            if (window == hwnd) return control;
        return nullptr;
    }

private:
    std::vector<std::pair<HWND, Control*>> entries_;
};

struct ControlContext {
    HINSTANCE instance;
    FailureSink& failures;
    WindowClasses& classes;
    WindowMap& windows;
    HintWindow& hints;
};

}  // namespace forms
