#include "skin/SkinBase_win.h"

#include "skin/PaintRedirect_win.h"
#include "skin/SkinIds.h"
#include "skin/SkinScrollBars_win.h"
#include "skin/SkinResourceManager.h"
#include "skin/SkinWndManager_win.h"
#include "skin/items/DirectUI_Image_win.h"
#include "skin/items/DirectUI_Text_win.h"
#include "skin/items/ItemLayout.h"

CSkinBase::CSkinBase(HWND window) : window_(window) {
  chain_.previous = &::DefWindowProcW;
  chain_.previous_ansi = &::DefWindowProcA;
  background_request_.window = window;
  if (window_) ::SetPropW(window_, skin::kPropSkinObject, this);
}

CSkinBase::~CSkinBase() {
  if (window_ && ::GetPropW(window_, skin::kPropSkinObject) == this) ::RemovePropW(window_, skin::kPropSkinObject);
  EndRedirection();
  if (manager_) manager_->ForgetWindow(window_, this);
  DestroyItems();
}

skin::CSkinPaintRedirect* CSkinBase::PaintRedirect() {
  if (!paint_redirect_ && manager_)
    paint_redirect_ = std::make_unique<skin::CSkinPaintRedirect>(*this, *manager_,
                                                                  skin::CSkinPaintRedirect::Calls::kPaint);
  return paint_redirect_.get();
}

skin::CSkinPaintRedirect* CSkinBase::DeviceContextRedirect() {
  if (!dc_redirect_ && manager_)
    dc_redirect_ = std::make_unique<skin::CSkinPaintRedirect>(*this, *manager_,
                                                               skin::CSkinPaintRedirect::Calls::kDeviceContext);
  return dc_redirect_.get();
}

void CSkinBase::EndRedirection() {
  paint_redirect_.reset();
  dc_redirect_.reset();
}

std::optional<HDC> CSkinBase::BeginPaint(PAINTSTRUCT* paint) {
  return paint_redirect_ ? paint_redirect_->BeginPaint(paint) : std::nullopt;
}
std::optional<BOOL> CSkinBase::EndPaint(const PAINTSTRUCT* paint) {
  return paint_redirect_ ? paint_redirect_->EndPaint(paint) : std::nullopt;
}
std::optional<HDC> CSkinBase::GetDC() { return dc_redirect_ ? dc_redirect_->GetDC(false) : std::nullopt; }
std::optional<HDC> CSkinBase::GetWindowDC() { return dc_redirect_ ? dc_redirect_->GetDC(true) : std::nullopt; }
std::optional<int> CSkinBase::ReleaseDC(HDC dc) {
  return dc_redirect_ ? dc_redirect_->ReleaseDC(dc) : std::nullopt;
}

skin::SkinScrollBars& CSkinBase::KeepScrollState() {
  if (!scroll_bars_) scroll_bars_ = std::make_unique<skin::SkinScrollBars>(window_);
  return *scroll_bars_;
}

std::optional<int> CSkinBase::SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw) {
  return scroll_bars_ ? scroll_bars_->SetScrollInfo(bar, info, redraw) : std::nullopt;
}
std::optional<BOOL> CSkinBase::GetScrollInfo(int bar, SCROLLINFO& info) {
  return scroll_bars_ ? scroll_bars_->GetScrollInfo(bar, info) : std::nullopt;
}
std::optional<int> CSkinBase::SetScrollPos(int bar, int position, BOOL redraw) {
  return scroll_bars_ ? scroll_bars_->SetScrollPos(bar, position, redraw) : std::nullopt;
}
std::optional<int> CSkinBase::GetScrollPos(int bar) {
  return scroll_bars_ ? scroll_bars_->GetScrollPos(bar) : std::nullopt;
}
std::optional<BOOL> CSkinBase::SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) {
  return scroll_bars_ ? scroll_bars_->SetScrollRange(bar, minimum, maximum, redraw) : std::nullopt;
}
std::optional<BOOL> CSkinBase::GetScrollRange(int bar, int& minimum, int& maximum) {
  return scroll_bars_ ? scroll_bars_->GetScrollRange(bar, minimum, maximum) : std::nullopt;
}
std::optional<BOOL> CSkinBase::ShowScrollBar(int bar, BOOL show) {
  return scroll_bars_ ? scroll_bars_->ShowScrollBar(bar, show) : std::nullopt;
}
std::optional<BOOL> CSkinBase::EnableScrollBar(UINT bars, UINT arrows) {
  return scroll_bars_ ? scroll_bars_->EnableScrollBar(bars, arrows) : std::nullopt;
}

bool CSkinBase::RegisterLayout() {
  const skin::Placement& p = placement_;
  if (p.left == 0 && p.top == 0 && p.right == 0 && p.bottom == 0) return false;
  // Only a child has a parent to place it (GetParent would name a pop-up's owner).
  if (!window_ || !(::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD)) return false;
  HWND parent = ::GetParent(window_);
  if (!parent || !::GetPropW(parent, skin::kPropSkinObject)) return false;
  ::SendMessageW(parent, skin::kMsgRegisterLayout, reinterpret_cast<WPARAM>(this), 0);
  return true;
}

bool CSkinBase::Layout(HDWP* defer, int left, int top, int right, int bottom) {
  const std::optional<skin::Rect> place = skin::Place(placement_, skin::Rect{left, top, right, bottom});
  if (!place || !window_) return false;
  const int w = place->right - place->left, h = place->bottom - place->top;
  if (defer && *defer) {
    *defer = ::DeferWindowPos(*defer, window_, nullptr, place->left, place->top, w, h,
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return true;
  }
  ::MoveWindow(window_, place->left, place->top, w, h, TRUE);
  return true;
}

void CSkinBase::ApplyAttributes() { RegisterLayout(); }

void CSkinBase::ApplyColorAdjust(int hue, int saturation, int brightness) {
  ColorAdjustItems(hue, saturation, brightness);
}

void CSkinBase::OnTimer(UINT_PTR) {}

LRESULT CSkinBase::CallPrevious(UINT msg, WPARAM wp, LPARAM lp) {
  return ::CallWindowProcW(chain_.previous ? chain_.previous : &::DefWindowProcW, window_, msg, wp, lp);
}

LRESULT CSkinBase::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) OnTimer(static_cast<UINT_PTR>(wp));
  const LRESULT result = CallPrevious(msg, wp, lp);
  if (msg == WM_NCDESTROY) delete this;
  return result;
}

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
