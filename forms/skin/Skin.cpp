#include "forms/skin/Skin.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "forms/gif/Gif.h"
#include "forms/skin/Pack.h"

namespace forms {
namespace {

// A new, uniquely named file in the temporary folder, deleted with this object.
class TempFile {
public:
    explicit TempFile(const char* suffix) {
        char folder[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathA(sizeof folder, folder);
        if (length == 0 || length >= sizeof folder) throw SkinError("no temporary folder");
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            char name[64];
            wsprintfA(name, "vod%lx-%lx%s", static_cast<unsigned long>(GetCurrentProcessId()),
                      static_cast<unsigned long>(GetTickCount() + attempt), suffix);
            const std::string path = std::string(folder) + name;
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                file_ = file;
                path_ = path;
                return;
            }
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
        }
        throw SkinError("cannot create a file in the temporary folder");
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        close();
        DeleteFileA(path_.c_str());
    }

    const std::string& path() const { return path_; }

    // Writes everything and closes the file, so that others can read it.
    void writeAll(const std::vector<std::uint8_t>& bytes) {
        DWORD written = 0;
        const bool ok = bytes.empty() ||
                        (WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                         written == bytes.size());
        close();
        if (!ok) throw SkinError("cannot write the skin's settings");
    }

private:
    void close() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string path_;
};

// One section's key=value pairs, in the file's order.
using Section = std::vector<std::pair<std::string, std::string>>;

// The key=value lines of one section of a settings file.
Section readSection(const std::string& path, const char* section) {
    std::vector<char> buffer(4096);
    const DWORD length =
        GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    if (length == 0) throw SkinError(std::string("the skin has no [") + section + "] settings");
    if (length >= buffer.size() - 2) throw SkinError(std::string("the skin's [") + section + "] settings are too long");
    Section keys;
    for (const char* line = buffer.data(); *line; line += std::strlen(line) + 1) {
        const std::string_view text(line);
        const auto equals = text.find('=');
        if (equals == std::string_view::npos) continue;
        keys.emplace_back(std::string(text.substr(0, equals)), std::string(text.substr(equals + 1)));
    }
    return keys;
}

const std::string& value(const Section& keys, const char* section, const char* key) {
    for (const auto& [name, text] : keys)
        if (name == key) return text;
    throw SkinError(std::string("the skin has no ") + section + "." + key);
}

COLORREF color(const Section& keys, const char* section, const char* key) {
    const std::string& text = value(keys, section, key);
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    int digits[6];
    bool ok = text.size() == 7 && text[0] == '#';
    for (int i = 0; ok && i < 6; ++i) ok = (digits[i] = hex(text[static_cast<std::size_t>(i) + 1])) >= 0;
    if (!ok) throw SkinError(std::string("the skin's ") + section + "." + key + " is not a colour: " + text);
    return RGB(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
}

int number(const Section& keys, const char* section, const char* key, int low, int high) {
    const std::string& text = value(keys, section, key);
    int n = 0;
    bool ok = !text.empty() && text.size() <= 4;
    for (char c : text) ok = ok && c >= '0' && c <= '9' && ((n = n * 10 + (c - '0')), true);
    if (!ok || n < low || n > high) throw SkinError(std::string("the skin's ") + section + "." + key + " is out of range");
    return n;
}

}  // namespace

void fillSolid(HDC dc, const RECT& r, COLORREF color) {
    const COLORREF old = SetBkColor(dc, color);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void frameSolid(HDC dc, const RECT& r, COLORREF color) {
    fillSolid(dc, {r.left, r.top, r.right, r.top + 1}, color);
    fillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, color);
    fillSolid(dc, {r.left, r.top, r.left + 1, r.bottom}, color);
    fillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, color);
}

Skin::~Skin() {
    if (glyphDC_ && glyphOld_) SelectObject(glyphDC_.get(), glyphOld_);
}

