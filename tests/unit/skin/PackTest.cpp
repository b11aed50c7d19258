#include "forms/skin/Pack.h"
#include "forms/gif/Gif.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kFourMiB = std::size_t{4} << 20;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot open " << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void appendLe(Bytes& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One stored entry, field by field; the declared size may lie about the data.
Bytes rawEntry(std::string_view name, const Bytes& data, std::uint64_t declaredSize) {
    Bytes out;
    appendLe(out, name.size(), 1);
    append(out, bytesOf(name));
    appendLe(out, declaredSize, 4);
    append(out, data);
    return out;
}

Bytes rawEntry(std::string_view name, const Bytes& data) { return rawEntry(name, data, data.size()); }

// A stored skin written without the code under test, so each case can get one field
// wrong and still have every other field, the CRC included, right.
struct Raw {
    std::string magic = "VSKN";
    unsigned version = 1;
    unsigned count = 1;
    Bytes entries = rawEntry("a", {1, 2, 3});

    Bytes seal() const {
        Bytes tail;
        appendLe(tail, count, 2);
        append(tail, entries);
        Bytes packed = bytesOf(magic);
        appendLe(packed, version, 1);
        appendLe(packed, skin::crc32(tail.data(), tail.size()), 4);
        append(packed, tail);
        Bytes file;
        appendLe(file, packed.size(), 4);
        append(file, packed);
        return file;
    }
};

Bytes withPrefix(Bytes file, std::uint32_t prefix) {
    for (int i = 0; i < 4; ++i) file[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(prefix >> (8 * i));
    return file;
}

Bytes flipped(Bytes file, std::size_t at) {
    file.at(at) ^= 0x01;
    return file;
}

Bytes manyEntries(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) append(out, rawEntry("e" + std::to_string(i), {static_cast<std::uint8_t>(i)}));
    return out;
}

std::vector<skin::Entry> namedEntries(int count) {
    std::vector<skin::Entry> out;
    for (int i = 0; i < count; ++i) out.push_back({"e" + std::to_string(i), {}});
    return out;
}

// Builds a case from the valid skin of one entry with one change.
template <typename Change>
Bytes rawWith(Change change) {
    Raw raw;
    change(raw);
    return raw.seal();
}

TEST(SkinCrc32, MatchesTheCommonCheckValues) {
    const struct {
        const char* text;
        std::uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& c : cases) {
        const Bytes bytes = bytesOf(c.text);
        EXPECT_EQ(skin::crc32(bytes.data(), bytes.size()), c.crc) << '"' << c.text << '"';
    }
}

TEST(SkinPack, WritesTheStoredLayout) {
    // Worked out by hand, the CRC with zlib: two entries, the second one empty.
    const Bytes expected = {
        0x19, 0x00, 0x00, 0x00,              // 25 bytes follow
        'V', 'S', 'K', 'N', 0x01,            // magic, version
        0xE1, 0xC6, 0xE7, 0x2E,              // CRC-32 of the rest
        0x02, 0x00,                          // two entries
        0x02, 'a', 'b', 0x01, 0x00, 0x00, 0x00, 0x10,
        0x01, 'c', 0x00, 0x00, 0x00, 0x00,
    };
    EXPECT_EQ(skin::pack({{"ab", {0x10}}, {"c", {}}}), expected);

    const std::vector<skin::Entry> entries = skin::unpack(expected.data(), expected.size());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "ab");
    EXPECT_EQ(entries[0].data, Bytes{0x10});
    EXPECT_EQ(entries[1].name, "c");
    EXPECT_TRUE(entries[1].data.empty());
}

TEST(SkinPack, RoundTripsEntriesAtTheLimits) {
    // 64 entries: names of 1 and 64 characters from both ends of the allowed range,
    // empty data and data whose size needs more than one byte.
    std::vector<skin::Entry> entries = namedEntries(61);
    entries.push_back({"!", {0xFF}});
    entries.push_back({std::string(64, '~'), Bytes(300, 0xA5)});
    entries.push_back({"skin.ini", bytesOf("[Skin]\r\nName=x\r\n")});

    const Bytes stored = skin::pack(entries);
    const std::vector<skin::Entry> read = skin::unpack(stored.data(), stored.size());

    ASSERT_EQ(read.size(), entries.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, entries[i].name);
        EXPECT_EQ(read[i].data, entries[i].data) << read[i].name;
    }
    ASSERT_NE(skin::find(read, "skin.ini"), nullptr);
    EXPECT_EQ(skin::find(read, "skin.ini"), &read.back());
    EXPECT_EQ(skin::find(read, "skin.in"), nullptr);
    EXPECT_EQ(skin::find(read, "SKIN.INI"), nullptr);
}

