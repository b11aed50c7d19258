// The two chat buttons, driven in the real window: what the group box says
// and what the tencent:// handler receives, byte for byte.

#include <gtest/gtest.h>

#include "Recording.h"

namespace e2e {
namespace {

const std::string kTitle = "松石晓灯vod1.0";

class Launching : public RecordingTest {
protected:
    HWND qq() const { return app.control("Button", "QQ聊天"); }
    HWND tm() const { return app.control("Button", "TM聊天"); }

    // Proves that nothing was launched so far: one more real launch must be the only record.
    void expectNothingLaunched() {
        app.setEditText("424242");
        app.click(qq());
        const auto records = log.waitForCount(1);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].uri, kQQ + "424242");
        EXPECT_EQ(log.waitForCount(2, 500ms).size(), 1u);
    }
};

TEST_F(Launching, HandsTheClientsUriToTheShellAndAnnouncesTheChat) {
    struct Case {
        const char* what;
        bool viaQQ;
        std::string typed, uri;
    } cases[] = {
        {"number, QQ", true, "12345678", kQQ + "12345678"},
        {"number, TM", false, "12345678", kTM + "12345678"},
        {"blanks around", true, "  12345678 ", kQQ + "12345678"},
        {"tab and line break at the ends", false, "\t12345678\r\n", kTM + "12345678"},
        {"letters", true, "abc", kQQ + "abc"},
        {"Chinese characters", false, "松石晓灯", kTM + "松石晓灯"},
        {"ampersand and percent", true, "1&Exe=x%41&%%", kQQ + "1&Exe=x%41&%%"},
        {"quotes", true, "1\"&Exe=x%41 \"2", kQQ + "1%22&Exe=x%41 %222"},
        {"control characters inside", false, "12\t34\x01" "56", kTM + "12\t34\x01" "56"},
        {"blanks inside", true, "12 34  56", kQQ + "12 34  56"},
        {"only blanks", true, "   ", kQQ},
        {"only control characters", false, "\t\r\n", kTM},
    };
    std::size_t count = 0;
    for (const Case& c : cases) {
        app.setEditText(c.typed);
        app.click(c.viaQQ ? qq() : tm());
        const auto records = log.waitForCount(++count);
        ASSERT_EQ(records.size(), count) << c.what;
        EXPECT_EQ(records.back().scheme, "tencent") << c.what;
        EXPECT_EQ(records.back().uri, c.uri) << c.what;
        EXPECT_EQ(records.back().argumentCount, 1) << c.what;
        EXPECT_EQ(windowText(app.groupBox()), "正在和" + c.typed + " 聊天") << c.what;
        EXPECT_EQ(app.editText(), c.typed) << c.what << ": the box keeps its text";
    }
    EXPECT_EQ(app.dialog(), nullptr);
}

TEST_F(Launching, EmptyBoxAnswersWithTheClientsMessageWhicheverWayItIsDismissed) {
    const std::string captionBefore = windowText(app.groupBox());
    EXPECT_EQ(captionBefore, "请输入对方QQ号码");
    struct Case {
        const char* what;
        bool viaQQ;
        std::string word;
        std::function<void(HWND)> dismiss;
    } cases[] = {
        {"QQ, OK button", true, "QQ", [&](HWND d) { app.click(FindWindowExA(d, nullptr, "Button", "OK")); }},
        {"TM, Enter", false, "TM", [&](HWND) { app.pressKey(VK_RETURN); }},
        {"QQ, Esc", true, "QQ", [&](HWND) { app.pressKey(VK_ESCAPE); }},
        {"TM, close box", false, "TM", [&](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        app.setEditText("");
        app.click(c.viaQQ ? qq() : tm());
        HWND box = app.waitForDialog();
        ASSERT_NE(box, nullptr) << c.what;
        EXPECT_EQ(windowText(box), kTitle) << c.what;
        const std::string expected = "呵呵!朋友\r你没有输入" + c.word + "号码\r    请重新输入！\r   要不和谁聊天?";
        EXPECT_EQ(windowText(FindWindowExA(box, nullptr, "Static", nullptr)), expected) << c.what;
        EXPECT_EQ(expected.size(), 60u);
        HWND ok = FindWindowExA(box, nullptr, "Button", nullptr);
        EXPECT_EQ(windowText(ok), "OK") << c.what;
        EXPECT_EQ(FindWindowExA(box, ok, "Button", nullptr), nullptr) << c.what << ": one button only";
        EXPECT_FALSE(IsWindowEnabled(app.form())) << c.what << ": the box is modal";
        SetForegroundWindow(box);
        waitFor([&] { return GetForegroundWindow() == box; }, 2s);
        c.dismiss(box);
        EXPECT_TRUE(app.waitForNoDialog()) << c.what;
        EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(app.form()) != FALSE; })) << c.what;
        EXPECT_EQ(windowText(app.groupBox()), captionBefore) << c.what;
        EXPECT_EQ(app.editText(), "") << c.what;
    }
    expectNothingLaunched();
}

TEST_F(Launching, TwoLaunchesInARowAnnounceTheSecondNumber) {
    // Each launch starts its own handler process; the second click waits for
    // the first record so that the log's order is the clicks' order.
    app.setEditText("11111");
    app.click(qq());
    ASSERT_EQ(log.waitForCount(1).size(), 1u);
    app.setEditText("22222");
    app.click(tm());
    const auto records = log.waitForCount(2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].uri, kQQ + "11111");
    EXPECT_EQ(records[1].uri, kTM + "22222");
    EXPECT_EQ(windowText(app.groupBox()), "正在和22222 聊天");
}

TEST_F(Launching, TheShellGetsUrisUpToTheBoundAndNothingLonger) {
    // 800 characters is the longest target handed to the shell.
    const std::string fits(800 - kQQ.size(), '7');
    app.setEditText(fits);
    app.click(qq());
    auto records = log.waitForCount(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].uri, kQQ + fits);

    const std::string tooLong = fits + "8";
    app.setEditText(tooLong);
    app.click(qq());
    EXPECT_TRUE(waitFor([&] { return windowText(app.groupBox()) == "正在和" + tooLong + " 聊天"; }));
    app.setEditText("424242");
    app.click(qq());
    records = log.waitForCount(2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].uri, kQQ + "424242") << "the over-long URI was not handed over";
}

TEST_F(Launching, SurvivesAHundredThousandCharacterPaste) {
    const std::string huge(100000, '9');
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, huge.size() + 1);
    memcpy(GlobalLock(memory), huge.c_str(), huge.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();

    app.setEditText("");
    SendMessageA(app.edit(), WM_PASTE, 0, 0);
    // Lengths only: Wine copies long texts between processes very slowly.
    auto length = [](HWND hwnd) { return static_cast<std::size_t>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)); };
    ASSERT_EQ(length(app.edit()), huge.size());
    app.click(qq());
    EXPECT_TRUE(waitFor([&] { return length(app.groupBox()) == huge.size() + 11; }));
    EXPECT_EQ(WaitForSingleObject(app.process(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
    expectNothingLaunched();
}

}  // namespace
}  // namespace e2e
