#include "forms/Controls.h"

#include <stdexcept>

#include "forms/Host.h"
#include "forms/HintWindow.h"
#include "forms/WindowClasses.h"
#include "forms/skin/Skin.h"

namespace forms {
namespace {

constexpr UINT_PTR kFrameTimer = 1;

bool isChildNotification(UINT msg) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
        return true;
    default:
        return false;
    }
}

HCURSOR cursorOf(Cursor cursor) {
    switch (cursor) {
    case Cursor::HandPoint: return LoadCursor(nullptr, IDC_HAND);
    case Cursor::Default: break;
    }
    return nullptr;
}

}  // namespace

COLORREF toColorRef(const Color& c) {
    return c.isSystem ? GetSysColor(static_cast<int>(c.value)) : static_cast<COLORREF>(c.value);
}

Control::Control(const ControlContext& context, std::string name, const Site& site)
    : context_(context), parent_(site.parent), name_(std::move(name)) {
    skin_ = site.skin;
    rightToLeft_ = site.rightToLeft;
}

Control::~Control() { destroyWindow(); }

void Control::destroyWindow() {
    // Detaches at WM_NCDESTROY, which also clears hwnd_.
    if (hwnd_) DestroyWindow(hwnd_);
}

std::string Control::text() const {
    if (!hwnd_) return {};
    const int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void Control::setText(std::string_view text) {
    if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

void Control::setHint(const std::string& hint) {
    if (!hwnd_ || hint.empty()) return;
    context_.hints.add(hwnd_, hint);
    hinted_ = true;
}

void Control::attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    context_.windows.add(hwnd, this);
}

void Control::detach() {
    context_.windows.remove(hwnd_);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    // Unhook only while ours is the outermost procedure: a subclass made after ours keeps
    // its place, and whatever it still passes on reaches the stock procedure regardless.
    if (stockDefault_ && GetWindowLongPtrA(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(stockProc))
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stockDefault_));
    hwnd_ = nullptr;
}

void Control::createStock(const char* windowClass, DWORD style, DWORD exStyle, const Site& site,
                          std::string_view text) {
    const Bounds& b = site.bounds;
    HWND hwnd = CreateWindowExA(exStyle | (site.rightToLeft ? WS_EX_RTLREADING : 0), windowClass,
                                std::string(text).c_str(), style, b.left, b.top, b.width, b.height,
                                site.parentWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(site.id)),
                                context_.instance, nullptr);
    if (!hwnd) throw std::runtime_error("cannot create the control " + name_);
    attach(hwnd);
    stockDefault_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stockProc)));
}

void Control::createOwn(const char* windowClass, DWORD style, DWORD exStyle, const Bounds& b, HWND parent,
                        std::string_view text) {
    context_.classes.ensure(windowClass, ownClassProc, CS_DBLCLKS);
    // The class has no cursor: each window shows its own.
    if (!cursor_) cursor_ = LoadCursor(nullptr, IDC_ARROW);
    HWND hwnd = CreateWindowExA(exStyle | (rightToLeft_ ? WS_EX_RTLREADING : 0), windowClass,
                                std::string(text).c_str(), style, b.left, b.top, b.width, b.height, parent, nullptr,
                                context_.instance, this);
    if (!hwnd) throw std::runtime_error("cannot create the window " + name_);
}