std::shared_ptr<const Skin> Skin::load(const std::uint8_t* data, std::size_t size) {
    std::vector<skin::Entry> entries;
    try {
        entries = skin::unpack(data, size);
    } catch (const skin::UnpackError& e) {
        throw SkinError(std::string("the stored skin cannot be unpacked: ") + e.what());
    }
    const skin::Entry* settings = skin::find(entries, "skin.ini");
    const skin::Entry* glyphs = skin::find(entries, "glyphs.gif");
    if (!settings || !glyphs) throw SkinError("the stored skin lacks its settings or its glyphs");

    std::shared_ptr<Skin> s(new Skin());
    static constexpr const char* kSections[] = {"Skin", "Caption", "Frame",    "Form", "Panel",
                                                "Button", "Edit",  "GroupBox", "Menu", "Glyphs"};
    std::vector<Section> sections;
    {
        // The profile functions read files only: the settings take a short detour through one.
        TempFile file(".ini");
        file.writeAll(settings->data);
        for (const char* name : kSections) sections.push_back(readSection(file.path(), name));
    }
    auto sectionNamed = [&](std::string_view name) -> const Section& {
        for (std::size_t i = 0; i < sections.size(); ++i)
            if (name == kSections[i]) return sections[i];
        throw SkinError("no such section");
    };
    auto c = [&](const char* section, const char* key) { return color(sectionNamed(section), section, key); };
    s->name = value(sectionNamed("Skin"), "Skin", "Name");
    s->caption = {c("Caption", "Active1"),      c("Caption", "Active2"),   c("Caption", "Inactive1"),
                  c("Caption", "Inactive2"),    c("Caption", "Text"),      c("Caption", "InactiveText"),
                  c("Caption", "ButtonHot"),    c("Caption", "ButtonPressed"), c("Caption", "CloseHot")};
    s->frame = {c("Frame", "Outer"), c("Frame", "Face")};
    s->formFace = c("Form", "Face");
    s->panel = {c("Panel", "Face"), c("Panel", "Light"), c("Panel", "Shadow")};
    s->button = {c("Button", "Face"),   c("Button", "Hot"),  c("Button", "Pressed"),
                 c("Button", "Border"), c("Button", "Text"), c("Button", "DisabledText")};
    s->edit = {c("Edit", "Back"), c("Edit", "Text"), c("Edit", "Border"), c("Edit", "FocusBorder")};
    s->groupBox = {c("GroupBox", "Frame"), c("GroupBox", "Text")};
    s->menuBack = c("Menu", "Back");

    const Section& g = sectionNamed("Glyphs");
    s->glyphWidth_ = number(g, "Glyphs", "Width", 1, 64);
    s->glyphHeight_ = number(g, "Glyphs", "Height", 1, 64);
    const std::string order = value(g, "Glyphs", "Order") + ",";
    const char* names[4] = {"minimize", "maximize", "restore", "close"};
    bool seen[4] = {};
    int column = 0;
    for (std::size_t start = 0, comma; (comma = order.find(',', start)) != std::string::npos; start = comma + 1) {
        const std::string_view word(order.data() + start, comma - start);
        bool known = false;
        for (int i = 0; i < 4; ++i)
            if (word == names[i] && !seen[i]) {
                seen[i] = known = true;
                s->glyphIndex_[i] = column;
            }
        if (!known) throw SkinError("the skin's glyph order is not minimize, maximize, restore and close");
        ++column;
    }
    if (column != 4) throw SkinError("the skin's glyph order is not minimize, maximize, restore and close");

    gif::Animation strip;
    try {
        strip = gif::decode(glyphs->data.data(), glyphs->data.size());
    } catch (const gif::DecodeError& e) {
        throw SkinError(std::string("the skin's glyphs cannot be read: ") + e.what());
    }
    if (strip.width != 4 * s->glyphWidth_ || strip.height != s->glyphHeight_ || strip.frames.empty())
        throw SkinError("the skin's glyphs are not four cells of the stated size");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = strip.width;
    info.bmiHeader.biHeight = -strip.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    s->glyphBitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    s->glyphDC_.reset(CreateCompatibleDC(nullptr));
    if (!s->glyphBitmap_ || !bits || !s->glyphDC_) throw SkinError("cannot make a bitmap for the skin's glyphs");
    const auto& pixels = strip.frames.front().pixels;
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
    GdiFlush();
    s->glyphOld_ = SelectObject(s->glyphDC_.get(), s->glyphBitmap_.get());
    s->makeBrushes();
    return s;
}

void Skin::makeBrushes() {
    formFaceBrush_.reset(CreateSolidBrush(formFace));
    panelFaceBrush_.reset(CreateSolidBrush(panel.face));
    editBackBrush_.reset(CreateSolidBrush(edit.back));
    menuBackBrush_.reset(CreateSolidBrush(menuBack));
    if (!formFaceBrush_ || !panelFaceBrush_ || !editBackBrush_ || !menuBackBrush_)
        throw SkinError("cannot make the skin's brushes");
}

void Skin::drawGlyph(HDC dc, Glyph glyph, const RECT& cell, int scale) const {
    const int w = glyphWidth_ * scale, h = glyphHeight_ * scale;
    const int x = cell.left + (cell.right - cell.left - w) / 2;
    const int y = cell.top + (cell.bottom - cell.top - h) / 2;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, w, h, glyphDC_.get(), glyphIndex_[static_cast<int>(glyph)] * glyphWidth_, 0, glyphWidth_,
               glyphHeight_, blend);
}

}  // namespace forms
