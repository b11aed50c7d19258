#pragma once
// A top-level window built from a stored layout. The form owns its controls;
// the derived class publishes the fields the controls are bound to, the
// handlers the layout's OnClick names refer to, and the named texts the
// layout may use.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Controls.h"

namespace forms {

class Application;
class Skin;
class SkinData;
class SkinnedFrame;

struct Published {
    // Each binder stores the control into the field of that name; it throws if the kind is wrong.
    std::map<std::string, std::function<bool(Control&)>, std::less<>> fields;
    std::map<std::string, std::function<void(Control&)>, std::less<>> handlers;
    TextTable texts;
};

// Binder for a field of a given control type.
template <typename T>
std::function<bool(Control&)> bindField(T*& field) {
    return [&field](Control& c) {
        field = dynamic_cast<T*>(&c);
        return field != nullptr;
    };
}

class Form : public Control {
public:
    ~Form() override;

    Application& application() const { return app_; }

    // Shows the window as the show request asks, and gives the focus to the first tab stop.
    void show(int showCommand);

    // The skin a control of the layout is drawn with, or null for the standard look.
    const Skin* skinFor(const ControlArgs& control) const;
    COLORREF faceColor() const override;
    HBRUSH faceBrush() const override;

protected:
    explicit Form(Application& app);

    // Reads the named RCDATA layout resource and builds every control from it.
    void load(const char* layoutResource, const Published& published);
    // Builds from layout text; `fileName` names it in errors.
    void build(std::string_view layoutText, std::string_view fileName, const Published& published);

    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void createChildren(const std::vector<LayoutNode>& nodes, HWND parent, const Published& published,
                        std::string_view fileName);
    HFONT fontFor(const FontSpec& spec);
    int scale(int v) const { return MulDiv(v, dpi_, designDpi_); }
    Bounds scaled(const Bounds& b) const;
    void layoutAlignedChildren();
    void moveFocus(bool backwards);
    void focusControl(Control& c);
    void useSkin(const SkinData& skinData);

    Application& app_;
    int dpi_ = 96;
    int designDpi_ = 96;
    std::vector<std::unique_ptr<Control>> controls_;  // in creation order; destroyed in reverse
    std::vector<Control*> tabOrder_;
    std::vector<std::pair<FontSpec, UniqueFont>> fonts_;
    UniqueIcon bigIcon_, smallIcon_;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;
    // Outlives every control, so whatever paints with the skin can rely on it.
    std::shared_ptr<const Skin> skin_;
    const SkinData* skinData_ = nullptr;
    std::unique_ptr<SkinnedFrame> frame_;
};

}  // namespace forms
