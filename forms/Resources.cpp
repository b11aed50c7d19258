#include "forms/Resources.h"

#include <stdexcept>
#include <string>

namespace forms {

std::string_view resourceBytes(HINSTANCE module, const char* name, std::string_view what) {
    HRSRC info = FindResourceA(module, name, RT_RCDATA);
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) throw std::runtime_error(std::string(what) + " " + name + " is missing from the program");
    return {bytes, SizeofResource(module, info)};
}

}  // namespace forms
