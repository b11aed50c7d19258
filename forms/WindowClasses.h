#pragma once
// The window classes of the toolkit's own kinds of window, registered on first
// use and unregistered with this object, so that one application object after
// another can run in one process.

#include <string>
#include <vector>

#include "forms/Win32.h"

namespace forms {

class WindowClasses {
public:
    explicit WindowClasses(HINSTANCE instance) : instance_(instance) {}
    WindowClasses(const WindowClasses&) = delete;
    WindowClasses& operator=(const WindowClasses&) = delete;
    // Every window of these classes must be gone by now.
    ~WindowClasses();

    // Makes sure a class of that name exists with that procedure. The class has no
    // cursor of its own: each window sets the one it shows. Throws if it cannot be
    // registered, or if another class of that name is in the way.
    void ensure(const char* name, WNDPROC procedure, UINT style = 0);

private:
    HINSTANCE instance_;
    std::vector<std::string> registered_;
};

}  // namespace forms
