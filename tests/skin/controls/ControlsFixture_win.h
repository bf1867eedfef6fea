#pragma once
// What the control-skin tests share: the test theme, the interception answering from the skins found under
// "SKINSE_PROC", a parent window that records the notifications its controls send, and pixel probes.
#include <windows.h>

#include <vector>

#include <optional>

#include "framework/Handles.h"
#include "skin/SkinResourceManager.h"
#include "skin/hook/HookEngine_win.h"
#include "skin/hook/SkinDetours_win.h"

namespace controls_test {

// The test theme (resource "DATA" 140), loaded once per test program.
skin::CSkinResourceManager& TestTheme();

// Sprite cell colours of the test theme (tools/theme/make_test_theme.py): row 0 vertical, row 1 horizontal.
COLORREF CellColour(int row, int column);
inline constexpr COLORREF kSizeBoxColour = RGB(250, 200, 0);

// The engine as the interception sees it: a window is dressed when its "SKINSE_PROC" skin answers for it.
class PropertyEngine : public skin::hook::HookEngine {
 public:
  skin::hook::DressedWindow* FindDressed(HWND hwnd) override;
};

// Hooks the interception for the test's lifetime.
class HookedTest {
 public:
  HookedTest();
  ~HookedTest();
  bool hooked() const { return detours_.IsHooked(); }

 private:
  PropertyEngine engine_;
  skin::hook::CSkinDetours detours_;
};

struct Notification {
  UINT message;
  int code;
  int position;
  HWND source;
};

// A visible top-level window recording the scroll and command notifications it receives.
class ParentWindow {
 public:
  ParentWindow(int width, int height);
  ~ParentWindow();
  HWND hwnd() const { return hwnd_; }
  std::vector<Notification> notifications;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// A white memory surface of a window's whole size, for painting in window coordinates and probing pixels.
class WindowPixels {
 public:
  explicit WindowPixels(HWND hwnd);
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }

 private:
  fw::UniqueMemDC dc_;
  fw::UniqueBitmap bitmap_;
  std::optional<fw::ScopedSelectObject> selection_;
};

// The pixel on screen at window coordinates (x, y) of `hwnd`.
COLORREF ScreenPixel(HWND hwnd, int x, int y);

// Runs every message queued for this thread.
void Pump();

}  // namespace controls_test