TEST(SkinPack, RoundTripsExactlyFourMiBOfData) {
    const std::vector<skin::Entry> entries = {{"big", Bytes(kFourMiB - 1, 0x5A)}, {"one", {0x01}}};
    const Bytes stored = skin::pack(entries);
    const std::vector<skin::Entry> read = skin::unpack(stored.data(), stored.size());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].data, entries[0].data);
    EXPECT_EQ(read[1].data, entries[1].data);
}

TEST(SkinPack, RefusesWhatCannotBeStored) {
    const struct {
        const char* what;
        std::vector<skin::Entry> entries;
    } cases[] = {
        {"no entries", {}},
        {"65 entries", namedEntries(65)},
        {"empty name", {{"", {1}}}},
        {"65-character name", {{std::string(65, 'n'), {1}}}},
        {"space in a name", {{"skin ini", {1}}}},
        {"DEL in a name", {{"a\x7F", {1}}}},
        {"non-ASCII name", {{"\xC3\xA9", {1}}}},
        {"duplicate names", {{"a", {1}}, {"b", {2}}, {"a", {3}}}},
        {"more than 4 MiB", {{"a", Bytes(kFourMiB / 2, 0)}, {"b", Bytes(kFourMiB / 2 + 1, 0)}}},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(skin::pack(c.entries), std::invalid_argument) << c.what;
    }
}

TEST(SkinUnpack, RefusesMalformedFiles) {
    const Bytes valid = Raw().seal();
    ASSERT_NO_THROW(skin::unpack(valid.data(), valid.size()));
    const std::size_t crcAt = 4 + 5, countAt = crcAt + 4;

    const struct {
        const char* what;
        Bytes file;
        const char* reason; // part of the message it must be refused with
    } cases[] = {
        {"empty file", {}, "length prefix"},
        {"three bytes", {0x00, 0x00, 0x00}, "length prefix"},
        {"prefix one more than the rest", withPrefix(valid, static_cast<std::uint32_t>(valid.size() - 3)), "does not match"},
        {"prefix one less than the rest", withPrefix(valid, static_cast<std::uint32_t>(valid.size() - 5)), "does not match"},
        {"byte appended after the prefixed data", [&] { Bytes b = valid; b.push_back(0); return b; }(), "does not match"},
        {"prefix and nothing else", {0x00, 0x00, 0x00, 0x00}, "too short for its header"},
        {"header without its count",
         withPrefix(Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(countAt)),
                    static_cast<std::uint32_t>(countAt - 4)),
         "too short for its header"},
        {"bad magic", rawWith([](Raw& r) { r.magic = "VSKM"; }), "magic"},
        {"lower-case magic", rawWith([](Raw& r) { r.magic = "vskn"; }), "magic"},
        {"version 0", rawWith([](Raw& r) { r.version = 0; }), "version"},
        {"version 2", rawWith([](Raw& r) { r.version = 2; }), "version"},
        {"flipped data byte", flipped(valid, valid.size() - 1), "CRC"},
        {"flipped count byte", flipped(valid, countAt), "CRC"},
        {"flipped CRC byte", flipped(valid, crcAt + 3), "CRC"},
        {"no entries", rawWith([](Raw& r) { r.count = 0; r.entries.clear(); }), "no entries"},
        {"65 entries", rawWith([](Raw& r) { r.count = 65; r.entries = manyEntries(65); }), "more than 64"},
        {"count larger than the entries", rawWith([](Raw& r) { r.count = 2; }), "past the end"},
        {"count with no entries behind it", rawWith([](Raw& r) { r.entries.clear(); }), "past the end"},
        {"name running past the end", rawWith([](Raw& r) { r.entries = {5, 'a', 'b'}; }), "past the end"},
        {"size field cut short", rawWith([](Raw& r) { r.entries = {1, 'a', 0x00, 0x00}; }), "past the end"},
        {"data one byte short", rawWith([](Raw& r) { r.entries = rawEntry("a", {1, 2, 3}, 4); }), "past the end"},
        {"data size 0xFFFFFFFF", rawWith([](Raw& r) { r.entries = rawEntry("a", {1, 2, 3}, 0xFFFFFFFFu); }),
         "past the end"},
        {"empty name", rawWith([](Raw& r) { r.entries = rawEntry("", {1}); }), "empty"},
        {"65-character name", rawWith([](Raw& r) { r.entries = rawEntry(std::string(65, 'n'), {1}); }), "longer"},
        {"space in a name", rawWith([](Raw& r) { r.entries = rawEntry("a b", {1}); }), "printable"},
        {"control character in a name", rawWith([](Raw& r) { r.entries = rawEntry("a\tb", {1}); }), "printable"},
        {"DEL in a name", rawWith([](Raw& r) { r.entries = rawEntry("a\x7F", {1}); }), "printable"},
        {"non-ASCII name", rawWith([](Raw& r) { r.entries = rawEntry("\xC3\xA9", {1}); }), "printable"},
        {"duplicate names", rawWith([](Raw& r) {
             r.count = 3;
             r.entries = rawEntry("a", {1});
             append(r.entries, rawEntry("b", {2}));
             append(r.entries, rawEntry("a", {3}));
         }),
         "same name"},
        {"byte after the last entry", rawWith([](Raw& r) { r.entries.push_back(0); }), "after its last entry"},
        {"more than 4 MiB of data", rawWith([](Raw& r) {
             r.count = 2;
             r.entries = rawEntry("a", Bytes(kFourMiB / 2, 0));
             append(r.entries, rawEntry("b", Bytes(kFourMiB / 2 + 1, 0)));
         }),
         "4 MiB"},
    };
    for (const auto& c : cases) {
        try {
            skin::unpack(c.file.data(), c.file.size());
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const skin::UnpackError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
                << c.what << ": refused with \"" << error.what() << '"';
        }
    }
}

