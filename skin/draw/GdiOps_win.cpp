#include "skin/draw/GdiOps_win.h"

#include "skin/draw/Glyphs.h"
#include "skin/draw/NineGrid.h"

namespace skin {

bool KeyedStretch(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                  COLORREF key) {
  if (!dest || !source || width <= 0 || height <= 0 || sw <= 0 || sh <= 0) return false;
  if (width == sw && height == sh) return ::TransparentBlt(dest, x, y, width, height, source, sx, sy, sw, sh, key) != 0;
  fw::UniqueMemDC temp_dc(::CreateCompatibleDC(dest));
  fw::UniqueBitmap temp(::CreateCompatibleBitmap(dest, width, height));
  if (!temp_dc || !temp) return false;
  fw::ScopedSelectObject select(temp_dc.get(), temp.get());
  {
    fw::ScopedStretchBltMode mode(temp_dc.get(), HALFTONE);
    if (!::StretchBlt(temp_dc.get(), 0, 0, width, height, source, sx, sy, sw, sh, SRCCOPY)) return false;
  }
  return ::TransparentBlt(dest, x, y, width, height, temp_dc.get(), 0, 0, width, height, key) != 0;
}

bool KeyedFrame(HDC dc, const RECT& dest, const FrameSource& frame, HBITMAP bitmap, COLORREF key) {
  BITMAP info{};
  if (!dc || !bitmap || !::GetObjectW(bitmap, sizeof info, &info)) return false;
  if (frame.width <= 0 || frame.height <= 0 || dest.right <= dest.left || dest.bottom <= dest.top) return false;
  const NineGridPieces pieces =
      CutNineGrid({dest.left, dest.top, dest.right, dest.bottom}, {frame.left, frame.top, frame.right, frame.bottom},
                  {frame.x, frame.y, frame.x + frame.width, frame.y + frame.height}, {info.bmWidth, info.bmHeight});
  fw::UniqueMemDC source(::CreateCompatibleDC(dc));
  if (!source) return false;
  fw::ScopedSelectObject select(source.get(), bitmap);
  for (const std::optional<DrawPiece>& p : pieces)
    if (p)
      KeyedStretch(dc, p->dest.left, p->dest.top, p->dest.Width(), p->dest.Height(), source.get(), p->source.left,
                   p->source.top, p->source.Width(), p->source.Height(), key);
  return true;
}

void ClipToRect(HDC dc, const RECT& rect) {
  fw::UniqueRgn region(::CreateRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1));
  if (region) ::SelectClipRgn(dc, region.get());
}

void ClipOutClient(HWND window, HDC dc) {
  RECT outer{}, client{};
  if (!::GetWindowRect(window, &outer) || !::GetClientRect(window, &client)) return;
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  const int dx = origin.x - outer.left, dy = origin.y - outer.top;
  fw::UniqueRgn whole(::CreateRectRgn(0, 0, outer.right - outer.left, outer.bottom - outer.top));
  fw::UniqueRgn inside(::CreateRectRgn(dx, dy, dx + client.right, dy + client.bottom));
  if (!whole || !inside) return;
  ::CombineRgn(whole.get(), whole.get(), inside.get(), RGN_DIFF);
  ::SelectClipRgn(dc, whole.get());
}

fw::UniqueRgn RegionWithoutChildren(HWND window) {
  RECT outer{};
  if (!::GetWindowRect(window, &outer)) return {};
  fw::UniqueRgn region(::CreateRectRgn(0, 0, outer.right - outer.left + 1, outer.bottom - outer.top + 1));
  if (!region) return {};
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child) || (::GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) continue;
    RECT r{};
    if (!::GetWindowRect(child, &r)) continue;
    fw::UniqueRgn hole(::CreateRectRgn(r.left - outer.left, r.top - outer.top, r.right - outer.left,
                                       r.bottom - outer.top));
    if (hole) ::CombineRgn(region.get(), region.get(), hole.get(), RGN_DIFF);
  }
  return region;
}

void ClipToUpdate(HWND window, HDC dc, bool exclude_children) {
  RECT update{};
  if (!::GetUpdateRect(window, &update, FALSE)) return;
  RECT outer{};
  ::GetWindowRect(window, &outer);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  ::OffsetRect(&update, origin.x - outer.left, origin.y - outer.top);
  fw::UniqueRgn region(::CreateRectRgnIndirect(&update));
  if (!region) return;
  if (exclude_children)
    if (fw::UniqueRgn rest = RegionWithoutChildren(window)) ::CombineRgn(region.get(), region.get(), rest.get(), RGN_AND);
  ::SelectClipRgn(dc, region.get());
}

void FrameWithHole(HDC dc, const RECT& outer, const RECT& inner, COLORREF color) {
  if (::EqualRect(&outer, &inner)) return;
  fw::ScopedSaveDC saved(dc);
  if (!::IsRectEmpty(&inner)) ::ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  fw::UniquePen pen(::CreatePen(PS_SOLID, 1, color));
  if (!pen) return;
  fw::ScopedSelectObject select_pen(dc, pen.get());
  fw::ScopedSelectObject select_brush(dc, ::GetStockObject(WHITE_BRUSH));
  ::Rectangle(dc, outer.left, outer.top, outer.right, outer.bottom);
}

bool DrawGlyph(HDC dc, int left, int top, int right, int bottom, int glyph, COLORREF color) {
  const auto* rows = GlyphRows(glyph);
  if (!dc || !rows) return false;
  const int x0 = (left + right) / 2 - kGlyphSide / 2, y0 = (top + bottom) / 2 - kGlyphSide / 2;
  for (int y = 0; y < kGlyphSide; ++y)
    for (int x = 0; x < kGlyphSide; ++x)
      if (GlyphPixelSet(*rows, x, y)) ::SetPixelV(dc, x0 + x, y0 + y, color);
  return true;
}

}  // namespace skin
