#include "skin/controls/SkinButtonSB_win.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/ButtonState.h"
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

constexpr const wchar_t* kPictureNames[5] = {L"picNormal", L"picOver", L"picDown", L"picDisable", L"picFocus"};
constexpr const wchar_t* kColorNames[5] = {L"textNormalColor", L"textOverColor", L"textDownColor",
                                           L"textDisableColor", L"textFocusColor"};
constexpr int kMaxCaption = 1023;

std::wstring WindowText(HWND hwnd, int limit) {
  std::wstring text(static_cast<size_t>(limit) + 1, L'\0');
  const int length = ::GetWindowTextW(hwnd, text.data(), limit + 1);
  text.resize(static_cast<size_t>(std::clamp(length, 0, limit)));
  return text;
}

// Asks for the leave notification unless it is already asked for.
void TrackLeave(HWND hwnd) {
  TRACKMOUSEEVENT query{sizeof(query), TME_QUERY};
  if (::TrackMouseEvent(&query) && (query.dwFlags & TME_LEAVE) && query.hwndTrack == hwnd) return;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
  ::TrackMouseEvent(&track);
}

}  // namespace

CSkinButtonSB::CSkinButtonSB(HWND window) : CSkinBase(window) {
  if (window_) ::SetPropW(window_, skin::kPropSkinObject, static_cast<CSkinBase*>(this));
}

CSkinButtonSB::~CSkinButtonSB() {
  if (window_ && ::IsWindow(window_) &&
      ::GetPropW(window_, skin::kPropSkinObject) == static_cast<HANDLE>(static_cast<CSkinBase*>(this)))
    ::RemovePropW(window_, skin::kPropSkinObject);
}

CSkinButtonSB* CSkinButtonSB::FromWindow(HWND window) {
  auto* base = static_cast<CSkinBase*>(::GetPropW(window, skin::kPropSkinObject));
  return base ? dynamic_cast<CSkinButtonSB*>(base) : nullptr;
}

CSkinButtonSB* CSkinButtonSB::Dress(HWND window, skin::CSkinResourceManager& theme, std::wstring_view id) {
  const skin::ThemeItem* item = theme.FindItem(L"button", id);
  if (!item) return nullptr;
  if (CSkinButtonSB* dressed = FromWindow(window)) {
    dressed->Attach(*item, theme);
    dressed->ApplyAttributes();
    const skin::HsbShift& shift = skin::CurrentHsbShift();
    dressed->ApplyColorAdjust(shift.hue, shift.saturation, shift.brightness);
    ::InvalidateRect(window, nullptr, TRUE);
    return dressed;
  }
  if ((::GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) return nullptr;
  auto skin = std::make_unique<CSkinButtonSB>(window);
  skin->Attach(*item, theme);
  skin->ApplyAttributes();
  const skin::HsbShift& shift = skin::CurrentHsbShift();
  skin->ApplyColorAdjust(shift.hue, shift.saturation, shift.brightness);
  skin->chain_.engine = &WindowProc;
  if (!skin::hook::InstallEngineProcedure(window, skin->chain_)) return nullptr;
  ::InvalidateRect(window, nullptr, TRUE);
  return skin.release();
}

void CSkinButtonSB::Attach(const skin::ThemeItem& item, skin::CSkinResourceManager& theme) {
  theme_ = &theme;
  for (size_t i = 0; i < picture_ids_.size(); ++i) {
    picture_ids_[i] = item.Raw(L"attribute", kPictureNames[i]);
    text_colors_[i] = theme.ResolveColor(item.Raw(L"attribute", kColorNames[i]), i == kDisabled ? RGB(255, 0, 255) : 0);
  }
  tooltip_.SetText(item.Raw(L"attribute", L"toolTip"));
  text_offset_ = skin::ParsePair(item.Raw(L"attribute", L"textOffset"), {1, 1});
  grid_ = skin::ParseQuad(item.Raw(L"attribute", L"border9grid"), {5, 5, 5, 5});
  draw_focus_rect_ = item.Raw(L"attribute", L"drawFocusRect") == L"true";
  font_id_ = item.Raw(L"attribute", L"font");
  cursor_id_ = item.Raw(L"attribute", L"cursor");
  split_width_ = std::max(0, item.Element(L"attribute").Int(L"spinbtnWidth", 0));
  BuildItems(item, theme);
  split_.reset();
  const std::wstring split_label = item.Raw(L"attribute", L"spinbtnLabel");
  if (!split_label.empty()) {
    if (const skin::ThemeItem* split_item = theme.FindItem(L"button", split_label)) {
      split_ = std::make_unique<CSkinButtonSB>(nullptr);
      split_->Attach(*split_item, theme);
    }
  }
}

void CSkinButtonSB::ApplyAttributes() {
  HFONT font = theme_ && !font_id_.empty() ? skin::ThemeFont(*theme_, font_id_) : nullptr;
  if (!font && window_) font = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  SetFont(font);
  cursor_ = theme_ && !cursor_id_.empty() ? skin::ThemeCursor(*theme_, cursor_id_) : nullptr;
  if (split_) split_->ApplyAttributes();
}

void CSkinButtonSB::ApplyColorAdjust(int hue, int saturation, int brightness) {
  ColorAdjustItems(hue, saturation, brightness);
  if (split_) split_->ApplyColorAdjust(hue, saturation, brightness);
  for (size_t i = 0; i < pictures_.size(); ++i)
    pictures_[i] = theme_ && !picture_ids_[i].empty() ? theme_->GetPicture(picture_ids_[i]) : nullptr;
  for (size_t i = 1; i < pictures_.size(); ++i)
    if (!pictures_[i]) pictures_[i] = pictures_[kNormal];
}

LRESULT CALLBACK CSkinButtonSB::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CSkinButtonSB* skin = FromWindow(hwnd);
  if (!skin) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return skin->OnMessage(msg, wp, lp);
}

