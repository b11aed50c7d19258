#pragma once

#include <cstddef>
#include <string_view>

#include "forms/Win32.h"

namespace forms {

// The longest target handed to the shell. Wine's ShellExecuteA overflows its
// stack and takes the calling process down for targets of about 1,024
// characters; this bound stays well below that.
inline constexpr std::size_t kMaxShellTargetLength = 800;

// Opens a URI or web address with its registered handler, owned by `owner`,
// with the handler's default verb. The outcome is not examined; a target too
// long for the shell is not handed over at all.
void openWithShell(HWND owner, std::string_view target);

}  // namespace forms
