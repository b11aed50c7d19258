// Reading stored layouts: the notation, the meaning of properties, and the
// program's own window layout (its code-page-936 copy, as the program reads it).

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "chat/About.h"
#include "forms/LayoutArgs.h"

namespace {

using forms::LayoutError;
using forms::readFormLayout;

const forms::TextTable kTexts{{"Credit", "me"}, {"Address", "https://x.example/"}};

std::string form(const std::string& body) {
    return "object F: TF\n  ClientWidth = 10\n" + body + "end\n";
}

TEST(Layout, ReadsValuesOfEveryKind) {
    const auto layout = readFormLayout(form("  object P: TPanel\n"
                                            "    Caption = 'it''s'#13'x' + Credit\n"
                                            "    Hint = Address\n"
                                            "    Left = -3\n"
                                            "    BevelInner = bvLowered\n"
                                            "    TabOrder = 2\n"
                                            "  end\n"
                                            "  object S: TSkinData\n"
                                            "    SkinControls = [xcEdit, xcButton]\n"
                                            "    Skin3rd = (\n      'A=b'\n      'C=d')\n"
                                            "  end\n"),
                                       "t.dfm", kTexts);
    ASSERT_EQ(layout.children.size(), 2u);
    const auto& panel = std::get<forms::PanelArgs>(layout.children[0].args);
    EXPECT_EQ(panel.caption, "it's\rxme");
    EXPECT_EQ(panel.hint, "https://x.example/");
    EXPECT_EQ(panel.bounds.left, -3);
    EXPECT_EQ(panel.bevelInner, forms::Bevel::Lowered);
    EXPECT_EQ(panel.tabOrder, 2);
    const auto& skin = std::get<forms::SkinDataArgs>(layout.children[1].args);
    EXPECT_EQ(skin.skinControls, (std::vector<std::string>{"xcEdit", "xcButton"}));
    EXPECT_EQ(skin.skin3rd, (std::vector<std::string>{"A=b", "C=d"}));
}

TEST(Layout, RefusesFaultsNamingTheLine) {
    struct Case {
        const char* what;
        std::string text;
        int line;
    } cases[] = {
        {"empty file", "", 1},
        {"no end", "object F: TF\n  Left = 1\n", 3},
        {"text after end", form("") + "x\n", 4},
        {"unknown property", form("  Colour = clRed\n"), 3},
        {"unknown kind", form("  object X: TTreeView\n  end\n"), 3},
        {"unknown property of a control", form("  object B: TButton\n    Flat = True\n  end\n"), 4},
        {"wrong type", form("  object B: TButton\n    Caption = 12\n  end\n"), 4},
        {"bad boolean", form("  object B: TButton\n    Default = Yes\n  end\n"), 4},
        {"bad choice", form("  object P: TPanel\n    Align = alTop\n  end\n"), 4},
        {"unknown text name", form("  object B: TButton\n    Caption = Nobody\n  end\n"), 4},
        {"unclosed quote", form("  object B: TButton\n    Caption = 'abc\n  end\n"), 4},
        {"byte code out of range", form("  object B: TButton\n    Caption = #256\n  end\n"), 4},
        {"set twice", form("  object B: TButton\n    Left = 1\n    Left = 2\n  end\n"), 5},
        {"duplicate name", form("  object B: TButton\n  end\n  object B: TButton\n  end\n"), 5},
        {"own font without ParentFont", form("  object L: TLabel\n    Font.Color = clRed\n  end\n"), 4},
        {"no value", form("  object B: TButton\n    Left =\n  end\n"), 4},
        {"missing colon", "object F TF\nend\n", 1},
        {"value on the next line", form("  Left =\n    3\n"), 3},
        {"huge number", form("  Left = 99999999999\n"), 3},
    };
    for (const Case& c : cases) {
        try {
            readFormLayout(c.text, "t.dfm", kTexts);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const LayoutError& e) {
            EXPECT_EQ(e.line(), c.line) << c.what << ": " << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("t.dfm:", 0), 0u) << c.what;
        }
    }
}

