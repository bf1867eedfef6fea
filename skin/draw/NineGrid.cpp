#include "skin/draw/NineGrid.h"

#include <algorithm>

namespace skin {
namespace {

struct Rect64 {
  int64_t left, top, right, bottom;
};

// Cuts [d0, d1) to [b0, b1); the paired side [s0, s1) loses the same share. False when nothing is left.
bool CutPaired(int64_t& d0, int64_t& d1, int64_t& s0, int64_t& s1, int64_t b0, int64_t b1) {
  const int64_t dlen = d1 - d0, slen = s1 - s0;
  const int64_t cut_start = std::max<int64_t>(0, b0 - d0), cut_end = std::max<int64_t>(0, d1 - b1);
  if (dlen <= 0 || slen <= 0 || cut_start + cut_end >= dlen) return false;
  const int64_t new_s0 = s0 + cut_start * slen / dlen;
  const int64_t new_s1 = s1 - cut_end * slen / dlen;
  d0 += cut_start;
  d1 -= cut_end;
  s0 = new_s0;
  s1 = std::max(new_s1, new_s0 + 1);  // a thin remainder still shows its nearest pixel
  return true;
}

int32_t Narrow(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

std::optional<DrawPiece> ToPiece(const Rect64& source, const Rect64& dest) {
  return DrawPiece{PixelRect{Narrow(source.left), Narrow(source.top), Narrow(source.right), Narrow(source.bottom)},
                   PixelRect{Narrow(dest.left), Narrow(dest.top), Narrow(dest.right), Narrow(dest.bottom)}};
}

// Clamps the source to `area`, clips the destination to `bounds` cutting the source by the same share, and
// drops the piece when either side of either rectangle is 0 or less.
std::optional<DrawPiece> MakePiece(Rect64 source, Rect64 dest, const Rect64& area, const Rect64& bounds) {
  source.left = std::clamp(source.left, area.left, area.right);
  source.right = std::clamp(source.right, area.left, area.right);
  source.top = std::clamp(source.top, area.top, area.bottom);
  source.bottom = std::clamp(source.bottom, area.top, area.bottom);
  const int64_t sw = source.right - source.left, sh = source.bottom - source.top;
  const int64_t dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return std::nullopt;

  if (!CutPaired(dest.left, dest.right, source.left, source.right, bounds.left, bounds.right) ||
      !CutPaired(dest.top, dest.bottom, source.top, source.bottom, bounds.top, bounds.bottom))
    return std::nullopt;
  return ToPiece(source, dest);
}

Rect64 Wide(const PixelRect& r) { return Rect64{r.left, r.top, r.right, r.bottom}; }

Rect64 ClampArea(const PixelRect& area, PixelSize picture) {
  const int64_t w = std::max(picture.width, 0), h = std::max(picture.height, 0);
  return Rect64{std::clamp<int64_t>(area.left, 0, w), std::clamp<int64_t>(area.top, 0, h),
                std::clamp<int64_t>(area.right, 0, w), std::clamp<int64_t>(area.bottom, 0, h)};
}

}  // namespace

std::optional<DrawPiece> ClampPiece(const PixelRect& source, const PixelRect& dest, PixelSize picture) {
  const Rect64 area = ClampArea(PixelRect{0, 0, picture.width, picture.height}, picture);
  Rect64 s = Wide(source), d = Wide(dest);
  // The source is cut to the picture first (the destination loses the same share), so a part copy that
  // reaches past the picture draws what there is at its own scale.
  if (!CutPaired(s.left, s.right, d.left, d.right, area.left, area.right) ||
      !CutPaired(s.top, s.bottom, d.top, d.bottom, area.top, area.bottom))
    return std::nullopt;
  return ToPiece(s, d);
}

NineGridPieces CutNineGrid(const PixelRect& dest, const GridMargins& grid, const PixelRect& area,
                           PixelSize picture) {
  NineGridPieces pieces;
  const Rect64 a = ClampArea(area, picture);
  const Rect64 d = Wide(dest);
  if (a.right <= a.left || a.bottom <= a.top || d.right <= d.left || d.bottom <= d.top) return pieces;
  const int64_t gl = std::max(grid.left, 0), gt = std::max(grid.top, 0);
  const int64_t gr = std::max(grid.right, 0), gb = std::max(grid.bottom, 0);
  const int64_t sl = a.left, st = a.top, sr = a.right, sb = a.bottom;
  const int64_t L = d.left, T = d.top, R = d.right, B = d.bottom;
  pieces[kTopLeft] = MakePiece({sl, st, sl + gl, st + gt}, {L, T, L + gl, T + gt}, a, d);
  pieces[kTopRight] = MakePiece({sr - gr, st, sr, st + gt}, {R - gr, T, R, T + gt}, a, d);
  pieces[kBottomLeft] = MakePiece({sl, sb - gb, sl + gl, sb}, {L, B - gb, L + gl, B}, a, d);
  pieces[kBottomRight] = MakePiece({sr - gr, sb - gb, sr, sb}, {R - gr, B - gb, R, B}, a, d);
  pieces[kLeftEdge] = MakePiece({sl, st + gt, sl + gl, sb - gb}, {L, T + gt, L + gl, B - gb}, a, d);
  pieces[kTopEdge] = MakePiece({sl + gl, st, sr - gr, st + gt}, {L + gl, T, R - gr, T + gt}, a, d);
  pieces[kRightEdge] = MakePiece({sr - gr, st + gt, sr, sb - gb}, {R - gr, T + gt, R, B - gb}, a, d);
  pieces[kBottomEdge] = MakePiece({sl + gl, sb - gb, sr - gr, sb}, {L + gl, B - gb, R - gr, B}, a, d);
  pieces[kCentre] = MakePiece({sl + gl, st + gt, sr - gr, sb - gb}, {L + gl, T + gt, R - gr, B - gb}, a, d);
  return pieces;
}

ThreePartPieces CutThreePart(const PixelRect& dest, int32_t first_cap, int32_t second_cap, bool vertical,
                             PixelSize picture) {
  ThreePartPieces pieces;
  const Rect64 a = ClampArea(PixelRect{0, 0, picture.width, picture.height}, picture);
  const Rect64 d = Wide(dest);
  if (a.right <= 0 || a.bottom <= 0 || d.right <= d.left || d.bottom <= d.top) return pieces;
  const int64_t c1 = std::max(first_cap, 0), c2 = std::max(second_cap, 0);
  const int64_t W = a.right, H = a.bottom;
  const int64_t L = d.left, T = d.top, R = d.right, B = d.bottom;
  if (vertical) {
    const int64_t w = std::min(R - L, W);
    pieces.first_cap = MakePiece({0, 0, w, c1}, {L, T, L + w, T + c1}, a, d);
    pieces.middle = MakePiece({0, c1, w, H - c2}, {L, T + c1, L + w, B - c2}, a, d);
    pieces.second_cap = MakePiece({0, H - c2, w, H}, {L, B - c2, L + w, B}, a, d);
  } else {
    const int64_t h = std::min(B - T, H);
    pieces.first_cap = MakePiece({0, 0, c1, h}, {L, T, L + c1, T + h}, a, d);
    pieces.middle = MakePiece({c1, 0, c1 + 2, h}, {L + c1, T, R - c2, T + h}, a, d);
    pieces.second_cap = MakePiece({W - c2, 0, W, h}, {R - c2, T, R, T + h}, a, d);
  }
  return pieces;
}

ThreePartGrid ThreePartAsNineGrid(const PixelRect& dest, int32_t first_cap, int32_t second_cap, bool vertical,
                                  PixelSize picture) {
  if (vertical) {
    const int32_t w = std::min(dest.Width(), picture.width);
    return {PixelRect{dest.left, dest.top, dest.left + w, dest.bottom}, GridMargins{w / 2, first_cap, w / 2, second_cap}};
  }
  const int32_t h = std::min(dest.Height(), picture.height);
  return {PixelRect{dest.left, dest.top, dest.right, dest.top + h}, GridMargins{first_cap, h / 2, second_cap, h / 2}};
}

}  // namespace skin
