#pragma once
// A straight line from the top-left to the bottom-right corner of the item's rectangle.
#include "framework/Handles.h"
#include "skin/items/DirectUI_Base_win.h"

class DirectUI_Line : public DirectUI_Base {
 public:
  DirectUI_Line(const skin::ChildItem& record, const skin::ItemContext& context);

  bool IsVisible() const override { return visible_; }
  bool SetVisible(bool visible, bool redraw) override { return ChangeVisible(visible_, visible, redraw); }
  bool OnSetCursor(int x, int y) override { return SetOwnCursor(x, y); }
  void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) override;
  void ApplyColorAdjust(int hue, int saturation, int brightness) override;

  COLORREF EffectiveColor() const { return color_; }

 private:
  skin::LineSpec settings_;
  bool visible_;
  COLORREF color_;
  fw::UniquePen pen_;
};
