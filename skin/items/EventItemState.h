#pragma once
// The hover and press machine of a clickable item: normal (1) -> over (2) on entering, -> down (4) on a press
// inside, -> normal on a release inside (a click) or on leaving while over. A release outside, or one without
// a press on the item, clicks nothing. Platform-free.
#include <cstdint>

namespace skin {

class EventItemState {
 public:
  static constexpr uint32_t kNormal = 1, kOver = 2, kDown = 4;

  // What a mouse event asks of the item.
  struct Outcome {
    bool repaint = false;             // the item's rectangle needs redrawing
    bool restart_animations = false;  // child animations start again (the mouse left)
    bool clicked = false;             // the item was clicked
    bool handled = false;             // the event belongs to this item
  };

  Outcome Move(bool inside);
  Outcome Press(bool inside);
  Outcome Release(bool inside);

  uint32_t State() const { return state_; }
  bool Pressed() const { return pressed_; }

 private:
  uint32_t state_ = kNormal;
  bool pressed_ = false;
};

}  // namespace skin
