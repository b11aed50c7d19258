#pragma once

#include <memory>
#include <string>

#include "forms/Controls.h"

namespace forms {

// The picture stored under `resourceName` (an RCDATA resource), decoded; null
// for an empty name. Throws if the resource is missing or cannot be read.
std::unique_ptr<Picture> loadPicture(HINSTANCE instance, const std::string& resourceName);

}  // namespace forms