TEST(Layout, ColoursAreNamesRgbNumbersOrSystemColours) {
    // A number is 0x00BBGGRR; the designer writes a system colour as its index
    // with the high byte set, which reads as a negative number.
    const struct {
        const char* value;
        forms::Color color;
    } accepted[] = {
        {"clRed", forms::Color::rgb(255, 0, 0)},
        {"255", forms::Color::rgb(255, 0, 0)},
        {"16711680", forms::Color::rgb(0, 0, 255)},
        {"-16777201", forms::kBtnFace},
        {"-16777208", forms::kWindowText},
        {"-16777186", forms::Color::system(30)},
    };
    for (const auto& c : accepted) {
        const auto layout = readFormLayout(form(std::string("  Color = ") + c.value + "\n"), "t.dfm", kTexts);
        EXPECT_EQ(layout.form.color, c.color) << c.value;
    }
    for (const char* value : {"-1", "16777216", "-16777185", "536870912", "clNowhere"}) {
        try {
            readFormLayout(form(std::string("  Color = ") + value + "\n"), "t.dfm", kTexts);
            ADD_FAILURE() << value << ": accepted";
        } catch (const LayoutError& e) {
            EXPECT_EQ(e.line(), 3) << value << ": " << e.what();
        }
    }
}

TEST(Layout, ReadingOrderIsInheritedUnlessAControlSaysOtherwise) {
    const auto layout = readFormLayout(form("  object P: TPanel\n"
                                            "    BiDiMode = bdRightToLeft\n    ParentBiDiMode = False\n"
                                            "    object E: TEdit\n    end\n"
                                            "    object G: TGroupBox\n"
                                            "      BiDiMode = bdLeftToRight\n      ParentBiDiMode = False\n"
                                            "      object B: TButton\n      end\n"
                                            "    end\n"
                                            "  end\n"
                                            "  object L: TLabel\n  end\n"),
                                       "t.dfm", kTexts);
    const auto& p = layout.children[0];
    EXPECT_TRUE(forms::common(p.args).rightToLeft);
    EXPECT_TRUE(forms::common(p.children[0].args).rightToLeft) << "taken from the panel";
    EXPECT_FALSE(forms::common(p.children[1].args).rightToLeft) << "its own";
    EXPECT_FALSE(forms::common(p.children[1].children[0].args).rightToLeft) << "taken from the group box";
    EXPECT_FALSE(forms::common(layout.children[1].args).rightToLeft) << "the form reads left to right";
}

TEST(Layout, RefusesWhatTheToolkitWouldOtherwiseDrop) {
    const struct {
        const char* what;
        std::string text;
        int line;
    } cases[] = {
        {"a text height, which nothing here scales by", form("  TextHeight = 13\n"), 3},
        {"an own reading order without ParentBiDiMode = False",
         form("  object P: TPanel\n    BiDiMode = bdRightToLeft\n  end\n"), 4},
        {"a skin store that says a skin is stored when none is",
         form("  object S: TSkinData\n    SkinStore = '(Good)'\n  end\n"), 4},
        {"a stored skin the store does not confirm",
         form("  object S: TSkinData\n    SkinStream.Resource = 'SKIN'\n  end\n"), 3},
        {"menus that would not follow the skin",
         form("  object S: TSkinData\n    MenuUpdate = False\n  end\n"), 4},
    };
    for (const auto& c : cases) {
        try {
            readFormLayout(c.text, "t.dfm", kTexts);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const LayoutError& e) {
            EXPECT_EQ(e.line(), c.line) << c.what << ": " << e.what();
        }
    }
}

TEST(Layout, ShownHintIsTheNearestTextWhereHintsAreOn) {
    const auto layout = readFormLayout(form("  object P: TPanel\n"
                                            "    ParentShowHint = False\n    ShowHint = True\n    Hint = 'outer'\n"
                                            "    object Q: TPanel\n"
                                            "      object A: TButton\n      end\n"
                                            "      object B: TButton\n        Hint = 'own'\n      end\n"
                                            "      object C: TButton\n        ParentShowHint = False\n"
                                            "        ShowHint = False\n        Hint = 'off'\n      end\n"
                                            "    end\n"
                                            "  end\n"
                                            "  object R: TButton\n    Hint = 'form hints are off'\n  end\n"),
                                       "t.dfm", kTexts);
    const auto& p = layout.children[0];
    const auto& q = p.children[0];
    EXPECT_EQ(forms::common(p.args).shownHint, "outer");
    EXPECT_EQ(forms::common(q.args).shownHint, "outer");
    EXPECT_EQ(forms::common(q.children[0].args).shownHint, "outer");
    EXPECT_EQ(forms::common(q.children[1].args).shownHint, "own");
    EXPECT_EQ(forms::common(q.children[2].args).shownHint, "");
    EXPECT_EQ(forms::common(layout.children[1].args).shownHint, "");
}

