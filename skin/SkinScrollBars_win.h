#pragma once
// The scroll state a skin keeps for the bars it draws itself (per horizontal and vertical bar), answering
// the intercepted scroll functions as the platform would: SetScrollInfo returns the clamped position,
// GetScrollInfo the skin's values (the tracked position during a drag), and a bar shows or hides itself by
// the window's scroll-bar style when its range becomes scrollable or not.
#include <windows.h>

#include <optional>

#include "skin/ScrollState.h"

namespace skin {

class SkinScrollBars {
 public:
  explicit SkinScrollBars(HWND window) : window_(window) {}

  // The bar's state: SB_HORZ or SB_VERT; none for any other bar.
  BarScrollState* Bar(int bar);

  std::optional<int> SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw);
  std::optional<BOOL> GetScrollInfo(int bar, SCROLLINFO& info);
  std::optional<int> SetScrollPos(int bar, int position, BOOL redraw);
  std::optional<int> GetScrollPos(int bar);
  std::optional<BOOL> SetScrollRange(int bar, int minimum, int maximum, BOOL redraw);
  std::optional<BOOL> GetScrollRange(int bar, int& minimum, int& maximum);
  std::optional<BOOL> ShowScrollBar(int bar, BOOL show);
  std::optional<BOOL> EnableScrollBar(UINT bars, UINT arrows);

 private:
  // Puts the window's scroll-bar style in line with the bar's visibility (the frame then gives or takes
  // the bar's 16 pixels) and repaints the non-client area when asked to redraw or the style changed.
  void Update(int bar, bool redraw);

  HWND window_;
  BarScrollState horizontal_, vertical_;
};

}  // namespace skin
