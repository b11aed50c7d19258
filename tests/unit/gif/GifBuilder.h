#pragma once

// Writes small GIF files for the decoder tests, so each case states its frames in
// code instead of carrying opaque binary files.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace giftest {

struct Image {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;        // in stream order: interlaced rows come pass by pass
    std::vector<std::uint32_t> localColours;  // 0xRRGGBB; empty = use the global table
    bool interlaced = false;
    bool control = true; // write a graphic control extension
    int disposal = 0;
    int delay = 0;
    int transparent = -1;
    int minCodeSize = 2;
    std::vector<std::uint8_t> lzw; // replaces the encoded indices when not empty
};

struct File {
    const char* signature = "GIF89a";
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> globalColours;
    int repeats = -1; // NETSCAPE2.0 repeat count; -1 = no such block
    std::vector<Image> images;
};

class Bytes {
public:
    void u8(unsigned value) { data.push_back(static_cast<std::uint8_t>(value)); }
    void u16(unsigned value) { u8(value & 0xFF), u8(value >> 8); }
    void text(const char* s) {
        while (*s) u8(static_cast<unsigned char>(*s++));
    }
    std::vector<std::uint8_t> data;
};

// Packs codes of one width, least significant bit first, as GIF streams them.
inline std::vector<std::uint8_t> packCodes(std::initializer_list<unsigned> codes, unsigned width) {
    std::vector<std::uint8_t> out;
    std::uint32_t bits = 0;
    unsigned count = 0;
    for (unsigned code : codes) {
        bits |= code << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8) out.push_back(static_cast<std::uint8_t>(bits));
    }
    if (count > 0) out.push_back(static_cast<std::uint8_t>(bits));
    return out;
}

// LZW data made of literal codes only. The decoder still adds a table entry for every
// code after the first and widens its codes as the table grows, so the writer follows
// the same schedule; long images thereby reach 12-bit codes and a full table.
inline std::vector<std::uint8_t> lzwLiterals(const std::vector<std::uint8_t>& indices, int minCodeSize) {
    const unsigned clearCode = 1u << minCodeSize;
    std::vector<std::uint8_t> out;
    std::uint32_t bits = 0;
    unsigned count = 0;
    unsigned width = static_cast<unsigned>(minCodeSize) + 1;
    const auto put = [&](unsigned code) {
        bits |= code << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8) out.push_back(static_cast<std::uint8_t>(bits));
    };
    put(clearCode);
    unsigned next = clearCode + 2;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        put(indices[i]);
        if (i > 0 && next < 4096 && ++next == 1u << width && width < 12) ++width;
    }
    put(clearCode + 1);
    if (count > 0) out.push_back(static_cast<std::uint8_t>(bits));
    return out;
}

inline void colourTable(Bytes& out, const std::vector<std::uint32_t>& colours, unsigned sizeBits) {
    for (unsigned i = 0; i < 2u << sizeBits; ++i) {
        const std::uint32_t c = i < colours.size() ? colours[i] : 0;
        out.u8(c >> 16 & 0xFF), out.u8(c >> 8 & 0xFF), out.u8(c & 0xFF);
    }
}

inline unsigned sizeBits(std::size_t colours) {
    unsigned bits = 0;
    while ((2u << bits) < colours) ++bits;
    return bits;
}

inline void subBlocks(Bytes& out, const std::vector<std::uint8_t>& data) {
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t length = data.size() - at < 255 ? data.size() - at : 255;
        out.u8(static_cast<unsigned>(length));
        out.data.insert(out.data.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                        data.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    out.u8(0);
}

inline std::vector<std::uint8_t> build(const File& file) {
    Bytes out;
    out.text(file.signature);
    out.u16(static_cast<unsigned>(file.width));
    out.u16(static_cast<unsigned>(file.height));
    const unsigned globalBits = sizeBits(file.globalColours.size());
    out.u8(file.globalColours.empty() ? 0u : 0x80u | 0x70u | globalBits);
    out.u8(0), out.u8(0);
    if (!file.globalColours.empty()) colourTable(out, file.globalColours, globalBits);
    if (file.repeats >= 0) {
        out.u8(0x21), out.u8(0xFF), out.u8(11);
        out.text("NETSCAPE2.0");
        out.u8(3), out.u8(1), out.u16(static_cast<unsigned>(file.repeats)), out.u8(0);
    }
    for (const Image& image : file.images) {
        if (image.control) {
            out.u8(0x21), out.u8(0xF9), out.u8(4);
            out.u8(static_cast<unsigned>(image.disposal << 2) | (image.transparent >= 0 ? 1u : 0u));
            out.u16(static_cast<unsigned>(image.delay));
            out.u8(image.transparent >= 0 ? static_cast<unsigned>(image.transparent) : 0u);
            out.u8(0);
        }
        out.u8(0x2C);
        out.u16(static_cast<unsigned>(image.left)), out.u16(static_cast<unsigned>(image.top));
        out.u16(static_cast<unsigned>(image.width)), out.u16(static_cast<unsigned>(image.height));
        const unsigned localBits = sizeBits(image.localColours.size());
        unsigned flags = image.interlaced ? 0x40u : 0u;
        if (!image.localColours.empty()) flags |= 0x80u | localBits;
        out.u8(flags);
        if (!image.localColours.empty()) colourTable(out, image.localColours, localBits);
        out.u8(static_cast<unsigned>(image.minCodeSize));
        subBlocks(out, image.lzw.empty() ? lzwLiterals(image.indices, image.minCodeSize) : image.lzw);
    }
    out.u8(0x3B);
    return out.data;
}

} // namespace giftest
