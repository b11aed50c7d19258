#include "forms/skin/Pack.h"

#include <array>
#include <cstring>
#include <iterator>
#include <utility>

namespace skin {
namespace {

constexpr char kMagic[4] = {'V', 'S', 'K', 'N'};
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kPrefixSize = 4;
constexpr std::size_t kCrcOffset = sizeof kMagic + 1;   // within the packed data
constexpr std::size_t kCountOffset = kCrcOffset + 4;
constexpr std::size_t kHeaderSize = kCountOffset + 2;
constexpr std::size_t kMaxEntries = 64;
constexpr std::size_t kMaxNameLength = 64;
constexpr std::size_t kMaxDataTotal = std::size_t{4} << 20;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = makeCrcTable();

// Why a name cannot be stored, or null when it can.
const char* nameProblem(std::string_view name) {
    if (name.empty()) return "entry name is empty";
    if (name.size() > kMaxNameLength) return "entry name is longer than 64 characters";
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x21 || u > 0x7E) return "entry name has a character other than printable ASCII";
    }
    return nullptr;
}

bool seenBefore(const std::vector<Entry>& entries, std::size_t index) {
    for (std::size_t i = 0; i < index; ++i) {
        if (entries[i].name == entries[index].name) return true;
    }
    return false;
}

// Reads the packed data front to back; every read is checked against what is left.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    std::size_t left() const { return left_; }

    const std::uint8_t* take(std::size_t count, const char* what) {
        if (count > left_) throw UnpackError(what);
        const std::uint8_t* at = data_;
        data_ += count;
        left_ -= count;
        return at;
    }
    std::uint32_t u8(const char* what) { return *take(1, what); }
    std::uint32_t u16(const char* what) {
        const std::uint8_t* p = take(2, what);
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
    }
    std::uint32_t u32(const char* what) {
        const std::uint8_t* p = take(4, what);
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
               std::uint32_t{p[3]} << 24;
    }

private:
    const std::uint8_t* data_;
    std::size_t left_;
};

void putU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

void setU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = kCrcTable[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<Entry> unpack(const std::uint8_t* data, std::size_t size) {
    Reader file(data, size);
    const std::uint32_t length = file.u32("skin is too short for its length prefix");
    if (length != file.left()) throw UnpackError("skin length prefix does not match its size");

    const std::uint8_t* const packed = data + kPrefixSize;
    const std::size_t packedSize = file.left();
    const char* const shortHeader = "skin is too short for its header";
    if (packedSize < kHeaderSize) throw UnpackError(shortHeader);
    Reader in(packed, packedSize);
    if (std::memcmp(in.take(sizeof kMagic, shortHeader), kMagic, sizeof kMagic) != 0) throw UnpackError("not a skin: bad magic");
    if (in.u8(shortHeader) != kVersion) throw UnpackError("unsupported skin version");
    const std::uint32_t crc = in.u32(shortHeader);
    if (crc != crc32(packed + kCountOffset, packedSize - kCountOffset)) throw UnpackError("skin CRC mismatch");
    const std::uint32_t count = in.u16(shortHeader);
    if (count == 0) throw UnpackError("skin has no entries");
    if (count > kMaxEntries) throw UnpackError("skin has more than 64 entries");

    std::vector<Entry> entries;
    entries.reserve(count);
    std::size_t total = 0; // never more than size: each entry's data was taken from the input
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t nameLength = in.u8("skin entry runs past the end");
        const std::uint8_t* name = in.take(nameLength, "skin entry runs past the end");
        Entry entry;
        entry.name.assign(reinterpret_cast<const char*>(name), nameLength);
        if (const char* problem = nameProblem(entry.name)) throw UnpackError(std::string("skin ") + problem);
        if (find(entries, entry.name)) throw UnpackError("skin has two entries of the same name");
        const std::uint32_t dataSize = in.u32("skin entry runs past the end");
        const std::uint8_t* bytes = in.take(dataSize, "skin entry runs past the end");
        total += dataSize;
        if (total > kMaxDataTotal) throw UnpackError("skin entries hold more than 4 MiB");
        entry.data.assign(bytes, bytes + dataSize);
        entries.push_back(std::move(entry));
    }
    if (in.left() != 0) throw UnpackError("skin has bytes after its last entry");
    return entries;
}

std::vector<std::uint8_t> pack(const std::vector<Entry>& entries) {
    if (entries.empty()) throw std::invalid_argument("a skin needs at least one entry");
    if (entries.size() > kMaxEntries) throw std::invalid_argument("a skin holds at most 64 entries");
    std::size_t total = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (const char* problem = nameProblem(entries[i].name)) throw std::invalid_argument(problem);
        if (seenBefore(entries, i)) throw std::invalid_argument("two skin entries have the same name: " + entries[i].name);
        if (entries[i].data.size() > kMaxDataTotal - total) throw std::invalid_argument("skin entries hold more than 4 MiB");
        total += entries[i].data.size();
    }

    std::vector<std::uint8_t> out;
    out.reserve(kPrefixSize + sizeof kMagic + 7 + entries.size() * (1 + 64 + 4) + total);
    out.resize(kPrefixSize);
    out.insert(out.end(), std::begin(kMagic), std::end(kMagic));
    out.push_back(kVersion);
    putU32(out, 0); // the CRC, once the rest is written
    putU16(out, static_cast<std::uint32_t>(entries.size()));
    for (const Entry& entry : entries) {
        out.push_back(static_cast<std::uint8_t>(entry.name.size()));
        out.insert(out.end(), entry.name.begin(), entry.name.end());
        putU32(out, static_cast<std::uint32_t>(entry.data.size()));
        out.insert(out.end(), entry.data.begin(), entry.data.end());
    }
    const std::size_t countAt = kPrefixSize + kCountOffset;
    setU32(out.data() + kPrefixSize + kCrcOffset, crc32(out.data() + countAt, out.size() - countAt));
    setU32(out.data(), static_cast<std::uint32_t>(out.size() - kPrefixSize));
    return out;
}

const Entry* find(const std::vector<Entry>& entries, std::string_view name) {
    for (const Entry& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

} // namespace skin
