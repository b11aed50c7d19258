#include "forms/LayoutArgs.h"

#include <algorithm>
#include <set>

namespace forms {
namespace {

// Takes the properties of one record by name; whatever is left untaken at
// finish() is an unknown property and fails with its line.
class PropertyReader {
public:
    PropertyReader(const ObjectRecord& record, std::string_view file, const TextTable& texts)
        : record_(record), file_(file), texts_(texts), taken_(record.properties.size(), false) {}

    [[noreturn]] void fail(const Property& p, const std::string& what) const {
        throw LayoutError(file_, p.line, record_.name + "." + p.name + ": " + what);
    }

    const Property* take(std::string_view name) {
        const Property* found = nullptr;
        for (std::size_t i = 0; i < record_.properties.size(); ++i) {
            if (record_.properties[i].name != name) continue;
            if (found) fail(record_.properties[i], "set twice");
            found = &record_.properties[i];
            taken_[i] = true;
        }
        return found;
    }

    void integer(std::string_view name, int& out) {
        if (const Property* p = take(name)) {
            if (p->value.kind != Value::Kind::Integer) fail(*p, "expected a number");
            out = static_cast<int>(p->value.integer);
        }
    }

    void optionalInteger(std::string_view name, std::optional<int>& out) {
        int n = 0;
        if (has(name)) {
            integer(name, n);
            out = n;
        }
    }

    void boolean(std::string_view name, bool& out) {
        if (const Property* p = take(name)) out = identifierOf(*p, {"False", "True"}) == 1;
    }

    void optionalBoolean(std::string_view name, std::optional<bool>& out) {
        if (has(name)) {
            bool b = false;
            boolean(name, b);
            out = b;
        }
    }

    void text(std::string_view name, std::string& out) {
        if (const Property* p = take(name)) out = textOf(*p);
    }

    void identifier(std::string_view name, std::string& out) {
        if (const Property* p = take(name)) {
            if (p->value.kind != Value::Kind::Identifier) fail(*p, "expected a name");
            out = p->value.text.front().bytes;
        }
    }

    template <typename E>
    void choice(std::string_view name, E& out, std::initializer_list<std::pair<const char*, E>> options) {
        const Property* p = take(name);
        if (!p) return;
        if (p->value.kind == Value::Kind::Identifier) {
            for (const auto& [word, e] : options) {
                if (p->value.text.front().bytes == word) {
                    out = e;
                    return;
                }
            }
        }
        std::string known;
        for (const auto& option : options) known += std::string(known.empty() ? "" : ", ") + option.first;
        fail(*p, "expected one of " + known);
    }

    void set(std::string_view name, std::vector<std::string>& out) {
        if (const Property* p = take(name)) {
            if (p->value.kind != Value::Kind::Set) fail(*p, "expected a set in [ ]");
            out = p->value.items;
        }
    }

    void list(std::string_view name, std::vector<std::string>& out) {
        if (const Property* p = take(name)) {
            if (p->value.kind != Value::Kind::List) fail(*p, "expected a list of texts in ( )");
            out = p->value.items;
        }
    }

    // A colour name, or a number: 0x00BBGGRR, or a system colour's index with the high byte
    // set, which the designer writes as a negative number.
    void color(std::string_view name, Color& out) {
        const Property* p = take(name);
        if (!p) return;
        constexpr std::int64_t kSystemColor = -0x1000000;  // 0xFF000000 as a 32-bit signed number
        constexpr std::int64_t kLastSystemColor = 30;      // COLOR_MENUBAR
        if (p->value.kind == Value::Kind::Integer) {
            const std::int64_t v = p->value.integer;
            if (v >= 0 && v <= 0xFFFFFF) {
                out = Color{false, static_cast<std::uint32_t>(v)};
                return;
            }
            if (v >= kSystemColor && v <= kSystemColor + kLastSystemColor) {
                out = Color::system(static_cast<std::uint32_t>(v - kSystemColor));
                return;
            }
            fail(*p, "expected an RGB colour or a system colour, not " + std::to_string(v));
        }
        static const std::pair<const char*, Color> kNamed[] = {
            {"clBtnFace", kBtnFace}, {"clWindowText", kWindowText}, {"clWindow", kWindow},
            {"clRed", Color::rgb(255, 0, 0)}, {"clBlack", Color::rgb(0, 0, 0)},
            {"clWhite", Color::rgb(255, 255, 255)}, {"clNavy", Color::rgb(0, 0, 128)},
        };
        if (p->value.kind == Value::Kind::Identifier) {
            for (const auto& [word, c] : kNamed) {
                if (p->value.text.front().bytes == word) {
                    out = c;
                    return;
                }
            }
        }
        fail(*p, "expected a colour name or number");
    }

