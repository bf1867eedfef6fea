#include "skin/SkinBase_win.h"

#include "skin/SkinIds.h"
#include "skin/SkinResourceManager.h"
#include "skin/items/DirectUI_Image_win.h"
#include "skin/items/DirectUI_Text_win.h"
#include "skin/items/ItemLayout.h"

CSkinBase::CSkinBase(HWND window) : window_(window) {}

CSkinBase::~CSkinBase() = default;

void CSkinBase::BuildItems(const skin::ThemeItem& item, skin::CSkinResourceManager& theme) {
  DestroyItems();
  theme_ = &theme;
  items_ = skin::BuildItems(item.children, std::nullopt, {this, &theme, skin::CurrentHsbShift()});
}

void CSkinBase::DestroyItems() {
  hovered_ = nullptr;
  items_.clear();
}

void CSkinBase::DrawFiltered(HDC dc, int left, int top, int right, int bottom, bool skip_draw_items) {
  for (const auto& item : items_) {
    if (!item->IsVisible() || !skin::ItemShownInState(item->StateMask(), host_state_)) continue;
    if (skip_draw_items && item->Kind() == skin::ItemKind::kDrawItem) continue;
    item->Draw(dc, this, left, top, right, bottom);
  }
}

void CSkinBase::DrawItems(HDC dc, int left, int top, int right, int bottom) {
  DrawFiltered(dc, left, top, right, bottom, false);
}

void CSkinBase::DrawListItems(HDC dc, int left, int top, int right, int bottom) {
  DrawFiltered(dc, left, top, right, bottom, true);
}

void CSkinBase::MouseMoveItems(unsigned keys, int x, int y) {
  DirectUI_Base* hovered = nullptr;
  for (const auto& item : items_)
    if (item->IsVisible())
      if (DirectUI_Base* hit = item->OnMouseMove(keys, x, y)) hovered = hit;
  hovered_ = hovered;
}

bool CSkinBase::ButtonDownItems(unsigned keys, int x, int y) {
  for (const auto& item : items_)
    if (item->IsVisible() && item->OnLButtonDown(keys, x, y)) return true;
  return false;
}

bool CSkinBase::ButtonUpItems(unsigned keys, int x, int y) {
  bool handled = false;
  for (const auto& item : items_) {
    if (item->IsVisible() && item->OnLButtonUp(keys, x, y)) {
      handled = true;
      break;
    }
  }
  if (!pending_click_) return handled;
  // Everything the notification needs is copied out first: the receiver may destroy this skin.
  const std::wstring id = std::move(*pending_click_);
  pending_click_.reset();
  HWND source = window_;
  HWND target = is_frame_ ? window_ : ::GetParent(window_);
  if (target)
    ::SendMessageW(target, skin::SKINMSG_ITEMCLICK, reinterpret_cast<WPARAM>(source),
                   reinterpret_cast<LPARAM>(id.c_str()));
  return true;
}

void CSkinBase::ColorAdjustItems(int hue, int saturation, int brightness) {
  for (const auto& item : items_) item->ApplyColorAdjust(hue, saturation, brightness);
}

bool CSkinBase::SetItemValue(const std::wstring& item_id, const std::wstring& value, bool images_only, bool redraw) {
  bool found = false;
  for (const auto& item : items_) {
    if (item->Id() != item_id) continue;
    if (item->Kind() == skin::ItemKind::kImage) {
      static_cast<DirectUI_Image&>(*item).SetPictureId(value);
    } else if (item->Kind() == skin::ItemKind::kText && !images_only) {
      static_cast<DirectUI_Text&>(*item).SetText(value);
    } else {
      continue;
    }
    found = true;
    break;
  }
  if (found && redraw && window_) ::InvalidateRect(window_, nullptr, FALSE);
  return found;
}

bool CSkinBase::SetItemProperty(const std::wstring& item_id, const std::wstring& value, bool redraw) {
  return SetItemValue(item_id, value, false, redraw);
}

bool CSkinBase::SetItemImage(const std::wstring& item_id, const std::wstring& path, bool redraw) {
  if (!theme_) return false;
  theme_->RegisterFilePicture(path);
  return SetItemValue(item_id, path, true, redraw);
}

std::wstring CSkinBase::HostText() const {
  wchar_t text[skin::kMaxItemText + 1] = {};
  if (window_) ::GetWindowTextW(window_, text, static_cast<int>(skin::kMaxItemText + 1));
  return text;
}

void CSkinBase::InvalidateArea(const skin::Rect& area, bool erase) {
  if (!window_) return;
  const RECT rc{area.left, area.top, area.right, area.bottom};
  ::InvalidateRect(window_, &rc, erase ? TRUE : FALSE);
}

void CSkinBase::ItemClicked(std::wstring_view id) { pending_click_ = std::wstring(id); }
