#pragma once
// A round rectangle with border and fill (hollow when the fill colour is 0), or a two-colour gradient.
#include "framework/Handles.h"
#include "skin/items/DirectUI_Base_win.h"

class DirectUI_Rectangle : public DirectUI_Base {
 public:
  DirectUI_Rectangle(const skin::ChildItem& record, const skin::ItemContext& context);

  bool IsVisible() const override { return visible_; }
  bool SetVisible(bool visible, bool redraw) override { return ChangeVisible(visible_, visible, redraw); }
  bool OnSetCursor(int x, int y) override { return SetOwnCursor(x, y); }
  void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) override;
  void ApplyColorAdjust(int hue, int saturation, int brightness) override;

 private:
  void DrawGradient(HDC dc) const;

  skin::RectangleSpec settings_;
  bool visible_;
  COLORREF begin_ = 0, end_ = 0, border_ = 0, fill_ = 0;
  fw::UniquePen pen_;
  fw::UniqueBrush brush_;  // none for a hollow rectangle
};
