#pragma once
// A GIF player on windows: where it runs and repaints, and drawing its current frame.
#include <windows.h>

#include "skin/draw/SkinGifPlayer.h"

namespace skin {

// The window that owns the player's timer and the timer period (the animation item's delay); stops the
// player first. The target set before is kept.
void SetGifHost(CSkinGifPlayer& player, HWND host, UINT period_ms);
// Where the current frame is drawn and what is invalidated on each shown frame.
void SetGifTarget(CSkinGifPlayer& player, HWND target, const RECT& rect);
// Copies the current frame opaquely at natural size to the rectangle's top-left corner; false when the player
// is not running.
bool DrawGifFrame(HDC dc, const CSkinGifPlayer& player, const RECT& rect);

}  // namespace skin
