#include "core/Layout.h"

namespace hexalune {

bool IsBelowClientArea(std::span<const ControlSpec> layout, const ControlSpec& item, int clientHeightTwips) {
    const auto find = [&layout](int id) -> const ControlSpec* {
        for (const ControlSpec& other : layout) {
            if (other.id == id) return &other;
        }
        return nullptr;
    };
    const ControlSpec* top = &item;
    while (top->parent != 0) {
        const ControlSpec* container = find(top->parent);
        if (!container) break;
        top = container;
    }
    return top->parent == 0 && top->top >= clientHeightTwips;
}

}  // namespace hexalune
