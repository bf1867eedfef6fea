#include "skin/draw/PixelBuffer.h"

#include <algorithm>
#include <cstring>

#include "skin/draw/ImageLimits.h"

namespace skin {

std::optional<DibLayout> MakeDibLayout(int64_t width, int64_t height, int bits_per_pixel) {
  if (bits_per_pixel != 24 && bits_per_pixel != 32) return std::nullopt;
  if (width <= 0 || height <= 0 || !ImageSizeAllowed(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
    return std::nullopt;
  const uint64_t stride = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bits_per_pixel / 8) + 3) & ~uint64_t{3};
  const uint64_t size = stride * static_cast<uint64_t>(height);
  if (size > SIZE_MAX) return std::nullopt;
  return DibLayout{static_cast<int32_t>(width), static_cast<int32_t>(height), bits_per_pixel,
                   static_cast<uint32_t>(stride), static_cast<size_t>(size)};
}

uint8_t* PixelBuffer::PixelAddress(int32_t x, int32_t y) const {
  if (!bits || x < 0 || y < 0 || x >= layout.width || y >= layout.height) return nullptr;
  return bits + layout.size - (static_cast<size_t>(y) + 1) * layout.stride +
         static_cast<size_t>(x) * static_cast<size_t>(BytesPerPixel());
}

uint8_t* PixelWalker::Next() {
  if (y_ >= buffer_.Height()) return nullptr;
  uint8_t* p = buffer_.PixelAddress(x_, y_);
  if (!p) return nullptr;
  if (++x_ >= buffer_.Width()) x_ = 0, ++y_;
  return p;
}

namespace {

// The rectangle clipped to the buffer; false when it starts at a negative position or nothing is left.
bool ClipTo(const PixelBuffer& buffer, const PixelRect& rect, PixelRect& out) {
  if (rect.left < 0 || rect.top < 0) return false;
  out = PixelRect{rect.left, rect.top, std::min(rect.right, buffer.Width()), std::min(rect.bottom, buffer.Height())};
  return !out.IsEmpty();
}

bool Compatible(const PixelBuffer& a, const PixelBuffer& b) {
  return a.bits && b.bits && a.layout.bits_per_pixel == b.layout.bits_per_pixel &&
         (a.layout.bits_per_pixel == 24 || a.layout.bits_per_pixel == 32);
}

}  // namespace

bool TiledCopy(PixelBuffer& dest, const PixelRect& dest_rect, const PixelBuffer& source,
               const PixelRect& source_rect) {
  if (!Compatible(dest, source)) return false;
  PixelRect d, s;
  if (!ClipTo(dest, dest_rect, d) || !ClipTo(source, source_rect, s)) return false;
  const size_t bpp = static_cast<size_t>(dest.BytesPerPixel());
  for (int32_t y = d.top; y < d.bottom; ++y) {
    const int32_t sy = s.top + (y - d.top) % s.Height();
    uint8_t* out = dest.PixelAddress(d.left, y);
    const uint8_t* in = source.PixelAddress(s.left, sy);
    for (int32_t x = d.left; x < d.right;) {
      const int32_t run = std::min(s.Width(), d.right - x);
      std::memmove(out, in, static_cast<size_t>(run) * bpp);
      out += static_cast<size_t>(run) * bpp;
      x += run;
    }
  }
  return true;
}

size_t CopyChanged(PixelBuffer& dest, int32_t dest_x, int32_t dest_y, PixelSize size, const PixelBuffer& source,
                   int32_t source_x, int32_t source_y, uint8_t alpha) {
  if (!Compatible(dest, source) || dest_x < 0 || dest_y < 0 || source_x < 0 || source_y < 0) return 0;
  const int32_t w = std::min({size.width, dest.Width() - dest_x, source.Width() - source_x});
  const int32_t h = std::min({size.height, dest.Height() - dest_y, source.Height() - source_y});
  if (w <= 0 || h <= 0) return 0;
  const int bpp = dest.BytesPerPixel();
  size_t changed = 0;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* d = dest.PixelAddress(dest_x, dest_y + y);
    const uint8_t* s = source.PixelAddress(source_x, source_y + y);
    for (int32_t x = 0; x < w; ++x, d += bpp, s += bpp) {
      if (d[0] == s[0] && d[1] == s[1] && d[2] == s[2]) continue;
      for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(s[c] * alpha / 255);
      if (bpp == 4) d[3] = alpha;
      ++changed;
    }
  }
  return changed;
}

}  // namespace skin
