#pragma once
// Little-endian readers over a byte span; callers check the length first.
#include <cstddef>
#include <cstdint>
#include <span>

namespace skin {

inline uint16_t Le16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
inline uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline int32_t LeI32(std::span<const uint8_t> b, size_t at) { return static_cast<int32_t>(Le32(b, at)); }

}  // namespace skin
