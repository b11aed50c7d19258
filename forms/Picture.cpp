#include "forms/Picture.h"

#include <stdexcept>

namespace forms {

std::unique_ptr<Picture> loadPicture(HINSTANCE, const std::string& resourceName) {
    if (resourceName.empty()) return nullptr;
    throw std::runtime_error("no picture decoder for " + resourceName);
}

}  // namespace forms
