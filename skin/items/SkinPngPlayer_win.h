#pragma once
// A frame-strip animation: a horizontal strip of equal frames of one theme picture, advanced by a timer of
// the host window. Every frame-strip player uses the same timer id and the host's animation slot (the
// "SKINSE_ANIMATE" property), so a second player on the same window takes both over; a player gives them up
// only while they are still its own, and a tick that finds no player of its own stops its timer.
#include <windows.h>

#include <memory>

#include "skin/draw/AnimationHost_win.h"
#include "skin/items/FrameStrip.h"

class CSkinDrawImage;

class CSkinPngPlayer {
 public:
  CSkinPngPlayer();
  // Switches the player off.
  ~CSkinPngPlayer();
  CSkinPngPlayer(const CSkinPngPlayer&) = delete;
  CSkinPngPlayer& operator=(const CSkinPngPlayer&) = delete;

  // New host, picture and timing; the current frame goes back to 1. A player running on another window is
  // switched off first.
  void Setup(HWND host, CSkinDrawImage* picture, int frame_count, UINT delay_ms, bool cycle);
  void SetCurrentFrame(int frame) { strip_.SetCurrent(frame); }
  // Starts or stops the timer; an unchanged value does nothing.
  void Switch(bool on);
  // One tick: the next frame, and a repaint of where the last one was drawn.
  void Step();
  // Draws the current frame at natural size at (left, top) and remembers the rectangle.
  void Draw(HDC dc, int left, int top, int right, int bottom);

  bool IsRunning() const { return running_; }
  int CurrentFrame() const { return strip_.Current(); }
  UINT TimerId() const { return timer_id_; }

 private:
  std::unique_ptr<skin::WindowAnimationHost> host_;
  CSkinDrawImage* picture_ = nullptr;
  UINT timer_id_;
  skin::FrameStrip strip_;
  UINT delay_ = 200;
  RECT last_{};
  bool running_ = false;
};
