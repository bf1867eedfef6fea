// PNG decoding through libpng's simplified reader, which keeps its own error recovery inside libpng.
#include <png.h>

#include <cstring>
#include <memory>

#include "skin/draw/CxImage.h"
#include "skin/draw/ImageLimits.h"

namespace {

struct ImageGuard {
  png_image* image;
  ~ImageGuard() { png_image_free(image); }
};

}  // namespace

bool CxImagePNG::Decode(std::span<const uint8_t> bytes) {
  Clear();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ImageGuard guard{&image};
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
    SetError("PNG: not a PNG file");
    return false;
  }
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    SetError(std::string("PNG: ") + image.message);
    return false;
  }
  if (!skin::ImageSizeAllowed(image.width, image.height)) {
    SetError("PNG: picture size out of range");
    return false;
  }
  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  if (!Create(image.width, image.height, alpha)) return false;

  if (!alpha) {
    // Straight into the bottom-up rows: a negative stride makes libpng start at the last row.
    image.format = PNG_FORMAT_BGR;
    const png_int_32 stride = -static_cast<png_int_32>(GetEffWidth());
    if (!png_image_finish_read(&image, nullptr, GetBits(), stride, nullptr)) {
      Clear();
      SetError(std::string("PNG: ") + image.message);
      return false;
    }
    return true;
  }

  image.format = PNG_FORMAT_BGRA;
  const size_t w = image.width, h = image.height;
  std::unique_ptr<uint8_t[]> rgba(new (std::nothrow) uint8_t[w * h * 4]);
  if (!rgba) {
    Clear();
    SetError("PNG: out of memory");
    return false;
  }
  if (!png_image_finish_read(&image, nullptr, rgba.get(), 0, nullptr)) {
    Clear();
    SetError(std::string("PNG: ") + image.message);
    return false;
  }
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* src = rgba.get() + y * w * 4;
    uint8_t* dst = RowTop(static_cast<uint32_t>(y));
    uint8_t* a = AlphaRowTop(static_cast<uint32_t>(y));
    for (size_t x = 0; x < w; ++x) {
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
      a[x] = src[3];
      dst += 3;
      src += 4;
    }
  }
  return true;
}
