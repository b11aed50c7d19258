// Draws the forum's 88x31 animated banner and writes it as a GIF with the tools' own LZW coder.
//
// The animation is twelve composed scenes. The first and last are stored whole; each
// one between is stored as a full-width strip holding only the rows that changed, with
// unchanged pixels left transparent. Before writing, the tool decodes its own output
// and checks it against the scenes, so a bad encoder or an animation whose frames a
// screen capture could confuse never reaches the repository.
#include "forms/gif/Gif.h"
#include "tools/GifWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 88;
constexpr int kHeight = 31;
constexpr int kDelay = 20;
constexpr unsigned kTransparentIndex = 128;
constexpr int kMinChangedPixels = 40;
constexpr int kBeadTop = 25;
constexpr int kBeadRows = 3;
constexpr int kStripMinTop = 3;
constexpr int kStripMaxTop = 6;
constexpr int kStripMinHeight = 9;
constexpr int kStripMaxHeight = 26;
constexpr int kFirstLineTop = 4;
constexpr int kSecondLineTop = 15;
// The lettering panel that the light band crosses.
constexpr int kPanelLeft = 19;
constexpr int kPanelTop = 3;
constexpr int kPanelBottom = 22;

using gifout::Rgb;

Rgb mix(Rgb a, Rgb b, int num, int den) {
    Rgb out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = static_cast<int>(a >> shift & 0xFF);
        const int cb = static_cast<int>(b >> shift & 0xFF);
        out |= static_cast<Rgb>((ca * (den - num) + cb * num + den / 2) / den) << shift;
    }
    return out;
}

// What each pixel of the banner is made of; the scenes shade these parts.
enum class Part : std::uint8_t {
    Sky, Border, Shadow, Letter, Badge, BadgeEdge, BadgeLetter,
    Cord, Cap, CapLight, Lantern, Rib, Tassel, Thread, Bead, BeadLight, BeadShade, BeadRim,
};

struct Glyph {
    char name;
    std::array<const char*, 7> rows;
};

// A 5x7 face drawn for this banner; 'I' is narrower so the words keep an even rhythm.
constexpr Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'N', {"#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'S', {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
};

const Glyph& glyph(char name) {
    for (const Glyph& g : kGlyphs) {
        if (g.name == name) return g;
    }
    throw std::logic_error(std::string("no glyph for ") + name);
}

class Layout {
public:
    Layout() : parts_(kWidth * kHeight, Part::Sky) {
        drawLantern();
        drawBadge(63, 3, 85, 12);
        drawText(21, kFirstLineTop, "SONGSHI", Part::Letter, true);
        drawText(21, kSecondLineTop, "XIAODENG", Part::Letter, true);
        drawBeads();
        for (int x = 0; x < kWidth; ++x) set(x, 0, Part::Border), set(x, kHeight - 1, Part::Border);
        for (int y = 0; y < kHeight; ++y) set(0, y, Part::Border), set(kWidth - 1, y, Part::Border);
    }

    Part at(int x, int y) const { return parts_[static_cast<std::size_t>(y * kWidth + x)]; }

    // Row inside the glyph a letter pixel belongs to, for the letters' vertical gradient.
    static int letterRow(int y) { return y >= kSecondLineTop ? y - kSecondLineTop : y - kFirstLineTop; }

