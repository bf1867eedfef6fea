#pragma once
// Animation players on a window: the slot is the window property "SKINSE_ANIMATE", the timer a window timer
// whose callback steps the player holding the slot. The callback only follows a player that claimed the slot
// through a host and has not released it; a tick that finds no such player of its own kills its timer, so a
// timer never outlives its player.
#include <windows.h>

#include "skin/draw/AnimationHost.h"

namespace skin {

class WindowAnimationHost : public CSkinAnimationHost {
 public:
  // `step` advances the player a tick of this host's timer found in the slot. With `take_over` a claim
  // replaces the animation holding the slot (frame-strip players); without, it fails (GIF players).
  using StepFn = void (*)(void* player);
  WindowAnimationHost(HWND host, StepFn step, bool take_over = false)
      : host_(host), step_(step), take_over_(take_over) {}

  bool Claim(const void* player) override;
  bool StartTimer(unsigned timer_id, unsigned period_ms) override;
  void Release(const void* player, unsigned timer_id) override;
  void Repaint() override;

  HWND HostWindow() const { return host_; }
  HWND TargetWindow() const { return target_; }
  const RECT& TargetRect() const { return target_rect_; }
  void SetTarget(HWND target, const RECT& rect) { target_ = target, target_rect_ = rect; }

 private:
  HWND host_;
  StepFn step_;
  bool take_over_;
  const void* claimed_ = nullptr;
  HWND target_ = nullptr;
  RECT target_rect_{};
};

}  // namespace skin
