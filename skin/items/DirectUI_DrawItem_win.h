#pragma once
// A container of child items drawn in its own rectangle, remembering which child took the last click.
#include "skin/items/DirectUI_Base_win.h"

class DirectUI_EventItem;

class DirectUI_DrawItem : public DirectUI_Base {
 public:
  DirectUI_DrawItem(const skin::ChildItem& record, const skin::ItemContext& context);

  bool IsVisible() const override { return visible_; }
  bool SetVisible(bool visible, bool redraw) override { return ChangeVisible(visible_, visible, redraw); }
  bool OnSetCursor(int x, int y) override;
  void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) override;
  DirectUI_Base* OnMouseMove(unsigned keys, int x, int y) override;
  void OnMouseLeave() override {}
  bool OnLButtonDown(unsigned keys, int x, int y) override;
  bool OnLButtonUp(unsigned keys, int x, int y) override;
  void ApplyColorAdjust(int hue, int saturation, int brightness) override;
  void Relayout(int left, int top, int right, int bottom) override;

  // The last child event item whose rectangle holds the point (the clicked-child id is emptied first).
  DirectUI_EventItem* HitTest(int x, int y);
  const std::wstring& ClickedChildId() const { return clicked_id_; }
  const DirectUI_List& Children() const { return children_; }

 private:
  bool visible_;
  DirectUI_List children_;
  std::wstring clicked_id_;
};
