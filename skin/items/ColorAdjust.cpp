#include "skin/items/ColorAdjust.h"

#include <algorithm>
#include <cmath>

#include "skin/ThemeValues.h"

namespace skin {

HsbShift& CurrentHsbShift() {
  static HsbShift shift;
  return shift;
}

uint32_t ShiftColor(uint32_t color, const HsbShift& shift, uint32_t key) {
  if ((color & 0xFFFFFF) == (key & 0xFFFFFF)) return color;
  const double r = (color & 0xFF) / 255.0, g = ((color >> 8) & 0xFF) / 255.0, b = ((color >> 16) & 0xFF) / 255.0;
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
  double h = 0, s = 0, l = (hi + lo) / 2;
  if (hi > lo) {
    const double d = hi - lo;
    s = l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
    if (hi == r) {
      h = (g - b) / d + (g < b ? 6 : 0);
    } else if (hi == g) {
      h = (b - r) / d + 2;
    } else {
      h = (r - g) / d + 4;
    }
    h *= 60;
  }
  h = std::fmod(h + shift.hue + 360.0, 360.0);
  s = std::clamp(s * (1 + shift.saturation / 100.0), 0.0, 1.0);
  l = std::clamp(l + shift.brightness / 200.0, 0.0, 1.0);
  const double c = (1 - std::fabs(2 * l - 1)) * s, x = c * (1 - std::fabs(std::fmod(h / 60, 2) - 1)), m = l - c / 2;
  double rr = 0, gg = 0, bb = 0;
  switch (static_cast<int>(h / 60) % 6) {
    case 0: rr = c, gg = x; break;
    case 1: rr = x, gg = c; break;
    case 2: gg = c, bb = x; break;
    case 3: gg = x, bb = c; break;
    case 4: rr = x, bb = c; break;
    default: rr = c, bb = x; break;
  }
  const auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return Rgb(byte(rr + m), byte(gg + m), byte(bb + m));
}

uint32_t EffectiveColor(uint32_t configured, bool adjust, const HsbShift& shift) {
  return adjust && shift.AllSet() ? ShiftColor(configured, shift, kKeyColor) : configured;
}

}  // namespace skin
