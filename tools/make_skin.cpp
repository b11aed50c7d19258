// Writes the program's packed skin: the colour table (skin.ini) and the caption-button
// glyphs (glyphs.gif), drawn here pixel by pixel.
//
// resources/skin.ini is the readable copy of the text below; the unit tests hold the
// two equal. Before writing, the tool decodes its own picture and unpacks its own file,
// so nothing that does not read back exactly reaches the repository.
#include "forms/gif/Gif.h"
#include "forms/skin/Pack.h"
#include "tools/GifWriter.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kIni = R"ini([Skin]
Name=Lamplight
Version=1

[Caption]
Active1=#8C3B12
Active2=#D9822B
Inactive1=#8A7B70
Inactive2=#C4B6AA
Text=#FFFFFF
InactiveText=#EFE6DC
ButtonHot=#E89A4A
ButtonPressed=#6E2C0C
CloseHot=#C8402A

[Frame]
Outer=#5A2608
Face=#E9D3B8

[Form]
Face=#F4EBDD

[Panel]
Face=#F4EBDD
Light=#FFFFFF
Shadow=#B89A7A

[Button]
Face=#F7E3C6
Hot=#FBD39A
Pressed=#E9B06A
Border=#9A5A2A
Text=#3A1F0A
DisabledText=#A89888

[Edit]
Back=#FFFFFF
Text=#000000
Border=#9A5A2A
FocusBorder=#D9822B

[GroupBox]
Frame=#B89A7A
Text=#6B3510

[Menu]
Back=#FBF4EA

[Glyphs]
Width=10
Height=10
Order=minimize,maximize,restore,close
)ini";

// Each glyph has a cell of its own, side by side in [Glyphs] Order.
constexpr int kCell = 10;
constexpr int kGlyphCount = 4;
constexpr int kWidth = kCell * kGlyphCount;
constexpr int kHeight = kCell;

// Colour indices: 0 is see-through, 1 the glyph, 2 its shadow; 3 is unused.
constexpr std::uint8_t kClear = 0, kInk = 1, kShadow = 2;
const std::vector<gifout::Rgb> kPalette = {0x000000, 0xFFFFFF, 0x3A1404, 0x000000};

class Cell {
public:
    // Rectangles are inclusive, in the cell's own coordinates.
    void fill(int left, int top, int right, int bottom) { paint(left, top, right, bottom, true); }
    void erase(int left, int top, int right, int bottom) { paint(left, top, right, bottom, false); }

    // A window outline: one pixel thick, with a two-pixel title bar along the top.
    void window(int left, int top, int right, int bottom) {
        fill(left, top, right, top + 1);
        fill(left, top, left, bottom);
        fill(right, top, right, bottom);
        fill(left, bottom, right, bottom);
    }

    void set(int x, int y) { paint(x, y, x, y, true); }

    // The cell's indices: the glyph, and its shadow one pixel right and below.
    std::array<std::uint8_t, kCell * kCell> indices() const {
        std::array<std::uint8_t, kCell * kCell> out{};
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                if (!ink(x, y)) continue;
                out[static_cast<std::size_t>(y * kCell + x)] = kInk;
                if (x + 1 >= kCell || y + 1 >= kCell) throw std::logic_error("a glyph's shadow leaves its cell");
                std::uint8_t& below = out[static_cast<std::size_t>((y + 1) * kCell + x + 1)];
                if (!ink(x + 1, y + 1)) below = kShadow;
            }
        }
        return out;
    }

private:
    void paint(int left, int top, int right, int bottom, bool on) {
        if (left < 0 || top < 0 || right >= kCell || bottom >= kCell) throw std::logic_error("a glyph leaves its cell");
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) ink_[static_cast<std::size_t>(y * kCell + x)] = on;
        }
    }
    bool ink(int x, int y) const { return ink_[static_cast<std::size_t>(y * kCell + x)]; }

    std::array<bool, kCell * kCell> ink_{};
};

std::array<Cell, kGlyphCount> drawGlyphs() {
    Cell minimize, maximize, restore, close;
    minimize.fill(2, 7, 7, 8);

    maximize.window(1, 1, 7, 7);

    restore.window(3, 1, 7, 5);
    restore.erase(2, 5, 4, 6); // the front window hides what is behind it
    restore.window(1, 3, 5, 7);

    // Two strokes, each two pixels wide, mirrored about the cell's middle column.
    for (int i = 0; i < 7; ++i) {
        close.set(1 + i, 1 + i), close.set(2 + i, 1 + i);
        close.set(8 - i, 1 + i), close.set(7 - i, 1 + i);
    }
    return {minimize, maximize, restore, close};
}

std::vector<std::uint8_t> glyphIndices() {
    std::vector<std::uint8_t> image(static_cast<std::size_t>(kWidth * kHeight), kClear);
    const std::array<Cell, kGlyphCount> glyphs = drawGlyphs();
    for (int g = 0; g < kGlyphCount; ++g) {
        const auto cell = glyphs[static_cast<std::size_t>(g)].indices();
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                image[static_cast<std::size_t>(y * kWidth + g * kCell + x)] = cell[static_cast<std::size_t>(y * kCell + x)];
            }
        }
    }
    return image;
}

std::vector<std::uint8_t> writeGif(const std::vector<std::uint8_t>& indices) {
    gifout::Stream out;
    out.header(kWidth, kHeight, kPalette);
    out.control(0, 0, kClear);
    out.image(0, 0, kWidth, kHeight, indices, 2);
    return out.finish();
}

void verifyGif(const std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& indices) {
    const gif::Animation animation = gif::decode(file.data(), file.size());
    if (animation.width != kWidth || animation.height != kHeight || animation.frames.size() != 1) {
        throw std::runtime_error("decoded glyph picture has the wrong size or frame count");
    }
    const std::vector<std::uint32_t>& pixels = animation.frames[0].pixels;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::uint32_t expected = indices[i] == kClear ? 0 : 0xFF000000u | kPalette[indices[i]];
        if (pixels.at(i) != expected) {
            throw std::runtime_error("decoded glyph picture differs at pixel " + std::to_string(i));
        }
    }
}

// The packed copy of the text uses Windows line ends.
std::vector<std::uint8_t> withCrLf(const std::string& text) {
    std::vector<std::uint8_t> out;
    for (char c : text) {
        if (c == '\r') throw std::logic_error("skin.ini text already has a carriage return");
        if (c == '\n') out.push_back('\r');
        out.push_back(static_cast<std::uint8_t>(c));
    }
    return out;
}

void verifyPack(const std::vector<std::uint8_t>& file, const std::vector<skin::Entry>& entries) {
    const std::vector<skin::Entry> read = skin::unpack(file.data(), file.size());
    if (read.size() != entries.size()) throw std::runtime_error("unpacked skin has the wrong number of entries");
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (read[i].name != entries[i].name || read[i].data != entries[i].data) {
            throw std::runtime_error("unpacked skin entry " + entries[i].name + " differs");
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_skin OUTPUT.skin\n";
        return 2;
    }
    try {
        const std::vector<std::uint8_t> indices = glyphIndices();
        const std::vector<std::uint8_t> glyphs = writeGif(indices);
        verifyGif(glyphs, indices);

        const std::vector<skin::Entry> entries = {{"skin.ini", withCrLf(kIni)}, {"glyphs.gif", glyphs}};
        const std::vector<std::uint8_t> file = skin::pack(entries);
        verifyPack(file, entries);

        std::ofstream out(argv[1], std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "make_skin: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
