#include "skin/ImageFixtures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace skin_test {
namespace {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace

Rgba Pattern(uint32_t x, uint32_t y) {
  return Rgba{static_cast<uint8_t>(x * 16 + 8), static_cast<uint8_t>(y * 16 + 8), 128,
              static_cast<uint8_t>((x * 37 + y * 11) & 0xFF)};
}

Bytes MakePng(uint32_t w, uint32_t h, PngKind kind) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> colormap;
  switch (kind) {
    case PngKind::kRgba:
      image.format = PNG_FORMAT_RGBA;
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
          const Rgba c = Pattern(x, y);
          pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
        }
      break;
    case PngKind::kRgb:
      image.format = PNG_FORMAT_RGB;
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
          const Rgba c = Pattern(x, y);
          pixels.insert(pixels.end(), {c.r, c.g, c.b});
        }
      break;
    case PngKind::kPaletteTrns:
      // Index (x + y) % 4; entry 0 fully transparent, entry 3 half transparent.
      image.format = PNG_FORMAT_RGBA | PNG_FORMAT_FLAG_COLORMAP;
      image.colormap_entries = 4;
      colormap = {0, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 128};
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) pixels.push_back(static_cast<uint8_t>((x + y) % 4));
      break;
    case PngKind::kGrey:
      image.format = PNG_FORMAT_GRAY;
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) pixels.push_back(Pattern(x, y).r);
      break;
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0,
                                       colormap.empty() ? nullptr : colormap.data()))
    return {};
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0,
                                 colormap.empty() ? nullptr : colormap.data()))
    return {};
  out.resize(size);
  return out;
}

Bytes MakeJpeg(uint32_t w, uint32_t h, bool progressive, bool grey) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* mem = nullptr;
  unsigned long mem_size = 0;
  jpeg_mem_dest(&cinfo, &mem, &mem_size);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(w * 3);
  while (cinfo.next_scanline < h) {
    for (uint32_t x = 0; x < w; ++x) {
      const Rgba c = Pattern(x, cinfo.next_scanline);
      if (grey) {
        row[x] = c.r;
      } else {
        row[x * 3] = c.r, row[x * 3 + 1] = c.g, row[x * 3 + 2] = c.b;
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes out(mem, mem + mem_size);
  jpeg_destroy_compress(&cinfo);
  std::free(mem);
  return out;
}

namespace {

// Info header, colour table and pixel rows (bottom-up unless top_down) without the file header.
Bytes MakeDib(uint32_t w, uint32_t h, int bpp, bool top_down, bool icon) {
  Bytes b;
  Put32(b, 40);
  Put32(b, w);
  const int32_t stored_h = static_cast<int32_t>(icon ? h * 2 : h) * (top_down ? -1 : 1);
  Put32(b, static_cast<uint32_t>(stored_h));
  Put16(b, 1);
  Put16(b, bpp);
  Put32(b, 0);  // BI_RGB
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, bpp == 8 ? 4 : 0);
  Put32(b, 0);
  const Rgba corners[4] = {Pattern(0, 0), Pattern(w - 1, 0), Pattern(0, h - 1), Pattern(w - 1, h - 1)};
  if (bpp == 8)
    for (const Rgba& c : corners) b.insert(b.end(), {c.b, c.g, c.r, 0});
  const uint32_t stride = ((w * bpp + 31) / 32) * 4;
  for (uint32_t row = 0; row < h; ++row) {
    const uint32_t y = top_down ? row : h - 1 - row;
    Bytes line;
    for (uint32_t x = 0; x < w; ++x) {
      const Rgba c = Pattern(x, y);
      if (bpp == 8) line.push_back(static_cast<uint8_t>((x % 2) + 2 * (y % 2)));
      if (bpp == 24) line.insert(line.end(), {c.b, c.g, c.r});
      if (bpp == 32) line.insert(line.end(), {c.b, c.g, c.r, c.a});
    }
    line.resize(stride, 0);
    b.insert(b.end(), line.begin(), line.end());
  }
  if (icon) {
    const uint32_t mask_stride = ((w + 31) / 32) * 4;
    for (uint32_t row = 0; row < h; ++row) {
      Bytes line(mask_stride, 0);
      for (uint32_t x = 0; x < w / 2; ++x) line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      b.insert(b.end(), line.begin(), line.end());
    }
  }
  return b;
}

Bytes IcoWrap(uint32_t w, uint32_t h, int bpp, const Bytes& entry) {
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, 1);
  b.push_back(static_cast<uint8_t>(w));
  b.push_back(static_cast<uint8_t>(h));
  b.push_back(0);
  b.push_back(0);
  Put16(b, 1);
  Put16(b, bpp);
  Put32(b, static_cast<uint32_t>(entry.size()));
  Put32(b, 22);
  b.insert(b.end(), entry.begin(), entry.end());
  return b;
}

}  // namespace

