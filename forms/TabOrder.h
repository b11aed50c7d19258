#pragma once
// The controls Tab visits, in the layout's order, and where the focus goes next.

#include <vector>

#include "forms/Win32.h"

namespace forms {

class Control;

class TabOrder {
public:
    void assign(std::vector<Control*> sequence) { sequence_ = std::move(sequence); }
    bool empty() const { return sequence_.empty(); }
    Control* first() const { return sequence_.empty() ? nullptr : sequence_.front(); }
    // The next control (or, going backwards, the previous one) from the one that holds or
    // contains `focus`, skipping hidden and disabled ones, round the end; null if none can
    // take the focus. From a window outside the sequence, the first (or last) one.
    Control* next(HWND focus, bool backwards) const;

private:
    std::vector<Control*> sequence_;
};

}  // namespace forms
