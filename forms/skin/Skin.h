#pragma once
// A loaded skin: the colours and caption-button glyphs the skinned window and
// its controls are drawn with. Made once at start-up from the stored skin and
// shared, read-only, by everything that paints with it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "forms/Handles.h"

namespace forms {

// The stored skin cannot be unpacked or loaded.
class SkinError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Glyph { Minimize, Maximize, Restore, Close };

class Skin {
public:
    ~Skin();
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;

    struct Caption {
        COLORREF active1, active2, inactive1, inactive2, text, inactiveText, buttonHot, buttonPressed, closeHot;
    };
    struct Frame {
        COLORREF outer, face;
    };
    struct Panel {
        COLORREF face, light, shadow;
    };
    struct Button {
        COLORREF face, hot, pressed, border, text, disabledText;
    };
    struct Edit {
        COLORREF back, text, border, focusBorder;
    };
    struct GroupBox {
        COLORREF frame, text;
    };

    // Unpacks a stored skin (its length prefix included) and reads its settings. The settings
    // go through a file of their own in the temporary folder, which is gone again when this
    // returns, whether or not the skin could be loaded, and also if the process is ended
    // before that. Throws SkinError.
    static std::shared_ptr<const Skin> load(const std::uint8_t* data, std::size_t size);

    std::string name;
    Caption caption{};
    Frame frame{};
    COLORREF formFace{};
    Panel panel{};
    Button button{};
    Edit edit{};
    GroupBox groupBox{};
    COLORREF menuBack{};

    // Solid brushes of the colours that controls hand back from WM_CTLCOLOR*.
    HBRUSH formFaceBrush() const { return formFaceBrush_.get(); }
    HBRUSH panelFaceBrush() const { return panelFaceBrush_.get(); }
    HBRUSH editBackBrush() const { return editBackBrush_.get(); }
    HBRUSH menuBackBrush() const { return menuBackBrush_.get(); }

    // Draws a caption-button glyph centred in `cell`, scaled by `scale` (1 at 96 DPI).
    void drawGlyph(HDC dc, Glyph glyph, const RECT& cell, int scale) const;

private:
    Skin() = default;
    void makeBrushes();

    int glyphWidth_ = 0, glyphHeight_ = 0;
    int glyphIndex_[4] = {};  // column of each Glyph in the strip
    UniqueMemoryDC glyphDC_;
    UniqueBitmap glyphBitmap_;
    HGDIOBJ glyphOld_ = nullptr;
    UniqueBrush formFaceBrush_, panelFaceBrush_, editBackBrush_, menuBackBrush_;
};

// Fills a rectangle with one colour.
void fillSolid(HDC dc, const RECT& r, COLORREF color);
// A one-pixel rectangle outline.
void frameSolid(HDC dc, const RECT& r, COLORREF color);

}  // namespace forms