// --- the committed skin -------------------------------------------------------

constexpr int kCell = 10;
constexpr int kGlyphs = 4;
constexpr std::uint32_t kInk = 0xFFFFFFFFu, kShadow = 0xFF3A1404u, kClear = 0;

class CommittedSkin : public testing::Test {
protected:
    void SetUp() override {
        const Bytes file = readFile(VOD_SKIN_FILE);
        ASSERT_NO_THROW(entries_ = skin::unpack(file.data(), file.size()));
    }
    std::vector<skin::Entry> entries_;
};

TEST_F(CommittedSkin, HoldsTheIniThenTheGlyphs) {
    ASSERT_EQ(entries_.size(), 2u);
    EXPECT_EQ(entries_[0].name, "skin.ini");
    EXPECT_EQ(entries_[1].name, "glyphs.gif");
}

TEST_F(CommittedSkin, IniIsTheCommittedTextWithWindowsLineEnds) {
    const Bytes text = readFile(VOD_SKIN_INI);
    ASSERT_FALSE(text.empty());
    Bytes crlf;
    for (std::uint8_t c : text) {
        ASSERT_NE(c, '\r') << "resources/skin.ini keeps LF line ends";
        if (c == '\n') crlf.push_back('\r');
        crlf.push_back(c);
    }
    const skin::Entry* ini = skin::find(entries_, "skin.ini");
    ASSERT_NE(ini, nullptr);
    EXPECT_EQ(std::string(ini->data.begin(), ini->data.end()), std::string(crlf.begin(), crlf.end()));
}

TEST_F(CommittedSkin, GlyphsStayInsideTheirCells) {
    const skin::Entry* glyphs = skin::find(entries_, "glyphs.gif");
    ASSERT_NE(glyphs, nullptr);
    const gif::Animation picture = gif::decode(glyphs->data.data(), glyphs->data.size());
    ASSERT_EQ(picture.width, kCell * kGlyphs);
    ASSERT_EQ(picture.height, kCell);
    ASSERT_EQ(picture.frames.size(), 1u);
    const std::vector<std::uint32_t>& pixels = picture.frames[0].pixels;
    const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * picture.width + x)]; };

    for (int g = 0; g < kGlyphs; ++g) {
        int ink = 0;
        for (int y = 0; y < kCell; ++y) {
            for (int cx = 0; cx < kCell; ++cx) {
                const int x = g * kCell + cx;
                const std::uint32_t pixel = at(x, y);
                const bool edge = cx == 0 || y == 0 || cx == kCell - 1 || y == kCell - 1;
                if (pixel == kInk) {
                    ++ink;
                    // A glyph touching the border would have its shadow, or itself, in the next cell.
                    EXPECT_FALSE(edge) << "glyph " << g << " reaches its cell's border at " << cx << "," << y;
                } else if (pixel == kShadow) {
                    EXPECT_TRUE(cx > 0 && y > 0 && at(x - 1, y - 1) == kInk)
                        << "glyph " << g << ": shadow at " << cx << "," << y << " below no glyph pixel";
                } else {
                    EXPECT_EQ(pixel, kClear) << "glyph " << g << " at " << cx << "," << y;
                }
            }
        }
        EXPECT_GT(ink, 0) << "glyph " << g << " is empty";
    }
}

} // namespace
