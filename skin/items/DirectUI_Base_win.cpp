#include "skin/items/DirectUI_Base_win.h"

#include "skin/items/ItemLayout.h"

DirectUI_Base::DirectUI_Base(skin::ItemKind kind, const skin::ChildItem& record, skin::ItemHost* owner)
    : owner_(owner), kind_(kind), state_mask_(record.state), layout_(record.place), id_(record.id) {}

void DirectUI_Base::Draw(HDC, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  owner_ = owner;
  LayoutIn(left, top, right, bottom);
}

DirectUI_Base* DirectUI_Base::OnMouseMove(unsigned, int, int) { return nullptr; }
// Far outside any host: the item sees the mouse leave.
void DirectUI_Base::OnMouseLeave() { OnMouseMove(0, 1000, 1000); }
bool DirectUI_Base::OnLButtonDown(unsigned, int, int) { return false; }
bool DirectUI_Base::OnLButtonUp(unsigned, int, int) { return false; }
bool DirectUI_Base::ReservedQuery(intptr_t) { return false; }
void DirectUI_Base::Relayout(int, int, int, int) {}

void DirectUI_Base::LayoutIn(int left, int top, int right, int bottom) {
  rect_ = skin::LayoutItem(layout_, {left, top, right, bottom});
}

void DirectUI_Base::InvalidateSelf() {
  if (owner_) owner_->InvalidateArea(rect_, false);
}

bool DirectUI_Base::ChangeVisible(bool& flag, bool visible, bool redraw) {
  if (flag == visible) return false;
  flag = visible;
  if (redraw) InvalidateSelf();
  return true;
}

bool DirectUI_Base::SetOwnCursor(int x, int y) {
  if (!cursor_ || !Contains(x, y)) return false;
  ::SetCursor(cursor_);
  return true;
}
