#include "forms/gif/Gif.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>

namespace gif {
namespace {

constexpr int kMaxCanvasSide = 4096;
// Bounds the memory of all composed frames together (128 MiB).
constexpr std::size_t kMaxDecodedPixels = std::size_t{1} << 25;
constexpr unsigned kLzwTableSize = 4096;
constexpr unsigned kLzwMaxCodeSize = 12;
// Indices past the end of a short colour table show black, as browsers do.
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

using Palette = std::array<std::uint32_t, 256>;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    const std::uint8_t* take(std::size_t count) {
        if (count > size_ - pos_) {
            throw DecodeError("GIF ends unexpectedly after " + std::to_string(size_) + " bytes");
        }
        const std::uint8_t* start = data_ + pos_;
        pos_ += count;
        return start;
    }

    std::uint8_t byte() { return *take(1); }

    int word() {
        const std::uint8_t* bytes = take(2);
        return bytes[0] | bytes[1] << 8;
    }

    // Calls visit(bytes, length) for each sub-block up to the empty terminator.
    template <class Visit>
    void subBlocks(Visit&& visit) {
        for (std::size_t length = byte(); length != 0; length = byte()) {
            visit(take(length), length);
        }
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

struct Control {
    int disposal = 0;
    int delay = 0;
    int transparent = -1;
};

struct Rect {
    int left, top, width, height;
};

Palette readPalette(Reader& reader, int sizeBits) {
    Palette palette;
    palette.fill(kOpaqueBlack);
    const int count = 2 << sizeBits;
    const std::uint8_t* rgb = reader.take(static_cast<std::size_t>(count) * 3);
    for (int i = 0; i < count; ++i, rgb += 3) {
        palette[static_cast<std::size_t>(i)] = kOpaqueBlack | std::uint32_t{rgb[0]} << 16 |
                                               std::uint32_t{rgb[1]} << 8 | rgb[2];
    }
    return palette;
}

Control readControl(Reader& reader) {
    Control control;
    bool first = true;
    reader.subBlocks([&](const std::uint8_t* block, std::size_t length) {
        if (first) {
            if (length < 4) throw DecodeError("graphic control extension is too short");
            control.disposal = (block[0] >> 2) & 7;
            control.delay = block[1] | block[2] << 8;
            control.transparent = (block[0] & 1) ? block[3] : -1;
        }
        first = false;
    });
    return control;
}

// Returns the NETSCAPE2.0 repeat count, or -1 when the block is some other application's.
int readApplication(Reader& reader) {
    int repeats = -1;
    bool first = true;
    bool looping = false;
    reader.subBlocks([&](const std::uint8_t* block, std::size_t length) {
        if (first) {
            looping = length == 11 && (std::memcmp(block, "NETSCAPE2.0", 11) == 0 ||
                                       std::memcmp(block, "ANIMEXTS1.0", 11) == 0);
        } else if (looping && length >= 3 && block[0] == 1) {
            repeats = block[1] | block[2] << 8;
        }
        first = false;
    });
    return repeats;
}

// Decodes up to indices.size() colour indices and returns how many the data held; a
// stream that stops early leaves the rest of the image unpainted, as viewers do.
std::size_t decodeLzw(const std::vector<std::uint8_t>& data, unsigned minCodeSize,
                      std::vector<std::uint8_t>& indices) {
    constexpr unsigned kNone = kLzwTableSize;
    const unsigned clearCode = 1u << minCodeSize;
    const unsigned endCode = clearCode + 1;
    std::array<std::uint16_t, kLzwTableSize> prefix{};
    std::array<std::uint8_t, kLzwTableSize> suffix{};
    std::array<std::uint8_t, kLzwTableSize> firstByte{};
    std::array<std::uint16_t, kLzwTableSize> length{};
    for (unsigned code = 0; code < clearCode; ++code) {
        suffix[code] = firstByte[code] = static_cast<std::uint8_t>(code);
        length[code] = 1;
    }

    unsigned codeSize = minCodeSize + 1;
    unsigned next = endCode + 1;
    unsigned previous = kNone;
    std::uint32_t bits = 0;
    unsigned bitCount = 0;
    std::size_t in = 0;
    std::size_t out = 0;
    const std::size_t total = indices.size();
    while (out < total) {
        while (bitCount < codeSize && in < data.size()) {
            bits |= std::uint32_t{data[in++]} << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize) break;
        const unsigned code = bits & ((1u << codeSize) - 1);
        bits >>= codeSize;
        bitCount -= codeSize;

        if (code == clearCode) {
            codeSize = minCodeSize + 1;
            next = endCode + 1;
            previous = kNone;
            continue;
        }
        if (code == endCode) break;
        if (previous == kNone ? code >= clearCode : code > next) {
            throw DecodeError("LZW code " + std::to_string(code) + " is not in the table");
        }
        if (previous != kNone && next < kLzwTableSize) {
            // When code == next this defines it (the "KwKwK" case) just before it is used;
            // its first byte is then the previous string's, set on the line above.
            prefix[next] = static_cast<std::uint16_t>(previous);
            firstByte[next] = firstByte[previous];
            suffix[next] = firstByte[code];
            length[next] = static_cast<std::uint16_t>(length[previous] + 1);
            if (++next == 1u << codeSize && codeSize < kLzwMaxCodeSize) ++codeSize;
        }
        unsigned link = code;
        for (std::size_t i = length[code]; i-- > 0; link = prefix[link]) {
            if (out + i < total) indices[out + i] = suffix[link];
        }
        out += length[code];
        previous = code;
    }
    return out < total ? out : total;
}

// Canvas index of the first pixel of each image row, in the order the rows arrive.
std::vector<std::size_t> rowStarts(const Rect& rect, bool interlaced, std::size_t stride) {
    std::vector<std::size_t> starts;
    starts.reserve(static_cast<std::size_t>(rect.height));
    const auto add = [&](int row) {
        starts.push_back((static_cast<std::size_t>(rect.top) + static_cast<std::size_t>(row)) * stride +
                         static_cast<std::size_t>(rect.left));
    };
    if (!interlaced) {
        for (int row = 0; row < rect.height; ++row) add(row);
        return starts;
    }
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int row = kStart[pass]; row < rect.height; row += kStep[pass]) add(row);
    }
    return starts;
}

class Decoder {
public:
    Decoder(const std::uint8_t* data, std::size_t size) : reader_(data, size) {}

