#pragma once
// The application object: owns the hidden window that carries the program's
// title and taskbar button, runs the message loop, shows message boxes and
// turns exceptions escaping an event into an error box.

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "forms/Win32.h"

namespace forms {

class Form;

// Thrown to leave an event quietly: the loop catches it and shows nothing.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

class Application {
public:
    explicit Application(HINSTANCE instance);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    HINSTANCE instance() const { return instance_; }
    HWND handle() const { return hwnd_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string_view title);

    // Shows `mainForm` as the process was asked to start, then dispatches
    // messages until terminate(). Returns the process exit code.
    int run(Form& mainForm);
    void terminate();
    // Minimises the program to its taskbar button, hiding the main form.
    void minimize();

    // The plain modal message box: the title as caption, no icon, one OK.
    void showMessageBox(std::string_view text);
    // Reports a failure that escaped an event handler. Never throws.
    void handleException(std::exception_ptr error) noexcept;

private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND activeOwner() const;

    HINSTANCE instance_;
    bool comInitialized_ = false;
    HWND hwnd_ = nullptr;
    std::string title_;
    Form* mainForm_ = nullptr;
};

}  // namespace forms