    static constexpr int kLanternX = 9;

private:
    void set(int x, int y, Part part) {
        if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) parts_[static_cast<std::size_t>(y * kWidth + x)] = part;
    }

    void drawText(int x, int y, const char* text, Part part, bool shadow) {
        for (const char* c = text; *c; ++c) {
            const Glyph& g = glyph(*c);
            const int width = static_cast<int>(std::char_traits<char>::length(g.rows[0]));
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < width; ++col) {
                    if (g.rows[static_cast<std::size_t>(row)][col] != '#') continue;
                    const int px = x + col, py = y + row;
                    if (shadow && at(px + 1, py + 1) == Part::Sky) set(px + 1, py + 1, Part::Shadow);
                    set(px, py, part);
                }
            }
            x += width + 1;
        }
    }

    void drawBadge(int left, int top, int right, int bottom) {
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const bool corner = (x == left || x == right) && (y == top || y == bottom);
                if (corner) continue;
                const bool edge = x == left || x == right || y == top || y == bottom;
                set(x, y, edge ? Part::BadgeEdge : Part::Badge);
            }
        }
        drawText(left + 3, top + 2, "BBS", Part::BadgeLetter, false);
    }

    void drawLantern() {
        const int cx = kLanternX;
        for (int y = 1; y <= 3; ++y) set(cx, y, Part::Cord);
        for (int x = cx - 2; x <= cx + 2; ++x) set(x, 4, Part::Cap), set(x, 23, Part::Cap);
        for (int x = cx - 3; x <= cx + 3; ++x) set(x, 5, Part::CapLight), set(x, 22, Part::Cap);
        for (int y = 6; y <= 21; ++y) {
            const int dy = 2 * y - 27;
            for (int x = cx - 6; x <= cx + 6; ++x) {
                const int dx = x - cx;
                if (256 * dx * dx + 36 * dy * dy > 9216) continue;
                const int rib = (dy * dy > 150) ? 2 : 3;
                set(x, y, (dx == rib || dx == -rib) ? Part::Rib : Part::Lantern);
            }
        }
        for (int y = 24; y <= 28; ++y) {
            for (int x = cx - 1; x <= cx + 1; ++x) {
                if (y == 24 || x == cx || y >= 26) set(x, y, Part::Tassel);
            }
        }
    }

    void drawBeads() {
        const int threadY = kBeadTop + 1;
        for (int x = 20; x <= 85; ++x) set(x, threadY, Part::Thread);
        for (int cx = 23; cx <= 83; cx += 6) {
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const Part part = dx == 0 || dy == 0 ? Part::Bead
                                      : dx != dy          ? Part::BeadRim
                                      : dx < 0            ? Part::BeadLight
                                                          : Part::BeadShade;
                    set(cx + dx, threadY + dy, part);
                }
            }
        }
    }

    std::vector<Part> parts_;
};

struct SceneState {
    int sweepX;    // centre of the light band at the text's mid-row; -1 when off
    int glow;      // lantern brightness 0..3
    int beads;     // 0 resting, 1 shimmering, 2 lit
};

// Frame by frame: the light band crosses the lettering while the lantern breathes,
// the beads shimmer once the band has left, and the last frame lights everything.
constexpr std::array<SceneState, 12> kScenes = {{
    {-1, 0, 0}, {26, 0, 0}, {33, 1, 0}, {40, 1, 0}, {47, 2, 0}, {54, 2, 0},
    {61, 1, 0}, {68, 1, 0}, {75, 0, 0}, {82, 0, 0}, {82, 0, 1}, {-1, 3, 2},
}};

// 0 outside the band, 1 at its edge, 2 in its core; the band leans like a reflection.
int sweepLevel(const SceneState& state, int x, int y) {
    if (state.sweepX < 0) return 0;
    const int offset = std::abs(2 * (x - state.sweepX) + (y - 12));
    return offset <= 3 ? 2 : offset <= 8 ? 1 : 0;
}

Rgb skyColour(int y) {
    constexpr Rgb kTop = 0x161B46, kMiddle = 0x2C2C68, kBottom = 0x7A4266;
    return y < 16 ? mix(kTop, kMiddle, y, 16) : mix(kMiddle, kBottom, y - 16, 14);
}

// When the lantern is fully lit it warms the sky around it in soft rings.
Rgb lanternHalo(Rgb sky, int x, int y) {
    const int dx = 2 * (x - Layout::kLanternX), dy = 2 * y - 27;
    const int distance = dx * dx + dy * dy; // four times the squared pixel distance
    constexpr Rgb kWarm = 0xFFB060;
    return distance < 4 * 64 ? mix(sky, kWarm, 1, 4) : distance < 4 * 100 ? mix(sky, kWarm, 1, 7)
         : distance < 4 * 144 ? mix(sky, kWarm, 1, 12) : sky;
}

