#include "skin/items/DirectUI_DrawItem_win.h"

#include "skin/items/DirectUI_EventItem_win.h"
#include "skin/items/ItemLayout.h"

DirectUI_DrawItem::DirectUI_DrawItem(const skin::ChildItem& record, const skin::ItemContext& context)
    : DirectUI_Base(skin::ItemKind::kDrawItem, record, context.host),
      visible_(record.visible),
      children_(skin::BuildItems(record.children, skin::ChildKind::kDrawItem, context)) {}

bool DirectUI_DrawItem::OnSetCursor(int x, int y) {
  for (const auto& child : children_)
    if (child->OnSetCursor(x, y)) return true;
  return SetOwnCursor(x, y);
}

void DirectUI_DrawItem::Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  DirectUI_Base::Draw(dc, owner, left, top, right, bottom);
  for (const auto& child : children_)
    if (child->IsVisible()) child->Draw(dc, owner, rect_.left, rect_.top, rect_.right, rect_.bottom);
}

DirectUI_Base* DirectUI_DrawItem::OnMouseMove(unsigned keys, int x, int y) {
  DirectUI_Base* hit = nullptr;
  for (const auto& child : children_)
    if (DirectUI_Base* h = child->OnMouseMove(keys, x, y)) hit = h;
  return hit;
}

bool DirectUI_DrawItem::OnLButtonDown(unsigned keys, int x, int y) {
  for (const auto& child : children_)
    if (child->OnLButtonDown(keys, x, y)) return true;
  return false;
}

bool DirectUI_DrawItem::OnLButtonUp(unsigned keys, int x, int y) {
  clicked_id_.clear();
  for (const auto& child : children_) {
    if (child->OnLButtonUp(keys, x, y)) {
      clicked_id_ = child->Id();
      return true;
    }
  }
  return false;
}

void DirectUI_DrawItem::ApplyColorAdjust(int hue, int saturation, int brightness) {
  for (const auto& child : children_) child->ApplyColorAdjust(hue, saturation, brightness);
}

void DirectUI_DrawItem::Relayout(int left, int top, int right, int bottom) {
  LayoutIn(left, top, right, bottom);
  for (const auto& child : children_)
    if (child->IsVisible()) child->LayoutIn(rect_.left, rect_.top, rect_.right, rect_.bottom);
}

DirectUI_EventItem* DirectUI_DrawItem::HitTest(int x, int y) {
  clicked_id_.clear();
  DirectUI_EventItem* hit = nullptr;
  for (const auto& child : children_)
    if (child->Kind() == skin::ItemKind::kEventItem && skin::RectContains(child->GetRect(), x, y))
      hit = static_cast<DirectUI_EventItem*>(child.get());
  return hit;
}
