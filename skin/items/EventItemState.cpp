#include "skin/items/EventItemState.h"

namespace skin {

EventItemState::Outcome EventItemState::Move(bool inside) {
  Outcome out;
  if (inside) {
    out.handled = true;
    if (state_ != kOver) {
      state_ = kOver;
      out.repaint = true;
    }
  } else if (state_ == kOver) {
    state_ = kNormal;
    pressed_ = false;
    out.repaint = true;
    out.restart_animations = true;
  }
  return out;
}

EventItemState::Outcome EventItemState::Press(bool inside) {
  Outcome out;
  if (!inside) return out;
  state_ = kDown;
  pressed_ = true;
  out.repaint = out.handled = true;
  return out;
}

EventItemState::Outcome EventItemState::Release(bool inside) {
  Outcome out;
  if (!inside || !pressed_) return out;
  pressed_ = false;
  state_ = kNormal;
  out.repaint = out.handled = out.clicked = true;
  return out;
}

}  // namespace skin
