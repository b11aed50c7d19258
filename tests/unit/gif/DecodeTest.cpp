#include "forms/gif/Gif.h"
#include "tests/unit/gif/GifBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using giftest::File;
using giftest::Image;
using Pixels = std::vector<std::uint32_t>;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;
constexpr std::uint32_t kClear = 0;

constexpr std::uint32_t opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }

gif::Animation decodeFile(const File& file) {
    const std::vector<std::uint8_t> bytes = giftest::build(file);
    return gif::decode(bytes.data(), bytes.size());
}

Image image(int left, int top, int width, int height, std::vector<std::uint8_t> indices) {
    Image result;
    result.left = left;
    result.top = top;
    result.width = width;
    result.height = height;
    result.indices = std::move(indices);
    return result;
}

TEST(GifDecode, DecodesTheFormatsWorkedExample) {
    // The 10x10 picture that public write-ups of the format walk through, with the LZW
    // bytes they print: string codes, a code used in the step that defines it, and the
    // widening from 3- to 4-bit codes.
    Image picture = image(0, 0, 10, 10, {});
    picture.lzw = {0x8C, 0x2D, 0x99, 0x87, 0x2A, 0x1C, 0xDC, 0x33, 0xA0, 0x02, 0x75,
                   0xEC, 0x95, 0xFA, 0xA8, 0xDE, 0x60, 0x8C, 0x04, 0x91, 0x4C, 0x01};
    const File file{"GIF89a", 10, 10, {kWhite, kRed, kBlue, kBlack}, -1, {picture}};
    const char* const rows[] = {"1111122222", "1111122222", "1111122222", "1110000222", "1110000222",
                                "2220000111", "2220000111", "2222211111", "2222211111", "2222211111"};
    const std::uint32_t colours[] = {kWhite, kRed, kBlue};

    const gif::Animation animation = decodeFile(file);

    ASSERT_EQ(animation.frames.size(), 1u);
    const Pixels& pixels = animation.frames[0].pixels;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(pixels[static_cast<std::size_t>(y * 10 + x)], opaque(colours[rows[y][x] - '0']))
                << "at " << x << "," << y;
        }
    }
}

TEST(GifDecode, KeepsDecodingAfterTheCodeTableFills) {
    // 6000 codes take the table from 3-bit codes past its 4096-entry limit.
    std::vector<std::uint8_t> indices(6000);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>((i * 7 + i / 100) % 4);
    const std::uint32_t colours[] = {kWhite, kRed, kBlue, kBlack};
    const File file{"GIF89a", 100, 60, {kWhite, kRed, kBlue, kBlack}, -1, {image(0, 0, 100, 60, indices)}};

    const Pixels pixels = decodeFile(file).frames.at(0).pixels;

    ASSERT_EQ(pixels.size(), indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i) {
        ASSERT_EQ(pixels[i], opaque(colours[indices[i]])) << "pixel " << i;
    }
}

TEST(GifDecode, AcceptsBothVersions) {
    for (const char* signature : {"GIF87a", "GIF89a"}) {
        SCOPED_TRACE(signature);
        Image picture = image(0, 0, 2, 1, {1, 0});
        picture.control = false;
        const File file{signature, 2, 1, {kRed, kBlue}, -1, {picture}};
        EXPECT_EQ(decodeFile(file).frames.at(0).pixels, (Pixels{opaque(kBlue), opaque(kRed)}));
    }
}

TEST(GifDecode, ChoosesTheColourTableOfEachImage) {
    Image local = image(0, 0, 2, 1, {0, 1});
    local.localColours = {kGreen, kWhite, kBlack};
    // Indices past the end of a table read as black instead of past the end of memory.
    const File file{"GIF89a", 2, 1, {kRed, kBlue}, -1, {image(0, 0, 2, 1, {0, 1}), local, image(0, 0, 2, 1, {3, 2})}};

    const gif::Animation animation = decodeFile(file);

    ASSERT_EQ(animation.frames.size(), 3u);
    EXPECT_EQ(animation.frames[0].pixels, (Pixels{opaque(kRed), opaque(kBlue)}));
    EXPECT_EQ(animation.frames[1].pixels, (Pixels{opaque(kGreen), opaque(kWhite)}));
    EXPECT_EQ(animation.frames[2].pixels, (Pixels{opaque(kBlack), opaque(kBlack)}));
}

