#pragma once
// Small pictures encoded in memory for the decoder tests: every format writes the same pattern so that a
// decoded pixel can be checked against Pattern().
#include <cstdint>
#include <functional>
#include <vector>

namespace skin_test {

using Bytes = std::vector<uint8_t>;

struct Rgba {
  uint8_t r, g, b, a;
};
// The pattern: red grows with x, green with y, blue fixed; alpha varies over the picture.
Rgba Pattern(uint32_t x, uint32_t y);
// A colour in 0x00BBGGRR form, as CxImage::GetPixelColor gives it.
inline uint32_t Bgr(const Rgba& c) { return c.r | (c.g << 8) | (static_cast<uint32_t>(c.b) << 16); }

enum class PngKind { kRgba, kRgb, kPaletteTrns, kGrey };
Bytes MakePng(uint32_t w, uint32_t h, PngKind kind);
Bytes MakeJpeg(uint32_t w, uint32_t h, bool progressive, bool grey = false);
// 8-bit BMPs use a 4-entry palette of the pattern's corners; `top_down` stores a negative height.
Bytes MakeBmp(uint32_t w, uint32_t h, int bpp, bool top_down = false);
// An icon with one bitmap entry: 32 bits with alpha, or 24 bits with an AND mask (left half transparent).
Bytes MakeIco(uint32_t w, uint32_t h, int bpp);
// An icon whose entry is a PNG stream.
Bytes MakePngIco(uint32_t w, uint32_t h);

// Pictures of any pixels: a 24-bit BMP (alpha ignored) and an RGBA PNG.
using PixelFn = std::function<Rgba(uint32_t x, uint32_t y)>;
Bytes MakeBmpOf(uint32_t w, uint32_t h, const PixelFn& pixel);
Bytes MakePngOf(uint32_t w, uint32_t h, const PixelFn& pixel);

struct GifFrame {
  uint32_t left, top, width, height;
  uint8_t index;              // every pixel of the frame has this palette index...
  int disposal = 0;
  int transparent = -1;       // transparent index in the graphic control extension, or -1
  bool interlaced = false;
  bool row_pattern = false;   // ...unless set: row y gets index y % 4 (shows interlace order errors)
};
// A GIF with a 4-colour global palette (black, red, green, blue) and background index 0.
Bytes MakeGif(uint32_t w, uint32_t h, const std::vector<GifFrame>& frames);

}  // namespace skin_test
