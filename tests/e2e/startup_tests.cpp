// What a user sees when the program cannot build its window: one error box,
// captioned with the application's title, that says what failed and where in
// the layout; once it is dismissed the program ends with a failure code.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Harness.h"

namespace e2e {
namespace {

// A copy of vod.exe with another window layout, deleted again with this object.
class ProgramWithLayout {
public:
    explicit ProgramWithLayout(const std::string& layout) : path_(binaryDir() + "\\vod-other-layout.exe") {
        if (!CopyFileA((binaryDir() + "\\vod.exe").c_str(), path_.c_str(), FALSE))
            throw std::runtime_error("cannot copy vod.exe");
        HANDLE update = BeginUpdateResourceA(path_.c_str(), FALSE);
        if (!update) throw std::runtime_error("cannot open the copy's resources");
        std::string bytes = layout;
        UpdateResourceA(update, RT_RCDATA, "TFORM1", kChinesePrc, bytes.data(), static_cast<DWORD>(bytes.size()));
        if (!EndUpdateResourceA(update, FALSE)) throw std::runtime_error("cannot write the copy's resources");
    }
    ProgramWithLayout(const ProgramWithLayout&) = delete;
    ProgramWithLayout& operator=(const ProgramWithLayout&) = delete;
    ~ProgramWithLayout() { DeleteFileA(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct Seen {
    HWND box = nullptr;
    std::string caption, text;
    bool hasIcon = false;
};

TEST(Startup, ALayoutThatCannotBeReadIsReportedWithTheTitleAndTheProgramEnds) {
    const auto stored = ProgramFile().resource(RT_RCDATA, "TFORM1", kChinesePrc);
    ASSERT_FALSE(stored.empty());
    const std::string good(stored.begin(), stored.end());
    const auto secondLine = good.find('\n') + 1;
    struct Case {
        const char* what;
        std::string layout;
        std::string says;
    } cases[] = {
        {"an unknown property", std::string(good).insert(secondLine, "  Flavour = 1\n"), "Unit1.dfm:2: Form1.Flavour"},
        {"a layout cut short", good.substr(0, good.size() / 2), "Unit1.dfm:"},
    };
    for (const Case& c : cases) {
        ProgramWithLayout program(c.layout);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string commandLine = "\"" + program.path() + "\"";
        ASSERT_TRUE(CreateProcessA(program.path().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi))
            << c.what;
        Seen seen;
        waitFor([&] {
            struct Search {
                DWORD pid;
                HWND found;
            } search{pi.dwProcessId, nullptr};
            EnumWindows(
                [](HWND hwnd, LPARAM lp) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(lp);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(hwnd, &pid);
                    if (pid == s->pid && IsWindowVisible(hwnd) && className(hwnd) == "#32770") s->found = hwnd;
                    return !s->found;
                },
                reinterpret_cast<LPARAM>(&search));
            return (seen.box = search.found) != nullptr;
        });
        if (seen.box) {
            seen.caption = windowText(seen.box);
            seen.text = windowText(GetDlgItem(seen.box, 0xFFFF));
            seen.hasIcon = GetDlgItem(seen.box, 0x14) != nullptr;
            PostMessageA(seen.box, WM_COMMAND, IDOK, 0);
        }
        const bool ended = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(pi.hProcess, 99);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);

        ASSERT_NE(seen.box, nullptr) << c.what << ": an error box is shown";
        EXPECT_EQ(seen.caption, "松石晓灯vod1.0") << c.what;
        EXPECT_TRUE(seen.hasIcon) << c.what << ": with the error icon";
        EXPECT_NE(seen.text.find(c.says), std::string::npos) << c.what << ": " << seen.text;
        EXPECT_TRUE(ended) << c.what << ": the program ends once the box is dismissed";
        EXPECT_NE(code, 0u) << c.what << ": and says it failed";
    }
}

}  // namespace
}  // namespace e2e
