#pragma once
// Operations on plain device contexts: colour-keyed stretching and nine-part framing, clip regions, the framed
// rectangle with a hole, and the built-in glyphs.
#include <windows.h>

#include "framework/Handles.h"

namespace skin {

// Copies (sx, sy, sw, sh) of `source` to (x, y, width, height) of `dest` without the pixels of `key`. Equal
// sizes take one TransparentBlt; otherwise the source is stretched (halftone) into a temporary bitmap of the
// destination size first. False for a size of 0 or less or no source.
bool KeyedStretch(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                  COLORREF key);

// The part of a bitmap a frame is cut from, and its four edge sizes.
struct FrameSource {
  int x = 0, y = 0, width = 0, height = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
};
// Nine keyed pieces: corners unchanged, edges stretched along one axis, the centre both ways. Nothing (false)
// when the source area or the destination is empty.
bool KeyedFrame(HDC dc, const RECT& dest, const FrameSource& frame, HBITMAP bitmap, COLORREF key = RGB(255, 0, 255));

// Clip region = the rectangle extended by one pixel to the right and bottom.
void ClipToRect(HDC dc, const RECT& rect);
// Clip region = window rectangle minus client rectangle, in window coordinates.
void ClipOutClient(HWND window, HDC dc);
// The window rectangle (plus one pixel) minus its visible child windows that are not transparent (extended
// style 32), in window coordinates.
fw::UniqueRgn RegionWithoutChildren(HWND window);
// Clip to the window's update rectangle in window coordinates, intersected with RegionWithoutChildren when
// `exclude_children`.
void ClipToUpdate(HWND window, HDC dc, bool exclude_children);

// A 1-pixel rectangle of `color` with a white inside around `outer`, leaving `inner` untouched; nothing when
// the two are equal.
void FrameWithHole(HDC dc, const RECT& outer, const RECT& inner, COLORREF color);

// Sets the pixels of glyph `glyph` (1..9, see Glyphs.h) centred in the rectangle at
// ((left + right) / 2 - 4, (top + bottom) / 2 - 4). False (nothing drawn) for another number.
bool DrawGlyph(HDC dc, int left, int top, int right, int bottom, int glyph, COLORREF color);

}  // namespace skin
