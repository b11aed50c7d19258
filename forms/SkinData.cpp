#include "forms/SkinData.h"

#include "forms/Resources.h"

namespace forms {

SkinData::SkinData(const ControlContext& context, const SkinDataArgs& args)
    : Control(context, args.name, Site{}), args_(args) {
    if (!args.active || args.skinResource.empty()) return;
    try {
        const std::string_view bytes = resourceBytes(context.instance, args.skinResource.c_str(), "the stored skin");
        skin_ = Skin::load(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    } catch (const std::exception&) {
        // Nothing to report: the window goes on with the standard look.
        skin_.reset();
    }
}

}  // namespace forms
