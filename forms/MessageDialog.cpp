#include "forms/MessageDialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "forms/Handles.h"

namespace forms {
namespace {

// The IDs the system's own message box gives its text and its icon, so tools
// that read message boxes read this one too.
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x14;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

struct DialogState {
    std::string caption;
    std::string text;
    DialogIcon icon;
    UniqueFont font;
};

UniqueFont messageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return UniqueFont(CreateFontIndirectA(&metrics.lfMessageFont));
    return UniqueFont();
}

HWND createChild(HWND dialog, const char* cls, const char* text, DWORD style, int id, const RECT& r, HFONT font) {
    HWND hwnd = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    if (hwnd && font) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

// Lays the dialog out in units of the message font, like any dialog template would.
void layOut(HWND dialog, DialogState& state) {
    SetWindowTextA(dialog, state.caption.c_str());
    HFONT font = state.font ? state.font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    WindowDC dc(dialog);
    ScopedSelect select(dc.get(), font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.get(), &tm);
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE alphabet{};
    GetTextExtentPoint32A(dc.get(), kAlphabet, 52, &alphabet);
    const int baseX = (alphabet.cx / 26 + 1) / 2;
    const int baseY = tm.tmHeight;
    const int margin = MulDiv(8, baseX, 4);
    const int vMargin = MulDiv(8, baseY, 8);
    const int spacing = MulDiv(10, baseX, 4);
    const int vSpacing = MulDiv(10, baseY, 8);
    const int buttonWidth = MulDiv(50, baseX, 4);
    const int buttonHeight = MulDiv(14, baseY, 8);

    RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(dc.get(), state.text.c_str(), static_cast<int>(state.text.size()), &textRect, kTextFormat | DT_CALCRECT);
    const int iconSize = state.icon == DialogIcon::None ? 0 : GetSystemMetrics(SM_CXICON);
    const int iconRoom = iconSize ? iconSize + spacing : 0;
    const int textWidth = textRect.right, textHeight = textRect.bottom;

    const int clientWidth = std::max(iconRoom + textWidth, buttonWidth) + 2 * margin;
    const int bodyHeight = std::max(textHeight, iconSize);
    const int clientHeight = vMargin + bodyHeight + vSpacing + buttonHeight + vMargin;

    if (iconSize) {
        HWND icon = createChild(dialog, "STATIC", nullptr, SS_ICON, kIconId,
                                RECT{margin, vMargin, margin + iconSize, vMargin + iconSize}, nullptr);
        SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_HAND)), 0);
    }
    const int textLeft = margin + iconRoom;
    createChild(dialog, "STATIC", state.text.c_str(), SS_LEFT | SS_NOPREFIX, kTextId,
                RECT{textLeft, vMargin, textLeft + textWidth, vMargin + textHeight}, font);
    const int buttonLeft = (clientWidth - buttonWidth) / 2;
    const int buttonTop = vMargin + bodyHeight + vSpacing;
    HWND ok = createChild(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
                          RECT{buttonLeft, buttonTop, buttonLeft + buttonWidth, buttonTop + buttonHeight}, font);
    SendMessageA(dialog, DM_SETDEFID, IDOK, 0);

    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, kStyle, FALSE, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(ok);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        layOut(dialog, *reinterpret_cast<DialogState*>(lp));
        return FALSE;  // the focus is set already
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wp));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void showMessageDialog(HINSTANCE instance, HWND owner, std::string_view caption, std::string_view text,
                       DialogIcon icon) {
    DialogState state{std::string(caption), std::string(text), icon, messageFont()};

    // An empty template: no controls, no menu, the standard class, an empty title.
    // The controls and the real title are put in at WM_INITDIALOG, in the ANSI code page.
    std::vector<DWORD> storage(8, 0);
    auto* tmpl = reinterpret_cast<DLGTEMPLATE*>(storage.data());
    tmpl->style = kStyle;
    const INT_PTR result = DialogBoxIndirectParamA(instance, tmpl, owner, dialogProc, reinterpret_cast<LPARAM>(&state));
    if (result == -1) {
        const UINT flags = MB_OK | (icon == DialogIcon::Error ? MB_ICONERROR : 0);
        MessageBoxA(owner, state.text.c_str(), state.caption.c_str(), flags);
    }
}

}  // namespace forms
