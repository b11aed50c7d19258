#include "forms/TabOrder.h"

#include "forms/Controls.h"

namespace forms {

Control* TabOrder::next(HWND focus, bool backwards) const {
    const auto n = static_cast<std::ptrdiff_t>(sequence_.size());
    std::ptrdiff_t at = -1;
    for (std::ptrdiff_t i = 0; i < n; ++i)
        if (sequence_[i]->handle() == focus || IsChild(sequence_[i]->handle(), focus)) at = i;
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = at < 0 ? (backwards ? n - step : step - 1)
                                        : ((at + (backwards ? -step : step)) % n + n) % n;
        Control* c = sequence_[i];
        if (IsWindowVisible(c->handle()) && IsWindowEnabled(c->handle())) return c;
    }
    return nullptr;
}

}  // namespace forms
