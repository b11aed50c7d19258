#include "forms/Form.h"

#include <algorithm>
#include <stdexcept>

#include "forms/Application.h"
#include "forms/Picture.h"
#include "forms/skin/Skin.h"
#include "forms/SkinData.h"
#include "forms/skin/SkinnedFrame.h"

namespace forms {
namespace {

// Control IDs start above IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc.
constexpr int kFirstControlId = 100;
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

}  // namespace

Form::Form(Application& app) : Control(*this, {}), app_(app) {}

Form::~Form() {
    if (tooltip_) DestroyWindow(tooltip_);
    while (!controls_.empty()) controls_.pop_back();
}

void Form::load(const char* layoutResource, const Published& published) {
    HINSTANCE instance = app_.instance();
    HRSRC info = FindResourceA(instance, layoutResource, RT_RCDATA);
    HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) throw std::runtime_error(std::string("the layout resource ") + layoutResource + " is missing");
    build(std::string_view(bytes, SizeofResource(instance, info)), layoutResource, published);
}

Bounds Form::scaled(const Bounds& b) const {
    return {scale(b.left), scale(b.top), scale(b.width), scale(b.height)};
}

HFONT Form::fontFor(const FontSpec& spec) {
    for (const auto& [known, font] : fonts_)
        if (known == spec) return font.get();
    UniqueFont font(CreateFontA(scale(spec.height), 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, spec.italic,
                                spec.underline, spec.strikeOut, static_cast<BYTE>(spec.charset), OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, spec.name.c_str()));
    if (!font) throw std::runtime_error("cannot create the font " + spec.name);
    fonts_.emplace_back(spec, std::move(font));
    return fonts_.back().second.get();
}

void Form::build(std::string_view layoutText, std::string_view fileName, const Published& published) {
    const FormLayout layout = readFormLayout(layoutText, fileName, published.texts);
    const FormArgs& f = layout.form;
    {
        WindowDC screen(nullptr);
        dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    designDpi_ = f.pixelsPerInch;

    // The form fits itself around its client area, whatever the frame metrics are.
    RECT outer{0, 0, scale(f.clientWidth), scale(f.clientHeight)};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    const Bounds bounds{f.left, f.top, outer.right - outer.left, outer.bottom - outer.top};
    createOwn(f.className.c_str(), kFormStyle, kFormExStyle, bounds, app_.handle(), f.caption, nullptr);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(f.font)), FALSE);

    if (!f.iconResource.empty()) {
        auto loadIcon = [&](int metricX, int metricY) {
            UniqueIcon icon(static_cast<HICON>(LoadImageA(app_.instance(), f.iconResource.c_str(), IMAGE_ICON,
                                                          GetSystemMetrics(metricX), GetSystemMetrics(metricY), 0)));
            if (!icon) throw std::runtime_error("the icon resource " + f.iconResource + " is missing");
            return icon;
        };
        bigIcon_ = loadIcon(SM_CXICON, SM_CYICON);
        smallIcon_ = loadIcon(SM_CXSMICON, SM_CYSMICON);
        SendMessageA(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
        SendMessageA(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
        SendMessageA(app_.handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
        SendMessageA(app_.handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    }

    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr,
                               app_.instance(), nullptr);
    if (!tooltip_) throw std::runtime_error("cannot create the hint window");
    SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2500);
    SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_RESHOW, 500);

    createChildren(layout.children, handle(), published, fileName);
    for (const auto& [name, bind] : published.fields) {
        const auto bound = std::find_if(controls_.begin(), controls_.end(),
                                        [&](const auto& c) { return c->name() == name; });
        if (bound == controls_.end()) throw LayoutError(fileName, 1, "the layout has no object " + name);
    }
    for (const std::string& name : tabSequence(layout)) {
        const auto c = std::find_if(controls_.begin(), controls_.end(), [&](const auto& c) { return c->name() == name; });
        tabOrder_.push_back(c->get());
    }
    // Where the focus goes when the form is first activated, however it comes to be shown.
    if (!tabOrder_.empty()) lastFocus_ = tabOrder_.front()->handle();
    layoutAlignedChildren();
}

