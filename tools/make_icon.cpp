// Draws the program icon, a warm speech bubble holding a small oil lamp, and writes it
// as a Windows .ico with 32-bit DIB images at every size the shell asks for.
//
// All geometry is integer arithmetic on a 4096-unit design square, sampled 16 x 16
// times per pixel, so the bytes are the same on every compiler and machine.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::array<int, 8> kSizes = {16, 24, 32, 48, 64, 72, 96, 128};
constexpr std::int64_t kDesign = 4096;
constexpr int kSubsamples = 16;
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;

struct Point {
    std::int64_t x, y;
};

struct Rgba {
    int r, g, b, a;
};

bool inRoundedRect(Point p, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                   std::int64_t radius) {
    if (p.x < left || p.x > right || p.y < top || p.y > bottom) return false;
    const std::int64_t cx = p.x < left + radius ? left + radius : p.x > right - radius ? right - radius : p.x;
    const std::int64_t cy = p.y < top + radius ? top + radius : p.y > bottom - radius ? bottom - radius : p.y;
    return (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy) <= radius * radius;
}

bool inTriangle(Point p, Point a, Point b, Point c) {
    const auto side = [](Point from, Point to, Point q) {
        return (to.x - from.x) * (q.y - from.y) - (to.y - from.y) * (q.x - from.x);
    };
    const std::int64_t d1 = side(a, b, p), d2 = side(b, c, p), d3 = side(c, a, p);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

// A flame: round at the bottom, narrowing along a curve to a point above the centre.
bool inTeardrop(Point p, std::int64_t cx, std::int64_t cy, std::int64_t radius, std::int64_t tipY) {
    const std::int64_t dx = std::llabs(p.x - cx);
    if (p.y >= cy) return dx * dx + (p.y - cy) * (p.y - cy) <= radius * radius;
    if (p.y < tipY) return false;
    const std::int64_t reach = cy - tipY, t = p.y - tipY;
    return dx * reach * reach <= radius * t * (2 * reach - t);
}

bool inBubble(Point p) {
    return inRoundedRect(p, 256, 384, 3840, 3008, 900) ||
           inTriangle(p, Point{1000, 2800}, Point{1750, 2800}, Point{640, 3760});
}

bool inBowl(Point p) {
    constexpr std::int64_t kCx = 2048, kCy = 2500, kRx = 840, kRy = 440;
    if (p.y < kCy) return false;
    const std::int64_t dx = p.x - kCx, dy = p.y - kCy;
    return dx * dx * kRy * kRy + dy * dy * kRx * kRx <= kRx * kRx * kRy * kRy;
}

// The outline keeps the bubble's edge crisp on light and dark backgrounds alike: one
// pixel wide on small icons, growing slowly on large ones.
bool onOutline(Point p, std::int64_t width) {
    const std::int64_t diagonal = width * 181 / 256;
    const std::array<Point, 8> offsets = {{{width, 0}, {-width, 0}, {0, width}, {0, -width},
                                           {diagonal, diagonal}, {diagonal, -diagonal},
                                           {-diagonal, diagonal}, {-diagonal, -diagonal}}};
    for (const Point& offset : offsets) {
        if (!inBubble(Point{p.x + offset.x, p.y + offset.y})) return true;
    }
    return false;
}

Rgba mix(Rgba a, Rgba b, std::int64_t num, std::int64_t den) {
    const auto channel = [&](int ca, int cb) {
        return static_cast<int>((ca * (den - num) + cb * num + den / 2) / den);
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b), 255};
}

Rgba sample(Point p, std::int64_t outlineWidth) {
    constexpr Rgba kClear{0, 0, 0, 0};
    constexpr Rgba kOutline{150, 56, 12, 255};
    constexpr Rgba kTop{255, 190, 84, 255};
    constexpr Rgba kBottom{240, 104, 28, 255};
    constexpr Rgba kFlame{255, 249, 230, 255};
    constexpr Rgba kCore{255, 196, 52, 255};
    constexpr Rgba kBowl{110, 40, 10, 255};
    if (!inBubble(p)) return kClear;
    if (onOutline(p, outlineWidth)) return kOutline;
    if (inBowl(p)) return kBowl;
    if (inTeardrop(p, 2048, 2110, 300, 1380)) return kCore;
    if (inTeardrop(p, 2048, 1880, 640, 560)) return kFlame;
    return mix(kTop, kBottom, p.y - 384, 3008 - 384);
}

