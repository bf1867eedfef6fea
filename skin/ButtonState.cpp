#include "skin/ButtonState.h"

namespace skin {

ButtonLook ComputeButtonLook(bool enabled, bool over, bool pressed, bool focused) {
  if (!enabled) return {ButtonDisplay::kDisabled, 8};
  if (over) return pressed ? ButtonLook{ButtonDisplay::kDown, 4} : ButtonLook{ButtonDisplay::kOver, 2};
  return {focused ? ButtonDisplay::kFocused : ButtonDisplay::kNormal, 1};
}

uint32_t CheckBoxHostBit(bool checked, bool enabled, bool over, bool pressed) {
  const bool hovering = over && !pressed;
  if (checked) return !enabled ? 16 : hovering ? 64 : 32;
  return !enabled ? 8 : hovering ? 256 : 128;
}

}  // namespace skin
