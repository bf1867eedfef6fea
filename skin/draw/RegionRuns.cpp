#include "skin/draw/RegionRuns.h"

namespace skin {
namespace {

// The pixel at `p` in the form the key is compared in: 5-6-5 for 16 bits, 0x00BBGGRR otherwise.
uint32_t ReadPixel(const uint8_t* p, int bpp, std::span<const uint32_t> palette) {
  switch (bpp) {
    case 8: {
      if (*p >= palette.size()) return 0xFFFFFFFF;  // matches no key
      const uint32_t q = palette[*p];                // 0x00RRGGBB
      return ((q >> 16) & 0xFF) | (q & 0xFF00) | ((q & 0xFF) << 16);
    }
    case 16: return static_cast<uint32_t>(p[0] | (p[1] << 8));
    default: return static_cast<uint32_t>(p[2] | (p[1] << 8) | (p[0] << 16));
  }
}

uint32_t KeyInFormat(uint32_t key, int bpp) {
  if (bpp != 16) return key & 0xFFFFFF;
  const uint32_t r = key & 0xFF, g = (key >> 8) & 0xFF, b = (key >> 16) & 0xFF;
  return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}

}  // namespace

std::vector<PixelRect> RegionRuns(const PixelRows& rows, uint32_t key) {
  std::vector<PixelRect> runs;
  const int bpp = rows.bits_per_pixel;
  if (!rows.bits || rows.width <= 0 || rows.height <= 0 || (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
    return runs;
  const uint64_t row_bytes = (static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(bpp) + 7) / 8;
  if (rows.stride < row_bytes || static_cast<uint64_t>(rows.stride) * static_cast<uint64_t>(rows.height) > rows.size)
    return runs;
  const uint32_t k = KeyInFormat(key, bpp);
  const size_t step = static_cast<size_t>(bpp / 8);
  for (int32_t y = 0; y < rows.height; ++y) {
    const size_t row = rows.bottom_up ? static_cast<size_t>(rows.height - 1 - y) : static_cast<size_t>(y);
    const uint8_t* p = rows.bits + row * rows.stride;
    int32_t start = -1;
    for (int32_t x = 0; x <= rows.width; ++x) {
      const bool shown = x < rows.width && ReadPixel(p + static_cast<size_t>(x) * step, bpp, rows.palette) != k;
      if (shown && start < 0) start = x;
      if (!shown && start >= 0) {
        if (runs.size() == runs.capacity()) runs.reserve(runs.size() + kRegionBlock);
        runs.push_back(PixelRect{start, y, x, y + 1});
        start = -1;
      }
    }
  }
  return runs;
}

}  // namespace skin
