#include "forms/WindowClasses.h"

#include <algorithm>
#include <stdexcept>

namespace forms {

WindowClasses::~WindowClasses() {
    for (auto name = registered_.rbegin(); name != registered_.rend(); ++name)
        UnregisterClassA(name->c_str(), instance_);
}

void WindowClasses::ensure(const char* name, WNDPROC procedure, UINT style) {
    if (std::find(registered_.begin(), registered_.end(), name) != registered_.end()) return;
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance_, name, &existing)) {
        // Another application object of this process registered it, and still has windows of it.
        if (existing.lpfnWndProc == procedure) return;
        throw std::runtime_error(std::string("another window class is named ") + name);
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance_;
    wc.lpszClassName = name;
    if (!RegisterClassExA(&wc))
        throw std::runtime_error(std::string("cannot register the window class ") + name + " (error " +
                                 std::to_string(GetLastError()) + ")");
    registered_.emplace_back(name);
}

}  // namespace forms
