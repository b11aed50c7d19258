// libFuzzer entry: any bytes either unpack or raise UnpackError; anything else, a
// sanitizer report or a crash, is a bug. What unpacks must pack back to the same bytes,
// since the stored form has exactly one spelling for a list of entries.
//
// The same bytes, and the settings of a skin that unpacks, are also read as settings
// text: any text reads, and asking it for a setting gives the value or SettingsError.
#include "forms/skin/Pack.h"
#include "forms/skin/Settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void readSettings(std::string_view text) {
    const skin::Settings settings(text);
    const auto ask = [](auto&& question) {
        try {
            question();
        } catch (const skin::SettingsError&) {
        }
    };
    ask([&] { settings.requireSection("Skin"); });
    ask([&] { settings.value("Skin", "Name"); });
    ask([&] { settings.color("Caption", "Active1"); });
    ask([&] { settings.number("Glyphs", "Width", 1, 64); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readSettings(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<skin::Entry> entries;
    try {
        entries = skin::unpack(data, size);
    } catch (const skin::UnpackError&) {
        return 0;
    }
    const std::vector<std::uint8_t> again = skin::pack(entries);
    if (again != std::vector<std::uint8_t>(data, data + size)) std::abort();
    if (const skin::Entry* ini = skin::find(entries, "skin.ini"))
        readSettings(std::string_view(reinterpret_cast<const char*>(ini->data.data()), ini->data.size()));
    return 0;
}
