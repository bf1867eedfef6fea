#pragma once
// CSkinScrollBarSB: the skin of a scroll-bar control (window class "ScrollBar"). The whole window is the bar;
// it is painted from the theme's bar sprite and its scroll notifications go to the parent.
#include <windows.h>

#include "skin/controls/SkinScroller_win.h"

class CSkinScrollBarSB : public CSkinScroller {
 public:
  explicit CSkinScrollBarSB(HWND window);

  // Dresses `window`: the skin comes first in its procedure chain and reads the control's scroll state. The
  // skin lives until the window's non-client destroy. Null when the platform refuses the subclassing.
  static CSkinScrollBarSB* Dress(HWND window, CSkinDrawImage* sprite, CSkinDrawImage* size_box);
  // The skin of `window`, or null.
  static CSkinScrollBarSB* FromWindow(HWND window);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
};
