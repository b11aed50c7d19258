// Checks the committed banner against what the image control and the screen-capture
// tests rely on. The layout is read with a block walker of its own, so a decoder bug
// cannot hide a file that is laid out wrongly.
#include "forms/gif/Gif.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kMinDifferentPixels = 40;

std::vector<std::uint8_t> readBanner() {
    std::ifstream in(VOD_BANNER_GIF, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ImageBlock {
    std::size_t controlStart = 0; // where its graphic control extension begins
    std::size_t end = 0;          // one past its last data sub-block
    std::vector<std::uint8_t> control;
    int left = 0, top = 0, width = 0, height = 0, flags = 0;
};

struct Layout {
    std::string signature;
    int width = 0, height = 0, screenFlags = 0, background = 0;
    std::size_t headerEnd = 0; // one past the global colour table
    std::vector<std::vector<std::vector<std::uint8_t>>> applications; // sub-blocks of each
    std::vector<ImageBlock> images;
    bool trailer = false;
};

class Walker {
public:
    explicit Walker(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    Layout walk() {
        Layout layout;
        layout.signature.assign(bytes_.begin(), bytes_.begin() + 6);
        pos_ = 6;
        layout.width = u16();
        layout.height = u16();
        layout.screenFlags = u8();
        layout.background = u8();
        u8();
        if (layout.screenFlags & 0x80) pos_ += 3u * (2u << (layout.screenFlags & 7));
        layout.headerEnd = pos_;
        std::vector<std::uint8_t> control;
        std::size_t controlStart = 0;
        while (pos_ < bytes_.size()) {
            const std::size_t blockStart = pos_;
            const int introducer = u8();
            if (introducer == 0x3B) {
                layout.trailer = true;
                break;
            }
            if (introducer == 0x21) {
                const int label = u8();
                std::vector<std::vector<std::uint8_t>> blocks = subBlocks();
                if (label == 0xF9) {
                    control = blocks.at(0);
                    controlStart = blockStart;
                } else if (label == 0xFF) {
                    layout.applications.push_back(blocks);
                }
                continue;
            }
            EXPECT_EQ(introducer, 0x2C) << "at byte " << blockStart;
            if (introducer != 0x2C) break;
            ImageBlock image;
            image.control = control;
            image.controlStart = control.empty() ? blockStart : controlStart;
            image.left = u16();
            image.top = u16();
            image.width = u16();
            image.height = u16();
            image.flags = u8();
            if (image.flags & 0x80) pos_ += 3u * (2u << (image.flags & 7));
            u8(); // LZW minimum code size
            subBlocks();
            image.end = pos_;
            layout.images.push_back(image);
            control.clear();
        }
        return layout;
    }

private:
    int u8() { return bytes_.at(pos_++); }
    std::size_t byteCount() { return bytes_.at(pos_++); }
    int u16() {
        const int low = u8();
        return low | u8() << 8;
    }
    std::vector<std::vector<std::uint8_t>> subBlocks() {
        std::vector<std::vector<std::uint8_t>> blocks;
        for (std::size_t length = byteCount(); length != 0; length = byteCount()) {
            if (pos_ + length > bytes_.size()) throw std::out_of_range("sub-block past the end");
            blocks.emplace_back(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + length));
            pos_ += length;
        }
        return blocks;
    }

    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
};

bool fullyOpaque(const gif::Frame& frame) {
    for (std::uint32_t pixel : frame.pixels) {
        if (pixel >> 24 != 0xFF) return false;
    }
    return true;
}

int countDifferences(const gif::Frame& a, const gif::Frame& b) {
    int count = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
    return count;
}

TEST(Banner, IsLaidOutAsTheImageControlExpects) {
    const std::vector<std::uint8_t> bytes = readBanner();
    ASSERT_GT(bytes.size(), 13u) << VOD_BANNER_GIF;
    const Layout layout = Walker(bytes).walk();

    EXPECT_EQ(layout.signature, "GIF89a");
    EXPECT_EQ(layout.width, 88);
    EXPECT_EQ(layout.height, 31);
    EXPECT_EQ(layout.screenFlags & 0x87, 0x87) << "one global table of 256 colours";
    EXPECT_EQ(layout.background, 0);
    EXPECT_TRUE(layout.trailer);

    ASSERT_EQ(layout.applications.size(), 1u);
    const std::vector<std::vector<std::uint8_t>>& netscape = layout.applications[0];
    ASSERT_EQ(netscape.size(), 2u);
    EXPECT_EQ(std::string(netscape[0].begin(), netscape[0].end()), "NETSCAPE2.0");
    EXPECT_EQ(netscape[1], (std::vector<std::uint8_t>{1, 0, 0})) << "repeat forever";

    ASSERT_EQ(layout.images.size(), 12u);
    int bottomStrips = 0;
    int upperStrips = 0;
    for (std::size_t i = 0; i < layout.images.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i + 1));
        const ImageBlock& image = layout.images[i];
        EXPECT_EQ(image.left, 0);
        EXPECT_EQ(image.width, 88);
        EXPECT_EQ(image.flags & 0x80, 0) << "local colour table";
        EXPECT_EQ(image.flags & 0x40, 0) << "interlaced";
        ASSERT_EQ(image.control.size(), 4u) << "graphic control extension";
        const int disposal = image.control[0] >> 2 & 7;
        EXPECT_EQ(disposal, i == 11 ? 2 : 1);
        EXPECT_EQ(image.control[0] & 1, 1) << "transparency flag";
        EXPECT_EQ(image.control[1] | image.control[2] << 8, 20) << "delay";
        EXPECT_EQ(image.control[3], 128) << "transparent index";
        if (i == 0 || i == 11) {
            EXPECT_EQ(image.top, 0);
            EXPECT_EQ(image.height, 31);
        } else if (image.top == 25 && image.height == 3) {
            ++bottomStrips;
        } else {
            ++upperStrips;
            EXPECT_GE(image.top, 3);
            EXPECT_LE(image.top, 6);
            EXPECT_GE(image.height, 9);
            EXPECT_LE(image.height, 26);
            EXPECT_LE(image.top + image.height, 31);
        }
    }
    EXPECT_EQ(bottomStrips, 1);
    EXPECT_EQ(upperStrips, 9);
}