void Form::createChildren(const std::vector<LayoutNode>& nodes, HWND parent, const Published& published,
                          std::string_view fileName) {
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
    for (const LayoutNode* stacked : stacking) {
        const LayoutNode& node = *stacked;
        const ControlArgs& a = common(node.args);
        const Bounds bounds = scaled(a.bounds);
        const int id = kFirstControlId + static_cast<int>(controls_.size());
        HFONT font = std::holds_alternative<SkinDataArgs>(node.args) ? nullptr : fontFor(a.font);
        std::unique_ptr<Control> control = std::visit(
            [&](const auto& args) -> std::unique_ptr<Control> {
                using T = std::decay_t<decltype(args)>;
                if constexpr (std::is_same_v<T, PanelArgs>) return std::make_unique<Panel>(*this, args, parent, bounds, font);
                else if constexpr (std::is_same_v<T, GroupBoxArgs>) return std::make_unique<GroupBox>(*this, args, parent, bounds, font);
                else if constexpr (std::is_same_v<T, EditArgs>) return std::make_unique<Edit>(*this, args, parent, bounds, font, id);
                else if constexpr (std::is_same_v<T, ButtonArgs>) {
                    if (args.bitmapButton) return std::make_unique<BitBtn>(*this, args, parent, bounds, font, id);
                    return std::make_unique<Button>(*this, args, parent, bounds, font, id);
                }
                else if constexpr (std::is_same_v<T, LabelArgs>) return std::make_unique<Label>(*this, args, parent, bounds, font);
                else if constexpr (std::is_same_v<T, ImageArgs>)
                    return std::make_unique<Image>(*this, args, parent, bounds, loadPicture(app_.instance(), args.pictureResource));
                else return std::make_unique<SkinData>(*this, args);
            },
            node.args);

        if (!a.onClick.empty()) {
            const auto handler = published.handlers.find(a.onClick);
            if (handler == published.handlers.end())
                throw LayoutError(fileName, a.line, a.name + ".OnClick: no handler named " + a.onClick);
            control->onClick = handler->second;
        }
        const auto field = published.fields.find(a.name);
        if (field == published.fields.end())
            throw LayoutError(fileName, a.line, "the form has no field " + a.name);
        if (!field->second(*control))
            throw LayoutError(fileName, a.line, "the field " + a.name + " is not a " + a.className);

        if (HWND hwnd = control->handle()) {
            if (!a.shownHint.empty()) {
                TOOLINFOA tool{};
                tool.cbSize = sizeof tool;
                tool.uFlags = TTF_IDISHWND;
                tool.hwnd = handle();
                tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
                std::string text = a.shownHint;  // the tooltip keeps its own copy
                tool.lpszText = text.data();
                SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
                control->relayMouseTo(tooltip_);
            }
        }
        Control* raw = control.get();
        controls_.push_back(std::move(control));
        if (const auto* skinData = dynamic_cast<const SkinData*>(raw); skinData && skinData->active() && !skinData_)
            useSkin(*skinData);
        if (raw->handle()) createChildren(node.children, raw->handle(), published, fileName);
    }
}

}  // namespace forms

namespace forms {

void Form::useSkin(const SkinData& skinData) {
    skinData_ = &skinData;
    skin_ = skinData.skin();
    if (skinData.skinsFrame())
        frame_ = std::make_unique<SkinnedFrame>(handle(), *skin_, dpi_,
                                                [this](UINT m, WPARAM w, LPARAM l) { return defaultProc(m, w, l); });
}

const Skin* Form::skinFor(const ControlArgs& control) const {
    return skinData_ && skinData_->skins(control.className, control.tag) ? skin_.get() : nullptr;
}

COLORREF Form::faceColor() const { return frame_ ? skin_->formFace : GetSysColor(COLOR_BTNFACE); }

HBRUSH Form::faceBrush() const { return frame_ ? skin_->formFaceBrush() : GetSysColorBrush(COLOR_BTNFACE); }

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
    if (!tabOrder_.empty() && showCommand != SW_HIDE) focusControl(*tabOrder_.front());
}

void Form::focusControl(Control& c) {
    SetFocus(c.handle());
    // As in a dialog, entering an edit box by keyboard selects its text.
    if (auto* edit = dynamic_cast<Edit*>(&c)) edit->selectAll();
}

void Form::moveFocus(bool backwards) {
    if (tabOrder_.empty()) return;
    const HWND focus = GetFocus();
    const auto n = static_cast<std::ptrdiff_t>(tabOrder_.size());
    std::ptrdiff_t at = -1;
    for (std::ptrdiff_t i = 0; i < n; ++i)
        if (tabOrder_[i]->handle() == focus || IsChild(tabOrder_[i]->handle(), focus)) at = i;
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t next = at < 0 ? (backwards ? n - step : step - 1)
                                           : ((at + (backwards ? -step : step)) % n + n) % n;
        Control& c = *tabOrder_[next];
        if (IsWindowVisible(c.handle()) && IsWindowEnabled(c.handle())) {
            focusControl(c);
            return;
        }
    }
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
            if (Control* c = fromHandle(reinterpret_cast<HWND>(wp))) focusControl(*c);
        } else {
            moveFocus(wp != 0);
        }
        return 0;
    case WM_COMMAND:
        if (lp == 0 && LOWORD(wp) == IDOK) {
            // Enter: no button is the default, but a focused button is pressed, as in any dialog.
            if (auto* button = dynamic_cast<Button*>(fromHandle(GetFocus()))) button->click();
            return 0;
        }
        if (lp == 0) return 0;  // Esc (IDCANCEL): there is no cancel button
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
            app_.minimize();
            return 0;
        }
        return std::nullopt;
    case WM_CLOSE:
        app_.terminate();
        return 0;
    default:
        return reflectToChild(msg, wp, lp);
    }
}

}  // namespace forms
