#pragma once
// Reading item drawings back from a memory surface: pixels of one colour, differences from a reference
// drawing, the bounding box of a colour, and a PNG file of the surface for looking at.
#include <windows.h>

#include <string>

#include "skin/draw/DrawSurface_win.h"

namespace items_test {

using Surface = skin_test::DrawSurface;

// Pixels of [left, right) x [top, bottom) equal to `color`.
int CountColor(const Surface& s, COLORREF color, int left, int top, int right, int bottom);
inline int CountColor(const Surface& s, COLORREF color) { return CountColor(s, color, 0, 0, s.width(), s.height()); }
// Pixels of the rectangle that differ between the two surfaces.
int Differences(const Surface& a, const Surface& b, int left, int top, int right, int bottom);
// The smallest rectangle holding every pixel of `color` (empty when there is none).
RECT BoundsOf(const Surface& s, COLORREF color);
// Writes the surface to `path` (a Windows path) as a PNG; false when it cannot be written.
bool SavePng(const Surface& s, const std::string& path);
// Where test renders go: the build folder's "renders\items\" (created), as a Windows path.
std::string RenderFolder();

}  // namespace items_test
