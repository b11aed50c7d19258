// Checks the committed program icon is a well-formed .ico the Windows shell can use.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> readIcon() {
    std::ifstream in(VOD_ICON_ICO, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at) | b.at(at + 1) << 8);
}

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

TEST(Icon, HoldsEightAlphaImagesFromSixteenTo128Pixels) {
    const std::vector<std::uint8_t> icon = readIcon();
    ASSERT_GE(icon.size(), 6u) << VOD_ICON_ICO;
    EXPECT_EQ(u16(icon, 0), 0u);
    EXPECT_EQ(u16(icon, 2), 1u) << "icon, not cursor";
    ASSERT_EQ(u16(icon, 4), 8u);

    const std::uint32_t sizes[] = {16, 24, 32, 48, 64, 72, 96, 128};
    std::size_t expectedOffset = 6 + 8 * 16;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::uint32_t n = sizes[i];
        SCOPED_TRACE(std::to_string(n) + " px");
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(icon.at(entry), n);
        EXPECT_EQ(icon.at(entry + 1), n);
        EXPECT_EQ(icon.at(entry + 2), 0u) << "palette colours";
        EXPECT_EQ(u16(icon, entry + 4), 1u) << "planes";
        EXPECT_EQ(u16(icon, entry + 6), 32u) << "bits per pixel";
        const std::uint32_t length = u32(icon, entry + 8);
        const std::uint32_t offset = u32(icon, entry + 12);
        const std::uint32_t maskBytes = (n + 31) / 32 * 4 * n;
        EXPECT_EQ(length, 40 + n * n * 4 + maskBytes);
        ASSERT_EQ(offset, expectedOffset) << "images follow each other without gaps or overlap";
        ASSERT_LE(std::size_t{offset} + length, icon.size());
        expectedOffset = offset + length;

        EXPECT_EQ(u32(icon, offset), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(u32(icon, offset + 4), n);
        EXPECT_EQ(u32(icon, offset + 8), 2 * n) << "height counts colour rows and mask rows";
        EXPECT_EQ(u16(icon, offset + 12), 1u);
        EXPECT_EQ(u16(icon, offset + 14), 32u);
        EXPECT_EQ(u32(icon, offset + 16), 0u) << "uncompressed";
        EXPECT_EQ(u32(icon, offset + 20), n * n * 4 + maskBytes);

        // Rows are stored bottom-up: the first pixel is the bottom-left corner.
        const std::size_t pixels = offset + 40;
        const auto alpha = [&](std::uint32_t x, std::uint32_t yFromBottom) {
            return icon.at(pixels + (yFromBottom * n + x) * 4 + 3);
        };
        EXPECT_EQ(alpha(n - 1, n - 1), 0u) << "top-right corner is see-through";
        EXPECT_EQ(alpha(n / 2, n / 2), 255u) << "centre is solid";
    }
    EXPECT_EQ(expectedOffset, icon.size());
}

} // namespace
