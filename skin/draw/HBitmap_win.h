#pragma once
// A 24- or 32-bit DIB section for pixel work (layered frames, tiled backgrounds). Rows are bottom-up; the
// arithmetic is that of PixelBuffer.
#include <windows.h>

#include "framework/Handles.h"
#include "skin/draw/PixelBuffer.h"

class CHBitmap {
 public:
  CHBitmap() = default;
  virtual ~CHBitmap() = default;
  CHBitmap(const CHBitmap&) = delete;
  CHBitmap& operator=(const CHBitmap&) = delete;

  // False (and empty) unless `bits_per_pixel` is 24 or 32 and both sizes are positive and within the picture
  // caps. A new section replaces the old one; pixels start at 0.
  bool Create(int width, int height, int bits_per_pixel);
  void Reset();

  HBITMAP GetHandle() const { return section_.get(); }
  int Width() const { return buffer_.layout.width; }
  int Height() const { return buffer_.layout.height; }
  uint32_t Stride() const { return buffer_.layout.stride; }
  size_t Size() const { return buffer_.layout.size; }
  const BITMAPINFOHEADER& Info() const { return info_; }
  uint8_t* Bits() const { return buffer_.bits; }
  const skin::PixelBuffer& Buffer() const { return buffer_; }

  // Pixel (x, y), y from the top; none outside or when empty.
  uint8_t* PixelAddress(int x, int y) const { return buffer_.PixelAddress(x, y); }
  // Walks the pixels row after row from the top; none after the last. Restart with ResetWalk.
  uint8_t* NextPixel() { return walker_.Next(); }
  void ResetWalk() { walker_ = skin::PixelWalker(buffer_); }

  bool TiledCopy(const RECT& dest, const CHBitmap& source, const RECT& source_rect);
  size_t CopyChanged(int dest_x, int dest_y, int width, int height, const CHBitmap& source, int source_x,
                     int source_y, BYTE alpha);

 private:
  fw::UniqueBitmap section_;
  BITMAPINFOHEADER info_{};
  skin::PixelBuffer buffer_;
  skin::PixelWalker walker_{skin::PixelBuffer{}};
};
