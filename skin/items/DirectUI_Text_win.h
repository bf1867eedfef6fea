#pragma once
// One text in a rectangle: the item's own text, or the host window's text when the item's is empty.
#include "skin/items/DirectUI_Base_win.h"

class DirectUI_Text : public DirectUI_Base {
 public:
  DirectUI_Text(const skin::ChildItem& record, const skin::ItemContext& context);

  bool IsVisible() const override { return visible_; }
  bool SetVisible(bool visible, bool redraw) override { return ChangeVisible(visible_, visible, redraw); }
  bool OnSetCursor(int x, int y) override { return SetOwnCursor(x, y); }
  void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) override;
  void ApplyColorAdjust(int hue, int saturation, int brightness) override;

  // Both the configured and the display text become `text` (a later tint keeps it).
  void SetText(const std::wstring& text);
  const std::wstring& DisplayText() const { return display_; }
  uint32_t Format() const { return settings_.format; }
  COLORREF EffectiveColor() const { return color_; }

 private:
  skin::TextSpec settings_;
  bool visible_;
  std::wstring display_;
  HFONT font_ = nullptr;  // the theme's font cache owns it
  COLORREF color_;
};
