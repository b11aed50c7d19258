#pragma once
// Ownership in the type: owning wrappers for GDI objects, icons and device
// contexts, and a scoped SelectObject. Nothing else in the program calls
// DeleteObject, DestroyIcon, ReleaseDC or EndPaint.

#include <utility>

#include "forms/Win32.h"

namespace forms {

template <typename H, BOOL(WINAPI* Free)(H)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset(H h = nullptr) {
        if (h_) Free(h_);
        h_ = h;
    }

private:
    H h_ = nullptr;
};

template <typename H>
inline BOOL WINAPI deleteTyped(H h) { return DeleteObject(h); }

using UniqueFont = UniqueHandle<HFONT, deleteTyped<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, deleteTyped<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, deleteTyped<HPEN>>;
using UniqueBitmap = UniqueHandle<HBITMAP, deleteTyped<HBITMAP>>;
using UniqueIcon = UniqueHandle<HICON, DestroyIcon>;
using UniqueMemoryDC = UniqueHandle<HDC, DeleteDC>;

// SelectObject for the length of a scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    HDC dc() const { return dc_; }
    const RECT& dirty() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// GetDC (the client area) or GetWindowDC (the whole window, frame included) / ReleaseDC.
class WindowDC {
public:
    enum Area { Client, Whole };
    explicit WindowDC(HWND hwnd, Area area = Client)
        : hwnd_(hwnd), dc_(area == Whole ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// An off-screen bitmap the size of a window's client area, for flicker-free
// painting: draw into dc(), then copy it out once with blitTo().
class BackBuffer {
public:
    BackBuffer(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
          select_(dc_.get(), bitmap_.get()),
          width_(width),
          height_(height) {}
    HDC dc() const { return dc_.get(); }
    void blitTo(HDC target) const { BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY); }

private:
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    ScopedSelect select_;
    int width_, height_;
};

}  // namespace forms
