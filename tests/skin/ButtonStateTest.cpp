#include "skin/ButtonState.h"

#include <gtest/gtest.h>

namespace {

using skin::ButtonDisplay;

TEST(ButtonState, DisabledBeatsTheMouseWhichBeatsTheFocus) {
  struct Row {
    bool enabled, over, pressed, focused;
    ButtonDisplay display;
    uint32_t bit;
  } rows[] = {
      {false, true, true, true, ButtonDisplay::kDisabled, 8},
      {true, true, true, true, ButtonDisplay::kDown, 4},
      {true, true, false, true, ButtonDisplay::kOver, 2},
      {true, false, true, true, ButtonDisplay::kFocused, 1},  // pressed but the pointer left
      {true, false, false, false, ButtonDisplay::kNormal, 1},
  };
  for (const Row& r : rows) {
    const skin::ButtonLook look = skin::ComputeButtonLook(r.enabled, r.over, r.pressed, r.focused);
    EXPECT_EQ(look.display, r.display) << r.enabled << r.over << r.pressed << r.focused;
    EXPECT_EQ(look.host_bit, r.bit) << r.enabled << r.over << r.pressed << r.focused;
  }
}

TEST(ButtonState, RadioAndCheckHostBits) {
  struct Row {
    bool checked, enabled, over, pressed;
    uint32_t bit;
  } rows[] = {
      {true, false, true, false, 16},   // "checkeddisable"
      {true, true, true, false, 64},    // checked under the mouse
      {true, true, true, true, 32},     // pressed: normal items
      {true, true, false, false, 32},
      {false, false, false, false, 8},
      {false, true, true, false, 256},  // "uncheckover"
      {false, true, true, true, 128},
      {false, true, false, false, 128},
  };
  for (const Row& r : rows)
    EXPECT_EQ(skin::CheckBoxHostBit(r.checked, r.enabled, r.over, r.pressed), r.bit)
        << r.checked << r.enabled << r.over << r.pressed;
}

}  // namespace