TEST(Layout, TabSequenceFollowsTabOrderDepthFirst) {
    const auto layout = readFormLayout(form("  object G: TGroupBox\n    TabOrder = 1\n"
                                            "    object E2: TEdit\n      TabOrder = 1\n    end\n"
                                            "    object E1: TEdit\n      TabOrder = 0\n    end\n"
                                            "  end\n"
                                            "  object L: TLabel\n  end\n"
                                            "  object B: TButton\n    TabOrder = 0\n  end\n"),
                                       "t.dfm", kTexts);
    EXPECT_EQ(forms::tabSequence(layout), (std::vector<std::string>{"B", "E1", "E2"}));
}

// The program's own window.
class MainLayout : public ::testing::Test {
protected:
    static forms::FormLayout read() {
        std::ifstream in(VOD_LAYOUT_FILE, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const forms::TextTable texts{{"MakerCredit", std::string(chat::kMakerCredit)},
                                     {"ForumAddress", std::string(chat::kForumAddress)}};
        return readFormLayout(text.str(), "Unit1.dfm", texts);
    }

    static const forms::ControlArgs* find(const std::vector<forms::LayoutNode>& nodes, const std::string& name) {
        for (const auto& n : nodes) {
            if (forms::common(n.args).name == name) return &forms::common(n.args);
            if (const auto* found = find(n.children, name)) return found;
        }
        return nullptr;
    }
};

TEST_F(MainLayout, TabsThroughTheFiveControls) {
    EXPECT_EQ(forms::tabSequence(read()),
              (std::vector<std::string>{"Edit1", "BitBtn1", "Button3", "Button1", "Button2"}));
}

TEST_F(MainLayout, EveryControlShowsItsOwnHintOrThePanels) {
    const auto layout = read();
    const std::string panelHint = std::string(chat::kMakerCredit) + "   " + std::string(chat::kForumAddress);
    const std::pair<const char*, std::string> expected[] = {
        {"Panel1", panelHint},          {"Label1", panelHint},
        {"GroupBox1", panelHint},       {"Panel2", panelHint},
        {"Button3", panelHint},         {"Image1", "进入松石晓灯论坛"},
        {"Edit1", "请输入你要聊天的QQ号码"}, {"BitBtn1", "聊天去"},
        {"Button1", "点击这里清空"},     {"Button2", "关于"},
    };
    for (const auto& [name, hint] : expected) {
        const auto* c = find(layout.children, name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->shownHint, hint) << name;
    }
}

TEST(Layout, TheSkinDrawsTheListedKindsExceptTheDisabledTag) {
    forms::SkinDataArgs skin;
    skin.skinControls = {"xcEdit", "xcButton", "xcPanel"};
    skin.disableTag = 99;
    skin.skin3rd = {"TTBDock=Panel", "TRzButton=button", "TOddBox=nothing"};
    const struct {
        const char* className;
        int tag;
        bool skinned;
    } cases[] = {
        {"TEdit", 0, true},       {"TButton", 0, true},      {"TPanel", 7, true},
        {"TButton", 99, false},   {"TBitBtn", 0, false},     {"TGroupBox", 0, false},
        {"TLabel", 0, false},     {"TTBDock", 0, true},      {"TRzButton", 0, true},
        {"trzbutton", 0, true},   {"TRzButton", 99, false},  {"TOddBox", 0, false},
        {"TUnknown", 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(forms::skinApplies(skin, c.className, c.tag), c.skinned) << c.className << " tag " << c.tag;
}

TEST_F(MainLayout, TheSkinComponentDrawsEveryControlOfTheWindow) {
    const auto layout = read();
    const forms::SkinDataArgs* skin = nullptr;
    for (const auto& n : layout.children)
        if (const auto* s = std::get_if<forms::SkinDataArgs>(&n.args)) skin = s;
    ASSERT_NE(skin, nullptr);
    EXPECT_TRUE(skin->active);
    EXPECT_EQ(skin->skinControls.size(), 18u);
    EXPECT_EQ(skin->skinResource, "SKIN");
    for (const char* name : {"Panel1", "GroupBox1", "Edit1", "BitBtn1", "Button3", "Panel2", "Button1", "Button2"}) {
        const auto* c = find(layout.children, name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_TRUE(forms::skinApplies(*skin, c->className, c->tag)) << name;
    }
}

}  // namespace
