#pragma once
// Where a DirectUI item lies inside its parent's rectangle. Unlike the placement of control windows, a
// positive width or height wins over right or bottom, and an item is always placed (all-zero values fill the
// parent). Platform-free.
#include "skin/ThemeValues.h"

namespace skin {

Rect LayoutItem(const Placement& layout, const Rect& parent);

// Whether an item of state mask `mask` is drawn while its host shows `host_state` (a single state bit).
constexpr bool ItemShownInState(uint32_t mask, uint32_t host_state) {
  return mask == kStateAll || (mask & host_state) != 0;
}

constexpr bool RectContains(const Rect& r, int32_t x, int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace skin
