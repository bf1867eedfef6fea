#pragma once
// Pixel arithmetic on 24- and 32-bit device-independent bitmaps held in memory: row layout (bottom-up, rows
// padded to 4 bytes), the size checks every buffer made from a picture goes through, tiled copies and the
// premultiplied copy of changed pixels used for layered windows. Platform-free; CHBitmap puts a DIB section
// behind it.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "skin/draw/PixelRect.h"

namespace skin {

struct DibLayout {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits_per_pixel = 0;
  uint32_t stride = 0;  // bytes per row, a multiple of 4
  size_t size = 0;      // stride x height
};
// The layout of a width x height bitmap of 24 or 32 bits per pixel, computed in 64 bits; none for another
// depth, a size that is not positive, or one over the picture caps.
std::optional<DibLayout> MakeDibLayout(int64_t width, int64_t height, int bits_per_pixel);

// A view of bottom-up pixel rows; does not own the bytes.
struct PixelBuffer {
  uint8_t* bits = nullptr;
  DibLayout layout;

  int32_t Width() const { return layout.width; }
  int32_t Height() const { return layout.height; }
  int BytesPerPixel() const { return layout.bits_per_pixel / 8; }
  // Pixel (x, y), y counted from the top: row y starts at bits + size - (y + 1) x stride. None outside.
  uint8_t* PixelAddress(int32_t x, int32_t y) const;
};

// Walks the pixels of a buffer row after row from the top; Next returns none after the last.
class PixelWalker {
 public:
  explicit PixelWalker(const PixelBuffer& buffer) : buffer_(buffer) {}
  uint8_t* Next();

 private:
  PixelBuffer buffer_;
  int32_t x_ = 0, y_ = 0;
};

// Copies the source rectangle into the destination rectangle, repeating it across when the destination is
// wider or taller, the last copy cut to fit. Both rectangles are clipped to their buffers; negative positions
// and different pixel depths are refused (false).
bool TiledCopy(PixelBuffer& dest, const PixelRect& dest_rect, const PixelBuffer& source,
               const PixelRect& source_rect);

// For each pixel of the (clipped) rectangle whose source colour differs from the destination colour: the
// destination becomes the source colour scaled by alpha / 255, with alpha `alpha` (32-bit buffers), the
// premultiplied form a layered window takes. Returns the number of pixels changed; refuses negative positions
// and different depths (0).
size_t CopyChanged(PixelBuffer& dest, int32_t dest_x, int32_t dest_y, PixelSize size, const PixelBuffer& source,
                   int32_t source_x, int32_t source_y, uint8_t alpha);

}  // namespace skin
