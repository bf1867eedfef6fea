#include "skin/draw/SkinBitmap_win.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "skin/draw/NineGrid.h"
#include "skin/draw/RegionRuns.h"

namespace {

// A memory context with the bitmap selected, for the length of one operation.
class SourceDC {
 public:
  SourceDC(HDC like, HBITMAP bitmap) : dc_(::CreateCompatibleDC(like)), select_(dc_.get(), bitmap) {}
  HDC get() const { return dc_.get(); }
  explicit operator bool() const { return static_cast<bool>(dc_); }

 private:
  fw::UniqueMemDC dc_;
  fw::ScopedSelectObject select_;
};

bool Blit(HDC dc, HDC source, const skin::DrawPiece& p, DWORD rop) {
  if (p.IsNatural())
    return ::BitBlt(dc, p.dest.left, p.dest.top, p.dest.Width(), p.dest.Height(), source, p.source.left, p.source.top,
                    rop) != 0;
  return ::StretchBlt(dc, p.dest.left, p.dest.top, p.dest.Width(), p.dest.Height(), source, p.source.left,
                      p.source.top, p.source.Width(), p.source.Height(), rop) != 0;
}

bool Keyed(HDC dc, HDC source, const skin::DrawPiece& p, COLORREF key) {
  return ::TransparentBlt(dc, p.dest.left, p.dest.top, p.dest.Width(), p.dest.Height(), source, p.source.left,
                          p.source.top, p.source.Width(), p.source.Height(), key) != 0;
}

skin::PixelRect FromXywh(int x, int y, int w, int h) { return skin::PixelRect{x, y, x + w, y + h}; }

}  // namespace

bool CSkinBitmap::SetBitmap(fw::UniqueBitmap bitmap) {
  bitmap_ = std::move(bitmap);
  header_ = BITMAP{};
  if (bitmap_ && !::GetObjectW(bitmap_.get(), sizeof header_, &header_)) {
    bitmap_.reset();
    header_ = BITMAP{};
  }
  return !IsEmpty();
}

bool CSkinBitmap::SetFromPackedBmp(std::span<const uint8_t> bytes) {
  CxImageBMP bmp;
  if (!bmp.Decode(bytes) || !SetFromPicture(bmp)) {
    Reset();
    return false;
  }
  bytes_.assign(bytes.begin(), bytes.end());
  return true;
}

bool CSkinBitmap::SetFromPicture(const CxImage& picture) {
  bytes_.clear();
  if (!picture.IsValid()) {
    Reset();
    return false;
  }
  const LONG w = static_cast<LONG>(picture.GetWidth()), h = static_cast<LONG>(picture.GetHeight());
  fw::WindowDC screen(nullptr);
  fw::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), w, h));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
  if (!bitmap || ::SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(h), picture.GetBits(), &info,
                             DIB_RGB_COLORS) != h) {
    Reset();
    return false;
  }
  return SetBitmap(std::move(bitmap));
}

void CSkinBitmap::Reset() {
  bitmap_.reset();
  header_ = BITMAP{};
  bytes_.clear();
}

bool CSkinBitmap::Copy(HDC dc, int x, int y, int width, int height, int sx, int sy, DWORD rop) const {
  const auto piece = skin::ClampPiece(FromXywh(sx, sy, width, height), FromXywh(x, y, width, height),
                                      {Width(), Height()});
  if (!dc || !piece) return false;
  SourceDC source(dc, bitmap_.get());
  return source && Blit(dc, source.get(), *piece, rop);
}

bool CSkinBitmap::StretchCopy(HDC dc, const RECT& dest, const RECT& source_rect, DWORD rop) const {
  const auto piece = skin::ClampPiece({source_rect.left, source_rect.top, source_rect.right, source_rect.bottom},
                                      {dest.left, dest.top, dest.right, dest.bottom}, {Width(), Height()});
  if (!dc || !piece) return false;
  SourceDC source(dc, bitmap_.get());
  if (!source) return false;
  fw::ScopedStretchBltMode mode(dc, HALFTONE);
  return ::StretchBlt(dc, piece->dest.left, piece->dest.top, piece->dest.Width(), piece->dest.Height(), source.get(),
                      piece->source.left, piece->source.top, piece->source.Width(), piece->source.Height(), rop) != 0;
}

