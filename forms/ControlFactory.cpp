#include "forms/ControlFactory.h"

#include <stdexcept>

#include "forms/Picture.h"
#include "forms/SkinData.h"

namespace forms {

HFONT FontCache::fontFor(const FontSpec& spec) {
    for (const auto& [known, font] : fonts_)
        if (known == spec) return font.get();
    UniqueFont font(CreateFontA(scale_(spec.height), 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, spec.italic,
                                spec.underline, spec.strikeOut, static_cast<BYTE>(spec.charset), OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, spec.name.c_str()));
    if (!font) throw std::runtime_error("cannot create the font " + spec.name);
    fonts_.emplace_back(spec, std::move(font));
    return fonts_.back().second.get();
}

Site ControlFactory::siteFor(const ControlArgs& a, Control& parent, int id) const {
    Site site;
    site.parent = &parent;
    site.parentWindow = parent.handle();
    site.bounds = scale_(a.bounds);
    site.font = fonts_.fontFor(a.font);
    site.skin = lookFor_(a);
    site.id = id;
    site.rightToLeft = a.rightToLeft;
    return site;
}

std::unique_ptr<Control> ControlFactory::make(const AnyArgs& args, Control& parent, int id) const {
    return std::visit(
        [&](const auto& a) -> std::unique_ptr<Control> {
            using T = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<T, SkinDataArgs>) return skinData(a);
            else {
                const Site site = siteFor(a, parent, id);
                if constexpr (std::is_same_v<T, PanelArgs>) return panel(a, site);
                else if constexpr (std::is_same_v<T, GroupBoxArgs>) return groupBox(a, site);
                else if constexpr (std::is_same_v<T, EditArgs>) return edit(a, site);
                else if constexpr (std::is_same_v<T, ButtonArgs>) return button(a, site);
                else if constexpr (std::is_same_v<T, LabelArgs>) return label(a, site);
                else return image(a, site);
            }
        },
        args);
}

std::unique_ptr<Control> ControlFactory::panel(const PanelArgs& a, const Site& site) const {
    return std::make_unique<Panel>(context_, a, site);
}

std::unique_ptr<Control> ControlFactory::groupBox(const GroupBoxArgs& a, const Site& site) const {
    return std::make_unique<GroupBox>(context_, a, site);
}

std::unique_ptr<Control> ControlFactory::edit(const EditArgs& a, const Site& site) const {
    return std::make_unique<Edit>(context_, a, site);
}

std::unique_ptr<Control> ControlFactory::button(const ButtonArgs& a, const Site& site) const {
    if (a.bitmapButton) return std::make_unique<BitBtn>(context_, a, site);
    return std::make_unique<Button>(context_, a, site);
}

std::unique_ptr<Control> ControlFactory::label(const LabelArgs& a, const Site& site) const {
    return std::make_unique<Label>(context_, a, site);
}

std::unique_ptr<Control> ControlFactory::image(const ImageArgs& a, const Site& site) const {
    return std::make_unique<Image>(context_, a, site, loadPicture(context_.instance, a.pictureResource));
}

std::unique_ptr<Control> ControlFactory::skinData(const SkinDataArgs& a) const {
    return std::make_unique<SkinData>(context_, a);
}

}  // namespace forms
