// Starts vod.exe, waits until its window is painted and saves a picture of
// it, as the screen shows it, to the BMP file named on the command line.
//   snapshot.exe OUT.bmp

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "Harness.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: snapshot OUT.bmp\n");
        return 2;
    }
    e2e::App app;
    SetCursorPos(0, 0);
    // Painted once the window answers messages again after showing.
    SendMessageA(app.form(), WM_NULL, 0, 0);
    e2e::waitFor([&] { return GetForegroundWindow() == app.form(); }, std::chrono::seconds(3));
    Sleep(500);  // let the banner reach a frame of its own

    RECT r = e2e::windowRect(app.form());
    InflateRect(&r, 8, 8);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((width * 3 + 3) & ~3u);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * height),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), stride * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out ? 0 : 1;
}