    // Reads the Font.* properties over `out`; returns the first of them, or null if none is set.
    const Property* fontProperties(FontSpec& out) {
        const Property* first = nullptr;
        for (const char* name : {"Font.Name", "Font.Height", "Font.Color", "Font.Charset", "Font.Style"})
            if (const Property* p = findUntaken(name); p && (!first || p->line < first->line)) first = p;
        text("Font.Name", out.name);
        integer("Font.Height", out.height);
        color("Font.Color", out.color);
        choice("Font.Charset", out.charset, {{"DEFAULT_CHARSET", 1}, {"ANSI_CHARSET", 0}, {"GB2312_CHARSET", 134}});
        if (const Property* p = findUntaken("Font.Style")) {
            std::vector<std::string> style;
            set("Font.Style", style);
            for (const std::string& s : style) {
                if (s == "fsBold") out.bold = true;
                else if (s == "fsItalic") out.italic = true;
                else if (s == "fsUnderline") out.underline = true;
                else if (s == "fsStrikeOut") out.strikeOut = true;
                else fail(*p, "unknown font style " + s);
            }
        }
        return first;
    }

    // A control's font: its parent's unless it says ParentFont = False and gives its own.
    void controlFont(FontSpec& out) {
        bool parentFont = true;
        boolean("ParentFont", parentFont);
        const Property* own = fontProperties(out);
        if (own && parentFont) fail(*own, "a control with its own font must say ParentFont = False");
    }

    // A control's reading order: its parent's unless it says ParentBiDiMode = False, and
    // then its own BiDiMode, left to right unless it says otherwise.
    void readingOrder(bool& rightToLeft) {
        bool parentBiDi = true;
        boolean("ParentBiDiMode", parentBiDi);
        const Property* own = findUntaken("BiDiMode");
        if (own && parentBiDi) fail(*own, "a control with its own reading order must say ParentBiDiMode = False");
        if (!parentBiDi) rightToLeft = false;
        choice("BiDiMode", rightToLeft, {{"bdLeftToRight", false}, {"bdRightToLeft", true}});
    }

    bool has(std::string_view name) const {
        return std::any_of(record_.properties.begin(), record_.properties.end(),
                           [&](const Property& p) { return p.name == name; });
    }

    void finish() const {
        for (std::size_t i = 0; i < taken_.size(); ++i)
            if (!taken_[i])
                fail(record_.properties[i], "unknown property of " + record_.className);
    }

private:
    const Property* findUntaken(std::string_view name) const {
        for (std::size_t i = 0; i < record_.properties.size(); ++i)
            if (!taken_[i] && record_.properties[i].name == name) return &record_.properties[i];
        return nullptr;
    }

    int identifierOf(const Property& p, std::initializer_list<const char*> words) const {
        if (p.value.kind == Value::Kind::Identifier) {
            int i = 0;
            for (const char* w : words) {
                if (p.value.text.front().bytes == w) return i;
                ++i;
            }
        }
        fail(p, "expected True or False");
    }

    std::string textOf(const Property& p) const {
        if (p.value.kind != Value::Kind::Text && p.value.kind != Value::Kind::Identifier)
            fail(p, "expected a text");
        std::string out;
        for (const TextPart& part : p.value.text) {
            if (!part.isSymbol) {
                out += part.bytes;
                continue;
            }
            const auto it = texts_.find(part.bytes);
            if (it == texts_.end()) fail(p, "unknown text name " + part.bytes);
            out += it->second;
        }
        return out;
    }

