#include "forms/skin/Settings.h"

namespace skin {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string dotted(std::string_view section, std::string_view key) {
    return std::string(section) + "." + std::string(key);
}

}  // namespace

Settings::Settings(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    Section* current = nullptr;  // null before the first header: those lines belong to no section
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            // Up to the last ']', so that a trail byte of a double-byte character inside the
            // name cannot end it early.
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                current = &sections_.emplace_back();
                current->name = std::string(trimmed(line.substr(1, close - 1)));
                continue;
            }
        }
        const std::size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos) continue;
        current->keys.emplace_back(std::string(trimmed(line.substr(0, equals))),
                                   std::string(trimmed(line.substr(equals + 1))));
    }
}

const Settings::Section& Settings::section(std::string_view name) const {
    for (const Section& s : sections_)
        if (sameName(s.name, name)) {
            if (s.keys.empty()) break;
            return s;
        }
    throw SettingsError("the skin has no [" + std::string(name) + "] settings");
}

void Settings::requireSection(std::string_view name) const { section(name); }

const std::string& Settings::value(std::string_view sectionName, std::string_view key) const {
    for (const auto& [name, text] : section(sectionName).keys)
        if (sameName(name, key)) return text;
    throw SettingsError("the skin has no " + dotted(sectionName, key));
}

std::uint32_t Settings::color(std::string_view section, std::string_view key) const {
    const std::string& text = value(section, key);
    std::uint32_t rgb = 0;
    bool ok = text.size() == 7 && text[0] == '#';
    for (std::size_t i = 1; ok && i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        ok = digit >= 0;
        rgb = rgb << 4 | static_cast<std::uint32_t>(digit);
    }
    if (!ok) throw SettingsError("the skin's " + dotted(section, key) + " is not a colour: " + text);
    return rgb;
}

int Settings::number(std::string_view section, std::string_view key, int low, int high) const {
    const std::string& text = value(section, key);
    int n = 0;
    bool ok = !text.empty() && text.size() <= 4;
    for (std::size_t i = 0; ok && i < text.size(); ++i) {
        ok = text[i] >= '0' && text[i] <= '9';
        n = n * 10 + (text[i] - '0');
    }
    if (!ok || n < low || n > high) throw SettingsError("the skin's " + dotted(section, key) + " is out of range");
    return n;
}

}  // namespace skin
