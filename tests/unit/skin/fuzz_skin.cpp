// libFuzzer entry: any bytes either unpack or raise UnpackError; anything else, a
// sanitizer report or a crash, is a bug. What unpacks must pack back to the same bytes,
// since the stored form has exactly one spelling for a list of entries.
#include "forms/skin/Pack.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<skin::Entry> entries;
    try {
        entries = skin::unpack(data, size);
    } catch (const skin::UnpackError&) {
        return 0;
    }
    const std::vector<std::uint8_t> again = skin::pack(entries);
    if (again != std::vector<std::uint8_t>(data, data + size)) std::abort();
    return 0;
}
