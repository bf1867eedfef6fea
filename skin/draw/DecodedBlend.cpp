#include "skin/draw/DecodedBlend.h"

#include <algorithm>
#include <vector>

namespace skin {

void BlendDecoded(const CxImage& picture, const PixelRect& source, const PixelRect& dest, BlendTarget& target) {
  const int64_t pw = picture.GetWidth(), ph = picture.GetHeight();
  const uint8_t* bits = picture.GetBits();
  if (!bits || !target.bits || (target.bytes_per_pixel != 3 && target.bytes_per_pixel != 4)) return;
  const int64_t sl = std::clamp<int64_t>(source.left, 0, pw), sr = std::clamp<int64_t>(source.right, 0, pw);
  const int64_t st = std::clamp<int64_t>(source.top, 0, ph), sb = std::clamp<int64_t>(source.bottom, 0, ph);
  const int64_t sw = sr - sl, sh = sb - st;
  const int64_t dw = static_cast<int64_t>(dest.right) - dest.left, dh = static_cast<int64_t>(dest.bottom) - dest.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const int64_t x0 = std::max<int64_t>(dest.left, target.box.left), x1 = std::min<int64_t>(dest.right, target.box.right);
  const int64_t y0 = std::max<int64_t>(dest.top, target.box.top), y1 = std::min<int64_t>(dest.bottom, target.box.bottom);
  if (x0 >= x1 || y0 >= y1) return;

  const uint32_t stride = picture.GetEffWidth();
  const uint8_t* alpha = picture.GetAlphaBits();
  const int64_t trans = picture.GetTransColor();
  const uint8_t tr = static_cast<uint8_t>(trans & 0xFF), tg = static_cast<uint8_t>((trans >> 8) & 0xFF),
                tb = static_cast<uint8_t>((trans >> 16) & 0xFF);
  // Source column of every destination column, computed once.
  std::vector<uint32_t> columns(static_cast<size_t>(x1 - x0));
  for (int64_t x = x0; x < x1; ++x)
    columns[static_cast<size_t>(x - x0)] = static_cast<uint32_t>(sl + (x - dest.left) * sw / dw);

  const int bpp = target.bytes_per_pixel;
  for (int64_t y = y0; y < y1; ++y) {
    const int64_t sy = st + (y - dest.top) * sh / dh;  // top-down
    const size_t row = static_cast<size_t>(ph - 1 - sy);
    const uint8_t* src_row = bits + row * stride;
    const uint8_t* alpha_row = alpha ? alpha + row * static_cast<size_t>(pw) : nullptr;
    uint8_t* d = target.bits + static_cast<ptrdiff_t>(y - target.box.top) * target.stride +
                 static_cast<ptrdiff_t>(x0 - target.box.left) * bpp;
    for (size_t i = 0; i < columns.size(); ++i, d += bpp) {
      const uint32_t sx = columns[i];
      const uint8_t* s = src_row + static_cast<size_t>(sx) * 3;
      if (trans >= 0 && s[0] == tb && s[1] == tg && s[2] == tr) continue;
      const unsigned a = alpha_row ? alpha_row[sx] : 255;
      if (a == 0) continue;
      if (a == 255) {
        d[0] = s[0], d[1] = s[1], d[2] = s[2];
        continue;
      }
      for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * a + d[c] * (255 - a)) / 256);
    }
  }
}

}  // namespace skin
