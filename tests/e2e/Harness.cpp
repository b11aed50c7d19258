#include "Harness.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace e2e {

bool waitFor(const std::function<bool()>& condition, Duration timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
}

std::string windowText(HWND hwnd) {
    const LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::string className(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

RECT windowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT rectInParent(HWND hwnd) {
    RECT r = windowRect(hwnd);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE clientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return {r.right, r.bottom};
}

std::string binaryDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

POINT screenPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

POINT centerOf(HWND hwnd) {
    const SIZE s = clientSize(hwnd);
    return screenPoint(hwnd, s.cx / 2, s.cy / 2);
}

// RecorderLog ----------------------------------------------------------------

RecorderLog::RecorderLog(const std::string& name) {
    const std::string dir = binaryDir() + "\\e2e-logs";
    CreateDirectoryA(dir.c_str(), nullptr);
    path_ = dir + "\\" + name + ".log";
    DeleteFileA(path_.c_str());
}

namespace {

std::string unhex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

}  // namespace

std::vector<Record> RecorderLog::read() const {
    std::ifstream in(path_, std::ios::binary);
    std::vector<Record> records;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string scheme, uri, count;
        std::getline(fields, scheme, '\t');
        std::getline(fields, uri, '\t');
        std::getline(fields, count, '\t');
        if (count.empty()) continue;  // a line still being written
        records.push_back({scheme, unhex(uri), std::stoi(count)});
    }
    return records;
}

std::vector<Record> RecorderLog::waitForCount(std::size_t count, Duration timeout) const {
    std::vector<Record> records;
    waitFor([&] { return (records = read()).size() >= count; }, timeout);
    return records;
}

// App ------------------------------------------------------------------------

namespace {

struct Search {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && (!s->visibleOnly || IsWindowVisible(hwnd))) s->found.push_back(hwnd);
    return TRUE;
}

struct ChildSearch {
    const char* cls;
    const char* text;
    HWND found;
};

BOOL CALLBACK findChild(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    if (className(hwnd) == s->cls && (!s->text || windowText(hwnd) == s->text)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

App::App(const Launch& launch) {
    const std::string exe = launch.program.empty() ? binaryDir() + "\\vod.exe" : launch.program;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (launch.showCommand >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(launch.showCommand);
    }
    SetEnvironmentVariableA("VOD_RECORD_LOG", launch.recordLog.empty() ? nullptr : launch.recordLog.c_str());
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_))
        throw std::runtime_error("cannot start " + exe);
    WaitForInputIdle(info_.hProcess, 10000);
    const bool hidden = launch.showCommand == SW_SHOWMINNOACTIVE;
    waitFor([&] {
        for (HWND w : topLevelWindows(!hidden))
            if (className(w) == "TForm1") form_ = w;
        return form_ != nullptr;
    });
    if (!form_) throw std::runtime_error("vod.exe showed no main window");
}

App::~App() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        if (HWND d = dialog()) PostMessageA(d, WM_COMMAND, IDOK, 0);
        PostMessageA(form_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 99);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

std::vector<HWND> App::topLevelWindows(bool visibleOnly) const {
    Search s{pid(), visibleOnly, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND App::taskbarWindow() const {
    for (HWND w : topLevelWindows(false))
        if (className(w) == "TApplication") return w;
    return nullptr;
}

HWND App::control(const char* windowClass, const char* text) const {
    ChildSearch s{windowClass, text, nullptr};
    EnumChildWindows(form_, findChild, reinterpret_cast<LPARAM>(&s));
    if (!s.found) throw std::runtime_error(std::string("no control ") + windowClass + " " + (text ? text : ""));
    return s.found;
}

void App::setEditText(const std::string& text) const {
    SendMessageA(edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void App::click(HWND button) const { PostMessageA(button, BM_CLICK, 0, 0); }

HWND App::dialog() const {
    for (HWND w : topLevelWindows())
        if (className(w) == "#32770") return w;
    return nullptr;
}

HWND App::waitForDialog(Duration timeout) const {
    HWND d = nullptr;
    waitFor([&] { return (d = dialog()) != nullptr; }, timeout);
    return d;
}

bool App::waitForNoDialog(Duration timeout) const {
    return waitFor([&] { return dialog() == nullptr; }, timeout);
}

bool App::waitForExit(Duration timeout) const {
    return WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD App::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void App::activate() const {
    SetForegroundWindow(form_);
    waitFor([&] { return GetForegroundWindow() == form_; }, 5s);
}

namespace {

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

INPUT mouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return in;
}

}  // namespace

void App::pressKey(WORD vk, bool shift) const {
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(key(VK_SHIFT, false));
    inputs.push_back(key(vk, false));
    inputs.push_back(key(vk, true));
    if (shift) inputs.push_back(key(VK_SHIFT, true));
    send(inputs);
}

void App::moveMouseTo(POINT p) const {
    SetCursorPos(p.x, p.y);
    send({mouse(MOUSEEVENTF_MOVE)});
}

void App::mouseClickAt(POINT p) const {
    moveMouseTo(p);
    send({mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)});
}

ProgramFile::ProgramFile(const std::string& path)
    : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}

ProgramFile::~ProgramFile() {
    if (module_) FreeLibrary(module_);
}

std::vector<std::uint8_t> ProgramFile::resource(const char* type, const char* name, WORD language) const {
    HRSRC info = FindResourceExA(module_, type, name, language);
    if (!info) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module_, info)));
    return {bytes, bytes + SizeofResource(module_, info)};
}

std::vector<std::uint32_t> capture(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + w * h);
    for (auto& p : pixels) p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

COLORREF screenPixel(POINT p) {
    const std::uint32_t rgb = capture({p.x, p.y, p.x + 1, p.y + 1}).front();
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

HWND App::focusedControl() const {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(info_.dwThreadId, &gui);
    return gui.hwndFocus;
}

}  // namespace e2e
