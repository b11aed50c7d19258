#include "forms/skin/SkinnedFrame.h"

#include <string>

namespace forms {
namespace {

// Sent by Windows' themed frames to draw their own caption; a skinned frame draws its own.
constexpr UINT kThemedDrawCaption = 0x00AE;
constexpr UINT kThemedDrawFrame = 0x00AF;

bool isCaptionButton(LRESULT hit) { return hit == HTMINBUTTON || hit == HTMAXBUTTON || hit == HTCLOSE; }

// Where the desktop composes frames itself, it would cover ours: ask it not to.
void keepFrameFromComposition(HWND hwnd) {
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    // From the system folder only, never from beside the program.
    HMODULE dwm = LoadLibraryExA("dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dwm) return;  // no desktop composition here
    const auto set = reinterpret_cast<SetAttribute>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
    const DWORD renderingPolicyDisabled = 1;
    if (set) set(hwnd, 2 /* DWMWA_NCRENDERING_POLICY */, &renderingPolicyDisabled, sizeof renderingPolicyDisabled);
    FreeLibrary(dwm);
}

void gradient(HDC dc, const RECT& r, COLORREF from, COLORREF to) {
    TRIVERTEX v[2] = {};
    v[0].x = r.left;
    v[0].y = r.top;
    v[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
    v[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
    v[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
    v[1].x = r.right;
    v[1].y = r.bottom;
    v[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
    v[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
    v[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc, v, 2, &rect, 1, GRADIENT_FILL_RECT_H);
}

}  // namespace

SkinnedFrame::SkinnedFrame(HWND hwnd, const Skin& skin, int dpi,
                           std::function<LRESULT(UINT, WPARAM, LPARAM)> defaultProc)
    : hwnd_(hwnd), skin_(skin), scale_(dpi >= 96 ? (dpi + 48) / 96 : 1),
      defaultProc_(std::move(defaultProc)) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        captionFont_.reset(CreateFontIndirectA(&metrics.lfCaptionFont));
    keepFrameFromComposition(hwnd);
    active_ = GetActiveWindow() == hwnd;
}

SkinnedFrame::Geometry SkinnedFrame::geometry() const {
    Geometry g;
    RECT window;
    GetWindowRect(hwnd_, &window);
    g.width = window.right - window.left;
    g.height = window.bottom - window.top;
    RECT client;
    GetClientRect(hwnd_, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    g.client = {origin.x - window.left, origin.y - window.top, origin.x - window.left + client.right,
                origin.y - window.top + client.bottom};
    const int border = g.height - g.client.bottom;
    if (border < 0 || g.client.top - border < 8) return g;  // no room for a caption
    g.caption = {border, border, g.width - border, g.client.top - 1};
    const int height = g.caption.bottom - g.caption.top;
    const int bh = height - 4, bw = height - 2;
    const LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
    if (!(style & WS_SYSMENU)) return g;
    int right = g.caption.right - 2;
    g.close = {right - bw, g.caption.top + 2, right, g.caption.top + 2 + bh};
    right = g.close.left - 2;
    if (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) {
        g.maximize = {right - bw, g.close.top, right, g.close.bottom};
        g.minimize = {g.maximize.left - bw, g.close.top, g.maximize.left, g.close.bottom};
    }
    return g;
}

const RECT* SkinnedFrame::buttonRect(const Geometry& g, LRESULT hit) const {
    switch (hit) {
    case HTCLOSE: return &g.close;
    case HTMAXBUTTON: return &g.maximize;
    case HTMINBUTTON: return &g.minimize;
    default: return nullptr;
    }
}

LRESULT SkinnedFrame::hitButton(const Geometry& g, POINT p) const {
    for (LRESULT hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
        const RECT* r = buttonRect(g, hit);
        if (!IsRectEmpty(r) && PtInRect(r, p)) return hit;
    }
    return 0;
}

POINT SkinnedFrame::clientToWindow(LPARAM lp) const {
    POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    ClientToScreen(hwnd_, &p);
    RECT window;
    GetWindowRect(hwnd_, &window);
    return {p.x - window.left, p.y - window.top};
}

std::optional<LRESULT> SkinnedFrame::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCPAINT:
        paint();
        return 0;
    case WM_NCACTIVATE:
        active_ = wp != FALSE;
        // -1: let the system note the state without drawing its own caption.
        defaultProc_(msg, wp, -1);
        paint();
        return TRUE;
    case kThemedDrawCaption:
    case kThemedDrawFrame:
        return 0;
    case WM_SETTEXT:
    case WM_SETICON: {
        // The default handling draws the system's caption straight away: draw ours over it.
        const LRESULT result = defaultProc_(msg, wp, lp);
        paint();
        return result;
    }
    case WM_NCHITTEST: {
        const LRESULT hit = defaultProc_(msg, wp, lp);
        if (hit != HTCAPTION && !isCaptionButton(hit)) return hit;
        RECT window;
        GetWindowRect(hwnd_, &window);
        const POINT p{static_cast<short>(LOWORD(lp)) - window.left, static_cast<short>(HIWORD(lp)) - window.top};
        const LRESULT button = hitButton(geometry(), p);
        return button ? button : HTCAPTION;
    }
    case WM_NCMOUSEMOVE: {
        const LRESULT hot = isCaptionButton(static_cast<LRESULT>(wp)) ? static_cast<LRESULT>(wp) : 0;
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, hwnd_, 0};
            tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        if (hot != hot_) {
            hot_ = hot;
            paint();
        }
        return std::nullopt;
    }
    case WM_NCMOUSELEAVE:
        tracking_ = false;
        if (hot_) {
            hot_ = 0;
            paint();
        }
        return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (!isCaptionButton(static_cast<LRESULT>(wp))) return std::nullopt;
        // The button is ours to track: the default would draw the system's pressed button.
        pressed_ = static_cast<LRESULT>(wp);
        pressedInside_ = true;
        SetCapture(hwnd_);
        paint();
        return 0;
    case WM_MOUSEMOVE:
        if (!pressed_) return std::nullopt;
        if (const bool inside = hitButton(geometry(), clientToWindow(lp)) == pressed_; inside != pressedInside_) {
            pressedInside_ = inside;
            paint();
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!pressed_) return std::nullopt;
        const LRESULT button = pressed_;
        const bool inside = hitButton(geometry(), clientToWindow(lp)) == button;
        pressed_ = 0;
        ReleaseCapture();
        paint();
        if (inside) {
            WPARAM command = SC_CLOSE;
            if (button == HTMINBUTTON) command = SC_MINIMIZE;
            if (button == HTMAXBUTTON) command = IsZoomed(hwnd_) ? SC_RESTORE : SC_MAXIMIZE;
            PostMessageA(hwnd_, WM_SYSCOMMAND, command, 0);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (pressed_ && reinterpret_cast<HWND>(lp) != hwnd_) {
            pressed_ = 0;
            paint();
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void SkinnedFrame::paint() {
    if (!IsWindowVisible(hwnd_) || IsIconic(hwnd_)) return;
    const Geometry g = geometry();
    if (g.width <= 0 || g.height <= 0) return;
    WindowDC target(hwnd_, WindowDC::Whole);
    if (!target.get()) return;
    BackBuffer buffer(target.get(), g.width, g.height);
    HDC dc = buffer.dc();

    fillSolid(dc, {0, 0, g.width, g.height}, skin_.frame.face);
    frameSolid(dc, {0, 0, g.width, g.height}, skin_.frame.outer);
    frameSolid(dc, {g.client.left - 1, g.client.top - 1, g.client.right + 1, g.client.bottom + 1}, skin_.frame.outer);

    if (!IsRectEmpty(&g.caption)) {
        const Skin::Caption& c = skin_.caption;
        gradient(dc, g.caption, active_ ? c.active1 : c.inactive1, active_ ? c.active2 : c.inactive2);
        const int height = g.caption.bottom - g.caption.top;
        int textLeft = g.caption.left + 4;
        if (HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd_, WM_GETICON, ICON_SMALL, 0))) {
            const int size = GetSystemMetrics(SM_CXSMICON);
            DrawIconEx(dc, g.caption.left + 2, g.caption.top + (height - size) / 2, icon, size, size, 0,
                       nullptr, DI_NORMAL);
            textLeft = g.caption.left + 2 + size + 4;
        }
        const int length = GetWindowTextLengthA(hwnd_);
        std::string title(static_cast<std::size_t>(length) + 1, '\0');
        title.resize(static_cast<std::size_t>(GetWindowTextA(hwnd_, title.data(), length + 1)));
        RECT text{textLeft, g.caption.top, (IsRectEmpty(&g.minimize) ? g.close.left : g.minimize.left) - 4,
                  g.caption.bottom};
        if (IsRectEmpty(&g.close)) text.right = g.caption.right - 4;
        {
            ScopedSelect font(dc, captionFont_ ? static_cast<HGDIOBJ>(captionFont_.get()) : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, active_ ? c.text : c.inactiveText);
            DrawTextA(dc, title.c_str(), static_cast<int>(title.size()), &text,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        for (LRESULT hit : {HTMINBUTTON, HTMAXBUTTON, HTCLOSE}) {
            const RECT* r = buttonRect(g, hit);
            if (IsRectEmpty(r)) continue;
            if (pressed_ == hit && pressedInside_)
                fillSolid(dc, *r, c.buttonPressed);
            else if (hot_ == hit && !pressed_)
                fillSolid(dc, *r, hit == HTCLOSE ? c.closeHot : c.buttonHot);
            const Glyph glyph = hit == HTCLOSE      ? Glyph::Close
                                : hit == HTMINBUTTON ? Glyph::Minimize
                                : IsZoomed(hwnd_)    ? Glyph::Restore
                                                     : Glyph::Maximize;
            skin_.drawGlyph(dc, glyph, *r, scale_);
        }
    }
    ExcludeClipRect(target.get(), g.client.left, g.client.top, g.client.right, g.client.bottom);
    buffer.blitTo(target.get());
}

}  // namespace forms
