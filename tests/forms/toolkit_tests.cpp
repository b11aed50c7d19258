// The form toolkit in-process, under Wine: what it does when an event handler
// fails, and how it refuses a layout that names what the form does not have.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "forms/Application.h"
#include "forms/Form.h"

namespace {

using namespace std::chrono_literals;

constexpr char kLayout[] =
    "object TestForm: TTestForm\n"
    "  Caption = 'test'\n"
    "  ClientWidth = 100\n"
    "  ClientHeight = 60\n"
    "  object Go: TButton\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 80\n"
    "    Height = 25\n"
    "    Caption = 'go'\n"
    "    TabOrder = 0\n"
    "    OnClick = GoClick\n"
    "  end\n"
    "end\n";

class TestForm : public forms::Form {
public:
    TestForm(forms::Application& app, std::function<void()> onGo, const char* layout = kLayout) : Form(app) {
        forms::Published published;
        published.fields = {{"Go", forms::bindField(Go)}};
        published.handlers = {{"GoClick", [onGo](forms::Control&) { onGo(); }}};
        build(layout, "test.dfm", published);
    }
    forms::Button* Go = nullptr;
};

// Clicks Go on the UI thread while another thread looks at, then dismisses, the box it raises.
struct BoxSeen {
    bool shown = false;
    std::string caption, text;
    bool hasIcon = false;
    RECT textRect{};
};

BoxSeen clickAndWatch(TestForm& form) {
    BoxSeen seen;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (!done && std::chrono::steady_clock::now() < deadline) {
            HWND box = FindWindowA("#32770", nullptr);
            if (box && IsWindowVisible(box)) {
                char buffer[512] = {};
                GetWindowTextA(box, buffer, sizeof buffer);
                seen.caption = buffer;
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                seen.text = buffer;
                seen.hasIcon = GetDlgItem(box, 0x14) != nullptr;
                GetWindowRect(GetDlgItem(box, 0xFFFF), &seen.textRect);
                seen.shown = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(10ms);
        }
    });
    SendMessageA(form.Go->handle(), BM_CLICK, 0, 0);
    done = true;
    watcher.join();
    return seen;
}

TEST(Toolkit, AFailureInAHandlerIsReportedWithTheErrorIconAndTheFormGoesOn) {
    forms::Application app(GetModuleHandleA(nullptr));
    app.setTitle("Title");
    int calls = 0;
    TestForm form(app, [&] {
        ++calls;
        throw std::runtime_error("the disk is full");
    });
    form.show(SW_SHOWNORMAL);
    const BoxSeen first = clickAndWatch(form);
    EXPECT_TRUE(first.shown);
    EXPECT_EQ(first.caption, "Title");
    EXPECT_EQ(first.text, "the disk is full");
    EXPECT_TRUE(first.hasIcon);
    const BoxSeen second = clickAndWatch(form);
    EXPECT_TRUE(second.shown) << "the form still answers";
    EXPECT_EQ(calls, 2);
}

TEST(Toolkit, AnAbortLeavesTheHandlerSilently) {
    forms::Application app(GetModuleHandleA(nullptr));
    TestForm form(app, [] { throw forms::Abort(); });
    form.show(SW_SHOWNORMAL);
    EXPECT_FALSE(clickAndWatch(form).shown);
}

TEST(Toolkit, TheMessageBoxHasNoIconAndTheTitle) {
    forms::Application app(GetModuleHandleA(nullptr));
    app.setTitle("Title");
    forms::Application* appPtr = &app;
    TestForm form(app, [appPtr] { appPtr->showMessageBox("line 1\rline 2"); });
    form.show(SW_SHOWNORMAL);
    const BoxSeen seen = clickAndWatch(form);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, "Title");
    EXPECT_EQ(seen.text, "line 1\rline 2");
    EXPECT_FALSE(seen.hasIcon);
}

TEST(Toolkit, TheMessageBoxWrapsLongTextAtHalfTheScreen) {
    forms::Application app(GetModuleHandleA(nullptr));
    std::string text;
    for (int i = 0; i < 200; ++i) text += "word ";
    forms::Application* appPtr = &app;
    TestForm form(app, [appPtr, text] { appPtr->showMessageBox(text); });
    form.show(SW_SHOWNORMAL);
    const BoxSeen seen = clickAndWatch(form);
    ASSERT_TRUE(seen.shown);
    const int half = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int width = seen.textRect.right - seen.textRect.left;
    EXPECT_LE(width, half);
    EXPECT_GT(width, half * 3 / 4) << "lines fill the room they have";
    EXPECT_GT(seen.textRect.bottom - seen.textRect.top, 5 * 10) << "the text runs over several lines";
}

TEST(Toolkit, ALayoutNamingWhatTheFormLacksIsRefusedWithItsLine) {
    forms::Application app(GetModuleHandleA(nullptr));
    struct Case {
        const char* what;
        std::string layout;
        int line;
    } cases[] = {
        {"unknown handler", std::string(kLayout).replace(std::string(kLayout).find("GoClick"), 7, "StopClick"), 5},
        {"unknown field", std::string(kLayout).replace(std::string(kLayout).find("Go:"), 2, "Stop"), 5},
        {"wrong kind", "object TestForm: TTestForm\n  object Go: TPanel\n  end\nend\n", 2},
    };
    for (const Case& c : cases) {
        try {
            TestForm form(app, [] {}, c.layout.c_str());
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const forms::LayoutError& e) {
            EXPECT_EQ(e.line(), c.line) << c.what << ": " << e.what();
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.what << ": " << e.what();
        }
    }
}

}  // namespace