Rgb lanternColour(int x, int y, int glow) {
    const int dx = x - Layout::kLanternX, dy = 2 * y - 27;
    const int distance = (256 * dx * dx + 36 * dy * dy) * 4 / 9217; // 0 centre .. 3 rim
    constexpr std::array<std::array<Rgb, 4>, 4> kShades = {{
        {0xFF9A3C, 0xE8502C, 0xC23224, 0x8C1C1C},
        {0xFFB04A, 0xF0602E, 0xCC3A26, 0x94201E},
        {0xFFC65C, 0xF87434, 0xD6462A, 0x9C2620},
        {0xFFE08A, 0xFF9844, 0xE65A30, 0xAA3024},
    }};
    return kShades[static_cast<std::size_t>(glow)][static_cast<std::size_t>(distance)];
}

Rgb shade(const Layout& layout, const SceneState& state, int x, int y) {
    const bool lit = state.glow == 3;
    const int band = sweepLevel(state, x, y);
    switch (layout.at(x, y)) {
    case Part::Sky:
        if (lit) return lanternHalo(skyColour(y), x, y);
        if (band && x >= kPanelLeft && y >= kPanelTop && y <= kPanelBottom) {
            return mix(skyColour(y), 0xFFE8B0, 1, band == 2 ? 5 : 10);
        }
        return skyColour(y);
    case Part::Border: return 0x2FA89A;
    case Part::Shadow: return lit ? 0x4A2030 : 0x0C0E28;
    case Part::Letter: {
        const int row = Layout::letterRow(y);
        const Rgb base = lit ? mix(0xFFFCEC, 0xFFD878, row, 6) : mix(0xFFF0BE, 0xE9A63E, row, 6);
        return band == 2 ? 0xFFFFFF : band == 1 ? mix(base, 0xFFFFFF, 1, 2) : base;
    }
    case Part::Badge: return band == 2 ? 0x7FE8DA : band == 1 ? 0x4CC8B8 : 0x1E9A8C;
    case Part::BadgeEdge: return band ? 0xB4F6EE : 0x66D8C8;
    case Part::BadgeLetter: return lit ? 0xFFF4C8 : 0xF4FFFD;
    case Part::Cord: return 0xC9A86A;
    case Part::Cap: return 0xB8862E;
    case Part::CapLight: return lit ? 0xFFE7A0 : 0xE8BC5A;
    case Part::Lantern: return lanternColour(x, y, state.glow);
    case Part::Rib: return mix(lanternColour(x, y, state.glow), 0x5A0E10, 1, 3);
    case Part::Tassel: return 0xC8302A;
    case Part::Thread: return 0xA88450;
    case Part::Bead: return state.beads == 2 ? 0x8CF2E4 : state.beads == 1 ? 0x5ADCCB : 0x33B8A6;
    case Part::BeadLight: return state.beads ? 0xFFFFFF : 0xB8F2EA;
    case Part::BeadShade: return state.beads == 2 ? 0x3CC8B6 : 0x1B7D72;
    case Part::BeadRim: return mix(skyColour(y), 0x33B8A6, 1, 2);
    }
    return 0;
}

using Scene = std::vector<Rgb>;

Scene render(const Layout& layout, const SceneState& state) {
    Scene scene(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) scene[static_cast<std::size_t>(y * kWidth + x)] = shade(layout, state, x, y);
    }
    return scene;
}

int countDifferences(const Scene& a, const Scene& b) {
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
}

// Colour index 0 is the border, the file's background colour; 128 stays reserved for
// "unchanged" in the strips and is never a visible colour.
std::vector<Rgb> buildPalette(const std::vector<Scene>& scenes) {
    std::vector<Rgb> colours;
    for (const Scene& scene : scenes) colours.insert(colours.end(), scene.begin(), scene.end());
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    const Rgb background = scenes.front().front();
    colours.erase(std::find(colours.begin(), colours.end(), background));
    colours.insert(colours.begin(), background);
    if (colours.size() > 255) throw std::runtime_error("banner uses more than 255 colours");
    colours.resize(255, 0x000000);
    colours.insert(colours.begin() + kTransparentIndex, 0x000000);
    return colours;
}

struct Strip {
    int top;
    int height;
};

