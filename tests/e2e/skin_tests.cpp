// The skin: the window and its controls drawn in the stored skin's colours,
// the one settings file it passes through on the way in, and the standard
// look when the stored skin cannot be loaded.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Harness.h"
#include "forms/skin/Pack.h"

namespace e2e {
namespace {

std::vector<std::uint8_t> storedSkin() { return ProgramFile().resource(RT_RCDATA, "SKIN", kChinesePrc); }

// "Section.Key" -> value, from the stored skin's settings.
std::map<std::string, std::string> skinSettings() {
    const auto bytes = storedSkin();
    const auto entries = skin::unpack(bytes.data(), bytes.size());
    const skin::Entry* ini = skin::find(entries, "skin.ini");
    if (!ini) throw std::runtime_error("the stored skin has no settings");
    std::map<std::string, std::string> settings;
    std::string section, line;
    const std::string text(ini->data.begin(), ini->data.end());
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[') section = line.substr(1, line.size() - 2);
        else if (const auto eq = line.find('='); eq != std::string::npos)
            settings[section + "." + line.substr(0, eq)] = line.substr(eq + 1);
    }
    return settings;
}

COLORREF skinColor(const std::map<std::string, std::string>& settings, const std::string& key) {
    const std::string& hex = settings.at(key);
    const unsigned long v = std::stoul(hex.substr(1), nullptr, 16);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool similar(COLORREF a, COLORREF b, int tolerance = 3) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string hexOf(COLORREF c) {
    char text[16];
    wsprintfA(text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// Where the frame and caption bar of the form lie on the screen.
struct FrameOnScreen {
    RECT window{}, client{};
    int border = 0;
    RECT caption{};  // the bar above the client area
};

FrameOnScreen frameOf(HWND form) {
    FrameOnScreen f;
    f.window = windowRect(form);
    const SIZE size = clientSize(form);
    const POINT origin = screenPoint(form, 0, 0);
    f.client = {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    f.border = f.window.bottom - f.client.bottom;
    f.caption = {f.window.left + f.border, f.window.top + f.border, f.window.right - f.border, f.client.top - 1};
    return f;
}

// The screen columns where the form answers the hit test with `code`, along the caption's middle.
std::pair<int, int> hitSpan(HWND form, const FrameOnScreen& f, LRESULT code) {
    const int y = (f.caption.top + f.caption.bottom) / 2;
    int first = -1, last = -1;
    for (int x = f.caption.left; x < f.caption.right; ++x)
        if (SendMessageA(form, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == code) {
            if (first < 0) first = x;
            last = x;
        }
    return {first, last};
}

// The names in the temporary folder.
std::set<std::string> temporaryFiles() {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

TEST(Skin, TheWindowAndItsControlsAreDrawnInTheStoredSkin) {
    const auto settings = skinSettings();
    auto color = [&](const char* key) { return skinColor(settings, key); };

    App app;
    SetCursorPos(0, 0);
    app.activate();
    const FrameOnScreen f = frameOf(app.form());
    const HWND tm = app.control("Button", "TM聊天");
    const HWND edit = app.edit();
    const HWND groupBox = app.groupBox();
    const HWND panel = app.control("TPanel");
    const RECT editRect = windowRect(edit);
    const RECT tmRect = windowRect(tm);
    const RECT groupRect = windowRect(groupBox);
    const RECT panelRect = windowRect(panel);
    const RECT labelRect = windowRect(app.control("Static"));

    struct Case {
        const char* what;
        POINT at;
        const char* key;
    } cases[] = {
        {"frame's outer edge", {f.window.left, (f.window.top + f.window.bottom) / 2}, "Frame.Outer"},
        {"frame's face", {f.window.left + 1, (f.window.top + f.window.bottom) / 2}, "Frame.Face"},
        {"caption bar, left end", {f.caption.left, f.caption.top}, "Caption.Active1"},
        {"caption bar, right end", {f.caption.right - 1, f.caption.top}, "Caption.Active2"},
        {"button's face", {tmRect.left + 2, tmRect.top + 2}, "Button.Face"},
        {"button's border", {(tmRect.left + tmRect.right) / 2, tmRect.top}, "Button.Border"},
        {"focused edit box's border", {editRect.left, (editRect.top + editRect.bottom) / 2}, "Edit.FocusBorder"},
        {"edit box's inside", {editRect.right - 4, (editRect.top + editRect.bottom) / 2}, "Edit.Back"},
        {"group box's frame", {groupRect.left, (groupRect.top + groupRect.bottom) / 2}, "GroupBox.Frame"},
        {"panel's face", {panelRect.left + 8, panelRect.bottom - 8}, "Panel.Face"},
        {"panel's raised outer bevel", {panelRect.left, (panelRect.top + panelRect.bottom) / 2}, "Panel.Light"},
        {"panel's lowered inner bevel", {panelRect.left + 1, (panelRect.top + panelRect.bottom) / 2}, "Panel.Shadow"},
        {"label's background", {labelRect.right - 2, labelRect.top + 1}, "Panel.Face"},
    };
    ASSERT_TRUE(waitFor([&] { return similar(screenPixel(cases[2].at), color("Caption.Active1")); }, 5s))
        << "the caption bar shows " << hexOf(screenPixel(cases[2].at));
    for (const Case& c : cases)
        EXPECT_TRUE(similar(screenPixel(c.at), color(c.key)))
            << c.what << ": " << hexOf(screenPixel(c.at)) << ", not " << c.key << " " << hexOf(color(c.key));

    // Focus elsewhere: the edit box's border goes back to its plain colour.
    app.pressKey(VK_TAB);
    EXPECT_TRUE(waitFor([&] { return similar(screenPixel(cases[6].at), color("Edit.Border")); }, 5s))
        << hexOf(screenPixel(cases[6].at));

    // The mouse over the close box lights it up; away from it, it goes back.
    const auto [closeLeft, closeRight] = hitSpan(app.form(), f, HTCLOSE);
    ASSERT_GT(closeRight, closeLeft) << "the frame has a close box";
    const POINT closeCorner{closeLeft + 1, f.caption.top + 3};
    app.moveMouseTo({(closeLeft + closeRight) / 2, (f.caption.top + f.caption.bottom) / 2});
    EXPECT_TRUE(waitFor([&] { return similar(screenPixel(closeCorner), color("Caption.CloseHot")); }, 5s))
        << hexOf(screenPixel(closeCorner));
    app.moveMouseTo({0, 0});
    EXPECT_TRUE(waitFor([&] { return !similar(screenPixel(closeCorner), color("Caption.CloseHot")); }, 5s));

    // The mouse over a button lights its face up.
    app.moveMouseTo(centerOf(tm));
    EXPECT_TRUE(waitFor([&] { return similar(screenPixel(cases[4].at), color("Button.Hot")); }, 5s))
        << hexOf(screenPixel(cases[4].at));
    app.moveMouseTo({0, 0});
    EXPECT_TRUE(waitFor([&] { return similar(screenPixel(cases[4].at), color("Button.Face")); }, 5s))
        << hexOf(screenPixel(cases[4].at));

    // While the about box has the focus, the caption bar shows the inactive colours.
    app.click(app.control("Button", "灯"));
    const HWND about = app.waitForDialog();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(waitFor([&] { return similar(screenPixel(cases[2].at), color("Caption.Inactive1")); }, 5s))
        << hexOf(screenPixel(cases[2].at));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(app.waitForNoDialog());
    EXPECT_TRUE(waitFor([&] { return similar(screenPixel(cases[2].at), color("Caption.Active1")); }, 5s))
        << hexOf(screenPixel(cases[2].at));
}

void mouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

TEST(Skin, TheCloseBoxClosesOnlyWhenReleasedOverIt) {
    const auto settings = skinSettings();
    App app;
    app.activate();
    const FrameOnScreen f = frameOf(app.form());
    const auto [closeLeft, closeRight] = hitSpan(app.form(), f, HTCLOSE);
    ASSERT_GT(closeRight, closeLeft);
    const POINT corner{closeLeft + 1, f.caption.top + 3};
    const POINT middle{(closeLeft + closeRight) / 2, (f.caption.top + f.caption.bottom) / 2};

    // Pressed, it shows so; slid off and released, nothing happens.
    app.moveMouseTo(middle);
    mouseButton(true);
    EXPECT_TRUE(waitFor([&] { return similar(screenPixel(corner), skinColor(settings, "Caption.ButtonPressed")); }, 5s))
        << hexOf(screenPixel(corner));
    app.moveMouseTo({(f.client.left + f.client.right) / 2, f.client.bottom - 10});
    EXPECT_TRUE(waitFor([&] { return !similar(screenPixel(corner), skinColor(settings, "Caption.ButtonPressed")); }, 5s));
    mouseButton(false);
    EXPECT_FALSE(app.waitForExit(500ms)) << "a press that slid off does not close";

    // A whole click on it does.
    app.mouseClickAt(middle);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0u);
}

TEST(Skin, LoadingPassesThroughOneSettingsFileAndLeavesNothingBehind) {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    const auto before = temporaryFiles();
    HANDLE watch = CreateFileA(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(watch, INVALID_HANDLE_VALUE);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<DWORD> buffer(16 * 1024);  // DWORD-aligned, as the notifications must be
    OVERLAPPED overlapped{};
    overlapped.hEvent = event;
    std::vector<std::pair<DWORD, std::string>> changes;
    auto arm = [&] {
        ResetEvent(event);
        return ReadDirectoryChangesW(watch, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)), FALSE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, nullptr, &overlapped,
                                     nullptr) != FALSE;
    };
    // Gathers notifications until `done` holds or `timeout` passes.
    auto collect = [&](const std::function<bool()>& done, Duration timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            const auto left = std::chrono::duration_cast<Duration>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || WaitForSingleObject(event, static_cast<DWORD>(left.count())) != WAIT_OBJECT_0)
                return;
            DWORD bytes = 0;
            GetOverlappedResult(watch, &overlapped, &bytes, FALSE);
            for (DWORD offset = 0; bytes > 0;) {
                const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(
                    reinterpret_cast<const char*>(buffer.data()) + offset);
                char name[MAX_PATH * 2] = {};
                WideCharToMultiByte(CP_ACP, 0, info->FileName, static_cast<int>(info->FileNameLength / sizeof(WCHAR)),
                                    name, sizeof name - 1, nullptr, nullptr);
                changes.emplace_back(info->Action, name);
                if (!info->NextEntryOffset) break;
                offset += info->NextEntryOffset;
            }
            if (!arm()) return;
        }
    };
    auto settingsFileCameAndWent = [&] {
        std::set<std::string> added;
        for (const auto& [action, name] : changes) {
            if (action == FILE_ACTION_ADDED) added.insert(name);
            if (action == FILE_ACTION_REMOVED && added.count(name)) return true;
        }
        return false;
    };
    ASSERT_TRUE(arm());
    {
        App app;
        // The skin is loaded before the window is made, so its file has come and gone by now;
        // the notifications may still be on their way.
        collect(settingsFileCameAndWent, 5s);
        EXPECT_EQ(temporaryFiles(), before) << "nothing is left in the temporary folder while the program runs";
    }
    // Whatever the program did as it ended shows within a moment.
    collect([] { return false; }, 300ms);
    CancelIo(watch);
    CloseHandle(event);
    CloseHandle(watch);

    std::set<std::string> added, removed, others;
    for (const auto& [action, name] : changes) {
        if (action == FILE_ACTION_ADDED) added.insert(name);
        else if (action == FILE_ACTION_REMOVED) removed.insert(name);
        else others.insert(name);
    }
    ASSERT_EQ(added.size(), 1u) << "one file is written";
    const std::string name = *added.begin();
    EXPECT_TRUE(name.size() > 4 && name.substr(name.size() - 4) == ".ini") << name;
    EXPECT_EQ(removed, added) << "and deleted again";
    for (const std::string& other : others) EXPECT_EQ(other, name) << "no other file is touched";
    EXPECT_EQ(temporaryFiles(), before);
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

// CreateFileW's handle, or none.
OwnedHandle openFile(const std::wstring& path, DWORD access, DWORD share, DWORD flags) {
    const HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    return OwnedHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

std::wstring temporaryFolderW() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return folder;
}

// Stands in for a real-time virus scanner: it opens every new file in the temporary folder
// the moment it appears, without letting anyone else delete it, and holds it for a while.
// A file it finds still being written it tries again, as scanners do, until the file opens
// or is gone.
class Scanner {
public:
    explicit Scanner(Duration hold)
        : hold_(hold),
          folder_(temporaryFolderW()),
          directory_(openFile(folder_, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED)),
          changed_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        if (!directory_ || !changed_ || !stop_ || !arm())
            throw std::runtime_error("cannot watch the temporary folder");
        thread_ = std::thread([this] { run(); });
    }
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;
    ~Scanner() {
        SetEvent(stop_.get());
        thread_.join();
        if (armed_) {
            CancelIoEx(directory_.get(), &overlapped_);
            DWORD bytes = 0;
            GetOverlappedResult(directory_.get(), &overlapped_, &bytes, TRUE);
        }
    }

    int filesSeen() const { return seen_; }
    int filesCaught() const { return caught_; }
    // Holding no file, and no notification waiting to be looked at.
    bool idle() const { return !busy_ && WaitForSingleObject(changed_.get(), 0) == WAIT_TIMEOUT; }

private:
    bool arm() {
        overlapped_ = {};
        overlapped_.hEvent = changed_.get();
        ResetEvent(changed_.get());
        armed_ = ReadDirectoryChangesW(directory_.get(), buffer_.data(),
                                       static_cast<DWORD>(buffer_.size() * sizeof(DWORD)), FALSE,
                                       FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &overlapped_, nullptr) != FALSE;
        return armed_;
    }

    void run() {
        const HANDLE waits[] = {stop_.get(), changed_.get()};
        while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            busy_ = true;
            DWORD bytes = 0;
            GetOverlappedResult(directory_.get(), &overlapped_, &bytes, FALSE);
            std::vector<std::wstring> added;
            for (DWORD offset = 0; bytes > 0;) {
                const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(
                    reinterpret_cast<const char*>(buffer_.data()) + offset);
                if (info->Action == FILE_ACTION_ADDED)
                    added.emplace_back(info->FileName, info->FileNameLength / sizeof(WCHAR));
                if (!info->NextEntryOffset) break;
                offset += info->NextEntryOffset;
            }
            const bool armed = arm();
            for (const std::wstring& name : added) scan(folder_ + name);
            busy_ = false;
            if (!armed) return;
        }
    }

    void scan(const std::wstring& path) {
        ++seen_;
        const auto giveUp = std::chrono::steady_clock::now() + 200ms;
        for (;;) {
            if (const OwnedHandle file = openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0)) {
                ++caught_;
                std::this_thread::sleep_for(hold_);
                return;
            }
            if (GetLastError() != ERROR_SHARING_VIOLATION || std::chrono::steady_clock::now() > giveUp) return;
            std::this_thread::sleep_for(1ms);
        }
    }

    Duration hold_;
    std::wstring folder_;
    OwnedHandle directory_, changed_, stop_;
    std::vector<DWORD> buffer_ = std::vector<DWORD>(16 * 1024);  // DWORD-aligned, as the notifications must be
    OVERLAPPED overlapped_{};
    bool armed_ = false;  // a read is pending on overlapped_
    std::atomic<int> seen_{0}, caught_{0};
    std::atomic<bool> busy_{false};
    std::thread thread_;
};

TEST(Skin, ASettingsFileThatAScannerHoldsOpenIsNotLeftBehind) {
    constexpr int kStarts = 8;
    const COLORREF skinnedCaption = skinColor(skinSettings(), "Caption.Active1");
    Scanner scanner(400ms);
    for (int start = 1; start <= kStarts; ++start) {
        const auto before = temporaryFiles();
        const int seenBefore = scanner.filesSeen();
        {
            App app;
            SetCursorPos(0, 0);
            app.activate();
            const RECT bar = frameOf(app.form()).caption;
            const POINT caption{bar.left, bar.top};
            EXPECT_TRUE(waitFor([&] { return similar(screenPixel(caption), skinnedCaption); }, 5s))
                << "start " << start << ": the window is skinned";
            app.setEditText("5");
            app.click(app.control("Button", "TM聊天"));
            EXPECT_TRUE(waitFor([&] { return windowText(app.groupBox()) == "正在和5 聊天"; }))
                << "start " << start << ": the window works";
        }
        EXPECT_TRUE(waitFor([&] { return scanner.filesSeen() > seenBefore; }, 5s))
            << "start " << start << ": the scanner saw the settings file";
        ASSERT_TRUE(waitFor([&] { return scanner.idle(); }, 5s)) << "start " << start << ": the scanner lets go";
        std::vector<std::string> left;
        for (const std::string& name : temporaryFiles())
            if (!before.count(name)) left.push_back(name);
        EXPECT_TRUE(left.empty()) << "start " << start << ": " << left.size() << " file(s) left behind, the first "
                                  << (left.empty() ? "" : left.front());
        for (const std::string& name : left) {
            char folder[MAX_PATH + 1] = {};
            GetTempPathA(sizeof folder, folder);
            DeleteFileA((folder + name).c_str());
        }
    }
    std::printf("the scanner caught the settings file in %d of %d starts\n", scanner.filesCaught(), kStarts);
}

// A copy of vod.exe with another stored skin, deleted again with this object.
class ProgramWithSkin {
public:
    explicit ProgramWithSkin(const std::vector<std::uint8_t>& skinBytes)
        : path_(binaryDir() + "\\vod-other-skin.exe") {
        if (!CopyFileA((binaryDir() + "\\vod.exe").c_str(), path_.c_str(), FALSE))
            throw std::runtime_error("cannot copy vod.exe");
        HANDLE update = BeginUpdateResourceA(path_.c_str(), FALSE);
        if (!update) throw std::runtime_error("cannot open the copy's resources");
        std::vector<std::uint8_t> bytes = skinBytes;
        UpdateResourceA(update, RT_RCDATA, "SKIN", kChinesePrc, bytes.empty() ? nullptr : bytes.data(),
                        static_cast<DWORD>(bytes.size()));
        if (!EndUpdateResourceA(update, FALSE)) throw std::runtime_error("cannot write the copy's resources");
    }
    ProgramWithSkin(const ProgramWithSkin&) = delete;
    ProgramWithSkin& operator=(const ProgramWithSkin&) = delete;
    ~ProgramWithSkin() { DeleteFileA(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(Skin, AStoredSkinThatCannotBeLoadedLeavesTheStandardLookAndSaysNothing) {
    const auto good = storedSkin();
    ASSERT_FALSE(good.empty());
    auto entries = skin::unpack(good.data(), good.size());
    auto withSettings = [&](const std::string& from, const std::string& to) {
        auto changed = entries;
        for (skin::Entry& e : changed)
            if (e.name == "skin.ini") {
                std::string text(e.data.begin(), e.data.end());
                const auto at = text.find(from);
                if (at == std::string::npos) throw std::runtime_error("no " + from + " in the settings");
                text.replace(at, from.size(), to);
                e.data.assign(text.begin(), text.end());
            }
        return skin::pack(changed);
    };
    auto flipped = good;
    flipped[good.size() / 2] ^= 0x40;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> skin;
    } cases[] = {
        {"a byte changed on the way", flipped},
        {"cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
        {"settings without a colour", withSettings("CloseHot=", "CloseWarm=")},
        {"a colour that is not one", withSettings("Face=#F7E3C6", "Face=orange")},
    };
    const COLORREF skinnedCaption = skinColor(skinSettings(), "Caption.Active1");
    const auto temporaryBefore = temporaryFiles();
    for (const Case& c : cases) {
        ProgramWithSkin program(c.skin);
        Launch launch;
        launch.program = program.path();
        App app(launch);
        SetCursorPos(0, 0);
        const HWND tm = app.control("Button", "TM聊天");
        EXPECT_EQ(GetWindowLongA(tm, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON) << c.what << ": the system's button";
        const FrameOnScreen f = frameOf(app.form());
        EXPECT_FALSE(similar(screenPixel({f.caption.left, f.caption.top}), skinnedCaption, 10))
            << c.what << ": the standard caption bar";
        EXPECT_FALSE(app.waitForDialog(300ms)) << c.what << ": nothing is reported";
        app.setEditText("5");
        app.click(tm);
        EXPECT_TRUE(waitFor([&] { return windowText(app.groupBox()) == "正在和5 聊天"; })) << c.what << ": it works";
        PostMessageA(app.form(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(app.waitForExit()) << c.what;
        EXPECT_EQ(app.exitCode(), 0u) << c.what;
        EXPECT_EQ(temporaryFiles(), temporaryBefore) << c.what << ": no settings file is left behind";
    }
}

}  // namespace
}  // namespace e2e