TEST(Banner, FullFramesHaveNoTransparentPixels) {
    // Frames 1 and 12 are cut out into files of their own and decoded over nothing,
    // so any use of the transparent index would show as a hole.
    const std::vector<std::uint8_t> bytes = readBanner();
    const Layout layout = Walker(bytes).walk();
    ASSERT_EQ(layout.images.size(), 12u);
    for (std::size_t index : {std::size_t{0}, std::size_t{11}}) {
        SCOPED_TRACE("frame " + std::to_string(index + 1));
        const ImageBlock& image = layout.images[index];
        std::vector<std::uint8_t> alone(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(layout.headerEnd));
        alone.insert(alone.end(), bytes.begin() + static_cast<std::ptrdiff_t>(image.controlStart),
                     bytes.begin() + static_cast<std::ptrdiff_t>(image.end));
        alone.push_back(0x3B);
        const gif::Animation animation = gif::decode(alone.data(), alone.size());
        ASSERT_EQ(animation.frames.size(), 1u);
        EXPECT_TRUE(fullyOpaque(animation.frames[0]));
    }
}

TEST(Banner, PlaysTwelveFramesThatAScreenCaptureCanTellApart) {
    const std::vector<std::uint8_t> bytes = readBanner();
    const gif::Animation animation = gif::decode(bytes.data(), bytes.size());

    EXPECT_EQ(animation.width, 88);
    EXPECT_EQ(animation.height, 31);
    EXPECT_EQ(animation.loopCount, 0);
    ASSERT_EQ(animation.frames.size(), 12u);
    for (std::size_t a = 0; a < animation.frames.size(); ++a) {
        SCOPED_TRACE("frame " + std::to_string(a + 1));
        EXPECT_EQ(animation.frames[a].delayMs, 200);
        EXPECT_TRUE(fullyOpaque(animation.frames[a]));
        for (std::size_t b = a + 1; b < animation.frames.size(); ++b) {
            EXPECT_GE(countDifferences(animation.frames[a], animation.frames[b]), kMinDifferentPixels)
                << "against frame " << b + 1;
        }
    }
}

} // namespace