LRESULT CSkinButtonSB::CallPrevious(UINT msg, WPARAM wp, LPARAM lp) {
  if (chain_.previous) return ::CallWindowProcW(chain_.previous, window_, msg, wp, lp);
  return ::DefWindowProcW(window_, msg, wp, lp);
}

LRESULT CSkinButtonSB::HiddenFromScreen(UINT msg, WPARAM wp, LPARAM lp) {
  if (!::IsWindowVisible(window_)) return CallPrevious(msg, wp, lp);
  HWND hwnd = window_;
  ::SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
  const LRESULT result = CallPrevious(msg, wp, lp);
  if (!::IsWindow(hwnd)) return result;
  ::SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(hwnd, nullptr, FALSE);
  return result;
}

CSkinButtonSB::State CSkinButtonSB::ComputeState(bool pressed, bool with_focus) {
  const bool enabled = !window_ || ::IsWindowEnabled(window_);
  const bool focused = with_focus && window_ && ::GetFocus() == window_;
  const skin::ButtonLook look = skin::ComputeButtonLook(enabled, over_, pressed, focused);
  SetHostState(look.host_bit);
  return static_cast<State>(look.display);
}

RECT CSkinButtonSB::SplitRect(const RECT& client) const {
  return RECT{std::max(client.left, client.right - split_width_), client.top, client.right, client.bottom};
}

