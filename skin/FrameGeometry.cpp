#include "skin/FrameGeometry.h"

#include <algorithm>

namespace skin {
namespace {

int32_t NonNegative(int32_t v) { return std::max(v, 0); }

// Adds the unscaled copy of `source` to `dest` (same size), both cut to the window and the picture.
void AddCopy(std::vector<FrameTile>& tiles, PixelRect dest, PixelRect source, int32_t W, int32_t H, int32_t pw,
             int32_t ph) {
  const int32_t cut_left = std::max({0, -dest.left, -source.left});
  const int32_t cut_top = std::max({0, -dest.top, -source.top});
  const int32_t cut_right = std::max({0, dest.right - W, source.right - pw});
  const int32_t cut_bottom = std::max({0, dest.bottom - H, source.bottom - ph});
  dest = {dest.left + cut_left, dest.top + cut_top, dest.right - cut_right, dest.bottom - cut_bottom};
  source = {source.left + cut_left, source.top + cut_top, source.right - cut_right, source.bottom - cut_bottom};
  if (dest.IsEmpty() || source.IsEmpty()) return;
  tiles.push_back({dest, source});
}

// Repeats the picture band [s0, s1) over [d0, d1) along one axis; `place` turns an axis span into the tile.
template <typename Place>
void Repeat(int32_t d0, int32_t d1, int32_t s0, int32_t s1, Place place) {
  const int32_t length = std::max(s1 - s0, 1);
  for (int64_t pos = d0; pos < d1; pos += length) {
    const int32_t piece = static_cast<int32_t>(std::min<int64_t>(length, d1 - pos));
    place(static_cast<int32_t>(pos), s0, piece);
  }
}

}  // namespace

FrameKind ComputeFrameKind(const FrameStyles& s) {
  if (s.maximised_mdi_child) return kFrameNone;
  if (s.full_caption) return s.tool_window ? kFrameToolCaption : kFrameCaption;
  return s.any_border ? kFrameBorderOnly : kFrameNone;
}

Rect FramedClientRect(const Rect& window, const Quad& border, int32_t caption_height, int32_t menu_height) {
  const int64_t left = static_cast<int64_t>(window.left) + NonNegative(border[0]);
  const int64_t top = static_cast<int64_t>(window.top) + NonNegative(border[1]) + NonNegative(caption_height) +
                      NonNegative(menu_height);
  const int64_t right = std::max<int64_t>(left, static_cast<int64_t>(window.right) - NonNegative(border[2]));
  const int64_t bottom = std::max<int64_t>(top, static_cast<int64_t>(window.bottom) - NonNegative(border[3]));
  auto fit = [&](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, window.left, window.right)); };
  auto fit_y = [&](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, window.top, window.bottom)); };
  return {fit(left), fit_y(top), fit(right), fit_y(bottom)};
}

Rect LessScrollBars(const Rect& client, bool vertical, bool horizontal, bool left_scroll) {
  constexpr int32_t kBar = 16;
  Rect r = client;
  if (vertical) {
    if (left_scroll)
      r.left = std::min(r.right, r.left + kBar);
    else
      r.right = std::max(r.left, r.right - kBar);
  }
  if (horizontal) r.bottom = std::max(r.top, r.bottom - kBar);
  return r;
}

std::vector<FrameTile> FrameRenderTiles(int32_t W, int32_t H, int32_t pw, int32_t ph, const Quad& border,
                                        const Quad& offset, int32_t caption_height, const Pair& caption_offset) {
  std::vector<FrameTile> tiles;
  if (W <= 0 || H <= 0 || pw <= 0 || ph <= 0) return tiles;
  const int32_t bl = NonNegative(border[0]), bt = NonNegative(border[1]), br = NonNegative(border[2]),
                bb = NonNegative(border[3]);
  const int32_t ol = NonNegative(offset[0]), ot = NonNegative(offset[1]), orr = NonNegative(offset[2]),
                ob = NonNegative(offset[3]);
  auto copy = [&](PixelRect d, PixelRect s) { AddCopy(tiles, d, s, W, H, pw, ph); };

  // Left and right strips, tiled down the window.
  Repeat(ot, H - ob, ot, ph - ob, [&](int32_t y, int32_t sy, int32_t n) {
    copy({0, y, bl, y + n}, {0, sy, bl, sy + n});
    copy({W - br, y, W, y + n}, {pw - br, sy, pw, sy + n});
  });
  // Top and bottom strips, tiled across.
  Repeat(ol, W - orr, ol, pw - orr, [&](int32_t x, int32_t sx, int32_t n) {
    copy({x, 0, x + n, bt}, {sx, 0, sx + n, bt});
    copy({x, H - bb, x + n, H}, {sx, ph - bb, sx + n, ph});
  });
  // Corner blocks, unscaled, from the picture's corners.
  copy({0, 0, ol, ot}, {0, 0, ol, ot});
  copy({W - orr, 0, W, ot}, {pw - orr, 0, pw, ot});
  copy({0, H - ob, ol, H}, {0, ph - ob, ol, ph});
  copy({W - orr, H - ob, W, H}, {pw - orr, ph - ob, pw, ph});

  const int32_t caption = NonNegative(caption_height);
  if (caption > 0) {
    const int32_t cl = NonNegative(caption_offset[0]), cr = NonNegative(caption_offset[1]);
    const int32_t top = bt, bottom = bt + caption;
    copy({bl, top, bl + cl, bottom}, {bl, top, bl + cl, bottom});
    copy({W - br - cr, top, W - br, bottom}, {pw - br - cr, top, pw - br, bottom});
    PixelRect dest{bl + cl, top, W - br - cr, std::min(bottom, H)};
    PixelRect source{bl + cl, top, pw - br - cr, std::min(bottom, ph)};
    dest.left = std::max(dest.left, 0);
    dest.right = std::min(dest.right, W);
    source.left = std::max(source.left, 0);
    source.right = std::min(source.right, pw);
    if (!dest.IsEmpty() && !source.IsEmpty() && dest.top >= 0 && source.top >= 0) tiles.push_back({dest, source});
  }
  return tiles;
}

std::vector<PixelRect> RoundCornerCuts(int32_t W, int32_t H, int32_t pw, int32_t ph, const Quad& offset,
                                       uint32_t key, const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  std::vector<PixelRect> cuts;
  if (W <= 0 || H <= 0 || pw <= 0 || ph <= 0) return cuts;
  struct Corner {
    int32_t w, h;
    bool right, bottom;
  };
  const Corner corners[] = {{offset[0], offset[1], false, false},
                            {offset[2], offset[1], true, false},
                            {offset[0], offset[3], false, true},
                            {offset[2], offset[3], true, true}};
  for (const Corner& c : corners) {
    const int32_t w = std::min({NonNegative(c.w), pw, W});
    const int32_t h = std::min({NonNegative(c.h), ph, H});
    const int32_t px0 = c.right ? pw - w : 0, py0 = c.bottom ? ph - h : 0;
    const int32_t wx0 = c.right ? W - w : 0, wy0 = c.bottom ? H - h : 0;
    for (int32_t y = 0; y < h; ++y) {
      int32_t run = -1;
      for (int32_t x = 0; x <= w; ++x) {
        const bool keyed = x < w && pixel(px0 + x, py0 + y) == key;
        if (keyed && run < 0) run = x;
        if (!keyed && run >= 0) {
          cuts.push_back({wx0 + run, wy0 + y, wx0 + x, wy0 + y + 1});
          run = -1;
        }
      }
    }
  }
  return cuts;
}

}  // namespace skin
