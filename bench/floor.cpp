// The floor vod.exe is measured against: the least a Win32 program with one
// window does on this platform. It registers a class, opens one window of
// vod's outer size and place, fills its client with one colour when asked to
// paint, and runs the message loop until the window is closed.

#include "forms/Handles.h"

namespace {

constexpr char kClassName[] = "FloorWindow";
constexpr char kCaption[] = "floor";
constexpr int kLeft = 518;
constexpr int kTop = 154;
constexpr int kWidth = 174;
constexpr int kHeight = 204;
// vod_bench is built with the same value and looks for it on the screen.
constexpr COLORREF kPaintColour = VOD_FLOOR_COLOUR;

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        forms::PaintScope paint(hwnd);
        // The stock DC brush takes any colour and is owned by nobody: nothing to free.
        SetDCBrushColor(paint.dc(), kPaintColour);
        FillRect(paint.dc(), &paint.dirty(), static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExA(&wc)) return 1;

    HWND hwnd = CreateWindowExA(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW, kLeft, kTop, kWidth, kHeight, nullptr,
                                nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, showCommand);

    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
