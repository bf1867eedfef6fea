#pragma once
// The scroll state the skin keeps for a bar it draws itself, answering the platform's scroll functions the
// way the platform does. Platform-free.
#include <cstdint>

#include "skin/ScrollGeometry.h"

namespace skin {

// Which values a set or get touches: the platform's SIF_* bits.
enum ScrollMask : uint32_t {
  kScrollRange = 0x1,
  kScrollPage = 0x2,
  kScrollPosition = 0x4,
  kScrollDisableNoScroll = 0x8,
  kScrollTrackPosition = 0x10,
};

struct BarScrollState {
  ScrollValues values;
  bool visible = false;
  bool arrows_disabled = false;
  bool tracking = false;  // a thumb drag is running; the track position is the dragged one

  // SetScrollInfo: an inverted or oversized range becomes 0..0, the page is clamped to the range, the
  // position to minimum .. maximum - page + 1 (maximum when the page is 0), so the last line stays
  // reachable. The bar shows while the range scrolls; otherwise it hides, or stays and disables its arrows
  // with kScrollDisableNoScroll. Returns the position after clamping. The track position is never set here.
  int32_t SetInfo(uint32_t mask, const ScrollValues& in);
  // SetScrollPos: returns the previous position.
  int32_t SetPosition(int32_t position);
  // SetScrollRange: as SetInfo with the range alone.
  void SetRange(int32_t minimum, int32_t maximum);
  // GetScrollInfo: fills the masked values; the track position is the position unless a drag is running.
  void GetInfo(uint32_t mask, ScrollValues& out) const;

  // Whether the range leaves anything to scroll with the current page.
  bool Scrollable() const;
};

}  // namespace skin
