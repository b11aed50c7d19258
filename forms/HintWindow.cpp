#include "forms/HintWindow.h"

#include <stdexcept>

namespace forms {

void HintWindow::create(HINSTANCE instance, HWND owner) {
    owner_ = owner;
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance,
                            nullptr);
    if (!hwnd_) throw std::runtime_error("cannot create the hint window");
    SendMessageA(hwnd_, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    SendMessageA(hwnd_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2500);
    SendMessageA(hwnd_, TTM_SETDELAYTIME, TTDT_RESHOW, 500);
}

void HintWindow::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void HintWindow::add(HWND control, const std::string& text) {
    if (!hwnd_) return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    std::string copy = text;  // the tooltip keeps its own copy
    tool.lpszText = copy.data();
    SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void HintWindow::relay(HWND control, UINT msg, WPARAM wp, LPARAM lp) const {
    if (!hwnd_) return;
    MSG relayed{control, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    SendMessageA(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

}  // namespace forms
