#include "skin/draw/SkinText_win.h"

#include <climits>

namespace skin {

PixelSize TextExtent(HDC dc, std::wstring_view text, bool vertical) {
  const std::wstring_view measured = TextForExtent(text);
  SIZE size{};
  if (!dc || measured.size() > static_cast<size_t>(INT_MAX) ||
      !::GetTextExtentPoint32W(dc, measured.data(), static_cast<int>(measured.size()), &size))
    return {};
  return OrientedExtent({size.cx, size.cy}, vertical);
}

void DrawPlacedText(HDC dc, std::wstring_view text, const RECT& rect, int orientation) {
  if (!dc || text.size() > static_cast<size_t>(INT_MAX)) return;
  const int n = static_cast<int>(text.size());
  if (orientation == 3) {
    ::TextOutW(dc, rect.left, rect.bottom, text.data(), n);
  } else if (orientation == 2) {
    ::TextOutW(dc, rect.right, rect.top, text.data(), n);
  } else {
    RECT r = rect;
    ::DrawTextW(dc, text.data(), n, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
}

}  // namespace skin
