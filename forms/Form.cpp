#include "forms/Form.h"

#include <algorithm>
#include <stdexcept>

#include "forms/Resources.h"
#include "forms/SkinData.h"
#include "forms/skin/Skin.h"
#include "forms/skin/SkinnedFrame.h"

namespace forms {
namespace {

// Control IDs start above IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
constexpr int kFirstControlId = 100;
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

int screenDpi() {
    WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// How far the controls reach: what an auto-sized form's client area holds.
SIZE contentExtent(const std::vector<LayoutNode>& children) {
    SIZE extent{0, 0};
    for (const LayoutNode& node : children) {
        if (std::holds_alternative<SkinDataArgs>(node.args)) continue;
        const Bounds& b = common(node.args).bounds;
        extent.cx = std::max(extent.cx, static_cast<LONG>(b.left + b.width));
        extent.cy = std::max(extent.cy, static_cast<LONG>(b.top + b.height));
    }
    return extent;
}

}  // namespace

Form::Form(FormHost& host) : FormSite(host), Control(controlContext, {}, Site{}), host_(host) {}

Form::~Form() {
    hintWindow.destroy();
    destroyWindow();
    if (showsIcons_) host_.showIcons(nullptr, nullptr);
}

void Form::load(const char* layoutResource, std::string_view fileName, const Published& published) {
    build(resourceBytes(host_.instance(), layoutResource, "the window layout"), fileName, published);
}

void Form::build(std::string_view layoutText, std::string_view fileName, const Published& published) {
    const FormLayout layout = readFormLayout(layoutText, fileName, published.texts);
    setName(layout.form.name);
    scale_ = Scale{screenDpi(), layout.form.pixelsPerInch};
    fonts_.rescale(scale_);
    createWindow(layout);
    if (!layout.form.iconResource.empty()) loadIcons(layout.form.iconResource);
    hintWindow.create(host_.instance(), handle());

    const ControlFactory factory(controlContext, scale_, fonts_, [this](const ControlArgs& a) { return skinFor(a); });
    createChildren(factory, layout.children, *this, published, fileName);
    for (const auto& field : published.fields) {
        const bool bound = std::any_of(controls_.begin(), controls_.end(),
                                       [&](const auto& c) { return c->name() == field.first; });
        if (!bound) throw LayoutError(fileName, 1, "the layout has no object " + field.first);
    }
    orderTabs(layout);
    layoutAlignedChildren();
}

void Form::createWindow(const FormLayout& layout) {
    const FormArgs& f = layout.form;
    color_ = f.color;
    if (!color_.isSystem) colorBrush_.reset(CreateSolidBrush(toColorRef(color_)));
    SIZE client{f.clientWidth, f.clientHeight};
    if (f.autoSize && !layout.children.empty()) client = contentExtent(layout.children);
    // The form fits itself around its client area, whatever the frame metrics are.
    RECT outer{0, 0, scale_(client.cx), scale_(client.cy)};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    const Bounds bounds{f.left, f.top, outer.right - outer.left, outer.bottom - outer.top};
    createOwn(f.className.c_str(), kFormStyle, kFormExStyle, bounds, host_.ownerWindow(), f.caption);
}

void Form::loadIcons(const std::string& resource) {
    auto loadIcon = [&](int metricX, int metricY) {
        UniqueIcon icon(static_cast<HICON>(LoadImageA(host_.instance(), resource.c_str(), IMAGE_ICON,
                                                      GetSystemMetrics(metricX), GetSystemMetrics(metricY), 0)));
        if (!icon) throw std::runtime_error("the icon resource " + resource + " is missing");
        return icon;
    };
    bigIcon_ = loadIcon(SM_CXICON, SM_CYICON);
    smallIcon_ = loadIcon(SM_CXSMICON, SM_CYSMICON);
    SendMessageA(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    host_.showIcons(bigIcon_.get(), smallIcon_.get());
    showsIcons_ = true;
}

void Form::createChildren(const ControlFactory& factory, const std::vector<LayoutNode>& nodes, Control& parent,
                          const Published& published, std::string_view fileName) {
    // The skin component comes first, so that every control is made with the skin it is drawn
    // with. Siblings stack top to bottom in the order they are created: first the controls that
    // take no focus (so a picture is whole where a button's edge meets it), then the rest by tab
    // order, which is the order the dialog manager tabs in.
    std::vector<const LayoutNode*> stacking;
    for (const LayoutNode& node : nodes) stacking.push_back(&node);
    auto rank = [](const LayoutNode* n) {
        return std::holds_alternative<SkinDataArgs>(n->args) ? -2 : common(n->args).tabOrder.value_or(-1);
    };
    std::stable_sort(stacking.begin(), stacking.end(),
                     [&](const LayoutNode* x, const LayoutNode* y) { return rank(x) < rank(y); });
    for (const LayoutNode* node : stacking) {
        const ControlArgs& a = common(node->args);
        const int id = kFirstControlId + static_cast<int>(controls_.size());
        controls_.push_back(factory.make(node->args, parent, id));
        Control& control = *controls_.back();
        bind(control, a, published, fileName);
        control.setHint(a.shownHint);
        if (const auto* skinData = dynamic_cast<const SkinData*>(&control); skinData && skinData->active() && !skinData_)
            useSkin(*skinData);
        if (control.handle()) createChildren(factory, node->children, control, published, fileName);
    }
}

void Form::bind(Control& control, const ControlArgs& a, const Published& published, std::string_view fileName) {
    if (!a.onClick.empty()) {
        const auto handler = published.handlers.find(a.onClick);
        if (handler == published.handlers.end())
            throw LayoutError(fileName, a.line, a.name + ".OnClick: no handler named " + a.onClick);
        control.onClick = handler->second;
    }
    const auto field = published.fields.find(a.name);
    if (field == published.fields.end()) throw LayoutError(fileName, a.line, "the form has no field " + a.name);
    if (!field->second(control)) throw LayoutError(fileName, a.line, "the field " + a.name + " is not a " + a.className);
}

void Form::orderTabs(const FormLayout& layout) {
    std::vector<Control*> sequence;
    for (const std::string& name : tabSequence(layout)) {
        const auto c = std::find_if(controls_.begin(), controls_.end(), [&](const auto& c) { return c->name() == name; });
        sequence.push_back(c->get());
    }
    tabOrder_.assign(std::move(sequence));
    // Where the focus goes when the form is first activated, however it comes to be shown.
    if (Control* first = tabOrder_.first()) lastFocus_ = first->handle();
}

void Form::useSkin(const SkinData& skinData) {
    skinData_ = &skinData;
    skin_ = skinData.skin();
    if (skinData.skinsFrame())
        frame_ = std::make_unique<SkinnedFrame>(handle(), *skin_, scale_.dpi,
                                                [this](UINT m, WPARAM w, LPARAM l) { return defaultProc(m, w, l); });
}

const Skin* Form::skinFor(const ControlArgs& control) const {
    return skinData_ && skinData_->skins(control.className, control.tag) ? skin_.get() : nullptr;
}

COLORREF Form::faceColor() const { return frame_ ? skin_->formFace : toColorRef(color_); }

HBRUSH Form::faceBrush() const {
    if (frame_) return skin_->formFaceBrush();
    return colorBrush_ ? colorBrush_.get() : GetSysColorBrush(static_cast<int>(color_.value));
}

void Form::layoutAlignedChildren() {
    RECT client;
    GetClientRect(handle(), &client);
    for (const auto& c : controls_) {
        const auto* panel = dynamic_cast<const Panel*>(c.get());
        if (panel && panel->align() == Align::Client && GetParent(panel->handle()) == handle())
            MoveWindow(panel->handle(), 0, 0, client.right, client.bottom, TRUE);
    }
}

void Form::show(int showCommand) {
    ShowWindow(handle(), showCommand);
    UpdateWindow(handle());
    if (Control* first = tabOrder_.first(); first && showCommand != SW_HIDE) focusControl(*first);
}

void Form::focusControl(Control& c) {
    SetFocus(c.handle());
    // As in a dialog, entering an edit box by keyboard selects its text.
    if (auto* edit = dynamic_cast<Edit*>(&c)) edit->selectAll();
}

Button* Form::buttonWhere(bool (Button::*which)() const) const {
    for (const auto& c : controls_)
        if (auto* button = dynamic_cast<Button*>(c.get());
            button && (button->*which)() && IsWindowVisible(button->handle()) && IsWindowEnabled(button->handle()))
            return button;
    return nullptr;
}

std::optional<LRESULT> Form::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (frame_)
        if (auto handled = frame_->handleMessage(msg, wp, lp)) return handled;
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(handle(), &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, faceBrush());
        return 1;
    }
    case WM_SIZE:
        layoutAlignedChildren();
        return 0;
    case WM_INITMENUPOPUP:
        // The system menu is the one handed over here, whichever copy the system keeps.
        if (HIWORD(lp) && skinData_ && skinData_->skinsSystemMenu()) {
            MENUINFO info{};
            info.cbSize = sizeof info;
            info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
            info.hbrBack = skin_->menuBackBrush();
            SetMenuInfo(reinterpret_cast<HMENU>(wp), &info);
        }
        return std::nullopt;
    case WM_NEXTDLGCTL:
        // Tab and Shift+Tab, as sent by the dialog manager in the message loop.
        if (LOWORD(lp)) {
            if (Control* c = windowMap.find(reinterpret_cast<HWND>(wp))) focusControl(*c);
        } else if (Control* c = tabOrder_.next(GetFocus(), wp != 0)) {
            focusControl(*c);
        }
        return 0;
    case WM_COMMAND:
        if (lp == 0 && LOWORD(wp) == IDOK) {
            // Enter: a focused button is pressed, as in any dialog; elsewhere the default button.
            auto* button = dynamic_cast<Button*>(windowMap.find(GetFocus()));
            if (!button) button = buttonWhere(&Button::isDefault);
            if (button) button->click();
            return 0;
        }
        if (lp == 0 && LOWORD(wp) == IDCANCEL) {
            if (Button* cancel = buttonWhere(&Button::isCancel)) cancel->click();
            return 0;
        }
        return reflectToChild(msg, wp, lp);
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(handle(), focus)) lastFocus_ = focus;
            return std::nullopt;
        }
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(handle(), lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        return std::nullopt;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE) {
            host_.minimize();
            return 0;
        }
        return std::nullopt;
    case WM_CLOSE:
        host_.terminate();
        return 0;
    default:
        return reflectToChild(msg, wp, lp);
    }
}

}  // namespace forms
