#include "skin/items/ItemLayout.h"

#include <algorithm>
#include <cstdint>

namespace skin {
namespace {

// Theme values are untrusted: the arithmetic runs in 64 bits and the result is held to 32.
int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

int64_t Start(int32_t offset, int32_t size, int64_t near, int64_t far) {
  if (offset < 0) return far + offset;
  if (offset == kCenter) return near + (far - size - near) / 2;
  return near + offset;
}

int64_t End(int64_t start, int32_t size, int32_t edge, int64_t near, int64_t far) {
  if (size > 0) return start + size;
  return edge <= 0 ? far + edge : near + edge;
}

}  // namespace

Rect LayoutItem(const Placement& p, const Rect& parent) {
  const int64_t x = Start(p.left, p.width, parent.left, parent.right);
  const int64_t y = Start(p.top, p.height, parent.top, parent.bottom);
  return {Clamp32(x), Clamp32(y), Clamp32(End(x, p.width, p.right, parent.left, parent.right)),
          Clamp32(End(y, p.height, p.bottom, parent.top, parent.bottom))};
}

}  // namespace skin
