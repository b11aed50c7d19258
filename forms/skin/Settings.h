#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A skin's settings: the text of an .ini file, read the way the Windows profile
// functions read one, so a skin written for them reads the same here.
//
//   [Section]        a section; whitespace around the name is ignored
//   key=value        whitespace around the key and the value is ignored
//   ; anything       a comment, as is any line whose first non-blank is ';'
//
// Lines end in CR LF or LF; blank lines, lines before the first section and
// lines without '=' are skipped; a UTF-8 byte-order mark at the start is
// skipped. Section and key names match without regard to ASCII case, and where
// a name repeats, the first one counts. A value is the rest of its line: there
// are no trailing comments and no quoting.
namespace skin {

// A setting is missing or does not hold what it should. The message names it.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Settings {
public:
    // Any text reads; what is in it is checked as it is asked for.
    explicit Settings(std::string_view text);

    // Throws unless there is a [section] with at least one key in it.
    void requireSection(std::string_view section) const;
    const std::string& value(std::string_view section, std::string_view key) const;
    // A value written #RRGGBB (hex digits of either case), as 0xRRGGBB.
    std::uint32_t color(std::string_view section, std::string_view key) const;
    // A value of one to four decimal digits, from low to high.
    int number(std::string_view section, std::string_view key, int low, int high) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    const Section& section(std::string_view name) const;

    std::vector<Section> sections_;
};

}  // namespace skin
