#include "skin/draw/CxImageDraw_win.h"

#include <algorithm>
#include <cstring>

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

  fw::UniqueMemDC mem(::CreateCompatibleDC(dc));
  if (!mem) return false;
  BITMAPINFO info = InfoFor(box.Width(), -box.Height(), 32);  // top-down scratch rows
  void* raw = nullptr;
  fw::UniqueBitmap section(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
  if (!section || !raw) return false;
  fw::ScopedSelectObject select(mem.get(), section.get());
  if (!::BitBlt(mem.get(), 0, 0, box.Width(), box.Height(), dc, box.left, box.top, SRCCOPY)) return false;
  ::GdiFlush();
  BlendTarget target{static_cast<uint8_t*>(raw), static_cast<uint32_t>(box.Width()) * 4, 4, box};
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
