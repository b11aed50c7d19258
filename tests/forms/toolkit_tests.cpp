// The form toolkit in-process, under Wine: what it does when an event handler
// fails, how it refuses a layout that names what the form does not have, how
// it stands up to other code subclassing its windows, the order in which a
// form lets go of its window and what that window uses, and the layout
// properties that change what a form looks like or does.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/SkinData.h"

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

// A form's layout of that client size holding `objects`.
std::string formOf(int width, int height, const std::string& objects) {
    return "object TestForm: TTestForm\n  ClientWidth = " + std::to_string(width) + "\n  ClientHeight = " +
           std::to_string(height) + "\n" + objects + "end\n";
}

// A form whose every object is published under its name, with handlers by name.
class TestForm : public forms::Form {
public:
    using Handlers = std::map<std::string, std::function<void()>>;

    TestForm(forms::Application& app, const std::string& layout, const std::vector<std::string>& names,
             const Handlers& handlers = {})
        : Form(app) {
        forms::Published published;
        for (const std::string& name : names)
            published.fields[name] = [this, name](forms::Control& c) {
                controls_[name] = &c;
                return true;
            };
        for (const auto& [name, handler] : handlers)
            published.handlers[name] = [handler](forms::Control&) { handler(); };
        build(layout, "test.dfm", published);
    }

    forms::Control& operator[](const std::string& name) const { return *controls_.at(name); }
    HWND handleOf(const std::string& name) const { return controls_.at(name)->handle(); }

private:
    std::map<std::string, forms::Control*> controls_;
};

// The form of kLayout: one button, Go, whose click runs `onGo`.
TestForm goForm(forms::Application& app, std::function<void()> onGo, const std::string& layout = kLayout) {
    return TestForm(app, layout, {"Go"}, {{"GoClick", std::move(onGo)}});
}

// Clicks Go on the UI thread while another thread looks at, then dismisses, the box it raises.
struct BoxSeen {
    bool shown = false;
    std::string caption, text;
    bool hasIcon = false;
    RECT textRect{};
};

BoxSeen clickAndWatch(HWND button) {
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
    SendMessageA(button, BM_CLICK, 0, 0);
    done = true;
    watcher.join();
    return seen;
}

// Runs the thread's messages until `condition` holds or `timeout` passes.
bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 3s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(5);
    }
}

COLORREF screenPixel(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

void showOnTop(forms::Form& form) {
    SetCursorPos(1000, 700);
    form.show(SW_SHOWNORMAL);
    SetForegroundWindow(form.handle());
    UpdateWindow(form.handle());
}

TEST(Toolkit, AFailureInAHandlerIsReportedWithTheErrorIconAndTheFormGoesOn) {
    forms::Application app(GetModuleHandleA(nullptr));
    app.setTitle("Title");
    int calls = 0;
    TestForm form = goForm(app, [&] {
        ++calls;
        throw std::runtime_error("the disk is full");
    });
    form.show(SW_SHOWNORMAL);
    const BoxSeen first = clickAndWatch(form.handleOf("Go"));
    EXPECT_TRUE(first.shown);
    EXPECT_EQ(first.caption, "Title");
    EXPECT_EQ(first.text, "the disk is full");
    EXPECT_TRUE(first.hasIcon);
    const BoxSeen second = clickAndWatch(form.handleOf("Go"));
    EXPECT_TRUE(second.shown) << "the form still answers";
    EXPECT_EQ(calls, 2);
}

TEST(Toolkit, AnAbortLeavesTheHandlerSilently) {
    forms::Application app(GetModuleHandleA(nullptr));
    TestForm form = goForm(app, [] { throw forms::Abort(); });
    form.show(SW_SHOWNORMAL);
    EXPECT_FALSE(clickAndWatch(form.handleOf("Go")).shown);
}

TEST(Toolkit, TheMessageBoxHasNoIconAndTheTitle) {
    forms::Application app(GetModuleHandleA(nullptr));
    app.setTitle("Title");
    TestForm form = goForm(app, [&app] { app.showMessageBox("line 1\rline 2"); });
    form.show(SW_SHOWNORMAL);
    const BoxSeen seen = clickAndWatch(form.handleOf("Go"));
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, "Title");
    EXPECT_EQ(seen.text, "line 1\rline 2");
    EXPECT_FALSE(seen.hasIcon);
}