void CSkinButtonSB::DrawPart(HDC dc, CSkinButtonSB& part, const RECT& rect, State state) {
  if (CSkinDrawImage* picture = part.pictures_[state])
    skin::Draw9Grid(dc, *picture, rect.left, rect.top, rect.right, rect.bottom, grid_[0], grid_[1], grid_[2],
                    grid_[3]);
  part.DrawItems(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void CSkinButtonSB::PaintTo(HDC target) {
  RECT client{};
  ::GetClientRect(window_, &client);
  CSkinMemDC dc(target, client);
  if (!dc.IsValid()) return;
  skin::PaintChildBackground(window_, dc, client);
  if (!split_) {
    state_ = ComputeState(pressed_, true);
    DrawPart(dc, *this, client, state_);
  } else {
    const RECT split = SplitRect(client);
    const RECT main{client.left, client.top, split.left, client.bottom};
    state_ = ComputeState(pressed_, false);
    split_->SetHostState(HostState());
    State split_state = state_;
    if (state_ != kDisabled && over_) {
      split_state = split_->pressed_ ? kDown : kOver;
      split_->SetHostState(split_->pressed_ ? 4 : 2);
    }
    DrawPart(dc, *this, main, state_);
    DrawPart(dc, *split_, split, split_state);
  }
  DrawCaption(dc, client, state_);
  if (state_ == kFocused && draw_focus_rect_) ::DrawFocusRect(dc, &client);
}

void CSkinButtonSB::DrawCaption(HDC dc, const RECT& client, State state) {
  ::SetTextColor(dc, text_colors_[state]);
  ::SetBkMode(dc, TRANSPARENT);
  fw::ScopedSelectObject font(dc, Font());
  RECT rect{client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  const bool left = (style & BS_CENTER) == BS_LEFT;
  if (style & BS_ICON) return DrawCaptionImage(dc, rect, true, left);
  if (style & BS_BITMAP) return DrawCaptionImage(dc, rect, false, left);
  std::wstring text = WindowText(window_, kMaxCaption);
  if (text.empty()) return;
  UINT format = (style & BS_CENTER) == BS_LEFT ? DT_LEFT : (style & BS_CENTER) == BS_RIGHT ? DT_RIGHT : DT_CENTER;
  if (state == kDown) ::OffsetRect(&rect, text_offset_[0], text_offset_[1]);
  const LONG_PTR vertical = style & BS_VCENTER;
  if (style & BS_MULTILINE) {
    RECT measure = rect;
    const int height = ::DrawTextW(dc, text.c_str(), -1, &measure, format | DT_WORDBREAK | DT_CALCRECT);
    if (vertical == BS_TOP) {
      rect.bottom = rect.top + height;
    } else if (vertical == BS_BOTTOM) {
      rect.top = rect.bottom - height;
    } else {
      rect.top = (rect.top + rect.bottom) / 2 - height / 2;
      rect.bottom = rect.top + height;
    }
    ::DrawTextW(dc, text.c_str(), -1, &rect, format | DT_WORDBREAK);
    return;
  }
  format |= DT_SINGLELINE | (vertical == BS_TOP ? DT_TOP : vertical == BS_BOTTOM ? DT_BOTTOM : DT_VCENTER);
  ::DrawTextW(dc, text.c_str(), -1, &rect, format);
}

void CSkinButtonSB::DrawCaptionImage(HDC dc, const RECT& rect, bool icon, bool left) {
  const HANDLE image =
      reinterpret_cast<HANDLE>(::SendMessageW(window_, BM_GETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, 0));
  if (!image) return;
  SIZE size{};
  if (icon) {
    ICONINFO info{};
    if (!::GetIconInfo(static_cast<HICON>(image), &info)) return;
    fw::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm))
      size = {bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
  } else {
    BITMAP bm{};
    if (!::GetObjectW(image, sizeof(bm), &bm)) return;
    size = {bm.bmWidth, bm.bmHeight};
  }
  const int x = left ? rect.left : rect.left + (rect.right - rect.left - size.cx) / 2;
  const int y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
  if (icon) {
    ::DrawIconEx(dc, x, y, static_cast<HICON>(image), size.cx, size.cy, 0, nullptr, DI_NORMAL);
    return;
  }
  fw::UniqueMemDC source(::CreateCompatibleDC(dc));
  if (!source) return;
  fw::ScopedSelectObject selected(source.get(), image);
  ::BitBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

LRESULT CSkinButtonSB::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = window_;
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (!over_) {
        over_ = true;
        TrackLeave(hwnd);
        ::InvalidateRect(hwnd, nullptr, FALSE);
      }
      if (pressed_)
        tooltip_.Destroy();
      else
        tooltip_.MouseMove(hwnd, msg, wp, lp);
      MouseMoveItems(static_cast<unsigned>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      break;
    }
    case WM_MOUSELEAVE: {
      POINT p{};
      ::GetCursorPos(&p);
      ::ScreenToClient(hwnd, &p);
      RECT client{};
      ::GetClientRect(hwnd, &client);
      const RECT split = SplitRect(client);
      if (split_ && split_->pressed_ && ::PtInRect(&split, p)) break;
      if (split_) split_->pressed_ = false;
      over_ = false;
      pressed_ = false;
      ::InvalidateRect(hwnd, nullptr, TRUE);
      MouseMoveItems(0, p.x, p.y);
      break;
    }
    case WM_LBUTTONDOWN: {
      tooltip_.Destroy();
      const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      if (ButtonDownItems(static_cast<unsigned>(wp), x, y)) break;
      const LRESULT result = HiddenFromScreen(msg, wp, lp);
      if (!::IsWindow(hwnd) || FromWindow(hwnd) != this) return result;
      if (!split_) {
        pressed_ = true;
      } else {
        RECT client{};
        ::GetClientRect(hwnd, &client);
        const RECT split = SplitRect(client);
        const POINT p{x, y};
        split_->pressed_ = ::PtInRect(&split, p) != FALSE;
        if (split_->pressed_)
          ::PostMessageW(::GetParent(hwnd), skin::SKINMSG_SPINCLICK, reinterpret_cast<WPARAM>(hwnd), 0);
      }
      ::InvalidateRect(hwnd, nullptr, FALSE);
      ::UpdateWindow(hwnd);
      return result;
    }
    case WM_LBUTTONUP: {
      if (ButtonUpItems(static_cast<unsigned>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) {
        // An item took the release (and may have destroyed this skin): the button does not click.
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        return 0;
      }
      if (split_) split_->pressed_ = false;
      pressed_ = false;
      ::InvalidateRect(hwnd, nullptr, FALSE);
      const LRESULT result = CallPrevious(msg, wp, lp);
      // The press's mouse capture ends leave tracking on some platforms: ask again while the pointer is in.
      if (::IsWindow(hwnd) && FromWindow(hwnd) == this && over_) TrackLeave(hwnd);
      return result;
    }
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
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
    case WM_UPDATEUISTATE:
    case WM_LBUTTONDBLCLK:
    case WM_KILLFOCUS:
      return HiddenFromScreen(msg, wp, lp);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      if (HDC dc = ::BeginPaint(hwnd, &paint)) {
        PaintTo(dc);
        ::EndPaint(hwnd, &paint);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintTo(reinterpret_cast<HDC>(wp));
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
