#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The packed skin: the named files a skin is made of (its colours, its glyph
// picture), stored in the program as one resource.
//
// Stored form, all integers little-endian:
//   u32 length of what follows
//   "VSKN", u8 version 1
//   u32 CRC-32 of every byte after this field
//   u16 entry count, 1..64
//   per entry: u8 name length 1..64, the name (printable ASCII, no space),
//              u32 data size, the data
// Names are unique and the entries' data totals at most 4 MiB.
namespace skin {

struct Entry {
    std::string name;
    std::vector<std::uint8_t> data;
};

class UnpackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The IEEE CRC-32 that zlib and PNG use.
std::uint32_t crc32(const std::uint8_t* data, std::size_t size);

// The entries of a stored skin (the whole file: length prefix included), in stored order.
// Throws UnpackError for anything that is not exactly a stored skin.
std::vector<Entry> unpack(const std::uint8_t* data, std::size_t size);

// The stored form of `entries` (length prefix included). Throws std::invalid_argument on
// what unpack would refuse.
std::vector<std::uint8_t> pack(const std::vector<Entry>& entries);

// The entry of that name, or null.
const Entry* find(const std::vector<Entry>& entries, std::string_view name);

} // namespace skin
