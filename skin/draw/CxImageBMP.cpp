// BMP and device-independent bitmap decoding (1, 4, 8, 16, 24 and 32 bits; uncompressed or bit fields).
#include <array>
#include <bit>
#include <cstring>

#include "skin/draw/ByteReader.h"
#include "skin/draw/CxImage.h"
#include "skin/draw/ImageLimits.h"

using skin::Le16;
using skin::Le32;
using skin::LeI32;

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  uint8_t Extract(uint32_t v) const {
    if (!mask) return 0;
    const uint32_t raw = (v & mask) >> shift;
    if (bits >= 8) return static_cast<uint8_t>(raw >> (bits - 8));
    const uint32_t max = (1u << bits) - 1;
    return static_cast<uint8_t>((raw * 255 + max / 2) / max);
  }
};

Channel MakeChannel(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (mask) {
    c.shift = std::countr_zero(mask);
    c.bits = std::popcount(mask);
  }
  return c;
}

bool ContiguousMask(uint32_t mask) {
  if (!mask) return true;
  const uint32_t m = mask >> std::countr_zero(mask);
  return (m & (m + 1)) == 0;
}

uint64_t RowBytes(uint64_t width, uint32_t bpp) { return ((width * bpp + 31) / 32) * 4; }

}  // namespace

bool CxImageBMP::Decode(std::span<const uint8_t> bytes) {
  Clear();
  if (bytes.size() < kFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M') {
    SetError("BMP: not a bitmap file");
    return false;
  }
  const uint64_t pixel_offset = Le32(bytes, 10);
  if (pixel_offset < kFileHeaderSize + 12 || pixel_offset >= bytes.size()) {
    SetError("BMP: pixel data offset outside the file");
    return false;
  }
  return DecodeDibAt(bytes.subspan(kFileHeaderSize), pixel_offset - kFileHeaderSize, false);
}

bool CxImageBMP::DecodeDib(std::span<const uint8_t> bytes, bool icon_mask) {
  Clear();
  return DecodeDibAt(bytes, 0, icon_mask);
}

