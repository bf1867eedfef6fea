#pragma once
// The window side of an animation player, seen by the player's platform-free frame machine: the host window's
// one animation slot (its "SKINSE_ANIMATE" property) and timer, and repainting of the target. The Win32 host
// is in AnimationHost_win.h; tests can stand in their own.
#include <cstdint>

class CSkinAnimationHost {
 public:
  virtual ~CSkinAnimationHost() = default;

  // Puts `player` into the host's animation slot; false when the slot holds another animation (or none could
  // be set).
  virtual bool Claim(const void* player) = 0;
  // Starts (or restarts) the host's timer `timer_id`; false when it cannot start.
  virtual bool StartTimer(unsigned timer_id, unsigned period_ms) = 0;
  // Stops timer `timer_id` and empties the slot, both only while the slot holds `player`: a player that lost
  // the slot to a newer one leaves the newer one running.
  virtual void Release(const void* player, unsigned timer_id) = 0;
  // Asks for the target to be drawn again (without erasing).
  virtual void Repaint() = 0;
};
