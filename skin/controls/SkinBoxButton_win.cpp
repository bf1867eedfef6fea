#include "skin/controls/SkinBoxButton_win.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "framework/Handles.h"
#include "skin/SkinIds.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeGdi.h"
#include "skin/ThemeItem.h"
#include "skin/controls/ChildBackground_win.h"
#include "skin/draw/SkinDC_win.h"
#include "skin/draw/SkinDrawImage_win.h"
#include "skin/hook/ProcedureChain_win.h"
#include "skin/items/ColorAdjust.h"

namespace {

constexpr const wchar_t* kPictureNames[11] = {
    L"picUncheckNormal", L"picUncheckOver", L"picUncheckDown", L"picUncheckDisible", L"picUncheckFocus",
    L"picCheckedNormal", L"picCheckedOver", L"picCheckedDown", L"picCheckedDisible", L"picCheckedFocus",
    L"picIndeterminate"};
constexpr const wchar_t* kColorNames[5] = {L"textNormalColor", L"textOverColor", L"textDownColor",
                                           L"textDisibleColor", L"textFocusColor"};
constexpr size_t kChecked = 5;
constexpr size_t kIndeterminate = 10;
constexpr int kMaxText = 511;
constexpr int kTextGap = 3;

}  // namespace

CSkinBoxButton::CSkinBoxButton(HWND window, std::wstring_view theme_class, bool has_indeterminate)
    : CSkinBase(window), theme_class_(theme_class), has_indeterminate_(has_indeterminate) {
  ::SetPropW(window_, skin::kPropSkinObject, static_cast<CSkinBase*>(this));
}

CSkinBoxButton::~CSkinBoxButton() {
  if (::IsWindow(window_) &&
      ::GetPropW(window_, skin::kPropSkinObject) == static_cast<HANDLE>(static_cast<CSkinBase*>(this)))
    ::RemovePropW(window_, skin::kPropSkinObject);
}

CSkinBoxButton* CSkinBoxButton::FromWindow(HWND window) {
  auto* base = static_cast<CSkinBase*>(::GetPropW(window, skin::kPropSkinObject));
  return base ? dynamic_cast<CSkinBoxButton*>(base) : nullptr;
}

CSkinBoxButton* CSkinBoxButton::Redress(CSkinBoxButton& dressed, skin::CSkinResourceManager& theme,
                                        std::wstring_view id) {
  const skin::ThemeItem* item = theme.FindItem(dressed.theme_class_, id);
  if (!item) return nullptr;  // the old skin stays
  dressed.Attach(*item, theme);
  dressed.ApplyAttributes();
  const skin::HsbShift& shift = skin::CurrentHsbShift();
  dressed.ApplyColorAdjust(shift.hue, shift.saturation, shift.brightness);
  ::InvalidateRect(dressed.window_, nullptr, TRUE);
  return &dressed;
}

CSkinBoxButton* CSkinBoxButton::DressWith(std::unique_ptr<CSkinBoxButton> skin, skin::CSkinResourceManager& theme,
                                          std::wstring_view id) {
  const skin::ThemeItem* item = theme.FindItem(skin->theme_class_, id);
  if (!item) return nullptr;  // the skin's destructor takes its property away again
  skin->Attach(*item, theme);
  skin->ApplyAttributes();
  const skin::HsbShift& shift = skin::CurrentHsbShift();
  skin->ApplyColorAdjust(shift.hue, shift.saturation, shift.brightness);
  skin->chain_.engine = &WindowProc;
  if (!skin::hook::InstallEngineProcedure(skin->window_, skin->chain_)) return nullptr;
  ::InvalidateRect(skin->window_, nullptr, TRUE);
  return skin.release();
}

void CSkinBoxButton::Attach(const skin::ThemeItem& item, skin::CSkinResourceManager& theme) {
  theme_ = &theme;
  for (size_t i = 0; i < picture_ids_.size(); ++i)
    picture_ids_[i] = i == kIndeterminate && !has_indeterminate_ ? std::wstring() : item.Raw(L"attribute", kPictureNames[i]);
  for (size_t i = 0; i < text_colors_.size(); ++i)
    text_colors_[i] = theme.ResolveColor(item.Raw(L"attribute", kColorNames[i]), 0);
  tooltip_.SetText(item.Raw(L"attribute", L"toolTip"));
  draw_focus_rect_ = item.Raw(L"attribute", L"drawFocusRect") == L"true";
  font_id_ = item.Raw(L"attribute", L"font");
  cursor_id_ = item.Raw(L"attribute", L"cursor");
  BuildItems(item, theme);
}

void CSkinBoxButton::ApplyAttributes() {
  HFONT font = theme_ && !font_id_.empty() ? skin::ThemeFont(*theme_, font_id_) : nullptr;
  if (!font) font = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  SetFont(font);
  cursor_ = theme_ && !cursor_id_.empty() ? skin::ThemeCursor(*theme_, cursor_id_) : nullptr;
}

void CSkinBoxButton::ApplyColorAdjust(int hue, int saturation, int brightness) {
  ColorAdjustItems(hue, saturation, brightness);
  for (size_t i = 0; i < pictures_.size(); ++i)
    pictures_[i] = theme_ && !picture_ids_[i].empty() ? theme_->GetPicture(picture_ids_[i]) : nullptr;
}

LRESULT CSkinBoxButton::GetCheckState() { return CallPrevious(BM_GETSTATE, 0, 0); }

