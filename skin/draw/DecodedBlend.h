#pragma once
// Blending a decoded picture into a pixel buffer read from the destination: each destination pixel takes the
// nearest source pixel of the source rectangle (scaled by source size / destination size) with its alpha a;
// pixels of the transparent colour and pixels with a = 0 are skipped, a = 255 copies the colour, otherwise each
// channel becomes (source x a + destination x (255 - a)) / 256. Platform-free.
#include <cstddef>
#include <cstdint>

#include "skin/draw/CxImage.h"
#include "skin/draw/PixelRect.h"

namespace skin {

// A 24- or 32-bit buffer holding the destination pixels of `box`: `bits` is the box's top-left pixel and
// `stride` the step from one row down to the next (negative for bottom-up rows).
struct BlendTarget {
  uint8_t* bits = nullptr;
  ptrdiff_t stride = 0;
  int bytes_per_pixel = 3;
  PixelRect box;  // destination coordinates of the buffer's first pixel and its extent
};

// Blends the part `source` (picture coordinates, top-down, clamped to the picture) of `picture` stretched
// over `dest` (destination coordinates) into the target, only where `dest` meets the target's box.
void BlendDecoded(const CxImage& picture, const PixelRect& source, const PixelRect& dest, BlendTarget& target);

}  // namespace skin
