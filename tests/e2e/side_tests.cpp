// The side commands: clearing the box, the about box, and the banner that
// opens the forum.

#include <gtest/gtest.h>

#include "Recording.h"

namespace e2e {
namespace {

const std::string kForum = "https://forum.example.com/";

class SideCommands : public RecordingTest {
protected:
    HWND clear() const { return app.control("Button", "石"); }
    HWND about() const { return app.control("Button", "灯"); }
    HWND qq() const { return app.control("Button", "QQ聊天"); }
};

TEST_F(SideCommands, ClearEmptiesTheBoxAndLeavesTheCaption) {
    app.setEditText("12345678");
    app.click(qq());
    ASSERT_EQ(log.waitForCount(1).size(), 1u);
    ASSERT_TRUE(waitFor([&] { return windowText(app.groupBox()) == "正在和12345678 聊天"; }));

    app.click(clear());
    EXPECT_TRUE(waitFor([&] { return app.editText().empty(); }));
    EXPECT_EQ(windowText(app.groupBox()), "正在和12345678 聊天");

    app.click(clear());  // an empty box stays as it is
    SendMessageA(app.form(), WM_NULL, 0, 0);
    EXPECT_EQ(app.editText(), "");
    EXPECT_EQ(windowText(app.groupBox()), "正在和12345678 聊天");
    EXPECT_EQ(app.dialog(), nullptr);

    app.click(qq());
    HWND box = app.waitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(windowText(FindWindowExA(box, nullptr, "Static", nullptr)).find("你没有输入QQ号码"), std::string::npos);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(app.waitForNoDialog());
    EXPECT_EQ(log.read().size(), 1u);
}

TEST_F(SideCommands, AboutShowsTheFiveLinesInAModalBox) {
    app.click(about());
    HWND box = app.waitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(windowText(box), "松石晓灯vod1.0");
    const std::string expected = "     松石晓灯vod2.0\r  ---------------------------\r    松石晓灯 出品\r\r " + kForum;
    EXPECT_EQ(windowText(FindWindowExA(box, nullptr, "Static", nullptr)), expected);
    HWND ok = FindWindowExA(box, nullptr, "Button", nullptr);
    EXPECT_EQ(windowText(ok), "OK");
    EXPECT_EQ(FindWindowExA(box, ok, "Button", nullptr), nullptr);
    EXPECT_FALSE(IsWindowEnabled(app.form()));
    // Centred on the screen.
    const RECT r = windowRect(box);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    app.click(ok);
    EXPECT_TRUE(app.waitForNoDialog());
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(app.form()) != FALSE; }));
}

TEST_F(SideCommands, AClickAnywhereOnTheBannerOpensTheForumAndItsFrameDoesNot) {
    app.activate();
    HWND banner = app.image();
    HWND panel = GetParent(banner);
    const POINT onBanner[] = {screenPoint(banner, 0, 0), screenPoint(banner, 87, 0), screenPoint(banner, 0, 30),
                              screenPoint(banner, 87, 30), centerOf(banner)};
    std::size_t count = 0;
    for (const POINT& p : onBanner) {
        app.mouseClickAt(p);
        const auto records = log.waitForCount(++count);
        ASSERT_EQ(records.size(), count) << "click at " << p.x << "," << p.y;
        EXPECT_EQ(records.back().scheme, "https");
        EXPECT_EQ(records.back().uri, kForum);
    }
    // The panel's frame above and below the banner.
    app.mouseClickAt(screenPoint(panel, 60, 0));
    app.mouseClickAt(screenPoint(panel, 60, 32));
    // Then something that does launch, to know the frame clicks have been handled.
    app.setEditText("5");
    app.click(qq());
    const auto records = log.waitForCount(count + 1);
    ASSERT_EQ(records.size(), count + 1);
    EXPECT_EQ(records.back().uri, kQQ + "5");
}

// Takes the https handler away for the length of a test.
class WithoutWebHandler {
public:
    WithoutWebHandler() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", 0, KEY_READ, &key) == ERROR_SUCCESS) {
            char value[1024] = {};
            DWORD size = sizeof value;
            RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
            saved_ = value;
            RegCloseKey(key);
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "https");
    }
    ~WithoutWebHandler() {
        HKEY key;
        RegCreateKeyExA(HKEY_CLASSES_ROOT, "https", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegSetValueExA(key, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(key);
        RegCreateKeyExA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_.c_str()),
                       static_cast<DWORD>(saved_.size() + 1));
        RegCloseKey(key);
    }

private:
    std::string saved_;
};

TEST_F(SideCommands, WithNoWebHandlerTheBannerReportsNothing) {
    WithoutWebHandler noHandler;
    app.activate();
    app.mouseClickAt(centerOf(app.image()));
    app.setEditText("6");
    app.click(qq());
    const auto records = log.waitForCount(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].uri, kQQ + "6") << "the window is still usable";
    EXPECT_EQ(app.dialog(), nullptr) << "nothing is reported";
    EXPECT_EQ(app.topLevelWindows().size(), 2u) << "no window of the shell's either";
}

}  // namespace
}  // namespace e2e
