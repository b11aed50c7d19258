#pragma once

// The pieces the asset tools share to write GIF89a files: the block layout and an
// LZW coder of their own. Callers order the blocks; these helpers only lay them out.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace gifout {

using Rgb = std::uint32_t; // 0xRRGGBB

// Packs variable-width codes least significant bit first, as GIF image data wants.
class BitWriter {
public:
    void put(unsigned code, unsigned bits) {
        buffer_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(buffer_));
            buffer_ >>= 8;
            count_ -= 8;
        }
    }
    std::vector<std::uint8_t> finish() {
        if (count_ > 0) bytes_.push_back(static_cast<std::uint8_t>(buffer_));
        return std::move(bytes_);
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t buffer_ = 0;
    unsigned count_ = 0;
};

// Classic LZW over literals of minCodeSize bits (2..8); restarts with a clear code
// when the table fills.
inline std::vector<std::uint8_t> lzwEncode(const std::vector<std::uint8_t>& indices, unsigned minCodeSize) {
    if (minCodeSize < 2 || minCodeSize > 8) throw std::invalid_argument("LZW literal width must be 2..8 bits");
    if (indices.empty()) throw std::invalid_argument("no pixels to encode");
    const unsigned alphabet = 1u << minCodeSize, kClear = alphabet, kEnd = kClear + 1;
    constexpr unsigned kTableSize = 4096, kMaxCodeSize = 12;
    for (std::uint8_t index : indices) {
        if (index >= alphabet) throw std::invalid_argument("pixel index does not fit the LZW literal width");
    }
    std::vector<std::uint16_t> child(kTableSize * alphabet, 0); // 0 = no entry (real codes start at kEnd + 1)
    BitWriter out;
    unsigned codeSize = minCodeSize + 1;
    unsigned next = kEnd + 1;
    out.put(kClear, codeSize);
    unsigned prefix = indices.front();
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const unsigned key = prefix * alphabet + indices[i];
        if (child[key] != 0) {
            prefix = child[key];
            continue;
        }
        out.put(prefix, codeSize);
        if (next < kTableSize) {
            child[key] = static_cast<std::uint16_t>(next++);
            // The decoder learns each code one step later, so it widens one code later too.
            if (next > 1u << codeSize && codeSize < kMaxCodeSize) ++codeSize;
        } else {
            out.put(kClear, codeSize);
            std::fill(child.begin(), child.end(), std::uint16_t{0});
            codeSize = minCodeSize + 1;
            next = kEnd + 1;
        }
        prefix = indices[i];
    }
    out.put(prefix, codeSize);
    out.put(kEnd, codeSize);
    return out.finish();
}

// A GIF file being written, block by block.
class Stream {
public:
    void byte(unsigned value) { out_.push_back(static_cast<std::uint8_t>(value)); }
    void word(unsigned value) { byte(value & 0xFF), byte(value >> 8); }
    void text(const char* chars) {
        for (; *chars; ++chars) byte(static_cast<unsigned char>(*chars));
    }

    // Signature, logical screen and global colour table; the table's size must be a
    // power of two from 2 to 256. Background index 0, square pixels.
    void header(unsigned width, unsigned height, const std::vector<Rgb>& palette) {
        unsigned sizeBits = 1;
        while (sizeBits < 8 && (1u << sizeBits) < palette.size()) ++sizeBits;
        if (palette.size() != 1u << sizeBits) throw std::invalid_argument("colour table size is not 2..256, a power of two");
        text("GIF89a");
        word(width);
        word(height);
        byte(0xF0 | (sizeBits - 1)); // global table, 8 bits per primary
        byte(0);
        byte(0);
        for (Rgb colour : palette) byte(colour >> 16), byte(colour >> 8), byte(colour);
    }

    // A graphic control extension; transparentIndex < 0 leaves every index opaque.
    void control(unsigned disposal, unsigned delay, int transparentIndex) {
        byte(0x21), byte(0xF9), byte(4);
        byte(disposal << 2 | (transparentIndex >= 0 ? 1u : 0u));
        word(delay);
        byte(transparentIndex >= 0 ? static_cast<unsigned>(transparentIndex) : 0u);
        byte(0);
    }

    // An image without a local table, not interlaced, its indices in row order.
    void image(unsigned left, unsigned top, unsigned width, unsigned height,
               const std::vector<std::uint8_t>& indices, unsigned minCodeSize) {
        if (indices.size() != static_cast<std::size_t>(width) * height) {
            throw std::invalid_argument("pixel count does not match the image size");
        }
        byte(0x2C);
        word(left), word(top), word(width), word(height);
        byte(0);
        byte(minCodeSize);
        const std::vector<std::uint8_t> data = lzwEncode(indices, minCodeSize);
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t length = std::min<std::size_t>(255, data.size() - at);
            byte(static_cast<unsigned>(length));
            out_.insert(out_.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                        data.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        byte(0);
    }

    // Appends the trailer and hands over the file.
    std::vector<std::uint8_t> finish() {
        byte(0x3B);
        return std::move(out_);
    }

private:
    std::vector<std::uint8_t> out_;
};

} // namespace gifout