LRESULT CALLBACK CSkinBoxButton::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CSkinBoxButton* skin = FromWindow(hwnd);
  if (!skin) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return skin->OnMessage(msg, wp, lp);
}

LRESULT CSkinBoxButton::CallPrevious(UINT msg, WPARAM wp, LPARAM lp) {
  if (chain_.previous) return ::CallWindowProcW(chain_.previous, window_, msg, wp, lp);
  return ::DefWindowProcW(window_, msg, wp, lp);
}

LRESULT CSkinBoxButton::HiddenFromScreen(UINT msg, WPARAM wp, LPARAM lp) {
  if (!::IsWindowVisible(window_)) return CallPrevious(msg, wp, lp);
  HWND hwnd = window_;
  ::SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
  const LRESULT result = CallPrevious(msg, wp, lp);
  if (!::IsWindow(hwnd)) return result;
  ::SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(hwnd, nullptr, FALSE);
  return result;
}

void CSkinBoxButton::UpdateLook() {
  const bool enabled = ::IsWindowEnabled(window_) != FALSE;
  const skin::ButtonLook look = skin::ComputeButtonLook(enabled, over_, pressed_, ::GetFocus() == window_);
  display_ = look.display;
  SetHostState(skin::CheckBoxHostBit((GetCheckState() & BST_CHECKED) != 0, enabled, over_, pressed_));
}

CSkinDrawImage* CSkinBoxButton::BoxPicture(LRESULT check_state) const {
  const size_t state = static_cast<size_t>(display_);
  if (has_indeterminate_ && (check_state & BST_INDETERMINATE)) return pictures_[kIndeterminate];
  if (check_state & BST_CHECKED) return pictures_[kChecked + state] ? pictures_[kChecked + state] : pictures_[kChecked];
  return pictures_[state] ? pictures_[state] : pictures_[0];
}

void CSkinBoxButton::PaintContent(HDC target) {
  RECT client{};
  ::GetClientRect(window_, &client);
  CSkinMemDC dc(target, client);
  if (!dc.IsValid()) return;
  skin::PaintChildBackground(window_, dc, client);
  if (CSkinDrawImage* normal = pictures_[0]) {
    normal->Realise();
    const int box_w = static_cast<int>(normal->GetWidth());
    const int box_h = static_cast<int>(normal->GetHeight());
    const bool text_left = (::GetWindowLongPtrW(window_, GWL_STYLE) & BS_LEFTTEXT) != 0;
    const int box_y = client.top + (client.bottom - client.top - box_h) / 2;
    const int box_x = text_left ? client.right - box_w : client.left;
    RECT text_rect = text_left ? RECT{client.left, client.top, client.right - box_w, client.bottom}
                               : RECT{client.left + box_w + kTextGap, client.top, client.right, client.bottom};
    if (CSkinDrawImage* box = BoxPicture(GetCheckState())) skin::DrawAtTransparent(dc, *box, box_x, box_y);
    wchar_t text[kMaxText + 1] = {};
    const int length = ::GetWindowTextW(window_, text, kMaxText + 1);
    if (length > 0) {
      ::SetTextColor(dc, text_colors_[static_cast<size_t>(display_)]);
      ::SetBkMode(dc, TRANSPARENT);
      fw::ScopedSelectObject font(dc, Font());
      ::DrawTextW(dc, text, std::min(length, kMaxText), &text_rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
  }
  DrawItems(dc, client.left, client.top, client.right, client.bottom);
  if (::GetFocus() == window_ && draw_focus_rect_) ::DrawFocusRect(dc, &client);
}

LRESULT CSkinBoxButton::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = window_;
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!over_) {
        over_ = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, hwnd, 1};
        ::TrackMouseEvent(&track);
        ::InvalidateRect(hwnd, nullptr, FALSE);
      }
      if (pressed_)
        tooltip_.Destroy();
      else
        tooltip_.MouseMove(hwnd, msg, wp, lp);
      MouseMoveItems(static_cast<unsigned>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      break;
    case WM_MOUSELEAVE: {
      pressed_ = over_ = false;
      ::InvalidateRect(hwnd, nullptr, FALSE);
      POINT p{};
      ::GetCursorPos(&p);
      ::ScreenToClient(hwnd, &p);
      MouseMoveItems(0, p.x, p.y);
      break;
    }
    case WM_LBUTTONDOWN:
      tooltip_.Destroy();
      if (!ButtonDownItems(static_cast<unsigned>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) {
        pressed_ = true;
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
      }
      break;
    case WM_LBUTTONUP:
      if (ButtonUpItems(static_cast<unsigned>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) return 0;
      pressed_ = false;
      ::InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_SETCURSOR: {
      POINT p{};
      ::GetCursorPos(&p);
      ::ScreenToClient(hwnd, &p);
      if (HoveredItem() && HoveredItem()->OnSetCursor(p.x, p.y)) return TRUE;
      if (cursor_) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_UPDATEUISTATE:
      return HiddenFromScreen(msg, wp, lp);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      UpdateLook();
      PAINTSTRUCT paint{};
      if (HDC dc = ::BeginPaint(hwnd, &paint)) {
        PaintContent(dc);
        ::EndPaint(hwnd, &paint);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      UpdateLook();
      PaintContent(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_NCDESTROY: {
      const LRESULT result = CallPrevious(msg, wp, lp);
      delete this;
      return result;
    }
    default:
      break;
  }
  return CallPrevious(msg, wp, lp);
}
