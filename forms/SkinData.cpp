#include "forms/SkinData.h"

#include "forms/Application.h"
#include "forms/Form.h"

namespace forms {

SkinData::SkinData(Form& form, const SkinDataArgs& args) : Control(form, args.name), args_(args) {
    if (!args.active || args.skinResource.empty()) return;
    HINSTANCE instance = form.application().instance();
    HRSRC info = FindResourceA(instance, args.skinResource.c_str(), RT_RCDATA);
    HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return;
    try {
        skin_ = Skin::load(static_cast<const std::uint8_t*>(bytes), SizeofResource(instance, info));
    } catch (const std::exception&) {
        // Nothing to report: the window goes on with the standard look.
        skin_.reset();
    }
}

}  // namespace forms
