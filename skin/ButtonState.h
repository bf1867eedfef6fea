#pragma once
// The look of a button skin: which display state indexes its pictures and caption colours, and which host
// state bit its items are shown for. Platform-free.
#include <cstdint>

namespace skin {

enum class ButtonDisplay { kNormal = 0, kOver = 1, kDown = 2, kDisabled = 3, kFocused = 4 };

struct ButtonLook {
  ButtonDisplay display = ButtonDisplay::kNormal;
  uint32_t host_bit = 1;
};

// Push, radio and check buttons: disabled first, then the mouse (down while pressed), then the focus.
ButtonLook ComputeButtonLook(bool enabled, bool over, bool pressed, bool focused);

// Radio and check boxes replace the host bit by one of the check state: checked 16 disabled, 64 under the
// mouse and not pressed, else 32; unchecked 8, 256, else 128. (A pressed box shows its "normal" items.)
uint32_t CheckBoxHostBit(bool checked, bool enabled, bool over, bool pressed);

}  // namespace skin
