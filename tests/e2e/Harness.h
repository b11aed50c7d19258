#pragma once
// Drives the real vod.exe from another process, as a user would: starts it,
// finds its windows, clicks, types, hovers, and reads what the stand-in URI
// handler recorded. Every wait is a bounded wait for a condition.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// Polls `condition` until it holds or `timeout` passes; returns whether it held.
bool waitFor(const std::function<bool()>& condition, Duration timeout = 10s);

std::string windowText(HWND hwnd);
std::string className(HWND hwnd);
RECT windowRect(HWND hwnd);
// The window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND hwnd);
SIZE clientSize(HWND hwnd);

// One handler invocation as the recorder logged it.
struct Record {
    std::string scheme;
    std::string uri;  // the URI argument, byte for byte
    int argumentCount = 0;
};

class RecorderLog {
public:
    explicit RecorderLog(const std::string& name);
    const std::string& path() const { return path_; }
    std::vector<Record> read() const;
    // Waits until at least `count` records are there and returns them all.
    std::vector<Record> waitForCount(std::size_t count, Duration timeout = 10s) const;

private:
    std::string path_;
};

struct Launch {
    int showCommand = -1;        // -1: no show request in the start-up info
    std::string recordLog;       // passed on to the handler as VOD_RECORD_LOG
    std::string program;         // empty: the vod.exe beside the test programs
};

// The program under test, ended when this goes out of scope.
class App {
public:
    explicit App(const Launch& launch = {});
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

    DWORD pid() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }
    HWND form() const { return form_; }
    // The zero-size window carrying the title and the taskbar button.
    HWND taskbarWindow() const;
    std::vector<HWND> topLevelWindows(bool visibleOnly = true) const;

    // A child control, found by its window class and, if given, its text.
    HWND control(const char* windowClass, const char* text = nullptr) const;
    HWND edit() const { return control("Edit"); }
    HWND groupBox() const { return GetParent(edit()); }
    HWND image() const { return control("TImage"); }

    std::string editText() const { return windowText(edit()); }
    void setEditText(const std::string& text) const;
    // Clicks a button through its own message, without moving the mouse.
    void click(HWND button) const;

    // The visible dialog (message box) of the program, or null.
    HWND dialog() const;
    HWND waitForDialog(Duration timeout = 10s) const;
    bool waitForNoDialog(Duration timeout = 10s) const;

    bool waitForExit(Duration timeout = 10s) const;
    DWORD exitCode() const;

    // Real input: brings the form to the front first.
    void activate() const;
    void pressKey(WORD vk, bool shift = false) const;
    void mouseClickAt(POINT screen) const;
    void moveMouseTo(POINT screen) const;
    HWND focusedControl() const;

private:
    PROCESS_INFORMATION info_{};
    HWND form_ = nullptr;
};

// A point inside a control, given in its client coordinates, on the screen.
POINT screenPoint(HWND hwnd, int x, int y);
POINT centerOf(HWND hwnd);

// The directory holding vod.exe and the test programs.
std::string binaryDir();

// A program file's resources, read as data.
class ProgramFile {
public:
    explicit ProgramFile(const std::string& path = binaryDir() + "\\vod.exe");
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;
    ~ProgramFile();
    HMODULE module() const { return module_; }
    std::vector<std::uint8_t> resource(const char* type, const char* name, WORD language) const;

private:
    HMODULE module_;
};

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// The screen's pixels in a rectangle, as 0x00RRGGBB, rows top-down.
std::vector<std::uint32_t> capture(const RECT& r);
// One pixel of the screen, as a COLORREF.
COLORREF screenPixel(POINT p);

}  // namespace e2e
