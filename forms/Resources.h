#pragma once

#include <string_view>

#include "forms/Win32.h"

namespace forms {

// The bytes of the RCDATA resource `name` of the module; they live as long as the module.
// Throws, naming `what` the resource holds, if there is no such resource.
std::string_view resourceBytes(HINSTANCE module, const char* name, std::string_view what);

}  // namespace forms
