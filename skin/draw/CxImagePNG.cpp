// PNG decoding through libpng's simplified reader, which keeps its own error recovery inside libpng.
#include <png.h>

#include <cstring>
#include <memory>
#include <new>

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
  if (!alpha) {
    if (!Create(image.width, image.height, false)) return false;
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

  // libpng writes BGRA rows bottom-up into one buffer; each row is then packed in place to BGR (the packed
  // row never reaches past the start of the next unpacked one) while its alpha goes to the alpha channel.
  image.format = PNG_FORMAT_BGRA;
  const size_t w = image.width, h = image.height;
  const size_t stride = StrideFor(image.width);
  CxBuffer pixels, alpha_bytes;
  try {
    pixels.resize(w * h * 4);
    alpha_bytes.resize(w * h);
  } catch (const std::bad_alloc&) {
    Clear();
    SetError("PNG: out of memory");
    return false;
  }
  if (!png_image_finish_read(&image, nullptr, pixels.data(), -static_cast<png_int_32>(w * 4), nullptr)) {
    Clear();
    SetError(std::string("PNG: ") + image.message);
    return false;
  }
  uint8_t* base = pixels.data();
  for (size_t row = 0; row < h; ++row) {
    const uint8_t* src = base + row * w * 4;
    uint8_t* dst = base + row * stride;
    uint8_t* a = alpha_bytes.data() + row * w;
    for (size_t x = 0; x < w; ++x, src += 4, dst += 3) {
      const uint8_t b = src[0], g = src[1], r = src[2];
      a[x] = src[3];
      dst[0] = b;
      dst[1] = g;
      dst[2] = r;
    }
    for (size_t pad = w * 3; pad < stride; ++pad) base[row * stride + pad] = 0;
  }
  Adopt(image.width, image.height, std::move(pixels), std::move(alpha_bytes));
  return true;
}