TEST(GifDecode, ComposesOffsetFramesWithTransparency) {
    // A 2x2 image at the right of a 3x2 screen: the column it leaves out and its
    // transparent pixels stay clear; a later frame's transparent pixels keep them.
    Image first = image(1, 0, 2, 2, {0, 1, 1, 0});
    first.transparent = 1;
    first.disposal = 1;
    Image second = image(0, 0, 3, 2, {2, 2, 2, 1, 1, 2});
    second.transparent = 2;
    const File file{"GIF89a", 3, 2, {kRed, kBlue, kGreen}, -1, {first, second}};

    const gif::Animation animation = decodeFile(file);

    ASSERT_EQ(animation.frames.size(), 2u);
    EXPECT_EQ(animation.frames[0].pixels, (Pixels{kClear, opaque(kRed), kClear, kClear, kClear, opaque(kRed)}));
    EXPECT_EQ(animation.frames[1].pixels,
              (Pixels{kClear, opaque(kRed), kClear, opaque(kBlue), opaque(kBlue), opaque(kRed)}));
}

TEST(GifDecode, AppliesEachDisposalMethodBeforeTheNextFrame) {
    // On a 4x1 screen: A everywhere, then B on the middle pixels disposed of with the
    // method under test, then C on the last pixel, which shows what the disposal left.
    constexpr std::uint32_t kA = opaque(kRed), kB = opaque(kBlue), kC = opaque(kGreen);
    struct Case {
        int disposal;
        std::uint32_t middleAfter;
    };
    const Case cases[] = {
        {0, kB},     // none
        {1, kB},     // leave in place
        {2, kClear}, // restore to background, which browsers show as transparent
        {3, kA},     // restore to previous
        {5, kB},     // undefined methods change nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("disposal " + std::to_string(c.disposal));
        Image base = image(0, 0, 4, 1, {0, 0, 0, 0});
        base.disposal = 1;
        Image middle = image(1, 0, 2, 1, {1, 1});
        middle.disposal = c.disposal;
        const File file{"GIF89a", 4, 1, {kRed, kBlue, kGreen}, -1, {base, middle, image(3, 0, 1, 1, {2})}};

        const gif::Animation animation = decodeFile(file);

        ASSERT_EQ(animation.frames.size(), 3u);
        EXPECT_EQ(animation.frames[1].pixels, (Pixels{kA, kB, kB, kA}));
        EXPECT_EQ(animation.frames[2].pixels, (Pixels{kA, c.middleAfter, c.middleAfter, kC}));
    }
}

TEST(GifDecode, RestoreToPreviousUndoesOnlyItsOwnFrame) {
    constexpr std::uint32_t kA = opaque(kRed), kB = opaque(kBlue), kC = opaque(kGreen), kD = opaque(kWhite);
    Image base = image(0, 0, 3, 1, {0, 0, 0});
    base.disposal = 1;
    Image second = image(0, 0, 1, 1, {1});
    second.disposal = 3;
    Image third = image(1, 0, 1, 1, {2});
    third.disposal = 3;
    const File file{"GIF89a", 3, 1, {kRed, kBlue, kGreen, kWhite}, -1, {base, second, third, image(2, 0, 1, 1, {3})}};

    const gif::Animation animation = decodeFile(file);

    ASSERT_EQ(animation.frames.size(), 4u);
    EXPECT_EQ(animation.frames[1].pixels, (Pixels{kB, kA, kA}));
    EXPECT_EQ(animation.frames[2].pixels, (Pixels{kA, kC, kA}));
    EXPECT_EQ(animation.frames[3].pixels, (Pixels{kA, kA, kD}));
}

