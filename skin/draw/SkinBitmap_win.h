#pragma once
// The bitmap behind a still BMP picture: a screen-compatible bitmap, its header, and the block copies the
// engine draws it with (opaque, stretched in halftone mode, colour-keyed, frames of a strip, nine-part grids)
// plus the region of its non-key pixels. Each operation makes its memory context within the call.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "skin/draw/CxImage.h"
#include "skin/draw/PixelRect.h"

class CSkinBitmap {
 public:
  static constexpr COLORREF kDefaultKey = RGB(255, 0, 255);

  explicit CSkinBitmap(COLORREF key = kDefaultKey) : key_(key) {}
  virtual ~CSkinBitmap() = default;
  CSkinBitmap(const CSkinBitmap&) = delete;
  CSkinBitmap& operator=(const CSkinBitmap&) = delete;

  // Takes ownership of `bitmap` (the previous one is deleted) and refreshes the header. False for a handle
  // that is no bitmap (the bitmap is then empty).
  bool SetBitmap(fw::UniqueBitmap bitmap);
  // Builds the bitmap from a complete BMP file: the bytes are checked by the BMP decoder (sizes, offsets and
  // palette against the buffer and the picture caps) and kept as the private copy. False (bitmap empty) when
  // the bytes are no valid BMP.
  bool SetFromPackedBmp(std::span<const uint8_t> bytes);
  // Builds a screen-compatible bitmap of decoded pixels. False (bitmap empty) for an empty picture.
  bool SetFromPicture(const CxImage& picture);
  void Reset();

  HBITMAP GetHandle() const { return bitmap_.get(); }
  bool IsEmpty() const { return !bitmap_; }
  const BITMAP& Header() const { return header_; }
  int Width() const { return header_.bmWidth; }
  int Height() const { return header_.bmHeight; }
  COLORREF KeyColor() const { return key_; }
  void SetKeyColor(COLORREF key) { key_ = key; }

  // Opaque (or any raster operation) copy of (sx, sy, width, height) to (x, y).
  bool Copy(HDC dc, int x, int y, int width, int height, int sx, int sy, DWORD rop = SRCCOPY) const;
  // Stretched copy in halftone mode; the context's previous stretch mode is restored.
  bool StretchCopy(HDC dc, const RECT& dest, const RECT& source, DWORD rop = SRCCOPY) const;
  // Colour-keyed copy of (sx, sy, width, height) to (x, y).
  bool KeyedCopy(HDC dc, int x, int y, int sx, int sy, int width, int height) const;
  // Keyed copy of frame `index` of a horizontal strip of `count` equal frames.
  bool DrawFrame(HDC dc, int x, int y, int index, int count) const;
  // Nine-part grid into (x, y, right, bottom): centre and edges stretched opaquely (in the context's current
  // stretch mode), then the corners keyed.
  bool Keyed9Grid(HDC dc, int x, int y, int right, int bottom, int gl, int gt, int gr, int gb) const;
  // Nine-part grid of the source area `area` into `dest`, all opaque: edges stretched, corners unstretched,
  // then the centre stretched.
  bool Opaque9Grid(HDC dc, const RECT& dest, int gl, int gt, int gr, int gb, const RECT& area) const;
  // The region of the pixels that differ from `key` (8, 16, 24 and 32 bits per pixel); empty when the bitmap
  // is empty or has no such pixel.
  fw::UniqueRgn RegionFromBitmap(COLORREF key) const;

 private:
  fw::UniqueBitmap bitmap_;
  std::vector<uint8_t> bytes_;
  BITMAP header_{};
  COLORREF key_;
  std::wstring name_;
  std::wstring path_;
};