    const ObjectRecord& record_;
    std::string_view file_;
    const TextTable& texts_;
    std::vector<bool> taken_;
};

void readCommon(PropertyReader& r, ControlArgs& a, bool focusable) {
    r.integer("Left", a.bounds.left);
    r.integer("Top", a.bounds.top);
    r.integer("Width", a.bounds.width);
    r.integer("Height", a.bounds.height);
    r.text("Hint", a.hint);
    r.optionalBoolean("ShowHint", a.showHint);
    bool parentShowHint = !a.showHint.has_value();
    r.boolean("ParentShowHint", parentShowHint);
    if (parentShowHint) a.showHint.reset();
    else if (!a.showHint) a.showHint = false;
    if (focusable) r.optionalInteger("TabOrder", a.tabOrder);
    r.integer("Tag", a.tag);
    r.choice("Cursor", a.cursor, {{"crDefault", Cursor::Default}, {"crHandPoint", Cursor::HandPoint}});
    r.controlFont(a.font);
    r.readingOrder(a.rightToLeft);
}

void readClick(PropertyReader& r, ControlArgs& a) { r.identifier("OnClick", a.onClick); }

// What a control takes from its parent unless it says otherwise.
struct Inherited {
    FontSpec font;
    bool rightToLeft = false;
};

AnyArgs readControl(const ObjectRecord& record, std::string_view file, const TextTable& texts,
                    const Inherited& parent) {
    PropertyReader r(record, file, texts);
    auto named = [&](auto args) {
        args.name = record.name;
        args.className = record.className;
        args.line = record.line;
        return args;
    };
    auto begin = [&](auto args, bool focusable) {
        args = named(args);
        args.font = parent.font;
        args.rightToLeft = parent.rightToLeft;
        readCommon(r, args, focusable);
        return args;
    };
    AnyArgs result;
    const std::string& kind = record.className;
    if (kind == "TPanel") {
        auto a = begin(PanelArgs{}, true);
        r.choice("Align", a.align, {{"alNone", Align::None}, {"alClient", Align::Client}});
        const std::initializer_list<std::pair<const char*, Bevel>> bevels = {
            {"bvNone", Bevel::None}, {"bvLowered", Bevel::Lowered}, {"bvRaised", Bevel::Raised}};
        r.choice("BevelInner", a.bevelInner, bevels);
        r.choice("BevelOuter", a.bevelOuter, bevels);
        r.text("Caption", a.caption);
        r.color("Color", a.color);
        result = std::move(a);
    } else if (kind == "TGroupBox") {
        auto a = begin(GroupBoxArgs{}, true);
        r.text("Caption", a.caption);
        result = std::move(a);
    } else if (kind == "TEdit") {
        auto a = begin(EditArgs{}, true);
        r.text("Text", a.text);
        r.integer("MaxLength", a.maxLength);
        result = std::move(a);
    } else if (kind == "TButton" || kind == "TBitBtn") {
        auto a = begin(ButtonArgs{}, true);
        a.bitmapButton = kind == "TBitBtn";
        r.text("Caption", a.caption);
        r.boolean("Default", a.isDefault);
        r.boolean("Cancel", a.isCancel);
        readClick(r, a);
        result = std::move(a);
    } else if (kind == "TLabel") {
        auto a = begin(LabelArgs{}, false);
        r.text("Caption", a.caption);
        r.boolean("AutoSize", a.autoSize);
        r.boolean("WordWrap", a.wordWrap);
        r.choice("Alignment", a.alignment,
                 {{"taLeftJustify", TextAlign::Left}, {"taCenter", TextAlign::Center}, {"taRightJustify", TextAlign::Right}});
        result = std::move(a);
    } else if (kind == "TImage") {
        auto a = begin(ImageArgs{}, false);
        r.text("Picture.Resource", a.pictureResource);
        readClick(r, a);
        result = std::move(a);
    } else if (kind == "TSkinData") {
        auto a = named(SkinDataArgs{});
        r.boolean("Active", a.active);
        r.identifier("SkinFormtype", a.formType);
        r.set("SkinControls", a.skinControls);
        r.integer("DisableTag", a.disableTag);
        // Menus are skinned each time they open, so they always follow the skin.
        bool menuUpdate = true;
        const Property* menuLine = r.take("MenuUpdate");
        r.boolean("MenuUpdate", menuUpdate);
        if (!menuUpdate) r.fail(*menuLine, "menus here always follow the skin; MenuUpdate cannot be False");
        r.list("Skin3rd", a.skin3rd);
        r.text("SkinStream.Resource", a.skinResource);
        // The designer's note on the stored skin must agree with what is stored.
        std::string store;
        const Property* storeLine = r.take("SkinStore");
        if (storeLine) r.text("SkinStore", store);
        if (storeLine && store != (a.skinResource.empty() ? "" : "(Good)"))
            r.fail(*storeLine, a.skinResource.empty() ? "says a skin is stored, but no SkinStream is given"
                                                      : "a stored skin's SkinStore is '(Good)'");
        if (!storeLine && !a.skinResource.empty())
            throw LayoutError(file, record.line, record.name + ": a stored skin needs SkinStore = '(Good)'");
        result = std::move(a);
    } else {
        throw LayoutError(file, record.line, record.name + ": unknown kind of control " + kind);
    }
    r.finish();
    return result;
}

struct HintScope {
    bool showHint;
    std::string hint;
};

void readChildren(const ObjectRecord& parent, std::string_view file, const TextTable& texts,
                  const Inherited& inherited, const HintScope& scope, std::set<std::string>& names,
                  std::vector<LayoutNode>& out) {
    for (const ObjectRecord& child : parent.children) {
        if (!names.insert(child.name).second)
            throw LayoutError(file, child.line, "a second object named " + child.name);
        LayoutNode node{readControl(child, file, texts, inherited), {}};
        ControlArgs& a = common(node.args);
        const bool showHint = a.showHint.value_or(scope.showHint);
        const HintScope inner{showHint, a.hint.empty() ? scope.hint : a.hint};
        a.shownHint = showHint ? inner.hint : std::string();
        if (std::holds_alternative<SkinDataArgs>(node.args) && !child.children.empty())
            throw LayoutError(file, child.line, child.name + " cannot hold controls");
        readChildren(child, file, texts, Inherited{a.font, a.rightToLeft}, inner, names, node.children);
        out.push_back(std::move(node));
    }
}

}  // namespace

const ControlArgs& common(const AnyArgs& args) {
    return std::visit([](const auto& a) -> const ControlArgs& { return a; }, args);
}

ControlArgs& common(AnyArgs& args) {
    return std::visit([](auto& a) -> ControlArgs& { return a; }, args);
}

FormLayout readFormLayout(std::string_view text, std::string_view fileName, const TextTable& texts) {
    const ObjectRecord root = parseLayout(text, fileName);
    FormLayout layout;
    FormArgs& f = layout.form;
    f.name = root.name;
    f.className = root.className;
    PropertyReader r(root, fileName, texts);
    r.integer("Left", f.left);
    r.integer("Top", f.top);
    r.integer("ClientWidth", f.clientWidth);
    r.integer("ClientHeight", f.clientHeight);
    r.boolean("AutoSize", f.autoSize);
    r.text("Caption", f.caption);
    r.color("Color", f.color);
    r.fontProperties(f.font);
    r.integer("PixelsPerInch", f.pixelsPerInch);
    r.boolean("ShowHint", f.showHint);
    r.text("Icon.Resource", f.iconResource);
    r.finish();
    if (f.pixelsPerInch <= 0) throw LayoutError(fileName, root.line, "PixelsPerInch must be positive");
    std::set<std::string> names{root.name};
    readChildren(root, fileName, texts, Inherited{f.font, false}, HintScope{f.showHint, {}}, names, layout.children);
    return layout;
}

}  // namespace forms

