#pragma once
// The theme tint: hue, saturation and brightness shifts applied to item colours. Items take the configured
// colours unchanged unless all three shifts are non-zero and the item allows tinting; the key colour
// (magenta) is never changed. Platform-free.
#include <cstdint>

namespace skin {

struct HsbShift {
  int hue = 0;         // degrees, -180..180
  int saturation = 0;  // percent, -100..100
  int brightness = 0;  // percent, -100..100
  bool AllSet() const { return hue != 0 && saturation != 0 && brightness != 0; }
};

// The window manager's current shifts (zero until a tint is chosen). User-interface thread only.
HsbShift& CurrentHsbShift();

// Shifts one 0x00BBGGRR colour; `key` comes back unchanged.
uint32_t ShiftColor(uint32_t color, const HsbShift& shift, uint32_t key);
// The colour an item shows: the configured one, tinted only when the item allows it and all shifts are set.
uint32_t EffectiveColor(uint32_t configured, bool adjust, const HsbShift& shift);

}  // namespace skin
