#include "forms/Controls.h"

#include "forms/Application.h"
#include "forms/Form.h"

#include <stdexcept>

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
        return true;
    default:
        return false;
    }
}

}  // namespace

COLORREF toColorRef(const Color& c) {
    return c.isSystem ? GetSysColor(static_cast<int>(c.value)) : static_cast<COLORREF>(c.value);
}

Control::Control(Form& form, std::string name) : form_(form), name_(std::move(name)) {}

Control::~Control() {
    if (hwnd_) DestroyWindow(hwnd_);
}

Control* Control::fromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    // Only windows running our procedures carry a wrapper in their user data.
    const auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (proc != stockProc && proc != ownClassProc) return nullptr;
    return reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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

void Control::attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Control::detach() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    if (stockDefault_) SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stockDefault_));
    hwnd_ = nullptr;
}

void Control::createStock(const char* windowClass, DWORD style, DWORD exStyle, const Bounds& b, HWND parent,
                          std::string_view text, int id) {
    HWND hwnd = CreateWindowExA(exStyle, windowClass, std::string(text).c_str(), style, b.left, b.top, b.width,
                                b.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                form_.application().instance(), nullptr);
    if (!hwnd) throw std::runtime_error("cannot create the control " + name_);
    attach(hwnd);
    stockDefault_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stockProc)));
}

void Control::createOwn(const char* windowClass, DWORD style, DWORD exStyle, const Bounds& b, HWND parent,
                        std::string_view text, HCURSOR cursor) {
    HINSTANCE instance = form_.application().instance();
    WNDCLASSEXA wc{};
    if (!GetClassInfoExA(instance, windowClass, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ownClassProc;
        wc.hInstance = instance;
        wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = windowClass;
        if (!RegisterClassExA(&wc)) throw std::runtime_error(std::string("cannot register ") + windowClass);
    }
    HWND hwnd = CreateWindowExA(exStyle, windowClass, std::string(text).c_str(), style, b.left, b.top, b.width,
                                b.height, parent, nullptr, instance, this);
    if (!hwnd) throw std::runtime_error("cannot create the window " + name_);
}

LRESULT CALLBACK Control::stockProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))->dispatch(msg, wp, lp);
}

LRESULT CALLBACK Control::ownClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->attach(hwnd);
    } else {
        self = fromHandle(hwnd);
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
    if (tooltip_ && msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONUP) {
        MSG relayed{hwnd_, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    // Exceptions must not unwind through the system's frames: report them here and go on.
    try {
        if (auto result = handleMessage(msg, wp, lp)) return *result;
    } catch (...) {
        form_.application().handleException(std::current_exception());
        return 0;
    }
    return defaultProc(msg, wp, lp);
}

LRESULT Control::defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    return stockDefault_ ? CallWindowProcA(stockDefault_, hwnd_, msg, wp, lp) : DefWindowProcA(hwnd_, msg, wp, lp);
}

std::optional<LRESULT> Control::handleMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

std::optional<LRESULT> Control::reflect(UINT, WPARAM, LPARAM) { return std::nullopt; }

std::optional<LRESULT> Control::reflectToChild(UINT msg, WPARAM wp, LPARAM lp) {
    if (!isChildNotification(msg)) return std::nullopt;
    HWND child = msg == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lp)->hwndFrom : reinterpret_cast<HWND>(lp);
    Control* control = fromHandle(child);
    return control ? control->reflect(msg, wp, lp) : std::nullopt;
}

void Control::fireClick() {
    if (onClick) onClick(*this);
}

// Panel ----------------------------------------------------------------------

Panel::Panel(Form& form, const PanelArgs& a, HWND parent, const Bounds& scaled, HFONT font)
    : Control(form, a.name), inner_(a.bevelInner), outer_(a.bevelOuter), align_(a.align), color_(a.color),
      font_(font) {
    createOwn("TPanel", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, scaled,
              parent, a.caption, nullptr);
}

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

void Panel::paint(HDC target) {
    RECT r;
    GetClientRect(handle(), &r);
    BackBuffer buffer(target, r.right, r.bottom);
    HDC dc = buffer.dc();
    UniqueBrush fill(CreateSolidBrush(toColorRef(color_)));
    FillRect(dc, &r, fill.get());
    if (outer_ != Bevel::None)
        DrawEdge(dc, &r, outer_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (inner_ != Bevel::None)
        DrawEdge(dc, &r, inner_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    const std::string caption = text();
    if (!caption.empty()) {
        ScopedSelect selectFont(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    buffer.blitTo(target);
}

// GroupBox -------------------------------------------------------------------

GroupBox::GroupBox(Form& form, const GroupBoxArgs& a, HWND parent, const Bounds& scaled, HFONT font)
    : Control(form, a.name) {
    createStock("BUTTON", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | BS_GROUPBOX,
                WS_EX_CONTROLPARENT | (a.rightToLeft ? WS_EX_RTLREADING : 0), scaled, parent, a.caption, 0);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::optional<LRESULT> GroupBox::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        // The button class leaves a group box's inside unpainted; it holds controls, so fill it.
        RECT r;
        GetClientRect(handle(), &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return reflectToChild(msg, wp, lp);
}

// Edit -----------------------------------------------------------------------

Edit::Edit(Form& form, const EditArgs& a, HWND parent, const Bounds& scaled, HFONT font, int id)
    : Control(form, a.name) {
    takesFocus_ = true;
    createStock("EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, scaled,
                parent, a.text, id);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // 0 lifts the default limit, which otherwise also cuts off pastes.
    SendMessageA(handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(a.maxLength), 0);
}

void Edit::selectAll() { SendMessageA(handle(), EM_SETSEL, 0, -1); }

// Button ---------------------------------------------------------------------

Button::Button(Form& form, const ButtonArgs& a, HWND parent, const Bounds& scaled, HFONT font, int id)
    : Control(form, a.name) {
    takesFocus_ = true;
    createStock("BUTTON",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | (a.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
                scaled, parent, a.caption, id);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::optional<LRESULT> Button::reflect(UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        fireClick();
        return 0;
    }
    return std::nullopt;
}

// Label ----------------------------------------------------------------------

Label::Label(Form& form, const LabelArgs& a, HWND parent, const Bounds& scaled, HFONT font)
    : Control(form, a.name), textColor_(toColorRef(a.font.color)) {
    DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY;
    switch (a.alignment) {
    case TextAlign::Left: style |= a.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
    case TextAlign::Center: style |= SS_CENTER; break;
    case TextAlign::Right: style |= SS_RIGHT; break;
    }
    createStock("STATIC", style, 0, scaled, parent, a.caption, 0);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::optional<LRESULT> Label::reflect(UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
    HDC dc = reinterpret_cast<HDC>(wp);
    SetTextColor(dc, textColor_);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// Image ----------------------------------------------------------------------

Image::Image(Form& form, const ImageArgs& a, HWND parent, const Bounds& scaled, std::unique_ptr<Picture> picture)
    : Control(form, a.name), picture_(std::move(picture)) {
    createOwn("TImage", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, scaled, parent, {},
              LoadCursor(nullptr, a.cursor == Cursor::HandPoint ? IDC_HAND : IDC_ARROW));
}

Image::~Image() {
    if (handle()) KillTimer(handle(), kFrameTimer);
}

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
