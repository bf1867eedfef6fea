// Icon files: a directory of pictures, each a PNG stream or a device-independent bitmap with an AND mask.
// The largest entry (then the deepest) is decoded.
#include <cstring>

#include "skin/draw/ByteReader.h"
#include "skin/draw/CxImage.h"

using skin::Le16;
using skin::Le32;

namespace {

constexpr size_t kDirHeader = 6;
constexpr size_t kDirEntry = 16;

}  // namespace

bool CxImageICO::Decode(std::span<const uint8_t> bytes) {
  Clear();
  if (bytes.size() < kDirHeader || Le16(bytes, 0) != 0 || (Le16(bytes, 2) != 1 && Le16(bytes, 2) != 2)) {
    SetError("ICO: not an icon file");
    return false;
  }
  const uint32_t count = Le16(bytes, 4);
  if (count == 0 || kDirHeader + static_cast<uint64_t>(count) * kDirEntry > bytes.size()) {
    SetError("ICO: directory empty or truncated");
    return false;
  }
  int best = -1;
  uint64_t best_score = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = kDirHeader + i * kDirEntry;
    const uint64_t w = bytes[at] ? bytes[at] : 256;
    const uint64_t h = bytes[at + 1] ? bytes[at + 1] : 256;
    const uint64_t bpp = Le16(bytes, at + 6);
    const uint64_t size = Le32(bytes, at + 8);
    const uint64_t offset = Le32(bytes, at + 12);
    if (size == 0 || offset > bytes.size() || size > bytes.size() - offset) continue;
    const uint64_t score = (w * h) << 8 | (bpp & 0xFF);
    if (best < 0 || score > best_score) {
      best = static_cast<int>(i);
      best_score = score;
    }
  }
  if (best < 0) {
    SetError("ICO: no entry inside the file");
    return false;
  }
  const size_t at = kDirHeader + static_cast<size_t>(best) * kDirEntry;
  const auto entry = bytes.subspan(Le32(bytes, at + 12), Le32(bytes, at + 8));

  static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  bool ok;
  std::string error;
  if (entry.size() >= 8 && std::memcmp(entry.data(), kPngSignature, 8) == 0) {
    CxImagePNG png;
    ok = png.Decode(entry);
    error = png.GetLastError();
    static_cast<CxImage&>(*this) = std::move(png);
  } else {
    CxImageBMP bmp;
    ok = bmp.DecodeDib(entry, true);
    error = bmp.GetLastError();
    static_cast<CxImage&>(*this) = std::move(bmp);
  }
  kind_ = CXIMAGE_FORMAT_ICO;
  if (!ok) {
    Clear();
    SetError("ICO: " + error);
  }
  return ok;
}
