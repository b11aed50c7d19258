#include "forms/Picture.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "forms/Resources.h"
#include "forms/gif/Gif.h"

namespace forms {
namespace {

// An animated GIF, decoded once at start-up into one premultiplied 32-bit
// bitmap per composed frame; drawing is a single AlphaBlend of the frame
// that is due, so transparent pixels show whatever was painted beneath.
class GifPicture : public Picture {
public:
    explicit GifPicture(const gif::Animation& animation)
        : width_(animation.width), height_(animation.height), player_(animation), dc_(CreateCompatibleDC(nullptr)) {
        if (!dc_) throw std::runtime_error("cannot create a memory device context");
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down, as the decoder hands the rows over
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        for (const gif::Frame& frame : animation.frames) {
            void* bits = nullptr;
            UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (!bitmap || !bits) throw std::runtime_error("cannot make a bitmap for the picture");
            std::memcpy(bits, frame.pixels.data(), frame.pixels.size() * sizeof(std::uint32_t));
            frames_.push_back(std::move(bitmap));
            opaque_.push_back(std::all_of(frame.pixels.begin(), frame.pixels.end(),
                                          [](std::uint32_t p) { return (p >> 24) == 0xFF; }));
        }
        GdiFlush();
    }

    void draw(HDC dc, const RECT& target, unsigned elapsedMs) const override {
        const std::size_t frame = player_.at(elapsedMs).frame;
        ScopedSelect select(dc_.get(), frames_.at(frame).get());
        const int w = target.right - target.left, h = target.bottom - target.top;
        if (opaque_[frame]) {
            if (w == width_ && h == height_)
                BitBlt(dc, target.left, target.top, w, h, dc_.get(), 0, 0, SRCCOPY);
            else
                StretchBlt(dc, target.left, target.top, w, h, dc_.get(), 0, 0, width_, height_, SRCCOPY);
            return;
        }
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, target.left, target.top, w, h, dc_.get(), 0, 0, width_, height_, blend);
    }

    bool opaqueAt(unsigned elapsedMs) const override { return opaque_[player_.at(elapsedMs).frame]; }

    unsigned nextChangeMs(unsigned elapsedMs) const override {
        const auto state = player_.at(elapsedMs);
        return state.msUntilChange > 0 ? static_cast<unsigned>(state.msUntilChange) : 0;
    }

private:
    int width_, height_;
    gif::Player player_;
    UniqueMemoryDC dc_;
    std::vector<UniqueBitmap> frames_;
    std::vector<bool> opaque_;
};

}  // namespace

std::unique_ptr<Picture> loadPicture(HINSTANCE instance, const std::string& resourceName) {
    if (resourceName.empty()) return nullptr;
    const std::string_view bytes = resourceBytes(instance, resourceName.c_str(), "the picture");
    try {
        const auto animation = gif::decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        return std::make_unique<GifPicture>(animation);
    } catch (const gif::DecodeError& e) {
        throw std::runtime_error("the picture " + resourceName + " cannot be read: " + e.what());
    }
}

}  // namespace forms
