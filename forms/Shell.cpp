#include "forms/Shell.h"

#include <string>

namespace forms {

void openWithShell(HWND owner, std::string_view target) {
    if (target.size() > kMaxShellTargetLength) return;
    const std::string file(target);
    ShellExecuteA(owner, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace forms