LRESULT CALLBACK Control::stockProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (auto* self = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) return self->dispatch(msg, wp, lp);
    // The wrapper has let go while a later subclass kept calling through ours.
    const auto stock = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    return stock ? CallWindowProcA(stock, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Control::ownClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->attach(hwnd);
    } else {
        self = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    return self ? self->dispatch(msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT Control::dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        HWND hwnd = hwnd_;
        const WNDPROC stock = stockDefault_;
        detach();
        return stock ? CallWindowProcA(stock, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (hinted_ && msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONUP) context_.hints.relay(hwnd_, msg, wp, lp);
    // Exceptions must not unwind through the system's frames: report them here and go on.
    try {
        if (auto result = handleMessage(msg, wp, lp)) return *result;
    } catch (...) {
        context_.failures.reportFailure(std::current_exception());
        return 0;
    }
    if (msg == WM_SETCURSOR && cursor_ && reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT) {
        SetCursor(cursor_);
        return TRUE;
    }
    return defaultProc(msg, wp, lp);
}

LRESULT Control::defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    return stockDefault_ ? CallWindowProcA(stockDefault_, hwnd_, msg, wp, lp) : DefWindowProcA(hwnd_, msg, wp, lp);
}

std::optional<LRESULT> Control::handleMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

std::optional<LRESULT> Control::reflect(UINT, WPARAM, LPARAM) { return std::nullopt; }

std::optional<LRESULT> Control::reflectToChild(UINT msg, WPARAM wp, LPARAM lp) const {
    if (!isChildNotification(msg)) return std::nullopt;
    HWND child = msg == WM_NOTIFY     ? reinterpret_cast<NMHDR*>(lp)->hwndFrom
                 : msg == WM_DRAWITEM ? reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem
                                      : reinterpret_cast<HWND>(lp);
    Control* control = context_.windows.find(child);
    return control ? control->reflect(msg, wp, lp) : std::nullopt;
}

void Control::fireClick() {
    if (onClick) onClick(*this);
}

COLORREF Control::faceColor() const { return parent_ ? parent_->faceColor() : GetSysColor(COLOR_BTNFACE); }

HBRUSH Control::faceBrush() const { return parent_ ? parent_->faceBrush() : GetSysColorBrush(COLOR_BTNFACE); }

// Panel ----------------------------------------------------------------------

Panel::Panel(const ControlContext& context, const PanelArgs& a, const Site& site)
    : Control(context, a.name, site), inner_(a.bevelInner), outer_(a.bevelOuter), align_(a.align), color_(a.color),
      font_(site.font) {
    if (!color_.isSystem) ownBrush_.reset(CreateSolidBrush(toColorRef(color_)));
    setCursor(cursorOf(a.cursor));
    createOwn("TPanel", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, site.bounds,
              site.parentWindow, a.caption);
}

Panel::~Panel() { destroyWindow(); }

std::optional<LRESULT> Panel::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;  // everything is drawn in WM_PAINT, off screen
    case WM_PAINT: {
        PaintScope ps(handle());
        paint(ps.dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = defaultProc(msg, wp, lp);
        InvalidateRect(handle(), nullptr, FALSE);
        return r;
    }
    default:
        return reflectToChild(msg, wp, lp);
    }
}

COLORREF Panel::faceColor() const { return skin_ ? skin_->panel.face : toColorRef(color_); }

HBRUSH Panel::faceBrush() const {
    if (skin_) return skin_->panelFaceBrush();
    return ownBrush_ ? ownBrush_.get() : GetSysColorBrush(static_cast<int>(color_.value));
}

