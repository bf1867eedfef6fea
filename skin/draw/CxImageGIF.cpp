// Still GIF: the first frame on its logical screen; undrawn pixels of a transparent GIF get alpha 0.
#include "skin/draw/CxImage.h"
#include "skin/draw/GifDecoder.h"

bool CxImageGIF::Decode(std::span<const uint8_t> bytes) {
  Clear();
  skin::GifDecoder gif;
  if (!gif.Open(bytes)) {
    SetError("GIF: not a GIF file or size out of range");
    return false;
  }
  if (gif.DecodeNextFrame() != skin::GifDecoder::FrameResult::kFrame) {
    SetError("GIF: no frame could be decoded");
    return false;
  }
  const bool alpha = gif.Transparent();
  if (!Create(gif.Width(), gif.Height(), alpha)) return false;
  const auto& palette = gif.Palette();
  const auto& canvas = gif.Canvas();
  const auto& mask = gif.Mask();
  for (uint32_t y = 0; y < gif.Height(); ++y) {
    uint8_t* dst = RowTop(y);
    const size_t row = static_cast<size_t>(y) * gif.Width();
    for (uint32_t x = 0; x < gif.Width(); ++x) {
      const uint8_t* c = &palette[canvas[row + x] * 4];
      dst[x * 3 + 0] = c[0];
      dst[x * 3 + 1] = c[1];
      dst[x * 3 + 2] = c[2];
    }
    if (alpha) {
      uint8_t* a = AlphaRowTop(y);
      for (uint32_t x = 0; x < gif.Width(); ++x) a[x] = mask[row + x] ? 255 : 0;
    }
  }
  return true;
}
