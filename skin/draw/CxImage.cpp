#include "skin/draw/CxImage.h"

#include <algorithm>
#include <cstring>

#include "skin/draw/ImageLimits.h"

CxImage::CxImage(const uint8_t* data, size_t size, int kind) : kind_(kind) {
  // Bytes in memory are decoded where they lie; only streams are read into a buffer first.
  Decode(std::span<const uint8_t>(data, data ? size : 0), kind);
}

bool CxImage::Load(const std::wstring& path, int kind) {
  if (kind < CXIMAGE_FORMAT_UNKNOWN || kind > CXIMAGE_FORMAT_ICO) {
    Clear();
    error_ = "Decode: Unknown or wrong format";
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, skin::kMaxImageFileBytes)) {
    Clear();
    error_ = "file not found or too large";
    return false;
  }
  if (Decode(bytes, kind)) return true;
  if (kind == CXIMAGE_FORMAT_UNKNOWN) return false;
  const std::string first = error_;
  if (Decode(bytes, CXIMAGE_FORMAT_UNKNOWN)) return true;
  error_ = first;
  return false;
}

bool CxImage::Decode(CxFile& stream, int kind) {
  std::vector<uint8_t> bytes;
  if (!stream.ReadRest(bytes, skin::kMaxImageFileBytes)) {
    Clear();
    error_ = "stream unreadable or too large";
    return false;
  }
  return Decode(bytes, kind);
}

namespace {

template <typename Decoder>
bool TryDecoder(CxImage& self, std::span<const uint8_t> bytes) {
  Decoder d;
  const bool ok = d.Decode(bytes);
  self = std::move(static_cast<CxImage&>(d));
  return ok;
}

}  // namespace

bool CxImage::Decode(std::span<const uint8_t> bytes, int kind) {
  switch (kind) {
    case CXIMAGE_FORMAT_BMP: return TryDecoder<CxImageBMP>(*this, bytes);
    case CXIMAGE_FORMAT_GIF: return TryDecoder<CxImageGIF>(*this, bytes);
    case CXIMAGE_FORMAT_JPG: return TryDecoder<CxImageJPG>(*this, bytes);
    case CXIMAGE_FORMAT_PNG: return TryDecoder<CxImagePNG>(*this, bytes);
    case CXIMAGE_FORMAT_ICO: return TryDecoder<CxImageICO>(*this, bytes);
    case CXIMAGE_FORMAT_UNKNOWN:
      if (TryDecoder<CxImageBMP>(*this, bytes) || TryDecoder<CxImageJPG>(*this, bytes) ||
          TryDecoder<CxImageICO>(*this, bytes) || TryDecoder<CxImageGIF>(*this, bytes) ||
          TryDecoder<CxImagePNG>(*this, bytes)) {
        return true;
      }
      Clear();
      kind_ = CXIMAGE_FORMAT_UNKNOWN;
      error_ = "Decode: Unknown or wrong format";
      return false;
    default:
      Clear();
      error_ = "Decode: Unknown or wrong format";
      return false;
  }
}

void CxImage::Copy(const CxImage& source, bool copy_pixels, bool copy_selection, bool copy_alpha) {
  if (this == &source) return;
  kind_ = source.kind_;
  width_ = source.width_;
  height_ = source.height_;
  stride_ = source.stride_;
  trans_color_ = source.trans_color_;
  opacity_ = source.opacity_;
  error_ = source.error_;
  if (copy_pixels) {
    bits_ = source.bits_;
  } else {
    bits_.assign(source.bits_.size(), 0);
  }
  if (copy_alpha) {
    alpha_ = source.alpha_;
  } else {
    alpha_.clear();
  }
}

bool CxImage::Crop(const CxRect& rect) {
  const int64_t l = std::max<int64_t>(rect.left, 0);
  const int64_t t = std::max<int64_t>(rect.top, 0);
  const int64_t r = std::min<int64_t>(rect.right, width_);
  const int64_t b = std::min<int64_t>(rect.bottom, height_);
  if (r <= l || b <= t) {
    Clear();
    return false;
  }
  const uint32_t w = static_cast<uint32_t>(r - l);
  const uint32_t h = static_cast<uint32_t>(b - t);
  CxImage out(kind_);
  out.Create(w, h, HasAlpha());
  for (uint32_t y = 0; y < h; ++y) {
    std::memcpy(out.RowTop(y), RowTop(static_cast<uint32_t>(t) + y) + l * 3, static_cast<size_t>(w) * 3);
    if (HasAlpha()) std::memcpy(out.AlphaRowTop(y), AlphaRowTop(static_cast<uint32_t>(t) + y) + l, w);
  }
  out.trans_color_ = trans_color_;
  out.opacity_ = opacity_;
  *this = std::move(out);
  return true;
}

uint8_t* CxImage::AlphaAddress(uint32_t x, uint32_t y) {
  if (alpha_.empty() || x >= width_ || y >= height_) return nullptr;
  return alpha_.data() + static_cast<size_t>(y) * width_ + x;
}

uint32_t CxImage::GetPixelColor(uint32_t x, uint32_t y_top) const {
  if (x >= width_ || y_top >= height_) return 0;
  const uint8_t* p = bits_.data() + static_cast<size_t>(height_ - 1 - y_top) * stride_ + static_cast<size_t>(x) * 3;
  return p[2] | (p[1] << 8) | (static_cast<uint32_t>(p[0]) << 16);
}

uint8_t CxImage::GetPixelAlpha(uint32_t x, uint32_t y_top) const {
  if (alpha_.empty()) return 255;
  if (x >= width_ || y_top >= height_) return 0;
  return alpha_[static_cast<size_t>(height_ - 1 - y_top) * width_ + x];
}

bool CxImage::Create(uint32_t width, uint32_t height, bool with_alpha) {
  Clear();
  if (!skin::ImageSizeAllowed(width, height)) {
    error_ = "picture size out of range";
    return false;
  }
  const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
  width_ = width;
  height_ = height;
  stride_ = static_cast<uint32_t>(stride);
  bits_.assign(static_cast<size_t>(stride * height), 0);
  if (with_alpha) alpha_.assign(static_cast<size_t>(width) * height, 0);
  return true;
}

void CxImage::Adopt(uint32_t width, uint32_t height, CxBuffer bits, CxBuffer alpha) {
  width_ = width;
  height_ = height;
  stride_ = StrideFor(width);
  bits_ = std::move(bits);
  bits_.resize(static_cast<size_t>(stride_) * height);
  alpha_ = std::move(alpha);
}

void CxImage::Clear() {
  width_ = height_ = stride_ = 0;
  bits_.clear();
  bits_.shrink_to_fit();
  alpha_.clear();
  alpha_.shrink_to_fit();
  trans_color_ = -1;
}

void CxImage::DropOpaqueAlpha() {
  if (std::all_of(alpha_.begin(), alpha_.end(), [](uint8_t a) { return a == 255; })) {
    alpha_.clear();
    alpha_.shrink_to_fit();
  }
}