    Animation run() {
        readScreen();
        int repeats = -1;
        Control control;
        for (;;) {
            const std::uint8_t introducer = reader_.byte();
            if (introducer == 0x3B) break;
            if (introducer == 0x2C) {
                readImage(control);
                control = Control{};
                continue;
            }
            if (introducer != 0x21) {
                static constexpr char kHex[] = "0123456789ABCDEF";
                throw DecodeError(std::string("unexpected byte 0x") + kHex[introducer >> 4] + kHex[introducer & 15] +
                                  " where a GIF block should start");
            }
            const std::uint8_t label = reader_.byte();
            if (label == 0xF9) {
                control = readControl(reader_);
            } else if (label == 0xFF) {
                const int found = readApplication(reader_);
                if (found >= 0) repeats = found;
            } else {
                reader_.subBlocks([](const std::uint8_t*, std::size_t) {});
                // Plain text is not drawn, but it consumes the control block before it.
                if (label == 0x01) control = Control{};
            }
        }
        if (animation_.frames.empty()) throw DecodeError("GIF contains no images");
        animation_.loopCount = repeats < 0 ? 1 : repeats == 0 ? 0 : repeats + 1;
        return std::move(animation_);
    }

private:
    void readScreen() {
        const std::uint8_t* signature = reader_.take(6);
        if (std::memcmp(signature, "GIF87a", 6) != 0 && std::memcmp(signature, "GIF89a", 6) != 0) {
            throw DecodeError("not a GIF file");
        }
        animation_.width = reader_.word();
        animation_.height = reader_.word();
        const std::uint8_t flags = reader_.byte();
        reader_.take(2); // background colour and pixel shape: the canvas starts transparent
        if (animation_.width == 0 || animation_.height == 0) {
            throw DecodeError("GIF logical screen is empty");
        }
        if (animation_.width > kMaxCanvasSide || animation_.height > kMaxCanvasSide) {
            throw DecodeError("GIF logical screen " + std::to_string(animation_.width) + "x" +
                              std::to_string(animation_.height) + " is larger than " +
                              std::to_string(kMaxCanvasSide) + "x" + std::to_string(kMaxCanvasSide));
        }
        if (flags & 0x80) {
            globalPalette_ = readPalette(reader_, flags & 7);
            hasGlobalPalette_ = true;
        }
        canvas_.assign(canvasArea(), 0);
    }

