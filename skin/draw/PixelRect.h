#pragma once
// A rectangle of pixels (left and top inside, right and bottom outside), shared by the drawing arithmetic.
#include <cstdint>

namespace skin {

struct PixelRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  // True when either side is zero or negative.
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
  int32_t width = 0, height = 0;
  bool operator==(const PixelSize&) const = default;
};

// Margins of a nine-part grid or the caps of a three-part stretch.
struct GridMargins {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

}  // namespace skin