namespace forms {
namespace {

void collectTabStops(const std::vector<LayoutNode>& nodes, std::vector<std::string>& out) {
    std::vector<const LayoutNode*> ordered;
    for (const LayoutNode& n : nodes)
        if (common(n.args).tabOrder) ordered.push_back(&n);
    std::stable_sort(ordered.begin(), ordered.end(), [](const LayoutNode* a, const LayoutNode* b) {
        return *common(a->args).tabOrder < *common(b->args).tabOrder;
    });
    for (const LayoutNode* n : ordered) {
        if (std::holds_alternative<EditArgs>(n->args) || std::holds_alternative<ButtonArgs>(n->args))
            out.push_back(common(n->args).name);
        else
            collectTabStops(n->children, out);
    }
}

}  // namespace

std::vector<std::string> tabSequence(const FormLayout& layout) {
    std::vector<std::string> out;
    collectTabStops(layout.children, out);
    return out;
}

}  // namespace forms

namespace forms {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The SkinControls member that covers a kind word of a Skin3rd line.
std::string_view skinKindOfWord(std::string_view word) {
    static const std::pair<std::string_view, std::string_view> kinds[] = {
        {"button", "xcButton"},       {"bitbtn", "xcBitBtn"},         {"speedbutton", "xcSpeedButton"},
        {"panel", "xcPanel"},         {"groupbox", "xcGroupBox"},     {"edit", "xcEdit"},
        {"memo", "xcEdit"},           {"combobox", "xcCombo"},        {"combo", "xcCombo"},
        {"checkbox", "xcCheckBox"},   {"radiobutton", "xcRadioButton"}, {"progress", "xcProgress"},
        {"scrollbar", "xcScrollbar"}, {"statusbar", "xcStatusBar"},   {"tab", "xcTab"},
        {"toolbar", "xcToolbar"},     {"controlbar", "xcControlbar"},
    };
    const std::string key = lower(word);
    for (const auto& [name, kind] : kinds)
        if (key == name) return kind;
    return {};
}

// The SkinControls member of the designer's own classes.
std::string_view skinKindOfClass(std::string_view className) {
    static const std::pair<std::string_view, std::string_view> classes[] = {
        {"TEdit", "xcEdit"},           {"TMemo", "xcEdit"},           {"TButton", "xcButton"},
        {"TBitBtn", "xcBitBtn"},       {"TSpeedButton", "xcSpeedButton"}, {"TPanel", "xcPanel"},
        {"TGroupBox", "xcGroupBox"},   {"TComboBox", "xcCombo"},      {"TCheckBox", "xcCheckBox"},
        {"TRadioButton", "xcRadioButton"}, {"TProgressBar", "xcProgress"}, {"TScrollBar", "xcScrollbar"},
        {"TStatusBar", "xcStatusBar"}, {"TTabControl", "xcTab"},      {"TPageControl", "xcTab"},
        {"TToolBar", "xcToolbar"},     {"TControlBar", "xcControlbar"}, {"TMainMenu", "xcMainMenu"},
        {"TPopupMenu", "xcPopupMenu"},
    };
    for (const auto& [name, kind] : classes)
        if (className == name) return kind;
    return {};
}

}  // namespace

bool skinApplies(const SkinDataArgs& skin, std::string_view className, int tag) {
    if (tag == skin.disableTag) return false;
    std::string_view kind = skinKindOfClass(className);
    if (kind.empty()) {
        for (const std::string& line : skin.skin3rd) {
            const auto equals = line.find('=');
            if (equals == std::string::npos || lower(std::string_view(line).substr(0, equals)) != lower(className))
                continue;
            kind = skinKindOfWord(std::string_view(line).substr(equals + 1));
            break;
        }
    }
    return !kind.empty() &&
           std::find(skin.skinControls.begin(), skin.skinControls.end(), kind) != skin.skinControls.end();
}

}  // namespace forms
