// Measures vod.exe against floor.exe, a bare Win32 window program, in one run
// under the same Wine prefix and display, and reports what it saw: start-up to
// a fully painted window, the time a click keeps the window from answering,
// CPU used while idle, peak working set and file size. It judges nothing.
//   vod_bench.exe [RESULTS.md]
// The table goes to standard output and, with the date and the machine named
// by VOD_BENCH_MACHINE (a Windows program cannot see the host), to RESULTS.md,
// by default build\bench\results.md. The stand-in handler's log goes beside it.

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Harness.h"

namespace {

constexpr int kWarmupRuns = 1;
constexpr int kStartupRuns = 20;
constexpr int kWarmupClicks = 2;
constexpr int kClicks = 50;
constexpr int kRoundTrips = 50;
constexpr DWORD kSettleMs = 1000;
constexpr DWORD kIdleMs = 20000;
constexpr double kWaitLimitMs = 15000;
constexpr DWORD kExitLimitMs = 10000;
constexpr unsigned kFirstNumber = 100000000;  // nine digits each, so no number is part of another
constexpr COLORREF kFloorColour = VOD_FLOOR_COLOUR;

double nowMs() {
    static const double kTicksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / kTicksPerMs;
}

// Polls every millisecond, so the times read through it have that resolution.
bool pollUntil(const std::function<bool()>& condition, double timeoutMs = kWaitLimitMs) {
    const double deadline = nowMs() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (nowMs() >= deadline) return false;
        Sleep(1);
    }
}