bool CxImageBMP::DecodeDibAt(std::span<const uint8_t> dib, uint64_t pixel_offset, bool icon_mask) {
  if (dib.size() < 12) {
    SetError("BMP: truncated header");
    return false;
  }
  const uint32_t header_size = Le32(dib, 0);
  const bool core = header_size == 12;
  if (!core && (header_size < 40 || header_size > 124)) {
    SetError("BMP: unsupported info header");
    return false;
  }
  if (header_size > dib.size()) {
    SetError("BMP: truncated header");
    return false;
  }
  int64_t width, height;
  uint32_t planes, bpp, compression = kBiRgb, colors_used = 0;
  if (core) {
    width = Le16(dib, 4);
    height = Le16(dib, 6);
    planes = Le16(dib, 8);
    bpp = Le16(dib, 10);
  } else {
    width = LeI32(dib, 4);
    height = LeI32(dib, 8);
    planes = Le16(dib, 12);
    bpp = Le16(dib, 14);
    compression = Le32(dib, 16);
    colors_used = Le32(dib, 32);
  }
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (icon_mask) height /= 2;
  if (planes != 1 || !(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32)) {
    SetError("BMP: unsupported bit depth");
    return false;
  }
  if (!skin::ImageSizeAllowed(static_cast<uint64_t>(width < 0 ? 0 : width), static_cast<uint64_t>(height))) {
    SetError("BMP: picture size out of range");
    return false;
  }
  if (compression != kBiRgb && !((compression == kBiBitfields || compression == kBiAlphaBitfields) &&
                                 (bpp == 16 || bpp == 32))) {
    SetError("BMP: unsupported compression");
    return false;
  }

  // Bit-field masks sit inside a version 2+ header, or right after a 40-byte header.
  uint64_t pos = header_size;
  uint32_t masks[4] = {0x7C00, 0x03E0, 0x001F, 0};
  if (bpp == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF, masks[3] = 0xFF000000;
  if (compression != kBiRgb) {
    const uint32_t count = compression == kBiAlphaBitfields ? 4 : 3;
    uint64_t at = header_size >= 52 ? 40 : header_size;
    if (at + 4ull * count > dib.size()) {
      SetError("BMP: truncated bit fields");
      return false;
    }
    for (uint32_t i = 0; i < count; ++i) masks[i] = Le32(dib, static_cast<size_t>(at + 4 * i));
    if (count == 3) masks[3] = header_size >= 56 ? Le32(dib, 52) : 0;
    if (header_size == 40) pos += 4ull * count;
    for (uint32_t m : masks) {
      if (!ContiguousMask(m)) {
        SetError("BMP: bad bit fields");
        return false;
      }
    }
  }

  std::array<uint8_t, 256 * 3> palette{};
  if (bpp <= 8) {
    const uint32_t max_colors = 1u << bpp;
    const uint32_t colors = colors_used == 0 || colors_used > max_colors ? max_colors : colors_used;
    const uint32_t entry = core ? 3 : 4;
    if (pos + static_cast<uint64_t>(colors) * entry > dib.size()) {
      SetError("BMP: truncated colour table");
      return false;
    }
    for (uint32_t i = 0; i < colors; ++i) {
      const size_t at = static_cast<size_t>(pos + static_cast<uint64_t>(i) * entry);
      std::memcpy(&palette[i * 3], &dib[at], 3);
    }
    pos += static_cast<uint64_t>(colors) * entry;
  }
  if (pixel_offset == 0) pixel_offset = pos;

  const uint64_t row_bytes = RowBytes(static_cast<uint64_t>(width), bpp);
  const uint64_t data_bytes = row_bytes * static_cast<uint64_t>(height);
  if (pixel_offset > dib.size() || data_bytes > dib.size() - pixel_offset) {
    SetError("BMP: pixel data truncated");
    return false;
  }
  const uint32_t w = static_cast<uint32_t>(width);
  const uint32_t h = static_cast<uint32_t>(height);
  const bool has_alpha_field = bpp == 32 && masks[3] != 0;
  if (!Create(w, h, has_alpha_field || icon_mask)) return false;

  const Channel red = MakeChannel(masks[0]), green = MakeChannel(masks[1]), blue = MakeChannel(masks[2]),
                alpha = MakeChannel(masks[3]);
  bool any_alpha = false;
  for (uint32_t row = 0; row < h; ++row) {
    const uint8_t* src = dib.data() + pixel_offset + row * row_bytes;
    const uint32_t y_top = top_down ? row : h - 1 - row;
    uint8_t* dst = RowTop(y_top);
    uint8_t* adst = HasAlpha() ? AlphaRowTop(y_top) : nullptr;
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* px = dst + x * 3;
      if (bpp <= 8) {
        const uint32_t bit = x * bpp;
        const uint32_t index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        std::memcpy(px, &palette[index * 3], 3);
        if (adst) adst[x] = 255;
      } else if (bpp == 24) {
        std::memcpy(px, src + x * 3, 3);
        if (adst) adst[x] = 255;
      } else {
        const uint32_t v = bpp == 16 ? Le16({src, static_cast<size_t>(row_bytes)}, x * 2)
                                     : Le32({src, static_cast<size_t>(row_bytes)}, x * 4);
        px[0] = blue.Extract(v);
        px[1] = green.Extract(v);
        px[2] = red.Extract(v);
        if (adst) {
          adst[x] = has_alpha_field ? alpha.Extract(v) : 255;
          any_alpha |= adst[x] != 0;
        }
      }
    }
  }
  // 32-bit data whose alpha bytes are all zero carries no alpha at all.
  if (has_alpha_field && !any_alpha && HasAlpha()) {
    for (uint32_t y = 0; y < h; ++y) std::memset(AlphaRowTop(y), 255, w);
  }

  if (icon_mask) {
    const uint64_t mask_offset = pixel_offset + data_bytes;
    const uint64_t mask_row = RowBytes(w, 1);
    // Icons with real alpha ignore the mask; a missing mask means opaque.
    if (!(has_alpha_field && any_alpha) && mask_offset <= dib.size() && mask_row * h <= dib.size() - mask_offset) {
      for (uint32_t row = 0; row < h; ++row) {
        const uint8_t* src = dib.data() + mask_offset + row * mask_row;
        uint8_t* adst = AlphaRowTop(top_down ? row : h - 1 - row);
        for (uint32_t x = 0; x < w; ++x) adst[x] = (src[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
      }
    }
  }
  if (HasAlpha()) DropOpaqueAlpha();
  return true;
}
