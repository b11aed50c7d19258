#pragma once
// What a stored layout means: one plain args struct per kind of control, with
// the designer's defaults, filled from one layout record by one function.
// Portable, so the program's own layout can be checked by native tests.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "forms/Layout.h"

namespace forms {

// Named texts a layout may refer to by identifier, e.g. Hint = ForumAddress.
using TextTable = std::map<std::string, std::string, std::less<>>;

// Either one of the system's colours (by its COLOR_* index) or an RGB value.
struct Color {
    bool isSystem = true;
    std::uint32_t value = 15;  // COLOR_BTNFACE
    static constexpr Color system(std::uint32_t index) { return {true, index}; }
    static constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return {false, std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16)};
    }
    bool operator==(const Color& o) const { return isSystem == o.isSystem && value == o.value; }
};

inline constexpr Color kBtnFace = Color::system(15);
inline constexpr Color kWindowText = Color::system(8);
inline constexpr Color kWindow = Color::system(5);

struct FontSpec {
    std::string name = "MS Sans Serif";
    int height = -11;  // negative: character height in pixels at the designed resolution
    Color color = kWindowText;
    int charset = 1;   // DEFAULT_CHARSET
    bool bold = false, italic = false, underline = false, strikeOut = false;
    bool operator==(const FontSpec& o) const {
        return name == o.name && height == o.height && color == o.color && charset == o.charset &&
               bold == o.bold && italic == o.italic && underline == o.underline && strikeOut == o.strikeOut;
    }
};

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class Align { None, Client };
enum class Bevel { None, Lowered, Raised };
enum class TextAlign { Left, Center, Right };
enum class Cursor { Default, HandPoint };

// What every control has.
struct ControlArgs {
    std::string name;
    std::string className;
    int line = 0;
    Bounds bounds;
    std::string hint;
    std::optional<bool> showHint;  // unset: taken from the parent
    std::optional<int> tabOrder;   // set only on controls that take the focus
    std::string onClick;           // handler name, empty for none
    FontSpec font;                 // the parent's unless the control sets its own
    bool rightToLeft = false;      // reading order: the parent's unless the control sets its own
    int tag = 0;
    Cursor cursor = Cursor::Default;
    // Filled by readFormLayout: the hint text shown for this control, empty for none.
    std::string shownHint;
};

struct PanelArgs : ControlArgs {
    Align align = Align::None;
    Bevel bevelInner = Bevel::None;
    Bevel bevelOuter = Bevel::Raised;
    std::string caption;
    Color color = kBtnFace;
};

struct GroupBoxArgs : ControlArgs {
    std::string caption;
};

struct EditArgs : ControlArgs {
    std::string text;
    int maxLength = 0;  // 0: no limit
};

struct ButtonArgs : ControlArgs {
    std::string caption;
    bool isDefault = false;
    bool isCancel = false;
    bool bitmapButton = false;  // a TBitBtn; it shows no picture here
};

struct LabelArgs : ControlArgs {
    std::string caption;
    bool autoSize = true;
    bool wordWrap = false;
    TextAlign alignment = TextAlign::Left;
};

struct ImageArgs : ControlArgs {
    std::string pictureResource;  // name of an RCDATA resource holding the picture
};

// The skin component: not a window, so most of ControlArgs stays unused.
struct SkinDataArgs : ControlArgs {
    bool active = false;
    std::string formType;                 // e.g. sfMainform
    std::vector<std::string> skinControls;
    int disableTag = 99;
    std::vector<std::string> skin3rd;
    std::string skinResource;             // name of an RCDATA resource holding the packed skin
};

using AnyArgs = std::variant<PanelArgs, GroupBoxArgs, EditArgs, ButtonArgs, LabelArgs, ImageArgs, SkinDataArgs>;

struct LayoutNode {
    AnyArgs args;
    std::vector<LayoutNode> children;
};

struct FormArgs {
    std::string name;
    std::string className;
    int left = 0, top = 0;
    int clientWidth = 0, clientHeight = 0;
    bool autoSize = false;  // the client area fits the controls rather than ClientWidth x ClientHeight
    std::string caption;
    Color color = kBtnFace;
    FontSpec font;
    int pixelsPerInch = 96;  // positions, sizes and font heights scale by the screen's over this
    bool showHint = false;
    std::string iconResource;
};

struct FormLayout {
    FormArgs form;
    std::vector<LayoutNode> children;
};

const ControlArgs& common(const AnyArgs& args);
ControlArgs& common(AnyArgs& args);

// Reads a whole form: every property must be known for its kind of control,
// every value of the right type, every symbol in `texts`; anything else is a
// LayoutError naming the line. Fills in each control's shown hint: a control
// shows hints if it says so or, when it does not say, if its parent does;
// the text is its own hint or, if that is empty, the nearest parent's.
FormLayout readFormLayout(std::string_view text, std::string_view fileName, const TextTable& texts);

}  // namespace forms

namespace forms {

// The names of the controls that take the focus, in the order Tab visits them:
// by TabOrder within each container, containers entered where they stand.
std::vector<std::string> tabSequence(const FormLayout& layout);

}  // namespace forms

namespace forms {

// Whether the skin component draws a control of the designer's class `className`
// with the given Tag: its kind (the standard classes' own, or the one Skin3rd
// gives a class of another pack, as "TClass=kind") must be among SkinControls,
// and its Tag must not be DisableTag.
bool skinApplies(const SkinDataArgs& skin, std::string_view className, int tag);

}  // namespace forms