TEST(GifDecode, PlacesInterlacedRowsPassByPass) {
    // Rows of a 10-row image arrive as 0 8 | 4 | 2 6 | 1 3 5 7 9; row r has colour r.
    const int streamRows[] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    std::vector<std::uint32_t> colours;
    for (std::uint32_t r = 0; r < 10; ++r) colours.push_back(r * 0x101010u);
    Image picture = image(0, 0, 2, 10, {});
    for (int row : streamRows) picture.indices.insert(picture.indices.end(), 2, static_cast<std::uint8_t>(row));
    picture.interlaced = true;
    picture.minCodeSize = 4;
    const File file{"GIF89a", 2, 10, colours, -1, {picture}};

    const Pixels pixels = decodeFile(file).frames.at(0).pixels;

    for (std::size_t row = 0; row < 10; ++row) {
        EXPECT_EQ(pixels[row * 2], opaque(colours[row])) << "row " << row;
        EXPECT_EQ(pixels[row * 2 + 1], opaque(colours[row])) << "row " << row;
    }
}

TEST(GifDecode, ReadsDelaysWithTheBrowsersMinimum) {
    struct Case {
        bool control;
        int hundredths;
        int expectedMs;
    };
    const Case cases[] = {
        {false, 0, 100}, {true, 0, 100}, {true, 1, 100}, {true, 2, 20}, {true, 7, 70}, {true, 6000, 60000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hundredths) + (c.control ? "" : " without a control block"));
        Image picture = image(0, 0, 1, 1, {0});
        picture.control = c.control;
        picture.delay = c.hundredths;
        EXPECT_EQ(decodeFile(File{"GIF89a", 1, 1, {kRed, kBlue}, -1, {picture}}).frames.at(0).delayMs, c.expectedMs);
    }
}

TEST(GifDecode, TurnsTheNetscapeRepeatCountIntoPlays) {
    struct Case {
        int repeats;
        int plays;
    };
    const Case cases[] = {{-1, 1}, {0, 0}, {1, 2}, {65535, 65536}};
    for (const Case& c : cases) {
        SCOPED_TRACE("repeats " + std::to_string(c.repeats));
        const File file{"GIF89a", 1, 1, {kRed, kBlue}, c.repeats, {image(0, 0, 1, 1, {0})}};
        EXPECT_EQ(decodeFile(file).loopCount, c.plays);
    }
}

TEST(GifDecode, SkipsCommentsAndOtherApplicationsBlocks) {
    const File file{"GIF89a", 2, 1, {kRed, kBlue}, 2, {image(0, 0, 2, 1, {1, 0})}};
    std::vector<std::uint8_t> bytes = giftest::build(file);
    giftest::Bytes extra;
    extra.u8(0x21), extra.u8(0xFE), extra.u8(5), extra.text("hello"), extra.u8(0);
    extra.u8(0x21), extra.u8(0xFF), extra.u8(11), extra.text("XMP DataXMP");
    extra.u8(3), extra.text("<x>"), extra.u8(0);
    const std::size_t afterGlobalTable = 13 + 2 * 3;
    bytes.insert(bytes.begin() + afterGlobalTable, extra.data.begin(), extra.data.end());

    const gif::Animation animation = gif::decode(bytes.data(), bytes.size());

    EXPECT_EQ(animation.loopCount, 3);
    ASSERT_EQ(animation.frames.size(), 1u);
    EXPECT_EQ(animation.frames[0].pixels, (Pixels{opaque(kBlue), opaque(kRed)}));
}

TEST(GifDecode, LeavesPixelsUnpaintedWhenImageDataStopsEarly) {
    // Viewers draw what a short stream holds rather than refusing the whole file. The
    // second stream has no end code and fills its three bytes exactly, so no padding
    // bits can pass for more pixels.
    for (const auto& lzw : {giftest::packCodes({4, 0, 0, 5}, 3), giftest::packCodes({4, 0, 0, 4, 4, 4, 4, 4}, 3)}) {
        Image base = image(0, 0, 4, 1, {1, 1, 1, 1});
        base.disposal = 1;
        Image partial = image(0, 0, 4, 1, {});
        partial.lzw = lzw;
        const File file{"GIF89a", 4, 1, {kRed, kBlue}, -1, {base, partial}};
        EXPECT_EQ(decodeFile(file).frames.at(1).pixels,
                  (Pixels{opaque(kRed), opaque(kRed), opaque(kBlue), opaque(kBlue)}));
    }
}

