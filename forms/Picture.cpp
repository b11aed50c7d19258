#include "forms/Picture.h"

#include <cstring>
#include <stdexcept>
#include <vector>

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
        }
        GdiFlush();
    }

    int width() const override { return width_; }
    int height() const override { return height_; }

    void draw(HDC dc, const RECT& target, unsigned elapsedMs) const override {
        const auto state = player_.at(elapsedMs);
        ScopedSelect select(dc_.get(), frames_.at(state.frame).get());
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, dc_.get(), 0,
                   0, width_, height_, blend);
    }

    unsigned nextChangeMs(unsigned elapsedMs) const override {
        const auto state = player_.at(elapsedMs);
        return state.msUntilChange > 0 ? static_cast<unsigned>(state.msUntilChange) : 0;
    }

private:
    int width_, height_;
    gif::Player player_;
    UniqueMemoryDC dc_;
    std::vector<UniqueBitmap> frames_;
};

}  // namespace

std::unique_ptr<Picture> loadPicture(HINSTANCE instance, const std::string& resourceName) {
    if (resourceName.empty()) return nullptr;
    HRSRC info = FindResourceA(instance, resourceName.c_str(), RT_RCDATA);
    HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw std::runtime_error("the picture resource " + resourceName + " is missing");
    try {
        const auto animation = gif::decode(static_cast<const std::uint8_t*>(bytes), SizeofResource(instance, info));
        return std::make_unique<GifPicture>(animation);
    } catch (const gif::DecodeError& e) {
        throw std::runtime_error("the picture " + resourceName + " cannot be read: " + e.what());
    }
}

}  // namespace forms