    std::size_t stride() const { return static_cast<std::size_t>(animation_.width); }
    std::size_t canvasArea() const { return stride() * static_cast<std::size_t>(animation_.height); }

    void readImage(const Control& control) {
        Rect rect{};
        rect.left = reader_.word();
        rect.top = reader_.word();
        rect.width = reader_.word();
        rect.height = reader_.word();
        const std::uint8_t flags = reader_.byte();
        if (rect.left + rect.width > animation_.width || rect.top + rect.height > animation_.height) {
            throw DecodeError("GIF image " + std::to_string(rect.width) + "x" + std::to_string(rect.height) +
                              " at " + std::to_string(rect.left) + "," + std::to_string(rect.top) +
                              " extends outside the logical screen");
        }
        if ((animation_.frames.size() + 1) * canvasArea() > kMaxDecodedPixels) {
            throw DecodeError("GIF animation has too many pixels to decode");
        }
        Palette localPalette;
        const Palette* palette = &globalPalette_;
        if (flags & 0x80) {
            localPalette = readPalette(reader_, flags & 7);
            palette = &localPalette;
        } else if (!hasGlobalPalette_) {
            throw DecodeError("GIF image has no colour table");
        }
        const unsigned minCodeSize = reader_.byte();
        if (minCodeSize < 2 || minCodeSize > 8) {
            throw DecodeError("LZW minimum code size " + std::to_string(minCodeSize) + " is invalid");
        }
        std::vector<std::uint8_t> data;
        reader_.subBlocks([&](const std::uint8_t* block, std::size_t length) {
            data.insert(data.end(), block, block + length);
        });
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(rect.width) *
                                          static_cast<std::size_t>(rect.height));
        const std::size_t decoded = decodeLzw(data, minCodeSize, indices);

        std::vector<std::uint32_t> beforeImage;
        if (control.disposal == 3) beforeImage = canvas_;
        const std::vector<std::size_t> starts = rowStarts(rect, (flags & 0x40) != 0, stride());
        paint(starts, static_cast<std::size_t>(rect.width), indices, decoded, *palette, control.transparent);
        animation_.frames.push_back(Frame{canvas_, control.delay < 2 ? 100 : control.delay * 10});

        if (control.disposal == 2) {
            for (std::size_t start : starts) {
                const auto row = canvas_.begin() + static_cast<std::ptrdiff_t>(start);
                std::fill(row, row + rect.width, 0u);
            }
        } else if (control.disposal == 3) {
            canvas_.swap(beforeImage);
        }
    }

    void paint(const std::vector<std::size_t>& starts, std::size_t width, const std::vector<std::uint8_t>& indices,
               std::size_t count, const Palette& palette, int transparent) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t index = indices[i];
            if (index != transparent) canvas_[starts[i / width] + i % width] = palette[index];
        }
    }

    Reader reader_;
    Animation animation_;
    Palette globalPalette_{};
    bool hasGlobalPalette_ = false;
    std::vector<std::uint32_t> canvas_;
};

} // namespace

Animation decode(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) size = 0;
    return Decoder(data, size).run();
}

} // namespace gif