Bytes MakeBmp(uint32_t w, uint32_t h, int bpp, bool top_down) {
  const Bytes dib = MakeDib(w, h, bpp, top_down, false);
  Bytes b = {'B', 'M'};
  Put32(b, static_cast<uint32_t>(14 + dib.size()));
  Put32(b, 0);
  Put32(b, 14 + 40 + (bpp == 8 ? 16 : 0));
  b.insert(b.end(), dib.begin(), dib.end());
  return b;
}

Bytes MakeBmpOf(uint32_t w, uint32_t h, const PixelFn& pixel) {
  const uint32_t stride = (w * 3 + 3) & ~3u;
  Bytes b = {'B', 'M'};
  Put32(b, 14 + 40 + stride * h);
  Put32(b, 0);
  Put32(b, 14 + 40);
  Put32(b, 40);
  Put32(b, w);
  Put32(b, h);
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  for (uint32_t row = 0; row < h; ++row) {
    Bytes line;
    for (uint32_t x = 0; x < w; ++x) {
      const Rgba c = pixel(x, h - 1 - row);
      line.insert(line.end(), {c.b, c.g, c.r});
    }
    line.resize(stride, 0);
    b.insert(b.end(), line.begin(), line.end());
  }
  return b;
}

Bytes MakePngOf(uint32_t w, uint32_t h, const PixelFn& pixel) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels;
  pixels.reserve(static_cast<size_t>(w) * h * 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const Rgba c = pixel(x, y);
      pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
    }
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr)) return {};
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

Bytes MakeIco(uint32_t w, uint32_t h, int bpp) { return IcoWrap(w, h, bpp, MakeDib(w, h, bpp, false, true)); }

Bytes MakePngIco(uint32_t w, uint32_t h) { return IcoWrap(w, h, 32, MakePng(w, h, PngKind::kRgba)); }

namespace {

// LZW data that never grows the code table past 9-bit codes: a clear code before every 200 literals.
void PutLzw(Bytes& out, const std::vector<uint8_t>& indices) {
  const int min_size = 8;
  const uint32_t clear = 256, end = 257;
  Bytes data;
  uint32_t acc = 0;
  int bits = 0;
  auto emit = [&](uint32_t code) {
    acc |= code << bits;
    bits += 9;
    while (bits >= 8) {
      data.push_back(acc & 0xFF);
      acc >>= 8;
      bits -= 8;
    }
  };
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % 200 == 0) emit(clear);
    emit(indices[i]);
  }
  emit(end);
  if (bits) data.push_back(acc & 0xFF);
  out.push_back(min_size);
  for (size_t i = 0; i < data.size(); i += 255) {
    const size_t n = std::min<size_t>(255, data.size() - i);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), data.begin() + i, data.begin() + i + n);
  }
  out.push_back(0);
}

}  // namespace

Bytes MakeGif(uint32_t w, uint32_t h, const std::vector<GifFrame>& frames) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, w);
  Put16(b, h);
  b.push_back(0x80 | 0x01);  // global table of 4 entries
  b.push_back(0);
  b.push_back(0);
  b.insert(b.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
  for (const GifFrame& f : frames) {
    b.insert(b.end(), {0x21, 0xF9, 4});
    b.push_back(static_cast<uint8_t>((f.disposal << 2) | (f.transparent >= 0 ? 1 : 0)));
    Put16(b, 10);
    b.push_back(static_cast<uint8_t>(f.transparent >= 0 ? f.transparent : 0));
    b.push_back(0);
    b.push_back(0x2C);
    Put16(b, f.left);
    Put16(b, f.top);
    Put16(b, f.width);
    Put16(b, f.height);
    b.push_back(f.interlaced ? 0x40 : 0);
    // Rows in stored order: with interlacing, passes 0, 4, 2, 1.
    std::vector<uint32_t> order;
    if (f.interlaced) {
      const uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
      for (int p = 0; p < 4; ++p)
        for (uint32_t y = start[p]; y < f.height; y += step[p]) order.push_back(y);
    } else {
      for (uint32_t y = 0; y < f.height; ++y) order.push_back(y);
    }
    std::vector<uint8_t> indices;
    for (uint32_t y : order)
      for (uint32_t x = 0; x < f.width; ++x) indices.push_back(f.row_pattern ? y % 4 : f.index);
    PutLzw(b, indices);
  }
  b.push_back(0x3B);
  return b;
}

}  // namespace skin_test
