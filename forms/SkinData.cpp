#include "forms/SkinData.h"

namespace forms {

// Without a stored skin there is nothing to paint with: the component switches
// itself off and the form keeps the standard look.
SkinData::SkinData(Form& form, const SkinDataArgs& args)
    : Control(form, args.name), active_(args.active && !args.skinResource.empty()) {}

}  // namespace forms
