#include "skin/draw/CxImageDraw_win.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "skin/draw/DecodedBlend.h"
#include "skin/draw/NineGrid.h"

namespace skin {
namespace {

BITMAPINFO InfoFor(LONG width, LONG height, WORD bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: rows bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bits;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

bool StretchOpaque(HDC dc, const CxImage& picture, const DrawPiece& piece) {
  const BITMAPINFO info = InfoFor(static_cast<LONG>(picture.GetWidth()), static_cast<LONG>(picture.GetHeight()), 24);
  const int old_mode = ::SetStretchBltMode(dc, COLORONCOLOR);
  // Bottom-up rows: the source's y counts from the bottom row.
  const int lines = ::StretchDIBits(dc, piece.dest.left, piece.dest.top, piece.dest.Width(), piece.dest.Height(),
                                    piece.source.left, static_cast<int>(picture.GetHeight()) - piece.source.bottom,
                                    piece.source.Width(), piece.source.Height(), picture.GetBits(), &info,
                                    DIB_RGB_COLORS, SRCCOPY);
  ::SetStretchBltMode(dc, old_mode);
  return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

// Blue, green and red of a pixel in memory, as 0x00RRGGBB.
uint32_t ReadPixel(const uint8_t* p) { return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)); }
void WritePixel(uint8_t* p, uint32_t v) { p[0] = v & 0xFF, p[1] = (v >> 8) & 0xFF, p[2] = (v >> 16) & 0xFF; }

// Whether the DIB section's rows run top-down. The section's header does not say (its height reads positive
// either way), so one pixel is set through GDI and looked for in memory, then put back. None when it is found
// in neither place.
std::optional<bool> RowsRunTopDown(HDC dc, int lx, int ly, uint8_t* top_down, uint8_t* bottom_up) {
  if (top_down == bottom_up) return true;  // the middle row: either way
  const uint32_t a = ReadPixel(top_down), b = ReadPixel(bottom_up);
  const COLORREF original = ::GetPixel(dc, lx, ly);
  uint32_t probe = (a ^ 0x010101) & 0xFFFFFF;
  if (probe == b) probe ^= 0x020000;
  ::SetPixelV(dc, lx, ly, RGB((probe >> 16) & 0xFF, (probe >> 8) & 0xFF, probe & 0xFF));
  ::GdiFlush();
  if (ReadPixel(top_down) == probe) {
    WritePixel(top_down, a);
    return true;
  }
  if (ReadPixel(bottom_up) == probe) {
    WritePixel(bottom_up, b);
    return false;
  }
  if (original != CLR_INVALID) ::SetPixelV(dc, lx, ly, original);
  return std::nullopt;
}

// The context's own pixels under `box` when it draws into a 24- or 32-bit DIB section with plain mapping and
// a rectangular clip: blending there spares the copies out and back. `box` is already inside the clip box.
std::optional<BlendTarget> DirectTarget(HDC dc, const PixelRect& box) {
  DIBSECTION section{};
  const HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
  if (!bitmap || ::GetObjectW(bitmap, sizeof section, &section) != sizeof section) return std::nullopt;
  const BITMAP& bm = section.dsBm;
  const int bpp = bm.bmBitsPixel;
  if (!bm.bmBits || (bpp != 24 && bpp != 32) || section.dsBmih.biCompression != BI_RGB) return std::nullopt;
  if (::GetMapMode(dc) != MM_TEXT || ::GetGraphicsMode(dc) != GM_COMPATIBLE || ::GetLayout(dc) != 0)
    return std::nullopt;
  POINT window{}, viewport{};
  if (!::GetWindowOrgEx(dc, &window) || !::GetViewportOrgEx(dc, &viewport)) return std::nullopt;
  const int64_t left = static_cast<int64_t>(box.left) - window.x + viewport.x;
  const int64_t top = static_cast<int64_t>(box.top) - window.y + viewport.y;
  if (left < 0 || top < 0 || left + box.Width() > bm.bmWidth || top + box.Height() > bm.bmHeight) return std::nullopt;
  const ptrdiff_t stride = bm.bmWidthBytes;
  const int bytes = bpp / 8;
  auto* base = static_cast<uint8_t*>(bm.bmBits);
  ::GdiFlush();
  uint8_t* as_top_down = base + top * stride + left * bytes;
  uint8_t* as_bottom_up = base + (bm.bmHeight - 1 - top) * stride + left * bytes;
  const std::optional<bool> top_down = RowsRunTopDown(dc, box.left, box.top, as_top_down, as_bottom_up);
  if (!top_down) return std::nullopt;
  return BlendTarget{*top_down ? as_top_down : as_bottom_up, *top_down ? stride : -stride, bytes, box};
}

}  // namespace

bool DrawDecodedPieces(HDC dc, const CxImage& picture, std::span<const DrawPiece> pieces) {
  if (!dc || !picture.IsValid() || pieces.empty()) return false;
  if (!picture.HasAlpha() && picture.GetTransColor() < 0) {
    bool ok = true;
    for (const DrawPiece& piece : pieces) ok = StretchOpaque(dc, picture, piece) && ok;
    return ok;
  }
  // One read of the destination under all pieces, inside the clip box; the pieces are blended in their order.
  PixelRect box = pieces.front().dest;
  for (const DrawPiece& piece : pieces) {
    box.left = std::min(box.left, piece.dest.left), box.top = std::min(box.top, piece.dest.top);
    box.right = std::max(box.right, piece.dest.right), box.bottom = std::max(box.bottom, piece.dest.bottom);
  }
  RECT clip_box;
  const int clip = ::GetClipBox(dc, &clip_box);
  if (clip == NULLREGION) return true;
  if (clip != ERROR) {
    box.left = std::max<int32_t>(box.left, clip_box.left), box.top = std::max<int32_t>(box.top, clip_box.top);
    box.right = std::min<int32_t>(box.right, clip_box.right), box.bottom = std::min<int32_t>(box.bottom, clip_box.bottom);
  }
  if (box.IsEmpty()) return true;

  if (clip == SIMPLEREGION)
    if (std::optional<BlendTarget> direct = DirectTarget(dc, box)) {
      for (const DrawPiece& piece : pieces) BlendDecoded(picture, piece.source, piece.dest, *direct);
      return true;
    }

  fw::UniqueMemDC mem(::CreateCompatibleDC(dc));
  if (!mem) return false;
  BITMAPINFO info = InfoFor(box.Width(), -box.Height(), 32);  // top-down scratch rows
  void* raw = nullptr;
  fw::UniqueBitmap section(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
  if (!section || !raw) return false;
  fw::ScopedSelectObject select(mem.get(), section.get());
  if (!::BitBlt(mem.get(), 0, 0, box.Width(), box.Height(), dc, box.left, box.top, SRCCOPY)) return false;
  ::GdiFlush();
  BlendTarget target{static_cast<uint8_t*>(raw), static_cast<ptrdiff_t>(box.Width()) * 4, 4, box};
  for (const DrawPiece& piece : pieces) BlendDecoded(picture, piece.source, piece.dest, target);
  return ::BitBlt(dc, box.left, box.top, box.Width(), box.Height(), mem.get(), 0, 0, SRCCOPY) != 0;
}

bool DrawDecoded(HDC dc, const CxImage& picture, const PixelRect& dest, const PixelRect& source) {
  const PixelSize size{static_cast<int32_t>(picture.GetWidth()), static_cast<int32_t>(picture.GetHeight())};
  const std::optional<DrawPiece> piece = ClampPiece(source, dest, size);
  if (!piece) return false;
  return DrawDecodedPieces(dc, picture, std::span<const DrawPiece>(&*piece, 1));
}

bool DrawDecoded(HDC dc, const CxImage& picture, const PixelRect& dest) {
  return DrawDecoded(dc, picture, dest,
                     PixelRect{0, 0, static_cast<int32_t>(picture.GetWidth()), static_cast<int32_t>(picture.GetHeight())});
}

bool DrawDecodedAt(HDC dc, const CxImage& picture, int x, int y) {
  return DrawDecoded(dc, picture,
                     PixelRect{x, y, x + static_cast<int32_t>(picture.GetWidth()), y + static_cast<int32_t>(picture.GetHeight())});
}

fw::UniqueBitmap MakeBitmap(const CxImage& picture) {
  if (!picture.IsValid()) return {};
  BITMAPINFO info = InfoFor(static_cast<LONG>(picture.GetWidth()), static_cast<LONG>(picture.GetHeight()), 24);
  void* raw = nullptr;
  fw::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
  if (!bitmap || !raw) return {};
  std::memcpy(raw, picture.GetBits(), static_cast<size_t>(picture.GetEffWidth()) * picture.GetHeight());
  return bitmap;
}

}  // namespace skin
