#pragma once
// The frame tests' fixtures: the shipped theme in the process-wide theme, the window manager over it, and
// dialog template 102 created modeless and dressed as the main window is.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "skin/SkinWndManager_win.h"
#include "skin/SkinWndSB_win.h"

namespace frame_test {

// The process-wide manager, dressing from the shipped theme (loaded once).
skin::CSkinWndManager& Manager();

// Runs the messages waiting on this thread.
void Pump();

// Dialog 102, dressed with "PromptDialog" through the frame's attach-by-kind, shown and painted.
class DressedDialog {
 public:
  DressedDialog();
  ~DressedDialog();
  HWND hwnd() const { return hwnd_; }
  CSkinWndSB* frame() const { return Manager().FrameOf(hwnd_); }
  // Messages the dialog's own procedure received.
  static int erase_count;
  static int paint_count;

 private:
  HWND hwnd_ = nullptr;
};

// A 32-bit top-down copy of what PrintWindow shows of a window (the skin answers WM_PRINT).
class Capture {
 public:
  explicit Capture(HWND hwnd);
  COLORREF At(int x, int y) const;
  int width() const { return width_; }
  int height() const { return height_; }
  bool Save(const wchar_t* path) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

bool Near(COLORREF a, COLORREF b, int tolerance);

}  // namespace frame_test

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace frame_test {

}  // namespace frame_test