TEST(Toolkit, TheMessageBoxWrapsLongTextAtHalfTheScreen) {
    forms::Application app(GetModuleHandleA(nullptr));
    std::string text;
    for (int i = 0; i < 200; ++i) text += "word ";
    TestForm form = goForm(app, [&app, text] { app.showMessageBox(text); });
    form.show(SW_SHOWNORMAL);
    const BoxSeen seen = clickAndWatch(form.handleOf("Go"));
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
            forms::Published published;
            forms::Button* go = nullptr;
            published.fields = {{"Go", forms::bindField(go)}};
            published.handlers = {{"GoClick", [](forms::Control&) {}}};
            struct Bare : forms::Form {
                Bare(forms::Application& a, const std::string& text, const forms::Published& p) : Form(a) {
                    build(text, "test.dfm", p);
                }
            } form(app, c.layout, published);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const forms::LayoutError& e) {
            EXPECT_EQ(e.line(), c.line) << c.what << ": " << e.what();
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.what << ": " << e.what();
        }
    }
}

// Other code may subclass any window of ours: an input method, a hook DLL, a
// desktop-wide skinning tool, or comctl32's own subclassing.
struct ForeignSubclass {
    int messages = 0;
    bool sawNcDestroy = false;
};

LRESULT CALLBACK foreignProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    auto* seen = reinterpret_cast<ForeignSubclass*>(data);
    ++seen->messages;
    if (msg == WM_NCDESTROY) {
        seen->sawNcDestroy = true;
        RemoveWindowSubclass(hwnd, foreignProc, id);
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// kLayout with the skin component, drawing the button.
const std::string kSkinnedLayout = std::string(kLayout).insert(std::string(kLayout).rfind("end\n"),
                                                               "  object Skin1: TSkinData\n"
                                                               "    Active = True\n"
                                                               "    SkinControls = [xcButton]\n"
                                                               "    SkinStore = '(Good)'\n"
                                                               "    SkinStream.Resource = 'SKIN'\n"
                                                               "  end\n");

TEST(Toolkit, AControlUnderAForeignSubclassStillClicksAndPaintsAndTheFormClosesCleanly) {
    forms::Application app(GetModuleHandleA(nullptr));
    int clicks = 0;
    ForeignSubclass seen;
    {
        TestForm form(app, kSkinnedLayout, {"Go", "Skin1"}, {{"GoClick", [&] { ++clicks; }}});
        const auto* skin = dynamic_cast<forms::SkinData&>(form["Skin1"]).skin().get();
        ASSERT_NE(skin, nullptr) << "the stored skin loads";
        const COLORREF face = skin->button.face;
        const HWND go = form.handleOf("Go");
        showOnTop(form);
        ASSERT_TRUE(pumpUntil([&] { return screenPixel(go, 2, 2) == face; })) << "skinned before the subclass";

        ASSERT_TRUE(SetWindowSubclass(go, foreignProc, 1, reinterpret_cast<DWORD_PTR>(&seen)));
        SendMessageA(go, BM_CLICK, 0, 0);
        EXPECT_EQ(clicks, 1) << "the click still reaches its handler";

        // Paint over the button, then let it paint itself again.
        {
            HDC dc = GetDC(go);
            RECT r;
            GetClientRect(go, &r);
            HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
            FillRect(dc, &r, magenta);
            DeleteObject(magenta);
            ReleaseDC(go, dc);
        }
        InvalidateRect(go, nullptr, TRUE);
        EXPECT_TRUE(pumpUntil([&] { return screenPixel(go, 2, 2) == face; }))
            << "the button still draws itself in the skin; the screen shows 0x" << std::hex << screenPixel(go, 2, 2);
        EXPECT_GT(seen.messages, 0);
    }
    EXPECT_TRUE(seen.sawNcDestroy) << "the foreign subclass stays in place to the end";
    // The application goes on after its form is gone: another form is made and works.
    TestForm again = goForm(app, [&] { ++clicks; });
    SendMessageA(again.handleOf("Go"), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
}

// What a window's destruction sees of the icons it shows.
struct IconsSeen {
    bool destroyed = false;
    bool bigAlive = false, smallAlive = false;
};

bool iconAlive(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

LRESULT CALLBACK iconProbe(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    if (msg == WM_DESTROY) {
        auto* seen = reinterpret_cast<IconsSeen*>(data);
        seen->destroyed = true;
        seen->bigAlive = iconAlive(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0)));
        seen->smallAlive = iconAlive(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0)));
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, iconProbe, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

TEST(Toolkit, AWindowIsDestroyedBeforeTheIconsItShows) {
    forms::Application app(GetModuleHandleA(nullptr));
    std::string layout = kLayout;
    layout.insert(layout.find("  object"), "  Icon.Resource = 'MAINICON'\n");
    IconsSeen seen;
    {
        TestForm form = goForm(app, [] {}, layout);
        ASSERT_TRUE(SetWindowSubclass(form.handle(), iconProbe, 1, reinterpret_cast<DWORD_PTR>(&seen)));
        ASSERT_TRUE(iconAlive(reinterpret_cast<HICON>(SendMessageA(app.handle(), WM_GETICON, ICON_BIG, 0))))
            << "the taskbar entry shows the form's icon";
    }
    ASSERT_TRUE(seen.destroyed);
    EXPECT_TRUE(seen.bigAlive) << "the form's big icon outlives its window";
    EXPECT_TRUE(seen.smallAlive) << "the form's small icon outlives its window";
    for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
        const auto icon = reinterpret_cast<HICON>(SendMessageA(app.handle(), WM_GETICON, which, 0));
        EXPECT_TRUE(!icon || iconAlive(icon)) << "the taskbar entry shows no icon that is gone, " << which;
    }
}

