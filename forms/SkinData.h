#pragma once
// The skin component: a non-visual member of the form that, when active and
// given a stored skin it can load, repaints the form and its controls.

#include "forms/Controls.h"

namespace forms {

class SkinData : public Control {
public:
    SkinData(Form& form, const SkinDataArgs& args);
    // False once the component has switched itself off (no skin it can load).
    bool active() const { return active_; }

private:
    bool active_;
};

}  // namespace forms