// Rows of `scene` that differ from `previous`, widened to what the strip frames allow.
Strip changedRows(const Scene& previous, const Scene& scene) {
    int first = kHeight, last = -1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * kWidth + x);
            if (previous[i] != scene[i]) first = std::min(first, y), last = std::max(last, y);
        }
    }
    if (last < 0) throw std::runtime_error("a strip frame changes nothing");
    if (first == kBeadTop && last < kBeadTop + kBeadRows) return {kBeadTop, kBeadRows};
    const int top = std::min(first, kStripMaxTop);
    const int height = std::max(last - top + 1, kStripMinHeight);
    if (top < kStripMinTop || height > kStripMaxHeight) {
        throw std::runtime_error("changed rows " + std::to_string(first) + ".." + std::to_string(last) +
                                 " do not fit a strip frame");
    }
    return {top, height};
}

class GifWriter {
public:
    explicit GifWriter(const std::vector<Rgb>& palette) : palette_(palette) {
        out_.header(kWidth, kHeight, palette_);
        out_.byte(0x21), out_.byte(0xFF), out_.byte(11);
        out_.text("NETSCAPE2.0");
        out_.byte(3), out_.byte(1), out_.word(0), out_.byte(0); // repeat forever
    }

    void frame(const Scene& scene, const Scene* previous, Strip strip, int disposal) {
        out_.control(static_cast<unsigned>(disposal), kDelay, kTransparentIndex);
        std::vector<std::uint8_t> indices;
        for (int y = strip.top; y < strip.top + strip.height; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * kWidth + x);
                indices.push_back(previous && (*previous)[i] == scene[i] ? kTransparentIndex : indexOf(scene[i]));
            }
        }
        out_.image(0, static_cast<unsigned>(strip.top), kWidth, static_cast<unsigned>(strip.height), indices, 8);
    }

    std::vector<std::uint8_t> finish() { return out_.finish(); }

private:
    std::uint8_t indexOf(Rgb colour) const {
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            if (palette_[i] == colour && i != kTransparentIndex) return static_cast<std::uint8_t>(i);
        }
        throw std::logic_error("colour missing from the palette");
    }

    std::vector<Rgb> palette_;
    gifout::Stream out_;
};

void verify(const std::vector<std::uint8_t>& file, const std::vector<Scene>& scenes) {
    const gif::Animation animation = gif::decode(file.data(), file.size());
    if (animation.frames.size() != scenes.size()) throw std::runtime_error("decoded frame count differs");
    for (std::size_t f = 0; f < scenes.size(); ++f) {
        for (std::size_t i = 0; i < scenes[f].size(); ++i) {
            if (animation.frames[f].pixels[i] != (0xFF000000u | scenes[f][i])) {
                throw std::runtime_error("decoded frame " + std::to_string(f + 1) + " differs at pixel " +
                                         std::to_string(i));
            }
        }
    }
    for (std::size_t a = 0; a < scenes.size(); ++a) {
        for (std::size_t b = a + 1; b < scenes.size(); ++b) {
            const int changed = countDifferences(scenes[a], scenes[b]);
            if (changed < kMinChangedPixels) {
                throw std::runtime_error("frames " + std::to_string(a + 1) + " and " + std::to_string(b + 1) +
                                         " differ in only " + std::to_string(changed) + " pixels");
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_banner OUTPUT.gif\n";
        return 2;
    }
    try {
        const Layout layout;
        std::vector<Scene> scenes;
        for (const SceneState& state : kScenes) scenes.push_back(render(layout, state));

        GifWriter writer(buildPalette(scenes));
        writer.frame(scenes.front(), nullptr, {0, kHeight}, 1);
        for (std::size_t f = 1; f + 1 < scenes.size(); ++f) {
            writer.frame(scenes[f], &scenes[f - 1], changedRows(scenes[f - 1], scenes[f]), 1);
        }
        writer.frame(scenes.back(), nullptr, {0, kHeight}, 2);
        const std::vector<std::uint8_t> file = writer.finish();
        verify(file, scenes);

        std::ofstream out(argv[1], std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "make_banner: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