void Panel::paint(HDC target) {
    RECT r;
    GetClientRect(handle(), &r);
    BackBuffer buffer(target, r.right, r.bottom);
    HDC dc = buffer.dc();
    FillRect(dc, &r, faceBrush());
    if (skin_) {
        // One-pixel bevels in the skin's light and shadow.
        for (Bevel bevel : {outer_, inner_}) {
            if (bevel == Bevel::None) continue;
            const COLORREF topLeft = bevel == Bevel::Raised ? skin_->panel.light : skin_->panel.shadow;
            const COLORREF bottomRight = bevel == Bevel::Raised ? skin_->panel.shadow : skin_->panel.light;
            fillSolid(dc, {r.left, r.top, r.right, r.top + 1}, topLeft);
            fillSolid(dc, {r.left, r.top, r.left + 1, r.bottom}, topLeft);
            fillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
            fillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
            InflateRect(&r, -1, -1);
        }
    } else {
        if (outer_ != Bevel::None)
            DrawEdge(dc, &r, outer_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (inner_ != Bevel::None)
            DrawEdge(dc, &r, inner_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    const std::string caption = text();
    if (!caption.empty()) {
        ScopedSelect selectFont(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, skin_ ? skin_->button.text : GetSysColor(COLOR_WINDOWTEXT));
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | (rightToLeft_ ? DT_RTLREADING : 0));
    }
    buffer.blitTo(target);
}

// GroupBox -------------------------------------------------------------------

GroupBox::GroupBox(const ControlContext& context, const GroupBoxArgs& a, const Site& site)
    : Control(context, a.name, site), font_(site.font) {
    setCursor(cursorOf(a.cursor));
    Site box = site;
    box.id = 0;  // a group box sends nothing
    createStock("BUTTON", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | BS_GROUPBOX,
                WS_EX_CONTROLPARENT, box, a.caption);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

std::optional<LRESULT> GroupBox::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: {
        // The button class leaves a group box's inside unpainted; it holds controls, so fill it.
        RECT r;
        GetClientRect(handle(), &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, faceBrush());
        return 1;
    }
    case WM_PAINT:
        if (!skin_) return std::nullopt;
        {
            PaintScope ps(handle());
            paintSkinned(ps.dc());
        }
        return 0;
    case WM_PRINTCLIENT:
        if (!skin_) return std::nullopt;
        paintSkinned(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_SETTEXT:
    case WM_ENABLE:
        if (!skin_) return reflectToChild(msg, wp, lp);
        {
            // The button class may draw these changes itself, in its own look.
            const LRESULT result = defaultProc(msg, wp, lp);
            InvalidateRect(handle(), nullptr, TRUE);
            return result;
        }
    default:
        return reflectToChild(msg, wp, lp);
    }
}

void GroupBox::paintSkinned(HDC dc) {
    RECT r;
    GetClientRect(handle(), &r);
    FillRect(dc, &r, faceBrush());
    ScopedSelect selectFont(dc, font_);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const std::string caption = text();
    SIZE extent{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    const int top = metrics.tmHeight / 2;
    frameSolid(dc, {r.left, r.top + top, r.right, r.bottom}, skin_->groupBox.frame);
    if (caption.empty()) return;
    RECT text{r.left + 8, r.top, r.left + 8 + extent.cx + 4, r.top + metrics.tmHeight};
    if (text.right > r.right - 2) text.right = r.right - 2;
    FillRect(dc, &text, faceBrush());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(handle()) ? skin_->groupBox.text : skin_->button.disabledText);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | (rightToLeft_ ? DT_RTLREADING : 0));
}

// Edit -----------------------------------------------------------------------

Edit::Edit(const ControlContext& context, const EditArgs& a, const Site& site) : Control(context, a.name, site) {
    takesFocus_ = true;
    setCursor(cursorOf(a.cursor));
    createStock("EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, site, a.text);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(site.font), FALSE);
    // 0 lifts the default limit, which otherwise also cuts off pastes.
    SendMessageA(handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(a.maxLength), 0);
}

void Edit::selectAll() { SendMessageA(handle(), EM_SETSEL, 0, -1); }

std::optional<LRESULT> Edit::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!skin_) return std::nullopt;
    switch (msg) {
    case WM_NCPAINT:
        paintBorder();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        // The border shows where the focus is.
        const LRESULT result = defaultProc(msg, wp, lp);
        paintBorder();
        return result;
    }
    default:
        return std::nullopt;
    }
}

void Edit::paintBorder() {
    RECT window, client;
    GetWindowRect(handle(), &window);
    GetClientRect(handle(), &client);
    POINT origin{0, 0};
    ClientToScreen(handle(), &origin);
    const RECT inside{origin.x - window.left, origin.y - window.top, origin.x - window.left + client.right,
                      origin.y - window.top + client.bottom};
    WindowDC frame(handle(), WindowDC::Whole);
    HDC dc = frame.get();
    if (!dc) return;
    const RECT all{0, 0, window.right - window.left, window.bottom - window.top};
    ExcludeClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
    fillSolid(dc, all, skin_->edit.back);
    frameSolid(dc, all, GetFocus() == handle() ? skin_->edit.focusBorder : skin_->edit.border);
}

