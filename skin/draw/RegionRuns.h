#pragma once
// The shape of a colour-keyed bitmap as rectangles: in each row, top to bottom, every maximal run of pixels
// that differ from the key becomes a rectangle one pixel high. Platform-free; RegionFromBitmap turns the runs
// into a region.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "skin/draw/PixelRect.h"

namespace skin {

// The rectangle list grows in blocks of this many rectangles.
inline constexpr size_t kRegionBlock = 40;

struct PixelRows {
  const uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int bits_per_pixel = 0;  // 8 (with `palette`), 16 (5-6-5), 24 or 32
  uint32_t stride = 0;
  bool bottom_up = true;
  size_t size = 0;  // bytes at `bits`; rows beyond it are not read
  std::span<const uint32_t> palette;  // 0x00RRGGBB entries, as RGBQUAD reads, for 8 bits per pixel
};

// `key` is 0x00BBGGRR. An unsupported depth or a buffer too short for its rows gives no runs.
std::vector<PixelRect> RegionRuns(const PixelRows& rows, uint32_t key);

}  // namespace skin
