#pragma once
// The skin component: a non-visual member of the form. When active, it loads
// the stored skin as the layout is read, and the form and its controls are
// drawn with it for the rest of the run. A stored skin that cannot be
// unpacked or loaded switches the component off, silently: the window then
// keeps the toolkit's own look.

#include <algorithm>
#include <memory>
#include <string_view>

#include "forms/Controls.h"
#include "forms/skin/Skin.h"

namespace forms {

class SkinData : public Control {
public:
    SkinData(const ControlContext& context, const SkinDataArgs& args);

    // False once the component has switched itself off.
    bool active() const { return skin_ != nullptr; }
    // The loaded skin while active.
    const std::shared_ptr<const Skin>& skin() const { return skin_; }

    // Whether a control of that designer class and Tag is drawn with the skin.
    bool skins(std::string_view className, int tag) const { return active() && skinApplies(args_, className, tag); }
    // Whether the owning window's frame is drawn with the skin.
    bool skinsFrame() const { return active() && !args_.formType.empty(); }
    bool skinsSystemMenu() const {
        return active() && std::find(args_.skinControls.begin(), args_.skinControls.end(), "xcSystemMenu") !=
                                args_.skinControls.end();
    }

private:
    SkinDataArgs args_;
    std::shared_ptr<const Skin> skin_;
};

}  // namespace forms
