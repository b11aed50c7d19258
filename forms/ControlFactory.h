#pragma once
// Makes the controls of a stored layout: one function per kind of control,
// each turning that kind's args into the control, placed and scaled for the
// screen, with its font and look.

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "forms/Controls.h"

namespace forms {

// Layout pixels to screen pixels: the layout was designed at `designDpi`.
struct Scale {
    int dpi = 96;
    int designDpi = 96;
    int operator()(int v) const { return MulDiv(v, dpi, designDpi); }
    Bounds operator()(const Bounds& b) const { return {(*this)(b.left), (*this)(b.top), (*this)(b.width), (*this)(b.height)}; }
};

// The fonts of one form, one per distinct spec, scaled for the screen; they outlive the
// form's windows.
class FontCache {
public:
    explicit FontCache(Scale scale = {}) : scale_(scale) {}
    void rescale(Scale scale) { scale_ = scale; }
    // Throws if the font cannot be made.
    HFONT fontFor(const FontSpec& spec);

private:
    Scale scale_;
    std::vector<std::pair<FontSpec, UniqueFont>> fonts_;
};

class ControlFactory {
public:
    // The look a control of the layout is drawn with: null for the standard look.
    using LookFor = std::function<const Skin*(const ControlArgs&)>;

    ControlFactory(const ControlContext& context, Scale scale, FontCache& fonts, LookFor lookFor)
        : context_(context), scale_(scale), fonts_(fonts), lookFor_(std::move(lookFor)) {}

    // The control `args` describes, inside `parent`; `id` is what its notifications carry.
    std::unique_ptr<Control> make(const AnyArgs& args, Control& parent, int id) const;

private:
    Site siteFor(const ControlArgs& args, Control& parent, int id) const;
    std::unique_ptr<Control> panel(const PanelArgs& args, const Site& site) const;
    std::unique_ptr<Control> groupBox(const GroupBoxArgs& args, const Site& site) const;
    std::unique_ptr<Control> edit(const EditArgs& args, const Site& site) const;
    std::unique_ptr<Control> button(const ButtonArgs& args, const Site& site) const;
    std::unique_ptr<Control> label(const LabelArgs& args, const Site& site) const;
    std::unique_ptr<Control> image(const ImageArgs& args, const Site& site) const;
    std::unique_ptr<Control> skinData(const SkinDataArgs& args) const;

    const ControlContext& context_;
    Scale scale_;
    FontCache& fonts_;
    LookFor lookFor_;
};

}  // namespace forms
