#pragma once
// An animated GIF shown by an animation item: the frame machine advances one frame per tick of a timer owned
// by the host window, and the current frame is copied opaquely into the target rectangle. The timer and
// drawing are Win32 (SkinGifPlayer_win.cpp); loading and stepping are platform-free.
#include <cstdint>
#include <string>

#include "skin/draw/GifDecoder.h"

#ifdef _WIN32
#include <windows.h>
#endif

class CSkinGifPlayer {
 public:
  static constexpr unsigned kTimerId = 2132;
  // Window property that marks the host window's one running animation and leads the timer to its player.
  static constexpr const wchar_t* kAnimateProperty = L"SKINSE_ANIMATE";

  CSkinGifPlayer() = default;
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

  bool IsLoaded() const { return animation_.IsLoaded(); }
  bool IsRunning() const { return running_; }
  const skin::GifAnimation& Animation() const { return animation_; }

#ifdef _WIN32
  void SetTarget(HWND window, const RECT& rect);
  void SetHost(HWND host, UINT period_ms);
  // Starts or stops the timer on the host. Does not start when the host already runs an animation.
  void Run(bool on);
  // Copies the current frame at natural size to the rectangle's top-left corner; false when not running.
  bool Draw(HDC dc, const RECT& rect) const;
#else
  // Without a window system there is no timer to run on.
  void Run(bool) { running_ = false; }
#endif

 private:
  void RequestRepaint() const;

  skin::GifAnimation animation_;
  bool repaint_ = true;
  bool running_ = false;
#ifdef _WIN32
  HWND target_ = nullptr;
  RECT target_rect_{};
  HWND host_ = nullptr;
  UINT period_ = 100;
#endif
};
