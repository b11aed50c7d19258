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

#include "forms/ControlFactory.h"
#include "forms/Controls.h"
#include "forms/HintWindow.h"
#include "forms/Host.h"
#include "forms/TabOrder.h"

namespace forms {

class Skin;
class SkinData;
class SkinnedFrame;

struct Published {
    // Each binder stores the control into the field of that name; it returns false if the kind is wrong.
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

namespace detail {

// What the form's controls are given. A base of the form, so it is made before the
// form's own window and outlives it.
struct FormSite {
    explicit FormSite(FormHost& host)
        : controlContext{host.instance(), host, host.windowClasses(), windowMap, hintWindow} {}
    WindowMap windowMap;
    HintWindow hintWindow;
    ControlContext controlContext;
};

}  // namespace detail

class Form : private detail::FormSite, public Control, public MainWindow {
public:
    // The window goes first, then everything its messages use.
    ~Form() override;

    FormHost& application() const { return host_; }

    HWND window() const override { return handle(); }
    void show(int showCommand) override;

    COLORREF faceColor() const override;
    HBRUSH faceBrush() const override;

protected:
    explicit Form(FormHost& host);

    // Reads the RCDATA resource `layoutResource` and builds every control from it;
    // errors name `fileName`, the layout's source.
    void load(const char* layoutResource, std::string_view fileName, const Published& published);
    // Builds from layout text; `fileName` names it in errors.
    void build(std::string_view layoutText, std::string_view fileName, const Published& published);

    std::optional<LRESULT> handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void createWindow(const FormLayout& layout);
    void loadIcons(const std::string& resource);
    void createChildren(const ControlFactory& factory, const std::vector<LayoutNode>& nodes, Control& parent,
                        const Published& published, std::string_view fileName);
    void bind(Control& control, const ControlArgs& args, const Published& published, std::string_view fileName);
    void orderTabs(const FormLayout& layout);
    // The skin a control of the layout is drawn with, or null for the standard look.
    const Skin* skinFor(const ControlArgs& control) const;
    void useSkin(const SkinData& skinData);
    void layoutAlignedChildren();
    void focusControl(Control& c);
    Button* buttonWhere(bool (Button::*which)() const) const;

    FormHost& host_;
    Scale scale_;
    Color color_;
    UniqueBrush colorBrush_;  // for a colour that has no system brush
    FontCache fonts_;
    std::vector<std::unique_ptr<Control>> controls_;  // in creation order
    TabOrder tabOrder_;
    UniqueIcon bigIcon_, smallIcon_;
    bool showsIcons_ = false;  // the taskbar button shows this form's icons
    HWND lastFocus_ = nullptr;
    std::shared_ptr<const Skin> skin_;
    const SkinData* skinData_ = nullptr;
    std::unique_ptr<SkinnedFrame> frame_;
};

}  // namespace forms
