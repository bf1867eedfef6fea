// One decoder per build (FUZZ_PICTURE_KIND); GIFs also run through the frame machine and the player's steps.
#include <cstddef>
#include <cstdint>

#include "skin/draw/CxImage.h"
#include "skin/draw/GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CxImage img(data, size, FUZZ_PICTURE_KIND);
  if (img.IsValid()) {
    // Touch every pixel and alpha byte so that a wrong size shows up under the sanitizers.
    volatile uint32_t sum = 0;
    for (uint32_t y = 0; y < img.GetHeight(); y += 7)
      for (uint32_t x = 0; x < img.GetWidth(); x += 7) sum = sum + img.GetPixelColor(x, y) + img.GetPixelAlpha(x, y);
    CxImage part;
    part.Copy(img);
    part.Crop({1, 1, static_cast<int32_t>(img.GetWidth()) - 1, static_cast<int32_t>(img.GetHeight()) - 1});
  }
  if (FUZZ_PICTURE_KIND == CXIMAGE_FORMAT_GIF) {
    skin::GifAnimation anim;
    if (anim.Load({data, size})) {
      for (int i = 0; i < 16 && !anim.Stopped(); ++i) anim.Step();
    }
  }
  return 0;
}