std::optional<LRESULT> Edit::reflect(UINT msg, WPARAM wp, LPARAM) {
    if (!skin_ || msg != WM_CTLCOLOREDIT) return std::nullopt;
    HDC dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, skin_->edit.text);
    SetBkColor(dc, skin_->edit.back);
    return reinterpret_cast<LRESULT>(skin_->editBackBrush());
}

// Button ---------------------------------------------------------------------

Button::Button(const ControlContext& context, const ButtonArgs& a, const Site& site)
    : Control(context, a.name, site), isDefault_(a.isDefault), isCancel_(a.isCancel) {
    takesFocus_ = true;
    setCursor(cursorOf(a.cursor));
    // A skinned button draws itself; it is still the system's button for the keyboard and the mouse.
    const DWORD kind = skin_ ? BS_OWNERDRAW : a.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    createStock("BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | kind, 0, site, a.caption);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(site.font), FALSE);
}

std::optional<LRESULT> Button::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!skin_) return std::nullopt;
    switch (msg) {
    case WM_LBUTTONDBLCLK:
        // A drawn-by-owner button would report a quick second click as a double click; it is a click.
        return defaultProc(WM_LBUTTONDOWN, wp, lp);
    case WM_MOUSEMOVE:
        if (!hot_) {
            hot_ = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle(), 0};
            TrackMouseEvent(&track);
            InvalidateRect(handle(), nullptr, FALSE);
        }
        return std::nullopt;
    case WM_MOUSELEAVE:
        hot_ = false;
        InvalidateRect(handle(), nullptr, FALSE);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> Button::reflect(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        fireClick();
        return 0;
    }
    if (msg == WM_DRAWITEM && skin_) {
        drawSkinned(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    }
    return std::nullopt;
}

void Button::drawSkinned(const DRAWITEMSTRUCT& item) const {
    const RECT& r = item.rcItem;
    const int width = r.right - r.left, height = r.bottom - r.top;
    BackBuffer buffer(item.hDC, width, height);
    HDC dc = buffer.dc();
    const RECT all{0, 0, width, height};
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    FillRect(dc, &all, faceBrush());
    RECT face = all;
    InflateRect(&face, -1, -1);
    fillSolid(dc, face, pressed ? skin_->button.pressed : hot_ && !disabled ? skin_->button.hot : skin_->button.face);
    // The border with its corners cut, so the button looks rounded.
    const COLORREF border = skin_->button.border;
    fillSolid(dc, {1, 0, width - 1, 1}, border);
    fillSolid(dc, {1, height - 1, width - 1, height}, border);
    fillSolid(dc, {0, 1, 1, height - 1}, border);
    fillSolid(dc, {width - 1, 1, width, height - 1}, border);

    const std::string caption = text();
    RECT textRect = all;
    if (pressed) OffsetRect(&textRect, 1, 1);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(handle(), WM_GETFONT, 0, 0));
    {
        ScopedSelect selectFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, disabled ? skin_->button.disabledText : skin_->button.text);
        const UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | prefix);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = all;
        InflateRect(&focus, -3, -3);
        SetTextColor(dc, skin_->button.text);
        SetBkColor(dc, skin_->button.face);
        DrawFocusRect(dc, &focus);
    }
    BitBlt(item.hDC, r.left, r.top, width, height, dc, 0, 0, SRCCOPY);
}

// Label ----------------------------------------------------------------------