File smallValidFile() {
    Image first = image(0, 0, 4, 2, {0, 1, 1, 0, 1, 0, 0, 1});
    first.disposal = 1;
    first.delay = 5;
    Image second = image(1, 0, 2, 2, {2, 3, 3, 2});
    second.localColours = {kWhite, kBlack, kGreen, kBlue};
    second.interlaced = true;
    second.transparent = 3;
    return File{"GIF89a", 4, 2, {kRed, kBlue}, 0, {first, second}};
}

TEST(GifMalformed, RefusesTheFileCutAtAnyByte) {
    const std::vector<std::uint8_t> bytes = giftest::build(smallValidFile());
    ASSERT_EQ(gif::decode(bytes.data(), bytes.size()).frames.size(), 2u);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        // A buffer of exactly the cut size, so the sanitizers see any read past its end.
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        try {
            gif::decode(cut.data(), cut.size());
            ADD_FAILURE() << "accepted the first " << size << " bytes";
        } catch (const gif::DecodeError& error) {
            EXPECT_NE(std::string(error.what()).find("ends unexpectedly"), std::string::npos)
                << size << " bytes: " << error.what();
        }
    }
}

TEST(GifMalformed, RefusesBrokenFilesWithAReason) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    const auto variant = [](auto change) {
        File file = smallValidFile();
        change(file);
        return giftest::build(file);
    };
    const auto withLzw = [&](std::vector<std::uint8_t> lzw, int minCodeSize = 2) {
        return variant([&](File& f) {
            f.images[0].lzw = lzw;
            f.images[0].minCodeSize = minCodeSize;
        });
    };
    std::vector<std::uint8_t> unknownBlock = giftest::build(smallValidFile());
    unknownBlock.insert(unknownBlock.end() - 1, 0x99);
    std::vector<std::uint8_t> shortControl = giftest::build(smallValidFile());
    const std::uint8_t controlStart[] = {0x21, 0xF9, 0x04};
    const auto control =
        std::search(shortControl.begin(), shortControl.end(), std::begin(controlStart), std::end(controlStart));
    control[2] = 2;
    shortControl.erase(control + 5, control + 7);

    const Case cases[] = {
        {"another format", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0, 0, 0x3B}, "not a GIF"},
        {"unknown version", variant([](File& f) { f.signature = "GIF88a"; }), "not a GIF"},
        {"empty screen", variant([](File& f) { f.width = 0; }), "empty"},
        {"screen wider than the cap", variant([](File& f) { f.width = 4097; }), "larger than"},
        {"screen taller than the cap", variant([](File& f) { f.height = 65535; }), "larger than"},
        {"more frames than memory allows",
         variant([](File& f) {
             f.width = f.height = 4096;
             f.images.assign(3, image(0, 0, 1, 1, {0}));
         }),
         "too many pixels"},
        {"image past the right edge", variant([](File& f) { f.images[1].left = 3; }), "outside"},
        {"image past the bottom edge", variant([](File& f) { f.images[1].top = 1; }), "outside"},
        {"image far outside", variant([](File& f) { f.images[1].top = 65535; }), "outside"},
        {"no colour table", variant([](File& f) { f.globalColours.clear(); }), "no colour table"},
        {"no images", variant([](File& f) { f.images.clear(); }), "no images"},
        {"code size 0", withLzw({0}, 0), "minimum code size"},
        {"code size 1", withLzw({0}, 1), "minimum code size"},
        {"code size 9", withLzw({0}, 9), "minimum code size"},
        {"code past the table", withLzw(giftest::packCodes({4, 1, 7}, 3)), "LZW code 7"},
        {"string code right after clear", withLzw(giftest::packCodes({4, 6}, 3)), "LZW code 6"},
        {"string code as the first code", withLzw(giftest::packCodes({6}, 3)), "LZW code 6"},
        {"unknown block", unknownBlock, "unexpected byte"},
        {"short control block", shortControl, "too short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            gif::decode(c.bytes.data(), c.bytes.size());
            ADD_FAILURE() << "accepted";
        } catch (const gif::DecodeError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

TEST(GifMalformed, RefusesNoData) {
    EXPECT_THROW(gif::decode(nullptr, 0), gif::DecodeError);
}

} // namespace
