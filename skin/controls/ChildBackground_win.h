#pragma once
// What lies behind a control: its parent's skinned background, painted by the window registry once it is
// installed, otherwise the parent class's background brush (the system button face without one).
#include <windows.h>

namespace skin {

// Paints what is behind `child` into `dc` (child client coordinates) over `rect`; `alpha` 255 is opaque.
using ChildBackgroundPainter = void (*)(HWND child, HDC dc, const RECT& rect, int alpha);
// The window registry installs its painter here; null puts the plain one back.
void SetChildBackgroundPainter(ChildBackgroundPainter painter);
void PaintChildBackground(HWND child, HDC dc, const RECT& rect, int alpha = 255);

}  // namespace skin
