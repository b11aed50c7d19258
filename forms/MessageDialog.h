#pragma once
// The plain message dialog: a caption, an optional icon, the text in the
// message font broken at each CR and wrapped at half the screen's width, and
// one "OK" button that is both default and cancel. Centred on the screen and
// modal to `owner`.

#include <string_view>

#include "forms/Win32.h"

namespace forms {

enum class DialogIcon { None, Error };

void showMessageDialog(HINSTANCE instance, HWND owner, std::string_view caption, std::string_view text,
                       DialogIcon icon);

}  // namespace forms