// Averages the samples of one pixel into straight (not premultiplied) RGBA.
Rgba pixel(int size, int px, int py, std::int64_t outlineWidth) {
    const std::int64_t grid = static_cast<std::int64_t>(size) * kSubsamples;
    const auto toDesign = [&](std::int64_t sub) { return (2 * sub + 1) * kDesign / (2 * grid); };
    std::int64_t r = 0, g = 0, b = 0, coverage = 0;
    for (int sy = 0; sy < kSubsamples; ++sy) {
        for (int sx = 0; sx < kSubsamples; ++sx) {
            const Rgba c = sample(Point{toDesign(std::int64_t{px} * kSubsamples + sx),
                                        toDesign(std::int64_t{py} * kSubsamples + sy)},
                                  outlineWidth);
            r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, coverage += c.a;
        }
    }
    if (coverage == 0) return {0, 0, 0, 0};
    constexpr std::int64_t kSamples = kSubsamples * kSubsamples;
    const auto average = [&](std::int64_t sum) { return static_cast<int>((sum + coverage / 2) / coverage); };
    return {average(r), average(g), average(b), static_cast<int>((coverage + kSamples / 2) / kSamples)};
}

// Rows top-down.
std::vector<Rgba> render(int size) {
    const std::int64_t outlineWidth = std::max<std::int64_t>(kDesign / size, kDesign / 48);
    std::vector<Rgba> pixels;
    pixels.reserve(static_cast<std::size_t>(size * size));
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) pixels.push_back(pixel(size, px, py, outlineWidth));
    }
    return pixels;
}

class ByteWriter {
public:
    void u8(unsigned value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
    void u16(unsigned value) { u8(value & 0xFF), u8(value >> 8 & 0xFF); }
    void u32(std::uint32_t value) { u16(value & 0xFFFF), u16(value >> 16); }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

std::size_t maskRowBytes(int size) { return static_cast<std::size_t>((size + 31) / 32 * 4); }

std::size_t imageBytes(int size) {
    const std::size_t n = static_cast<std::size_t>(size);
    return kInfoHeaderSize + n * n * 4 + maskRowBytes(size) * n;
}

// A BITMAPINFOHEADER, the BGRA rows bottom-up, then the AND mask: its height counts both.
void writeImage(ByteWriter& out, int size, const std::vector<Rgba>& pixels) {
    out.u32(kInfoHeaderSize);
    out.i32(size);
    out.i32(size * 2);
    out.u16(1);  // planes
    out.u16(32); // bits per pixel
    out.u32(0);  // BI_RGB
    out.u32(static_cast<std::uint32_t>(imageBytes(size) - kInfoHeaderSize));
    out.i32(0), out.i32(0); // pixels per metre
    out.u32(0), out.u32(0); // colours used, important
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Rgba& p = pixels[static_cast<std::size_t>(y * size + x)];
            out.u8(static_cast<unsigned>(p.b)), out.u8(static_cast<unsigned>(p.g)), out.u8(static_cast<unsigned>(p.r)),
                out.u8(static_cast<unsigned>(p.a));
        }
    }
    // Set bits mark pixels that programs ignoring the alpha channel should leave out.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRowBytes(size), 0);
        for (int x = 0; x < size; ++x) {
            if (pixels[static_cast<std::size_t>(y * size + x)].a < 128) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        for (std::uint8_t byte : row) out.u8(byte);
    }
}

std::vector<std::uint8_t> buildIcon() {
    ByteWriter out;
    out.u16(0); // reserved
    out.u16(1); // icon, not cursor
    out.u16(kSizes.size());
    std::size_t offset = kDirectorySize + kEntrySize * kSizes.size();
    for (int size : kSizes) {
        out.u8(static_cast<unsigned>(size)), out.u8(static_cast<unsigned>(size));
        out.u8(0), out.u8(0); // no palette, reserved
        out.u16(1), out.u16(32);
        out.u32(static_cast<std::uint32_t>(imageBytes(size)));
        out.u32(static_cast<std::uint32_t>(offset));
        offset += imageBytes(size);
    }
    for (int size : kSizes) writeImage(out, size, render(size));
    return std::move(out.bytes());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_icon OUTPUT.ico\n";
        return 2;
    }
    const std::vector<std::uint8_t> icon = buildIcon();
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
    if (!out) {
        std::cerr << "make_icon: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
