#include "forms/skin/Pack.h"
#include "forms/skin/Settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string packedSettings() {
    std::ifstream in(VOD_SKIN_FILE, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::vector<skin::Entry> entries = skin::unpack(file.data(), file.size());
    const skin::Entry* ini = skin::find(entries, "skin.ini");
    if (!ini) throw std::runtime_error("the committed skin has no skin.ini");
    return std::string(ini->data.begin(), ini->data.end());
}

TEST(SkinSettings, TheCommittedSkinReads) {
    const skin::Settings settings(packedSettings());
    EXPECT_EQ(settings.value("Skin", "Name"), "Lamplight");
    EXPECT_EQ(settings.color("Caption", "Active1"), 0x8C3B12u);
    EXPECT_EQ(settings.color("Menu", "Back"), 0xFBF4EAu);
    EXPECT_EQ(settings.number("Glyphs", "Width", 1, 64), 10);
    EXPECT_EQ(settings.value("Glyphs", "Order"), "minimize,maximize,restore,close");
}

// Each text is one the profile functions would have read as [Skin] Name=<name> and
// [Caption] Active1=#8C3B12.
TEST(SkinSettings, ReadsWhatTheProfileFunctionsRead) {
    struct Case {
        const char* what;
        std::string text;
        std::string name = "Lamplight";
    } cases[] = {
        {"LF line ends", "[Skin]\nName=Lamplight\n[Caption]\nActive1=#8C3B12\n"},
        {"CR LF line ends", "[Skin]\r\nName=Lamplight\r\n\r\n[Caption]\r\nActive1=#8C3B12\r\n"},
        {"no line end at the end", "[Skin]\nName=Lamplight\n[Caption]\nActive1=#8C3B12"},
        {"blank lines", "\n\n[Skin]\n \t\nName=Lamplight\r\n\r\n\n[Caption]\n\nActive1=#8C3B12\n\n"},
        {"comments", "; a skin\n[Skin]\n;Name=Commented\n  ; Name=Indented\nName=Lamplight\n;[Caption]\n"
                     "[Caption]\nActive1=#8C3B12\n"},
        {"whitespace around names and values",
         "  [ Skin ]  \n  Name \t=  Lamplight \t\r\n[Caption]\nActive1 = #8C3B12\n"},
        {"names in another case", "[SKIN]\nname=Lamplight\n[caption]\nACTIVE1=#8c3b12\n"},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF[Skin]\r\nName=Lamplight\r\n[Caption]\r\nActive1=#8C3B12\r\n"},
        {"lines before the first section", "Name=Stray\nActive1=#000000\n[Skin]\nName=Lamplight\n[Caption]\n"
                                           "Active1=#8C3B12\n"},
        {"lines without '=' and an unclosed header", "[Skin]\nLamplight\n[Caption\nName=Lamplight\n[Caption]\n"
                                                     "Active1=#8C3B12\n"},
        {"a note after a header", "[Skin] ; the name\nName=Lamplight\n[Caption]\nActive1=#8C3B12\n"},
        {"a repeated key: the first counts", "[Skin]\nName=Lamplight\nName=Other\n[Caption]\nActive1=#8C3B12\n"},
        {"a repeated section: the first counts", "[Skin]\nName=Lamplight\n[Caption]\nActive1=#8C3B12\n[Skin]\n"
                                                 "Name=Other\n[Caption]\nActive1=#000000\n"},
        {"'=' and double-byte text in a value", "[Skin]\nName=\xB5\xC6=\xB9\xE2 2\n[Caption]\nActive1=#8C3B12\n",
         "\xB5\xC6=\xB9\xE2 2"},
        {"an empty value", "[Skin]\nName=\n[Caption]\nActive1=#8C3B12\n", ""},
    };
    for (const Case& c : cases) {
        try {
            const skin::Settings settings(c.text);
            EXPECT_EQ(settings.value("Skin", "Name"), c.name) << c.what;
            EXPECT_EQ(settings.color("Caption", "Active1"), 0x8C3B12u) << c.what;
        } catch (const skin::SettingsError& e) {
            ADD_FAILURE() << c.what << ": " << e.what();
        }
    }
}

TEST(SkinSettings, SaysWhichSettingIsMissing) {
    struct Case {
        const char* what;
        std::string text;
        std::function<void(const skin::Settings&)> ask;
        std::string message;
    } cases[] = {
        {"no such section", "[Skin]\nName=x\n", [](auto& s) { s.requireSection("Menu"); },
         "the skin has no [Menu] settings"},
        {"a section without keys", "[Menu]\n; Back=#FFFFFF\nBack\n[Skin]\nName=x\n",
         [](auto& s) { s.requireSection("Menu"); }, "the skin has no [Menu] settings"},
        {"a key of a missing section", "[Skin]\nName=x\n", [](auto& s) { s.value("Menu", "Back"); },
         "the skin has no [Menu] settings"},
        {"no such key", "[Menu]\nFace=#FFFFFF\n", [](auto& s) { s.value("Menu", "Back"); },
         "the skin has no Menu.Back"},
        {"the key in another section", "[Menu]\nFace=#FFFFFF\n[Skin]\nBack=#FFFFFF\n",
         [](auto& s) { s.color("Menu", "Back"); }, "the skin has no Menu.Back"},
    };
    for (const Case& c : cases) {
        const skin::Settings settings(c.text);
        try {
            c.ask(settings);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const skin::SettingsError& e) {
            EXPECT_EQ(e.what(), c.message) << c.what;
        }
    }
}

TEST(SkinSettings, ReadsColoursAndNumbersStrictly) {
    const struct {
        const char* text;
        std::optional<std::uint32_t> rgb;
    } colours[] = {
        {"#8C3B12", 0x8C3B12u}, {"#8c3b12", 0x8C3B12u}, {"#000000", 0u},   {"#FFFFFF", 0xFFFFFFu},
        {"orange", {}},         {"8C3B12", {}},         {"#8C3B1", {}},    {"#8C3B123", {}},
        {"#8C3G12", {}},        {"#8C 3B1", {}},        {"", {}},          {"##8C3B1", {}},
    };
    for (const auto& c : colours) {
        const skin::Settings settings(std::string("[Menu]\nBack=") + c.text + "\n");
        try {
            const std::uint32_t rgb = settings.color("Menu", "Back");
            EXPECT_EQ(std::optional<std::uint32_t>(rgb), c.rgb) << c.text;
        } catch (const skin::SettingsError& e) {
            EXPECT_FALSE(c.rgb) << c.text << ": " << e.what();
            EXPECT_EQ(e.what(), std::string("the skin's Menu.Back is not a colour: ") + c.text);
        }
    }

    const struct {
        const char* text;
        std::optional<int> n;
    } numbers[] = {
        {"1", 1}, {"64", 64}, {"0010", 10}, {"0", {}}, {"65", {}}, {"00010", {}}, {"-1", {}}, {"+1", {}},
        {"1 0", {}}, {"ten", {}}, {"", {}},
    };
    for (const auto& c : numbers) {
        const skin::Settings settings(std::string("[Glyphs]\nWidth=") + c.text + "\n");
        try {
            EXPECT_EQ(std::optional<int>(settings.number("Glyphs", "Width", 1, 64)), c.n) << c.text;
        } catch (const skin::SettingsError& e) {
            EXPECT_FALSE(c.n) << c.text << ": " << e.what();
            EXPECT_STREQ(e.what(), "the skin's Glyphs.Width is out of range");
        }
    }
}

}  // namespace