std::string parentDir(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// What the screen shows, read back through the screen DC.
class ScreenCapture {
public:
    ScreenCapture() : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {}
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;
    ~ScreenCapture() {
        if (bitmap_) DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }

    // The pixels of `r` (screen coordinates) as 0xRRGGBB, rows top-down.
    std::vector<std::uint32_t> grab(const RECT& r) {
        const int width = r.right - r.left, height = r.bottom - r.top;
        if (width <= 0 || height <= 0) return {};
        if (width != width_ || height != height_) resize(width, height);
        if (!bits_) return {};
        const HGDIOBJ old = SelectObject(memory_, bitmap_);
        BitBlt(memory_, 0, 0, width, height, screen_, r.left, r.top, SRCCOPY);
        SelectObject(memory_, old);
        GdiFlush();
        std::vector<std::uint32_t> pixels(bits_, bits_ + static_cast<std::size_t>(width) * height);
        for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
        return pixels;
    }

private:
    void resize(int width, int height) {
        if (bitmap_) DeleteObject(bitmap_);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = bitmap_ ? static_cast<const std::uint32_t*>(bits) : nullptr;
        width_ = width;
        height_ = height;
    }

    HDC screen_;
    HDC memory_;
    HBITMAP bitmap_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

// A program started for one measurement, ended as a user ends it.
class Process {
public:
    explicit Process(const std::string& exe) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string commandLine = "\"" + exe + "\"";
        started_ = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                  &info_) != FALSE;
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() {
        if (!started_) return;
        if (running()) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }

    bool started() const { return started_; }
    HANDLE handle() const { return info_.hProcess; }
    DWORD id() const { return info_.dwProcessId; }
    bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

    // Posts WM_CLOSE to its window and waits for it to exit; whether it did.
    bool close(HWND window) const {
        if (!running()) return true;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return WaitForSingleObject(info_.hProcess, kExitLimitMs) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

HWND findVisibleWindow(const char* windowClass, DWORD pid) {
    for (HWND w = FindWindowExA(nullptr, nullptr, windowClass, nullptr); w;
         w = FindWindowExA(nullptr, w, windowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

BOOL CALLBACK collectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> windowTree(HWND top) {
    std::vector<HWND> tree{top};
    EnumChildWindows(top, collectChild, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

bool nothingWaitsForPaint(const std::vector<HWND>& tree) {
    return std::none_of(tree.begin(), tree.end(), [](HWND w) { return GetUpdateRect(w, nullptr, FALSE) != FALSE; });
}

// The two programs and how each shows that it has painted its window.
enum class Proof {
    // vod: the banner's pixels on the screen are no longer one colour, and no window of the form
    // waits for a paint. Parents paint before the controls they hold and the banner is the
    // deepest, so it shows late in the first paint; the update regions cover whatever comes after.
    BannerShown,
    // floor: the whole client shows the paint colour, and the window waits for no paint.
    ClientFilled,
};

struct Subject {
    const char* label;
    std::string exe;
    const char* windowClass;
    Proof proof;
};

bool painted(const Subject& s, const std::vector<HWND>& tree, ScreenCapture& screen) {
    RECT area{};
    if (s.proof == Proof::BannerShown) {
        const auto image = std::find_if(tree.begin(), tree.end(), [](HWND w) { return e2e::className(w) == "TImage"; });
        if (image == tree.end() || !IsWindowVisible(*image)) return false;
        area = e2e::windowRect(*image);
    } else {
        GetClientRect(tree.front(), &area);
        MapWindowPoints(tree.front(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    const std::vector<std::uint32_t> pixels = screen.grab(area);
    if (pixels.empty()) return false;
    bool shown = false;
    if (s.proof == Proof::BannerShown) {
        shown = std::any_of(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return p != pixels.front(); });
    } else {
        const std::uint32_t wanted = (static_cast<std::uint32_t>(GetRValue(kFloorColour)) << 16) |
                                     (static_cast<std::uint32_t>(GetGValue(kFloorColour)) << 8) |
                                     GetBValue(kFloorColour);
        shown = std::all_of(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return p == wanted; });
    }
    return shown && nothingWaitsForPaint(tree);
}

// Waits for the subject's window to be visible and painted; the window, or null on time-out.
HWND waitUntilPainted(const Subject& s, const Process& p, ScreenCapture& screen) {
    HWND window = nullptr;
    std::vector<HWND> tree;
    const bool ok = pollUntil([&] {
        if (!window) {
            window = findVisibleWindow(s.windowClass, p.id());
            // The controls exist before the window is shown: the tree is complete from here on.
            if (window) tree = windowTree(window);
        }
        return window && painted(s, tree, screen);
    });
    return ok ? window : nullptr;
}

SIZE_T peakWorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

class KernelHandle {
public:
    explicit KernelHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    ~KernelHandle() {
        if (h_) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

double totalMs(const FILETIME& kernel, const FILETIME& user) {
    auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

double threadsCpuMs(DWORD pid) {
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot.get()) return 0;
    double sum = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        KernelHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
        FILETIME created, exited, kernel, user;
        if (thread.get() && GetThreadTimes(thread.get(), &created, &exited, &kernel, &user))
            sum += totalMs(kernel, user);
    }
    return sum;
}

bool underWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Kernel+user CPU time the process has used, in ms. Wine 8 answers GetProcessTimes for another
// process with the caller's own times (seen: the floor's times rose while /proc showed it idle),
// but its GetThreadTimes agrees with /proc; under Wine the threads' times are summed instead.
double cpuMs(HANDLE process, DWORD pid) {
    static const bool kThreadsOnly = underWine();
    if (kThreadsOnly) return threadsCpuMs(pid);
    FILETIME created, exited, kernel, user;
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? totalMs(kernel, user) : 0;
}

struct Summary {
    std::size_t count = 0;
    double median = 0, min = 0, max = 0, p25 = 0, p75 = 0, p90 = 0;
};

double quantile(const std::vector<double>& sorted, double q) {
    const double at = q * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - static_cast<double>(below));
}

Summary summarize(std::vector<double> values) {
    Summary s;
    s.count = values.size();
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    s.min = values.front();
    s.max = values.back();
    s.median = quantile(values, 0.5);
    s.p25 = quantile(values, 0.25);
    s.p75 = quantile(values, 0.75);
    s.p90 = quantile(values, 0.9);
    return s;
}

// What one subject measured, over all phases.
struct Measures {
    std::vector<double> startupMs;
    std::vector<double> startupCpuMs;
    std::vector<double> peakWorkingSet;
    std::vector<double> responseMs;  // vod: click to ready; floor: message round trip
    std::vector<double> roundTripMs;
    std::optional<double> idleCpuMs;
    double idleWallMs = 0;
    std::uintmax_t fileBytes = 0;
};

struct Notes {
    std::vector<std::string> lines;
    void add(const std::string& line) {
        std::fprintf(stderr, "bench: %s\n", line.c_str());
        lines.push_back(line);
    }
};

// One start-up, from CreateProcess to the painted window, then closed as the user closes it.
void startOnce(const Subject& s, ScreenCapture& screen, Measures* into, Notes& notes) {
    const double start = nowMs();
    Process p(s.exe);
    if (!p.started()) {
        notes.add(std::string("could not start ") + s.exe);
        return;
    }
    HWND window = waitUntilPainted(s, p, screen);
    const double ready = nowMs();
    if (!window) {
        notes.add(std::string(s.label) + ": a start-up did not show a painted window within the time limit");
        return;
    }
    const SIZE_T peak = peakWorkingSet(p.handle());
    const double cpu = cpuMs(p.handle(), p.id());
    if (!p.close(window)) notes.add(std::string(s.label) + ": a run did not exit after WM_CLOSE; it was terminated");
    if (into) {
        into->startupMs.push_back(ready - start);
        into->peakWorkingSet.push_back(static_cast<double>(peak));
        into->startupCpuMs.push_back(cpu);
    }
}

std::vector<double> roundTrips(HWND window, int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        DWORD_PTR result = 0;
        const double start = nowMs();
        PostMessageA(window, WM_NULL, 0, 0);
        const bool answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kExitLimitMs, &result) != 0;
        const double end = nowMs();
        if (answered) times.push_back(end - start);
        Sleep(10);
    }
    return times;
}

std::size_t lineCount(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

// Clicks "QQ聊天" with a new number each time. A message sent to a window overtakes the messages
// posted to it, so a WM_NULL sent right after the posted click could be answered before the
// click is even taken: the answer is asked for only once the group box caption names the new
// number, which the click sets just before it hands the chat address to the shell.
void clickToReady(const std::string& recordLog, Measures& vod, Notes& notes) {
    e2e::Launch launch;
    launch.recordLog = recordLog;
    e2e::App app(launch);
    SendMessageA(app.form(), WM_NULL, 0, 0);
    Sleep(kSettleMs);
    vod.roundTripMs = roundTrips(app.form(), kRoundTrips);

    HWND qq = app.control("Button", "QQ聊天");
    HWND group = app.groupBox();
    const std::size_t recordedBefore = lineCount(recordLog);
    for (int i = 0; i < kWarmupClicks + kClicks; ++i) {
        const std::string number = std::to_string(kFirstNumber + static_cast<unsigned>(i));
        app.setEditText(number);
        const double start = nowMs();
        app.click(qq);
        // GetWindowText of another process's window reads the stored caption without a message.
        const bool taken = pollUntil([&] {
            char caption[256] = {};
            GetWindowTextA(group, caption, sizeof caption);
            return std::string(caption).find(number) != std::string::npos;
        });
        DWORD_PTR result = 0;
        const bool answered =
            taken && SendMessageTimeoutA(app.form(), WM_NULL, 0, 0, SMTO_NORMAL, kExitLimitMs, &result) != 0;
        const double ready = nowMs();
        if (!answered) {
            notes.add("vod: a click was not taken or not finished within the time limit; clicks stopped");
            break;
        }
        if (i >= kWarmupClicks) vod.responseMs.push_back(ready - start);
        // One stand-in handler at a time: the next click waits until this one has written its line.
        pollUntil([&] { return lineCount(recordLog) >= recordedBefore + static_cast<std::size_t>(i) + 1; });
        Sleep(100);
    }
    const std::size_t launches = lineCount(recordLog) - recordedBefore;
    notes.add("the stand-in tencent:// handler recorded " + std::to_string(launches) + " launches for " +
              std::to_string(kWarmupClicks + kClicks) + " clicks");
}

void floorRoundTrips(const Subject& floor, ScreenCapture& screen, Measures& into, Notes& notes) {
    Process p(floor.exe);
    HWND window = p.started() ? waitUntilPainted(floor, p, screen) : nullptr;
    if (!window) {
        notes.add("floor: no painted window for the round trips");
        return;
    }
    Sleep(kSettleMs);
    into.responseMs = roundTrips(window, kRoundTrips);
    into.roundTripMs = into.responseMs;
    p.close(window);
}

void idleCost(const Subject& s, ScreenCapture& screen, Measures& into, Notes& notes) {
    Process p(s.exe);
    HWND window = p.started() ? waitUntilPainted(s, p, screen) : nullptr;
    if (!window) {
        notes.add(std::string(s.label) + ": no painted window for the idle measurement");
        return;
    }
    Sleep(kSettleMs);
    const double cpuBefore = cpuMs(p.handle(), p.id());
    const double wallBefore = nowMs();
    Sleep(kIdleMs);
    const double cpuAfter = cpuMs(p.handle(), p.id());
    const double wallAfter = nowMs();
    into.idleCpuMs = cpuAfter - cpuBefore;
    into.idleWallMs = wallAfter - wallBefore;
    p.close(window);
}

std::uintmax_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string ratio(double vod, double floor) { return floor > 0 ? fixed(vod / floor, 2) : "n/a"; }

std::string utcNow() {
    SYSTEMTIME t;
    GetSystemTime(&t);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u UTC", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    return text;
}

// The machine description as UTF-8, whatever the ANSI code page is.
std::string machine() {
    wchar_t buffer[1024];
    const DWORD n = GetEnvironmentVariableW(L"VOD_BENCH_MACHINE", buffer, 1024);
    if (n == 0 || n >= 1024) return "not given (set VOD_BENCH_MACHINE)";
    std::string utf8(static_cast<std::size_t>(n) * 4, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(n), utf8.data(),
                                          static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
    return utf8;
}

std::string report(const Measures& vod, const Measures& floor, const Notes& notes) {
    std::ostringstream out;
    out << "# vod against the floor\n\n"
        << "- Date: " << utcNow() << "\n"
        << "- Machine: " << machine() << "\n"
        << "- Start-up: CreateProcess to the window visible and painted (vod: banner on screen; floor: client in "
           "its colour), "
        << kStartupRuns << " runs of each, interleaved, after " << kWarmupRuns << " untimed run of each; polled "
        << "every 1 ms\n"
        << "- Click to ready: BM_CLICK posted to QQ button until the form answers WM_NULL again, " << kClicks
        << " clicks after " << kWarmupClicks << " untimed; for the floor, a posted no-op plus WM_NULL round trip\n"
        << "- Idle: kernel+user CPU of the program's process (GetProcessTimes; under Wine, which answers it with the "
           "caller's times, the sum of its threads' times, which Wine counts in 10 ms steps) over " << kIdleMs / 1000 << " s, "
        << kSettleMs << " ms after start-up\n\n";

    const Summary vs = summarize(vod.startupMs), fs = summarize(floor.startupMs);
    const Summary vr = summarize(vod.responseMs), fr = summarize(floor.responseMs);
    const Summary vt = summarize(vod.roundTripMs), ft = summarize(floor.roundTripMs);
    const Summary vm = summarize(vod.peakWorkingSet), fm = summarize(floor.peakWorkingSet);

    auto row = [&](const std::string& metric, const std::string& v, const std::string& f, const std::string& r) {
        out << "| " << metric << " | " << v << " | " << f << " | " << r << " |\n";
    };
    auto timeRow = [&](const std::string& metric, double v, double f) { row(metric, fixed(v, 1), fixed(f, 1), ratio(v, f)); };

    out << "| metric | vod | floor | ratio |\n|---|---:|---:|---:|\n";
    timeRow("start-up, median (ms)", vs.median, fs.median);
    timeRow("start-up, min (ms)", vs.min, fs.min);
    timeRow("start-up, p90 (ms)", vs.p90, fs.p90);
    timeRow("start-up, max (ms)", vs.max, fs.max);
    timeRow("start-up, IQR p75-p25 (ms)", vs.p75 - vs.p25, fs.p75 - fs.p25);
    row("start-up, runs", std::to_string(vs.count), std::to_string(fs.count), "");
    const Summary vc = summarize(vod.startupCpuMs), fc = summarize(floor.startupCpuMs);
    timeRow("start-up, CPU of the process until painted, median (ms)", vc.median, fc.median);
    timeRow("click to ready (floor: message round trip), median (ms)", vr.median, fr.median);
    timeRow("click to ready (floor: message round trip), p90 (ms)", vr.p90, fr.p90);
    row("click to ready (floor: message round trip), samples", std::to_string(vr.count), std::to_string(fr.count), "");
    timeRow("message round trip, idle window, median (ms)", vt.median, ft.median);
    if (vod.idleCpuMs && floor.idleCpuMs) {
        timeRow("idle CPU over " + std::to_string(kIdleMs / 1000) + " s (ms)", *vod.idleCpuMs, *floor.idleCpuMs);
        const double vp = 100.0 * *vod.idleCpuMs / vod.idleWallMs, fp = 100.0 * *floor.idleCpuMs / floor.idleWallMs;
        row("idle CPU (% of one core)", fixed(vp, 3), fixed(fp, 3), ratio(vp, fp));
    } else {
        row("idle CPU", "not measured", "not measured", "");
    }
    const double mib = 1024.0 * 1024.0;
    row("peak working set after start-up, median (MiB)", fixed(vm.median / mib, 1), fixed(fm.median / mib, 1),
        ratio(vm.median, fm.median));
    row("file size (bytes)", std::to_string(vod.fileBytes), std::to_string(floor.fileBytes),
        ratio(static_cast<double>(vod.fileBytes), static_cast<double>(floor.fileBytes)));

    out << "\n";
    for (const std::string& line : notes.lines) out << "- " << line << "\n";
    auto samples = [&](const char* label, const std::vector<double>& values) {
        out << "- " << label << " start-up samples in run order (ms):";
        for (double v : values) out << " " << fixed(v, 1);
        out << "\n";
    };
    samples("vod", vod.startupMs);
    samples("floor", floor.startupMs);
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = e2e::binaryDir();
    const std::string resultsPath = argc > 1 ? argv[1] : parentDir(dir) + "\\bench\\results.md";
    CreateDirectoryA(parentDir(resultsPath).c_str(), nullptr);
    const std::string recordLog = parentDir(resultsPath) + "\\recorder.log";
    DeleteFileA(recordLog.c_str());
    // Inherited by vod and, through the shell, by the stand-in handler.
    SetEnvironmentVariableA("VOD_RECORD_LOG", recordLog.c_str());
    // Xvfb starts the pointer mid-screen; away from the windows no hint opens.
    SetCursorPos(0, 0);

    const Subject vodSubject{"vod", dir + "\\vod.exe", "TForm1", Proof::BannerShown};
    const Subject floorSubject{"floor", dir + "\\floor.exe", "FloorWindow", Proof::ClientFilled};
    Measures vod, floor;
    Notes notes;
    ScreenCapture screen;

    std::fprintf(stderr, "bench: start-up, %d runs of each\n", kStartupRuns);
    for (int i = 0; i < kWarmupRuns; ++i) {
        startOnce(vodSubject, screen, nullptr, notes);
        startOnce(floorSubject, screen, nullptr, notes);
    }
    for (int i = 0; i < kStartupRuns; ++i) {
        startOnce(vodSubject, screen, &vod, notes);
        startOnce(floorSubject, screen, &floor, notes);
    }

    std::fprintf(stderr, "bench: click to ready, %d clicks\n", kClicks);
    try {
        clickToReady(recordLog, vod, notes);
    } catch (const std::exception& e) {
        notes.add(std::string("vod: clicks not measured: ") + e.what());
    }
    floorRoundTrips(floorSubject, screen, floor, notes);

    std::fprintf(stderr, "bench: idle, %lu s each\n", kIdleMs / 1000);
    idleCost(vodSubject, screen, vod, notes);
    idleCost(floorSubject, screen, floor, notes);

    vod.fileBytes = fileSize(vodSubject.exe);
    floor.fileBytes = fileSize(floorSubject.exe);

    const std::string table = report(vod, floor, notes);
    std::fwrite(table.data(), 1, table.size(), stdout);
    std::fflush(stdout);
    std::ofstream file(resultsPath, std::ios::binary);
    file << table;
    if (!file) {
        std::fprintf(stderr, "bench: could not write %s\n", resultsPath.c_str());
        return 1;
    }
    std::fprintf(stderr, "bench: written to %s\n", resultsPath.c_str());
    return 0;
}
