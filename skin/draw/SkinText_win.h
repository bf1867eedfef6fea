#pragma once
// Texts of the skins: their extent for placement and their drawing into a placed rectangle.
#include <windows.h>

#include <string_view>

#include "skin/draw/Placement.h"

namespace skin {

// The extent of `text` in the context's current font, without one leading "&", width and height swapped for
// vertical text.
PixelSize TextExtent(HDC dc, std::wstring_view text, bool vertical = false);

// Draws the text into `rect`: orientation 3 from the bottom-left corner, 2 from the top-right corner (the
// context holds a rotated font), anything else as one centred line. Colour, font and background mode are the
// context's.
void DrawPlacedText(HDC dc, std::wstring_view text, const RECT& rect, int orientation);

inline RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline PixelRect ToPixelRect(const RECT& r) { return PixelRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace skin
