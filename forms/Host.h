#pragma once
// Where a form and the application object meet. A form needs a few things of
// the application that runs it; the application needs two of the form it
// shows first. Each side sees only its half, so neither includes the other.

#include <exception>
#include <string_view>

#include "forms/Win32.h"

namespace forms {

class WindowClasses;

// Where a failure that escaped an event handler goes. Never throws.
class FailureSink {
public:
    virtual void reportFailure(std::exception_ptr error) noexcept = 0;

protected:
    ~FailureSink() = default;
};

// What a form needs of the application that runs it.
class FormHost : public FailureSink {
public:
    virtual HINSTANCE instance() const = 0;
    // The window every form is owned by: it carries the title and the taskbar button.
    virtual HWND ownerWindow() const = 0;
    virtual WindowClasses& windowClasses() = 0;
    // The taskbar button shows these icons until it is given others, or none. The caller
    // keeps them alive until then.
    virtual void showIcons(HICON big, HICON small) = 0;
    virtual void minimize() = 0;
    virtual void terminate() = 0;
    // The plain modal message box, captioned with the application's title.
    virtual void showMessageBox(std::string_view text) = 0;

protected:
    ~FormHost() = default;
};

// What the application needs of its main window.
class MainWindow {
public:
    virtual HWND window() const = 0;
    // Shows the window as the show request asks and gives the focus to its first tab stop.
    virtual void show(int showCommand) = 0;

protected:
    ~MainWindow() = default;
};

}  // namespace forms
