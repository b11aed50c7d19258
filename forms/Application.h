#pragma once
// The application object: owns the hidden window that carries the program's
// title and taskbar button, runs the message loop, shows message boxes and
// turns exceptions escaping an event into an error box. One can be made after
// another in one process.

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "forms/Host.h"
#include "forms/WindowClasses.h"

namespace forms {

// Thrown to leave an event quietly: the loop catches it and shows nothing.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

class Application final : public FormHost {
public:
    explicit Application(HINSTANCE instance);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    HINSTANCE instance() const override { return instance_; }
    HWND handle() const { return hwnd_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string_view title);

    // Shows `mainWindow` as the process was asked to start, then dispatches
    // messages until terminate(). Returns the process exit code.
    int run(MainWindow& mainWindow);
    void terminate() override;
    // Minimises the program to its taskbar button, hiding the main window.
    void minimize() override;

    // The plain modal message box: the title as caption, no icon, one OK.
    void showMessageBox(std::string_view text) override;
    // Reports a failure that escaped an event handler in the error box.
    void reportFailure(std::exception_ptr error) noexcept override;

    HWND ownerWindow() const override { return hwnd_; }
    WindowClasses& windowClasses() override { return classes_; }
    void showIcons(HICON big, HICON small) override;

private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    HWND activeOwner() const;
    HWND mainHandle() const { return mainWindow_ ? mainWindow_->window() : nullptr; }

    HINSTANCE instance_;
    bool comInitialized_ = false;
    WindowClasses classes_;  // outlives every window of its classes
    HWND hwnd_ = nullptr;
    std::string title_;
    MainWindow* mainWindow_ = nullptr;
};

}  // namespace forms
