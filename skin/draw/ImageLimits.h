#pragma once
// Caps applied to every picture before its pixels are allocated: pictures come from the theme archive and from
// files the user picks, so their headers are untrusted.
#include <cstddef>
#include <cstdint>

namespace skin {

inline constexpr uint32_t kMaxImageSide = 16384;
inline constexpr uint64_t kMaxImagePixels = 64ull * 1024 * 1024;
// Largest encoded picture read from a file or archive entry.
inline constexpr uint64_t kMaxImageFileBytes = 256ull * 1024 * 1024;

inline bool ImageSizeAllowed(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

}  // namespace skin
