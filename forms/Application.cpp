#include "forms/Application.h"

#include <objbase.h>

#include <stdexcept>

#include "forms/MessageDialog.h"

namespace forms {
namespace {

constexpr char kWindowClass[] = "TApplication";

// The show request the program was started with, as the shell or a parent process passed it.
int startupShowCommand() {
    STARTUPINFOA info{};
    info.cb = sizeof info;
    GetStartupInfoA(&info);
    return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWNORMAL;
}

}  // namespace

Application::Application(HINSTANCE instance) : instance_(instance), classes_(instance) {
    // The shell may hand a URI to COM-based handlers; it wants an apartment on the calling thread.
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    classes_.ensure(kWindowClass, windowProc);

    // A zero-size window that owns the forms: it carries the title and the taskbar button,
    // so the main form can keep a caption of its own.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    hwnd_ = CreateWindowExA(0, kWindowClass, "", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            x, y, 0, 0, nullptr, nullptr, instance, this);
    if (!hwnd_) {
        if (comInitialized_) CoUninitialize();
        throw std::runtime_error("cannot create the application window");
    }
}

Application::~Application() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (comInitialized_) CoUninitialize();
}

void Application::showIcons(HICON big, HICON small) {
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void Application::setTitle(std::string_view title) {
    title_ = title;
    SetWindowTextA(hwnd_, title_.c_str());
}

int Application::run(MainWindow& mainForm) {
    mainWindow_ = &mainForm;
    switch (startupShowCommand()) {
    case SW_SHOWMAXIMIZED:
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        mainForm.show(SW_SHOWMAXIMIZED);
        break;
    case SW_SHOWMINNOACTIVE:
        ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        break;
    default:
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        mainForm.show(SW_SHOWNORMAL);
        break;
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // The dialog manager gives the form Tab, Shift+Tab, Enter and Esc handling.
        if (IsDialogMessageA(mainForm.window(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    mainWindow_ = nullptr;
    return 0;
}

void Application::terminate() {
    if (mainWindow_) ShowWindow(mainHandle(), SW_HIDE);
    PostQuitMessage(0);
}

void Application::minimize() {
    if (mainWindow_) ShowWindow(mainHandle(), SW_HIDE);
    ShowWindow(hwnd_, SW_MINIMIZE);
}

HWND Application::activeOwner() const {
    if (mainWindow_ && IsWindowVisible(mainHandle())) return mainHandle();
    return hwnd_;
}

void Application::showMessageBox(std::string_view text) {
    showMessageDialog(instance_, activeOwner(), title_, text, DialogIcon::None);
}

void Application::reportFailure(std::exception_ptr error) noexcept {
    try {
        try {
            std::rethrow_exception(error);
        } catch (const Abort&) {
        } catch (const std::exception& e) {
            showMessageDialog(instance_, activeOwner(), title_, e.what(), DialogIcon::Error);
        } catch (...) {
            showMessageDialog(instance_, activeOwner(), title_, "An unknown failure occurred.", DialogIcon::Error);
        }
    } catch (...) {
        // Showing the report failed too (out of memory, say): the loop goes on regardless.
    }
}

LRESULT CALLBACK Application::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<Application*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || msg == WM_NCCREATE) return DefWindowProcA(hwnd, msg, wp, lp);
    try {
        return self->handleMessage(msg, wp, lp);
    } catch (...) {
        self->reportFailure(std::current_exception());
        return 0;
    }
}

LRESULT Application::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_RESTORE && mainWindow_) {
            const LRESULT r = DefWindowProcA(hwnd_, msg, wp, lp);
            ShowWindow(mainHandle(), SW_SHOW);
            SetForegroundWindow(mainHandle());
            return r;
        }
        if ((wp & 0xFFF0) == SC_CLOSE) {
            if (mainWindow_) PostMessageA(mainHandle(), WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Activating the taskbar button activates the form it stands for.
        if (LOWORD(wp) != WA_INACTIVE && mainWindow_ && IsWindowVisible(mainHandle())) {
            SetActiveWindow(mainHandle());
            return 0;
        }
        break;
    case WM_CLOSE:
        if (mainWindow_) PostMessageA(mainHandle(), WM_CLOSE, 0, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace forms