bool CSkinBitmap::KeyedCopy(HDC dc, int x, int y, int sx, int sy, int width, int height) const {
  const auto piece = skin::ClampPiece(FromXywh(sx, sy, width, height), FromXywh(x, y, width, height),
                                      {Width(), Height()});
  if (!dc || !piece) return false;
  SourceDC source(dc, bitmap_.get());
  return source && Keyed(dc, source.get(), *piece, key_);
}

bool CSkinBitmap::DrawFrame(HDC dc, int x, int y, int index, int count) const {
  if (count <= 0 || index < 0 || index >= count || IsEmpty()) return false;
  const int frame_width = Width() / count;
  const int sx = static_cast<int>(static_cast<int64_t>(index) * Width() / count);
  return KeyedCopy(dc, x, y, sx, 0, frame_width, Height());
}

bool CSkinBitmap::Keyed9Grid(HDC dc, int x, int y, int right, int bottom, int gl, int gt, int gr, int gb) const {
  if (!dc || IsEmpty()) return false;
  const skin::NineGridPieces pieces = skin::CutNineGrid({x, y, right, bottom}, {gl, gt, gr, gb}, {Width(), Height()});
  SourceDC source(dc, bitmap_.get());
  if (!source) return false;
  for (int i : {skin::kCentre, skin::kLeftEdge, skin::kTopEdge, skin::kRightEdge, skin::kBottomEdge})
    if (pieces[i]) Blit(dc, source.get(), *pieces[i], SRCCOPY);
  for (int i : {skin::kTopLeft, skin::kTopRight, skin::kBottomLeft, skin::kBottomRight})
    if (pieces[i]) Keyed(dc, source.get(), *pieces[i], key_);
  return true;
}

bool CSkinBitmap::Opaque9Grid(HDC dc, const RECT& dest, int gl, int gt, int gr, int gb, const RECT& area) const {
  if (!dc || IsEmpty()) return false;
  const skin::NineGridPieces pieces =
      skin::CutNineGrid({dest.left, dest.top, dest.right, dest.bottom}, {gl, gt, gr, gb},
                        {area.left, area.top, area.right, area.bottom}, {Width(), Height()});
  SourceDC source(dc, bitmap_.get());
  if (!source) return false;
  for (int i : {skin::kLeftEdge, skin::kTopEdge, skin::kRightEdge, skin::kBottomEdge, skin::kTopLeft,
                skin::kTopRight, skin::kBottomLeft, skin::kBottomRight, skin::kCentre})
    if (pieces[i]) Blit(dc, source.get(), *pieces[i], SRCCOPY);
  return true;
}

fw::UniqueRgn CSkinBitmap::RegionFromBitmap(COLORREF key) const {
  if (IsEmpty()) return {};
  int bpp = header_.bmBitsPixel;
  if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) bpp = 32;
  struct {
    BITMAPINFOHEADER header;
    DWORD colours[256];
  } info{};
  info.header = {sizeof(BITMAPINFOHEADER), Width(), -Height(), 1, static_cast<WORD>(bpp),
                 static_cast<DWORD>(bpp == 16 ? BI_BITFIELDS : BI_RGB)};
  if (bpp == 16) info.colours[0] = 0xF800, info.colours[1] = 0x07E0, info.colours[2] = 0x001F;
  const uint32_t stride = ((static_cast<uint32_t>(Width()) * static_cast<uint32_t>(bpp) + 31) / 32) * 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(stride) * static_cast<size_t>(Height()));
  fw::WindowDC screen(nullptr);
  if (::GetDIBits(screen.get(), bitmap_.get(), 0, static_cast<UINT>(Height()), pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != Height())
    return {};
  skin::PixelRows rows{pixels.data(), Width(), Height(), bpp, stride, false, pixels.size(), {}};
  if (bpp == 8) rows.palette = std::span<const uint32_t>(reinterpret_cast<const uint32_t*>(info.colours), 256);
  const std::vector<skin::PixelRect> runs = skin::RegionRuns(rows, key);
  if (runs.empty()) return {};
  std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(runs.size());
  header->rcBound = RECT{0, 0, Width(), Height()};
  auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < runs.size(); ++i) rects[i] = RECT{runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
  return fw::UniqueRgn(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                         reinterpret_cast<const RGNDATA*>(data.data())));
}
