// The window as it opens: its place, its controls, the keyboard, the hints,
// the show request and the ways it closes.

#include <gtest/gtest.h>

#include "Harness.h"

namespace e2e {
namespace {

const std::string kTitle = "松石晓灯vod1.0";
const std::string kPanelHint = "松石晓灯 出品   https://forum.example.com/";

bool sameRect(const RECT& r, int left, int top, int width, int height) {
    return r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right - r.left) +
           " x " + std::to_string(r.bottom - r.top) + ")";
}

TEST(Window, OpensAtItsDesignedPlaceAndSize) {
    App app;
    const RECT outer = windowRect(app.form());
    EXPECT_TRUE(sameRect(outer, 518, 154, 174, 204)) << describe(outer);
    const SIZE client = clientSize(app.form());
    EXPECT_EQ(client.cx, 166);
    EXPECT_EQ(client.cy, 177);
    EXPECT_EQ(windowText(app.form()), "vod2.0");
    EXPECT_FALSE(IsZoomed(app.form()));
}

TEST(Window, TheTaskbarEntryCarriesTheApplicationTitle) {
    App app;
    HWND taskbar = app.taskbarWindow();
    ASSERT_NE(taskbar, nullptr);
    EXPECT_EQ(windowText(taskbar), kTitle);
    EXPECT_TRUE(IsWindowVisible(taskbar));
    EXPECT_EQ(GetWindow(app.form(), GW_OWNER), taskbar) << "the form has no taskbar button of its own";
}

TEST(Window, EveryControlHasItsPlaceAndText) {
    App app;
    struct Case {
        const char* what;
        HWND hwnd;
        int left, top, width, height;
        std::string text;
    } cases[] = {
        {"Panel1", app.control("TPanel"), 0, 0, 166, 177, ""},
        {"GroupBox1", app.groupBox(), 8, 8, 137, 89, "请输入对方QQ号码"},
        {"Edit1", app.edit(), 8, 24, 121, 21, "123456789"},
        {"BitBtn1", app.control("Button", "QQ聊天"), 8, 56, 49, 25, "QQ聊天"},
        {"Button3", app.control("Button", "TM聊天"), 72, 56, 49, 25, "TM聊天"},
        {"Panel2", app.control("TPanel", "Panel2"), 8, 96, 137, 33, "Panel2"},
        {"Image1", app.image(), 25, 1, 88, 31, ""},
        {"Button1", app.control("Button", "石"), 0, 0, 25, 33, "石"},
        {"Button2", app.control("Button", "灯"), 112, 0, 25, 33, "灯"},
        {"Label1", app.control("Static"), 22, 133, 129, 13, "=松石晓灯 出品="},
    };
    for (const Case& c : cases) {
        const RECT r = rectInParent(c.hwnd);
        EXPECT_TRUE(sameRect(r, c.left, c.top, c.width, c.height)) << c.what << " " << describe(r);
        EXPECT_EQ(windowText(c.hwnd), c.text) << c.what;
    }
    EXPECT_EQ(GetParent(app.image()), app.control("TPanel", "Panel2"));
    EXPECT_EQ(GetParent(app.control("Static")), app.control("TPanel"));
    EXPECT_EQ(GetParent(app.groupBox()), app.control("TPanel"));
    for (HWND button : {app.control("Button", "QQ聊天"), app.control("Button", "TM聊天"),
                        app.control("Button", "石"), app.control("Button", "灯")}) {
        EXPECT_FALSE(SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) << "no default button";
    }
}

TEST(Window, TabCyclesThroughTheFiveControlsBothWays) {
    App app;
    app.activate();
    const HWND order[] = {app.edit(), app.control("Button", "QQ聊天"), app.control("Button", "TM聊天"),
                          app.control("Button", "石"), app.control("Button", "灯")};
    ASSERT_TRUE(waitFor([&] { return app.focusedControl() == order[0]; })) << "the box has the focus at start";
    for (int step = 1; step <= 5; ++step) {
        app.pressKey(VK_TAB);
        HWND expected = order[step % 5];
        EXPECT_TRUE(waitFor([&] { return app.focusedControl() == expected; }, 3s)) << "Tab step " << step;
    }
    for (int step = 1; step <= 5; ++step) {
        app.pressKey(VK_TAB, true);
        HWND expected = order[(5 - step) % 5];
        EXPECT_TRUE(waitFor([&] { return app.focusedControl() == expected; }, 3s)) << "Shift+Tab step " << step;
    }
}

TEST(Window, EnterAndEscInTheBoxLaunchNothingAndCloseNothing) {
    RecorderLog log("EnterAndEsc");
    App app(Launch{-1, log.path(), {}});
    app.activate();
    ASSERT_TRUE(waitFor([&] { return app.focusedControl() == app.edit(); }));
    app.setEditText("");
    app.pressKey('7');  // proves that typed keys reach the box
    ASSERT_TRUE(waitFor([&] { return app.editText() == "7"; }, 3s));
    app.pressKey(VK_RETURN);
    app.pressKey(VK_ESCAPE);
    app.pressKey('8');
    ASSERT_TRUE(waitFor([&] { return app.editText() == "78"; }, 3s)) << "Enter and Esc were handled before this";
    EXPECT_EQ(app.dialog(), nullptr);
    EXPECT_EQ(WaitForSingleObject(app.process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(windowText(app.groupBox()), "请输入对方QQ号码");
    app.click(app.control("Button", "QQ聊天"));
    const auto records = log.waitForCount(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].uri, "tencent://Message/?Menu=YES&Exe=&Uin=78") << "the only launch is the click";
}

TEST(Window, HintsShowTheNearestHintTextAfterAPause) {
    App app;
    app.activate();
    HWND panel2 = app.control("TPanel", "Panel2");
    struct Case {
        const char* what;
        POINT at;
        std::string hint;
    } cases[] = {
        {"banner", centerOf(app.image()), "进入松石晓灯论坛"},
        {"number box", centerOf(app.edit()), "请输入你要聊天的QQ号码"},
        {"QQ button", centerOf(app.control("Button", "QQ聊天")), "聊天去"},
        {"TM button", centerOf(app.control("Button", "TM聊天")), kPanelHint},
        {"clear button", centerOf(app.control("Button", "石")), "点击这里清空"},
        {"about button", centerOf(app.control("Button", "灯")), "关于"},
        {"label", centerOf(app.control("Static")), kPanelHint},
        {"group box frame", screenPoint(app.groupBox(), 3, 50), kPanelHint},
        {"panel 2 frame", screenPoint(panel2, 60, 0), kPanelHint},
        {"panel 1", screenPoint(app.control("TPanel"), 4, 165), kPanelHint},
    };
    auto tooltip = [&]() -> HWND {
        for (HWND w : app.topLevelWindows())
            if (className(w) == "tooltips_class32") return w;
        return nullptr;
    };
    for (const Case& c : cases) {
        app.moveMouseTo({5, 5});
        ASSERT_TRUE(waitFor([&] { return tooltip() == nullptr; }, 5s)) << c.what;
        app.moveMouseTo(c.at);
        const auto moved = std::chrono::steady_clock::now();
        HWND tip = nullptr;
        ASSERT_TRUE(waitFor([&] { return (tip = tooltip()) != nullptr; }, 3s)) << c.what << ": no hint";
        const auto shown = std::chrono::steady_clock::now();
        EXPECT_EQ(windowText(tip), c.hint) << c.what;
        EXPECT_GE(shown - moved, 400ms) << c.what << ": the hint waits about 500 ms";
        if (&c == &cases[0]) {
            // Only once: how long a hint stays.
            ASSERT_TRUE(waitFor([&] { return tooltip() == nullptr; }, 5s)) << "the hint hides by itself";
            const auto hidden = std::chrono::steady_clock::now();
            EXPECT_GE(hidden - shown, 2000ms);
            EXPECT_LE(hidden - shown, 4000ms);
        }
    }
}

TEST(Startup, HonoursTheShowRequest) {
    {
        App app(Launch{SW_SHOWMAXIMIZED, {}, {}});
        EXPECT_TRUE(waitFor([&] { return IsZoomed(app.form()) != FALSE; }));
        // The panel still fills the window.
        const SIZE form = clientSize(app.form());
        const SIZE panel = clientSize(app.control("TPanel"));
        EXPECT_EQ(panel.cx, form.cx);
        EXPECT_EQ(panel.cy, form.cy);
    }
    {
        App app(Launch{SW_SHOWMINNOACTIVE, {}, {}});
        EXPECT_TRUE(waitFor([&] { return IsIconic(app.taskbarWindow()) != FALSE; }));
        EXPECT_FALSE(IsWindowVisible(app.form()));
        PostMessageA(app.taskbarWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(waitFor([&] { return app.focusedControl() == app.edit(); })) << "restored with the box focused";
    }
    {
        App app(Launch{SW_SHOWNORMAL, {}, {}});
        EXPECT_TRUE(sameRect(windowRect(app.form()), 518, 154, 174, 204));
    }
}

TEST(Window, MinimisesToItsTaskbarEntryAndComesBack) {
    App app;
    PostMessageA(app.form(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(waitFor([&] { return IsIconic(app.taskbarWindow()) && !IsWindowVisible(app.form()); }));
    PostMessageA(app.taskbarWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(waitFor([&] { return !IsIconic(app.taskbarWindow()) && IsWindowVisible(app.form()); }));
    EXPECT_TRUE(sameRect(windowRect(app.form()), 518, 154, 174, 204));
    app.setEditText("1");
    app.click(app.control("Button", "QQ聊天"));
    EXPECT_TRUE(waitFor([&] { return windowText(app.groupBox()) == "正在和1 聊天"; })) << "still usable";
}

TEST(Lifetime, EveryWayOfClosingEndsTheProcessWithExitCodeZero) {
    struct Case {
        const char* what;
        std::function<void(App&)> close;
    } cases[] = {
        {"close message", [](App& a) { PostMessageA(a.form(), WM_CLOSE, 0, 0); }},
        {"system menu", [](App& a) { PostMessageA(a.form(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4",
         [](App& a) {
             a.activate();
             INPUT in[4] = {};
             for (INPUT& i : in) i.type = INPUT_KEYBOARD;
             in[0].ki.wVk = VK_MENU;
             in[1].ki.wVk = VK_F4;
             in[2].ki.wVk = VK_F4;
             in[2].ki.dwFlags = KEYEVENTF_KEYUP;
             in[3].ki.wVk = VK_MENU;
             in[3].ki.dwFlags = KEYEVENTF_KEYUP;
             SendInput(4, in, sizeof(INPUT));
         }},
        {"close box",
         [](App& a) {
             a.activate();
             const RECT r = windowRect(a.form());
             const int button = GetSystemMetrics(SM_CYCAPTION);
             a.mouseClickAt({r.right - GetSystemMetrics(SM_CXFRAME) - button / 2,
                             r.top + GetSystemMetrics(SM_CYFRAME) + button / 2});
         }},
    };
    for (const Case& c : cases) {
        App app;
        c.close(app);
        ASSERT_TRUE(app.waitForExit()) << c.what;
        EXPECT_EQ(app.exitCode(), 0u) << c.what;
    }
}

}  // namespace
}  // namespace e2e
