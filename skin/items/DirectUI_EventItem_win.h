#pragma once
// A clickable area with its own normal/over/down state and child items drawn by that state.
#include "skin/items/DirectUI_Base_win.h"
#include "skin/items/EventItemState.h"

class DirectUI_EventItem : public DirectUI_Base {
 public:
  DirectUI_EventItem(const skin::ChildItem& record, const skin::ItemContext& context);

  bool IsVisible() const override { return visible_; }
  bool SetVisible(bool visible, bool redraw) override { return ChangeVisible(visible_, visible, redraw); }
  bool OnSetCursor(int x, int y) override;
  void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) override;
  DirectUI_Base* OnMouseMove(unsigned keys, int x, int y) override;
  void OnMouseLeave() override {}
  bool OnLButtonDown(unsigned keys, int x, int y) override;
  bool OnLButtonUp(unsigned keys, int x, int y) override;
  void ApplyColorAdjust(int hue, int saturation, int brightness) override;

  uint32_t State() const { return machine_.State(); }
  const DirectUI_List& Children() const { return children_; }

 private:
  void Apply(const skin::EventItemState::Outcome& outcome);

  bool visible_;
  DirectUI_List children_;
  skin::EventItemState machine_;
};
