#pragma once
// An animated GIF shown by an animation item: the frame machine advances one frame per tick of a timer owned
// by the host window, and the current frame is copied opaquely into the target rectangle. Platform-free: the
// window side comes in through CSkinAnimationHost (SkinGifPlayer_win.h binds a window and draws the frame).
#include <cstdint>
#include <memory>
#include <string>

#include "skin/SkinIds.h"
#include "skin/draw/AnimationHost.h"
#include "skin/draw/GifDecoder.h"

class CSkinGifPlayer {
 public:
  static constexpr unsigned kTimerId = skin::kTimerGifPlayer;
  static constexpr const wchar_t* kAnimateProperty = skin::kPropAnimate;

  CSkinGifPlayer() = default;
  // Stops the player: its timer and the host's animation slot are released while they are its own.
  virtual ~CSkinGifPlayer();
  CSkinGifPlayer(const CSkinGifPlayer&) = delete;
  CSkinGifPlayer& operator=(const CSkinGifPlayer&) = delete;

  // Drops any previous picture and keeps a private copy of the bytes. False (player empty) for bytes that are
  // not a GIF. On success the target is asked to repaint.
  bool LoadFromMemory(const uint8_t* data, size_t size);
  bool LoadFromFile(const std::wstring& path);
  // Empties the player for reuse (stops it first).
  void Clear();
  // One tick: the next frame; repaints the target when the frame should be shown. Stops the player for good
  // when no frame decodes.
  void Step();

  // The window the player runs on; replacing it stops the player first. `period_ms` 0 means 100.
  void SetHost(std::unique_ptr<CSkinAnimationHost> host, unsigned period_ms);
  CSkinAnimationHost* Host() const { return host_.get(); }
  unsigned Period() const { return period_; }
  // On: claims the host's animation slot (nothing happens when another animation holds it), steps once at once
  // and starts the timer. Off: releases both. An unchanged value does nothing.
  void Run(bool on);

  bool IsLoaded() const { return animation_.IsLoaded(); }
  bool IsRunning() const { return running_; }
  const skin::GifAnimation& Animation() const { return animation_; }

 private:
  void RequestRepaint() const;

  skin::GifAnimation animation_;
  bool repaint_ = true;
  bool running_ = false;
  std::unique_ptr<CSkinAnimationHost> host_;
  unsigned period_ = 100;
};