Label::Label(const ControlContext& context, const LabelArgs& a, const Site& site)
    : Control(context, a.name, site), textColor_(toColorRef(a.font.color)) {
    DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY;
    switch (a.alignment) {
    case TextAlign::Left: style |= a.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
    case TextAlign::Center: style |= SS_CENTER; break;
    case TextAlign::Right: style |= SS_RIGHT; break;
    }
    setCursor(cursorOf(a.cursor));
    Site label = site;
    label.id = 0;
    if (a.autoSize) label.bounds = fitted(site, a);
    createStock("STATIC", style, 0, label, a.caption);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(site.font), FALSE);
}

Bounds Label::fitted(const Site& site, const LabelArgs& a) {
    // As the static control draws it: prefixes shown, lines wrapped at the given width if asked.
    WindowDC screen(nullptr);
    ScopedSelect selectFont(screen.get(), site.font ? static_cast<HGDIOBJ>(site.font) : GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, a.wordWrap ? site.bounds.width : 0, 0};
    const UINT wrap = a.wordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextA(screen.get(), a.caption.c_str(), static_cast<int>(a.caption.size()), &r, DT_CALCRECT | DT_EXPANDTABS | wrap);
    Bounds b = site.bounds;
    if (!a.wordWrap) b.width = r.right;
    b.height = r.bottom;
    return b;
}

std::optional<LRESULT> Label::reflect(UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
    HDC dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, textColor_);
    // A label has no face of its own: it shows its container's.
    SetBkColor(dc, faceColor());
    return reinterpret_cast<LRESULT>(faceBrush());
}

// Image ----------------------------------------------------------------------

Image::Image(const ControlContext& context, const ImageArgs& a, const Site& site, std::unique_ptr<Picture> picture)
    : Control(context, a.name, site), picture_(std::move(picture)) {
    setCursor(cursorOf(a.cursor));
    createOwn("TImage", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, site.bounds, site.parentWindow, {});
}

// The window and its frame timer go before the picture they draw.
Image::~Image() { destroyWindow(); }

std::optional<LRESULT> Image::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintScope ps(handle());
        paint(ps.dc());
        return 0;
    }
    case WM_TIMER:
        if (wp != kFrameTimer) return std::nullopt;
        // The timer only asks for a repaint; the frame is chosen and drawn in WM_PAINT.
        KillTimer(handle(), kFrameTimer);
        InvalidateRect(handle(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(handle());
        return 0;
    case WM_LBUTTONUP: {
        if (!pressed_) return 0;
        pressed_ = false;
        ReleaseCapture();
        RECT r;
        GetClientRect(handle(), &r);
        const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        if (PtInRect(&r, pt)) fireClick();
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    default:
        return std::nullopt;
    }
}

void Image::paint(HDC target) {
    RECT r;
    GetClientRect(handle(), &r);
    unsigned elapsed = 0;
    if (picture_) {
        if (!started_) {
            started_ = true;
            startTick_ = GetTickCount();
        }
        elapsed = GetTickCount() - startTick_;
        if (const unsigned wait = picture_->nextChangeMs(elapsed)) SetTimer(handle(), kFrameTimer, wait, nullptr);
    }
    // The image is the picture's size at the designed resolution; on a scaled form the
    // picture scales with it rather than leaving the panel showing around it.
    if (picture_ && picture_->opaqueAt(elapsed)) {
        // A frame that covers everything is one copy to the screen: no flicker, and next to
        // no work for an animation that runs all day.
        picture_->draw(target, r, elapsed);
        return;
    }
    BackBuffer buffer(target, r.right, r.bottom);
    HDC dc = buffer.dc();
    // What lies under the picture is the parent's own painting, so transparent pixels show it.
    HWND parent = GetParent(handle());
    POINT origin{0, 0};
    MapWindowPoints(handle(), parent, &origin, 1);
    POINT oldOrigin;
    SetViewportOrgEx(dc, -origin.x, -origin.y, &oldOrigin);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    if (picture_) picture_->draw(dc, r, elapsed);
    buffer.blitTo(target);
}

}  // namespace forms
