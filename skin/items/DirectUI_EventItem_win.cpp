#include "skin/items/DirectUI_EventItem_win.h"

#include "skin/SkinResourceManager.h"
#include "skin/ThemeGdi.h"
#include "skin/items/DirectUI_Animate_win.h"
#include "skin/items/ItemLayout.h"

DirectUI_EventItem::DirectUI_EventItem(const skin::ChildItem& record, const skin::ItemContext& context)
    : DirectUI_Base(skin::ItemKind::kEventItem, record, context.host),
      visible_(record.visible),
      children_(skin::BuildItems(record.children, skin::ChildKind::kEventItem, context)) {
  cursor_ = skin::ThemeCursor(*context.theme, record.attrs.Text(L"cursor"));
}

bool DirectUI_EventItem::OnSetCursor(int x, int y) {
  for (const auto& child : children_)
    if (child->OnSetCursor(x, y)) return true;
  return SetOwnCursor(x, y);
}

void DirectUI_EventItem::Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  DirectUI_Base::Draw(dc, owner, left, top, right, bottom);
  for (const auto& child : children_)
    if (child->IsVisible() && skin::ItemShownInState(child->StateMask(), machine_.State()))
      child->Draw(dc, owner, rect_.left, rect_.top, rect_.right, rect_.bottom);
}

void DirectUI_EventItem::Apply(const skin::EventItemState::Outcome& outcome) {
  pressed_ = machine_.Pressed();
  if (outcome.restart_animations)
    for (const auto& child : children_)
      if (child->Kind() == skin::ItemKind::kAnimate) static_cast<DirectUI_Animate&>(*child).Restart();
  if (outcome.repaint) InvalidateSelf();
}

DirectUI_Base* DirectUI_EventItem::OnMouseMove(unsigned, int x, int y) {
  if (!visible_) return nullptr;
  const skin::EventItemState::Outcome outcome = machine_.Move(Contains(x, y));
  Apply(outcome);
  return outcome.handled ? this : nullptr;
}

bool DirectUI_EventItem::OnLButtonDown(unsigned, int x, int y) {
  if (!visible_) return false;
  const skin::EventItemState::Outcome outcome = machine_.Press(Contains(x, y));
  Apply(outcome);
  return outcome.handled;
}

bool DirectUI_EventItem::OnLButtonUp(unsigned, int x, int y) {
  if (!visible_) return false;
  const skin::EventItemState::Outcome outcome = machine_.Release(Contains(x, y));
  Apply(outcome);
  if (outcome.clicked && owner_) owner_->ItemClicked(id_);
  return outcome.handled;
}

void DirectUI_EventItem::ApplyColorAdjust(int hue, int saturation, int brightness) {
  for (const auto& child : children_) child->ApplyColorAdjust(hue, saturation, brightness);
}