TEST(Toolkit, TheDefaultButtonTakesEnterAndTheCancelButtonEsc) {
    forms::Application app(GetModuleHandleA(nullptr));
    const std::string layout = formOf(200, 60,
        "  object Box: TEdit\n    Left = 8\n    Top = 8\n    Width = 60\n    Height = 21\n    TabOrder = 0\n  end\n"
        "  object Yes: TButton\n    Left = 70\n    Top = 8\n    Width = 50\n    Height = 25\n"
        "    Default = True\n    TabOrder = 1\n    OnClick = YesClick\n  end\n"
        "  object No: TButton\n    Left = 130\n    Top = 8\n    Width = 50\n    Height = 25\n"
        "    Cancel = True\n    TabOrder = 2\n    OnClick = NoClick\n  end\n");
    std::vector<std::string> clicked;
    TestForm form(app, layout, {"Box", "Yes", "No"},
                  {{"YesClick", [&] { clicked.push_back("Yes"); }}, {"NoClick", [&] { clicked.push_back("No"); }}});
    showOnTop(form);
    SetFocus(form.handleOf("Box"));
    // What the dialog manager sends the form for Enter and Esc.
    SendMessageA(form.handle(), WM_COMMAND, IDOK, 0);
    SendMessageA(form.handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(clicked, (std::vector<std::string>{"Yes", "No"}));
    // Enter on a focused button presses that button, as in any dialog.
    SetFocus(form.handleOf("No"));
    SendMessageA(form.handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(clicked, (std::vector<std::string>{"Yes", "No", "No"}));
}

TEST(Toolkit, TheFormsColourAndAutoSizeAreHonoured) {
    forms::Application app(GetModuleHandleA(nullptr));
    std::string layout = kLayout;
    const std::string designed = "  ClientWidth = 100\n  ClientHeight = 60\n";
    layout.replace(layout.find(designed), designed.size(),
                   "  ClientWidth = 10\n  ClientHeight = 10\n  AutoSize = True\n  Color = clRed\n");
    // Wider than the narrowest window the system allows.
    layout.replace(layout.find("Width = 80"), 10, "Width = 180");
    TestForm form = goForm(app, [] {}, layout);
    RECT client;
    GetClientRect(form.handle(), &client);
    EXPECT_EQ(client.right, 188) << "as wide as its content";
    EXPECT_EQ(client.bottom, 33) << "as tall as its content";
    showOnTop(form);
    EXPECT_TRUE(pumpUntil([&] { return screenPixel(form.handle(), 2, 2) == RGB(255, 0, 0); }))
        << "0x" << std::hex << screenPixel(form.handle(), 2, 2);
}

TEST(Toolkit, ALabelSizesItselfToItsTextUnlessToldNotTo) {
    forms::Application app(GetModuleHandleA(nullptr));
    const std::string layout = formOf(200, 60,
        "  object Grows: TLabel\n    Left = 8\n    Top = 8\n    Width = 5\n    Height = 5\n"
        "    Caption = 'Some words'\n  end\n"
        "  object Fixed: TLabel\n    Left = 8\n    Top = 30\n    Width = 5\n    Height = 5\n"
        "    AutoSize = False\n    Caption = 'Some words'\n  end\n");
    TestForm form(app, layout, {"Grows", "Fixed"});
    const HWND grows = form.handleOf("Grows");
    SIZE text{};
    TEXTMETRICA metrics{};
    {
        HDC dc = GetDC(grows);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(grows, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, "Some words", 10, &text);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(grows, dc);
    }
    RECT r;
    GetClientRect(grows, &r);
    EXPECT_EQ(r.right, text.cx);
    EXPECT_EQ(r.bottom, metrics.tmHeight);
    GetClientRect(form.handleOf("Fixed"), &r);
    EXPECT_EQ(r.right, 5);
    EXPECT_EQ(r.bottom, 5);
}

TEST(Toolkit, EachControlShowsItsOwnCursor) {
    forms::Application app(GetModuleHandleA(nullptr));
    const std::string layout = formOf(200, 60,
        "  object Hand: TImage\n    Left = 8\n    Top = 8\n    Width = 20\n    Height = 20\n"
        "    Cursor = crHandPoint\n  end\n"
        "  object Plain: TImage\n    Left = 40\n    Top = 8\n    Width = 20\n    Height = 20\n  end\n"
        "  object Side: TPanel\n    Left = 80\n    Top = 8\n    Width = 20\n    Height = 20\n"
        "    Cursor = crHandPoint\n    TabOrder = 0\n  end\n");
    TestForm form(app, layout, {"Hand", "Plain", "Side"});
    const struct {
        const char* name;
        LPCSTR cursor;
    } cases[] = {{"Hand", IDC_HAND}, {"Plain", IDC_ARROW}, {"Side", IDC_HAND}};
    for (const auto& c : cases) {
        SetCursor(nullptr);
        const HWND hwnd = form.handleOf(c.name);
        SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, c.cursor)) << c.name;
    }
}

