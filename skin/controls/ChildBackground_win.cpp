#include "skin/controls/ChildBackground_win.h"

namespace skin {
namespace {

ChildBackgroundPainter& Painter() {
  static ChildBackgroundPainter painter = nullptr;
  return painter;
}

void PaintPlain(HWND child, HDC dc, const RECT& rect) {
  HWND parent = ::GetParent(child);
  auto brush = parent ? reinterpret_cast<HBRUSH>(::GetClassLongPtrW(parent, GCLP_HBRBACKGROUND)) : nullptr;
  // Class brushes may be given as a system colour index plus one.
  if (reinterpret_cast<UINT_PTR>(brush) <= COLOR_MENUBAR + 1 && brush)
    brush = ::GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(brush)) - 1);
  ::FillRect(dc, &rect, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

void SetChildBackgroundPainter(ChildBackgroundPainter painter) { Painter() = painter; }

void PaintChildBackground(HWND child, HDC dc, const RECT& rect, int alpha) {
  if (ChildBackgroundPainter painter = Painter()) {
    painter(child, dc, rect, alpha);
    return;
  }
  PaintPlain(child, dc, rect);
}

}  // namespace skin
