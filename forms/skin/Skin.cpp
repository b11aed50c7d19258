#include "forms/skin/Skin.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "forms/gif/Gif.h"
#include "forms/skin/Pack.h"
#include "forms/skin/ScratchFile.h"
#include "forms/skin/Settings.h"

namespace forms {
namespace {

COLORREF colorOf(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
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

    std::vector<std::uint8_t> text;
    try {
        // The settings take their customary detour through one file in the temporary folder. The
        // system deletes it as its handle closes, so it goes even if this process does not get that far.
        ScratchFile file(L".ini");
        file.write(settings->data);
        text = file.readAll();
    } catch (const ScratchFileError& e) {
        throw SkinError(std::string("the skin's settings cannot pass through the temporary folder: ") + e.what());
    }

    std::shared_ptr<Skin> s(new Skin());
    std::string order;  // the glyphs' names, each followed by a comma
    try {
        const skin::Settings ini(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        for (const char* name :
             {"Skin", "Caption", "Frame", "Form", "Panel", "Button", "Edit", "GroupBox", "Menu", "Glyphs"})
            ini.requireSection(name);
        auto c = [&](const char* section, const char* key) { return colorOf(ini.color(section, key)); };
        s->name = ini.value("Skin", "Name");
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

        s->glyphWidth_ = ini.number("Glyphs", "Width", 1, 64);
        s->glyphHeight_ = ini.number("Glyphs", "Height", 1, 64);
        order = ini.value("Glyphs", "Order") + ",";
    } catch (const skin::SettingsError& e) {
        throw SkinError(e.what());
    }
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