TEST(Toolkit, ReadingOrderIsInheritedUnlessAControlSetsItsOwn) {
    forms::Application app(GetModuleHandleA(nullptr));
    const std::string layout = formOf(200, 80,
        "  object Outer: TPanel\n    Left = 0\n    Top = 0\n    Width = 200\n    Height = 80\n"
        "    BiDiMode = bdRightToLeft\n    ParentBiDiMode = False\n    TabOrder = 0\n"
        "    object Inherits: TEdit\n      Left = 8\n      Top = 8\n      Width = 60\n      Height = 21\n"
        "      TabOrder = 0\n    end\n"
        "    object Own: TEdit\n      Left = 8\n      Top = 40\n      Width = 60\n      Height = 21\n"
        "      BiDiMode = bdLeftToRight\n      ParentBiDiMode = False\n      TabOrder = 1\n    end\n"
        "  end\n");
    TestForm form(app, layout, {"Outer", "Inherits", "Own"});
    auto rtl = [&](const char* name) { return (GetWindowLongA(form.handleOf(name), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0; };
    EXPECT_TRUE(rtl("Inherits"));
    EXPECT_FALSE(rtl("Own"));
}

TEST(Toolkit, ThePicturesSeeThroughPixelsShowWhatLiesBeneath) {
    forms::Application app(GetModuleHandleA(nullptr));
    // The picture is 8 x 4: its first frame is blue on the left and clear on the right,
    // its second clear on the left and gold on the right, 100 ms each.
    const std::string layout = formOf(40, 20,
        "  object Back: TPanel\n    Left = 0\n    Top = 0\n    Width = 40\n    Height = 20\n"
        "    BevelOuter = bvNone\n    Color = clRed\n    Caption = ''\n    TabOrder = 0\n"
        "    object Picture: TImage\n      Left = 4\n      Top = 4\n      Width = 8\n      Height = 4\n"
        "      Picture.Resource = 'SEETHROUGH'\n    end\n"
        "  end\n");
    TestForm form(app, layout, {"Back", "Picture"});
    showOnTop(form);
    const HWND picture = form.handleOf("Picture");
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0x1E, 0x90, 0xFF), gold = RGB(0xFF, 0xD7, 0x00);
    auto shows = [&](COLORREF left, COLORREF right) {
        return screenPixel(picture, 1, 1) == left && screenPixel(picture, 6, 2) == right;
    };
    EXPECT_TRUE(pumpUntil([&] { return shows(blue, red); })) << "first frame over the panel";
    EXPECT_TRUE(pumpUntil([&] { return shows(red, gold); })) << "second frame over the panel";
    EXPECT_TRUE(pumpUntil([&] { return shows(blue, red); })) << "and round again";
}

}  // namespace
