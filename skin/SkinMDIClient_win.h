#pragma once
// CSkinMDIClient: the skin of frame-or-view and MDI-client windows. Dressed from a "window" theme item like
// a frame, but it draws none of the frame picture, caption or items: it only draws its thin white border,
// answers the dialog and static colours with the common background, and reports non-client painting with
// 29697. Every other message goes to the previous procedure. (The scroll bars it is to draw come with the
// skinned scroll bars.)
#include "skin/SkinWndSB_win.h"

class CSkinMDIClient : public CSkinWndSB {
 public:
  explicit CSkinMDIClient(HWND window) : CSkinWndSB(window) {}
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void PaintBorder(HDC dc) override;
};
