#include "skin/controls/SkinScroller_win.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/Handles.h"
#include "skin/SkinIds.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeItem.h"
#include "skin/draw/GdiOps_win.h"
#include "skin/draw/SkinDC_win.h"
#include "skin/draw/SkinDrawImage_win.h"
#include "skin/hook/RealFunctions_win.h"

namespace {

constexpr int kHorizontal = 0;
constexpr int kVertical = 1;
constexpr UINT kScrollInfoMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;  // 23
constexpr int kNoScrollStyle = 0x2000;  // list and tree views: no thumb without a range
constexpr LONG kEdgeStyles = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE;

skin::BarAxis AxisOf(int index) { return index == kVertical ? skin::BarAxis::kVertical : skin::BarAxis::kHorizontal; }

RECT ToRect(const skin::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
skin::Rect FromRect(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

RECT Offset(const skin::Rect& r, const RECT& by) {
  return RECT{r.left + by.left, r.top + by.top, r.right + by.left, r.bottom + by.top};
}

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

int AlongOf(skin::BarAxis axis, POINT p) { return axis == skin::BarAxis::kVertical ? p.y : p.x; }
int AcrossOf(skin::BarAxis axis, POINT p) { return axis == skin::BarAxis::kVertical ? p.x : p.y; }

int Length(skin::BarAxis axis, const RECT& r) {
  return axis == skin::BarAxis::kVertical ? r.bottom - r.top : r.right - r.left;
}

bool ValidScrollInfo(const SCROLLINFO& info) {
  return info.cbSize == sizeof(SCROLLINFO) || info.cbSize == sizeof(SCROLLINFO) - sizeof(info.nTrackPos);
}

skin::ScrollValues ValuesOf(const SCROLLINFO& info) {
  skin::ScrollValues v;
  v.minimum = info.nMin;
  v.maximum = info.nMax;
  v.page = info.nPage;
  v.position = info.nPos;
  v.track_position = info.nTrackPos;
  return v;
}

}  // namespace

CSkinScroller::CSkinScroller(HWND window, bool standalone) : CSkinBase(window), standalone_(standalone) {
  ::SetPropW(window_, skin::kPropSkinObject, static_cast<CSkinBase*>(this));
  drag_.last_position = -1;
}

CSkinScroller::~CSkinScroller() {
  if (::IsWindow(window_) &&
      ::GetPropW(window_, skin::kPropSkinObject) == static_cast<HANDLE>(static_cast<CSkinBase*>(this)))
    ::RemovePropW(window_, skin::kPropSkinObject);
}

void CSkinScroller::SetPictures(CSkinDrawImage* sprite, CSkinDrawImage* size_box) {
  sprite_ = sprite;
  size_box_picture_ = size_box;
  bars_[0].changed = bars_[1].changed = true;
}

bool CSkinScroller::AttachScrollbarItem(skin::CSkinResourceManager& theme, std::wstring_view id) {
  const skin::ThemeItem* item = theme.FindItem(L"scrollbar", id);
  if (!item) return false;
  SetPictures(theme.GetPicture(item->Raw(L"attribute", L"bmpScrollbar")),
              theme.GetPicture(item->Raw(L"attribute", L"imageSizebox")));
  return sprite_ != nullptr;
}

bool CSkinScroller::Alive(HWND hwnd, const CSkinScroller* skin) {
  if (!::IsWindow(hwnd)) return false;
  return ::GetPropW(hwnd, skin::kPropSkinObject) ==
         static_cast<HANDLE>(const_cast<CSkinBase*>(static_cast<const CSkinBase*>(skin)));
}

LRESULT CSkinScroller::CallPrevious(UINT msg, WPARAM wp, LPARAM lp) {
  if (chain_.previous) return ::CallWindowProcW(chain_.previous, window_, msg, wp, lp);
  return ::DefWindowProcW(window_, msg, wp, lp);
}

int CSkinScroller::BarIndex(int bar) const {
  if (standalone_) {
    if (bar != SB_CTL) return -1;
    return (::GetWindowLongPtrW(window_, GWL_STYLE) & SBS_VERT) ? kVertical : kHorizontal;
  }
  if (bar == SB_HORZ) return kHorizontal;
  if (bar == SB_VERT) return kVertical;
  return -1;
}

std::optional<skin::Rect> CSkinScroller::ThumbRect(int index) const {
  if (!bars_[index].parts.has_thumb) return std::nullopt;
  return bars_[index].parts.thumb;
}

void CSkinScroller::Layout() {
  RECT window{};
  ::GetWindowRect(window_, &window);
  RECT client{};
  ::GetClientRect(window_, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window_, &origin);
  ::OffsetRect(&client, origin.x - window.left, origin.y - window.top);
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  left_scroll_bar_ = (::GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;

  for (int index = kHorizontal; index <= kVertical; ++index) {
    Bar& bar = bars_[index];
    const skin::BarAxis axis = AxisOf(index);
    if (standalone_) {
      bar.present = index == BarIndex(SB_CTL);
      bar.rect = RECT{0, 0, window.right - window.left, window.bottom - window.top};
    } else {
      bar.present = (style & (index == kVertical ? WS_VSCROLL : WS_HSCROLL)) != 0;
      bar.rect = ToRect(index == kVertical ? skin::VerticalBarRect(FromRect(client), left_scroll_bar_)
                                           : skin::HorizontalBarRect(FromRect(client)));
    }
    if (!bar.present) continue;
    const skin::ScrollValues& values = bar.state.values;
    bar.disabled = standalone_ ? !::IsWindowEnabled(window_)
                               : skin::IsOwnBarDisabled(values) || bar.state.arrows_disabled;
    const int length = Length(axis, bar.rect);
    std::optional<skin::Thumb> thumb;
    if (dragging_ && index == active_bar_) {
      thumb = skin::Thumb{drag_.thumb_offset, drag_track_.thumb_length};
    } else {
      skin::ThumbRequest request;
      request.track_length = length - 2 * skin::kScrollBarSize;
      request.values = values;
      request.disabled = bar.disabled;
      request.no_scroll_style = (style & WS_CHILD) && (style & kNoScrollStyle);
      thumb = skin::ComputeThumb(request);
    }
    const skin::BarParts parts = skin::LayoutBar(axis, length, thumb);
    if (parts.track != bar.parts.track || parts.thumb != bar.parts.thumb || parts.has_thumb != bar.parts.has_thumb)
      bar.changed = true;
    bar.parts = parts;
  }
  size_box_ = RECT{};
  if (!standalone_ && bars_[kHorizontal].present && bars_[kVertical].present)
    size_box_ = ToRect(skin::SizeBoxRect(FromRect(bars_[kVertical].rect), FromRect(client)));
}

void CSkinScroller::PaintBars(HDC dc, bool force) {
  if (!::IsWindowVisible(window_) || suspend_painting_ || !sprite_) return;
  std::optional<fw::WindowDC> own;
  if (!dc) {
    own.emplace(window_, true);
    dc = own->get();
    if (!dc) return;
  }
  Layout();
  if (force) bars_[kHorizontal].changed = bars_[kVertical].changed = true;
  for (int index = kHorizontal; index <= kVertical; ++index) {
    Bar& bar = bars_[index];
    if (!bar.present || !bar.changed || (dragging_ && index != active_bar_)) continue;
    bar.changed = false;
    CSkinMemDC buffer(dc, bar.rect);
    if (!buffer.IsValid()) continue;
    const skin::BarAxis axis = AxisOf(index);
    const auto draw = [&](skin::BarPart part, const skin::Rect& where) {
      const bool hot = index == active_bar_ && hovered_part_ == part;
      const skin::Rect cell = skin::SpriteCell(axis, part, mouse_, hot);
      skin::DrawFill9Grid(buffer, *sprite_, where.left, where.top, where.right, where.bottom, 2, 2, 2, 2, cell.left,
                          cell.top, cell.right, cell.bottom);
    };
    draw(skin::BarPart::kTrack, bar.parts.track);
    if (bar.parts.has_thumb) draw(skin::BarPart::kThumb, bar.parts.thumb);
    draw(skin::BarPart::kFirstArrow, bar.parts.first_arrow);
    draw(skin::BarPart::kSecondArrow, bar.parts.second_arrow);
  }
  if (!dragging_ && !::IsRectEmpty(&size_box_)) {
    const skin::Rect cell = skin::SizeBoxCell(left_scroll_bar_);
    skin::DrawFill9Grid(dc, *sprite_, size_box_.left, size_box_.top, size_box_.right, size_box_.bottom, 2, 2, 2, 2,
                        cell.left, cell.top, cell.right, cell.bottom);
  }
}

void CSkinScroller::PaintBorder(HDC dc, COLORREF color, bool skip_outline) {
  if (!::IsWindowVisible(window_)) return;
  RECT window{};
  ::GetWindowRect(window_, &window);
  RECT client{};
  ::GetClientRect(window_, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window_, &origin);
  ::OffsetRect(&client, origin.x - window.left, origin.y - window.top);
  ::OffsetRect(&window, -window.left, -window.top);
  if (::EqualRect(&client, &window)) return;
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  if (style & WS_VSCROLL) {
    if (left_scroll_bar_)
      client.left -= skin::kScrollBarSize;
    else
      client.right += skin::kScrollBarSize;
  }
  if (style & WS_HSCROLL) client.bottom += skin::kScrollBarSize;
  if (skip_outline) return;
  const bool bordered = (::GetWindowLongPtrW(window_, GWL_EXSTYLE) & kEdgeStyles) || (style & WS_BORDER);
  if (bordered) skin::FrameWithHole(dc, window, client, color);
}

void CSkinScroller::InitializeBars() {
  if (initialized_) return;
  initialized_ = true;
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  for (int index = kHorizontal; index <= kVertical; ++index) {
    Bar& bar = bars_[index];
    const int code = standalone_ ? SB_CTL : (index == kVertical ? SB_VERT : SB_HORZ);
    if (standalone_ && BarIndex(SB_CTL) != index) continue;
    SCROLLINFO info{sizeof(info), kScrollInfoMask};
    if (standalone_) {
      CallPrevious(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    } else if (!skin::hook::Real().GetScrollInfo(window_, code, &info)) {
      info = SCROLLINFO{sizeof(info)};
    }
    bar.state.values = ValuesOf(info);
    bar.state.visible = standalone_ || (style & (index == kVertical ? WS_VSCROLL : WS_HSCROLL)) != 0;
    bar.changed = true;
  }
  pressed_code_ = -1;
  scroll_message_ = -1;
  drag_.last_position = -1;
  if (!standalone_)
    ::SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSkinScroller::WriteBackBars() {
  for (int index = kHorizontal; index <= kVertical; ++index) {
    if (standalone_ && BarIndex(SB_CTL) != index) continue;
    const skin::ScrollValues& v = bars_[index].state.values;
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, v.minimum, v.maximum, v.page, v.position};
    if (standalone_)
      CallPrevious(SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&info));
    else
      skin::hook::Real().SetScrollInfo(window_, index == kVertical ? SB_VERT : SB_HORZ, &info, FALSE);
  }
}

POINT CSkinScroller::CursorInWindow() const {
  POINT p{};
  ::GetCursorPos(&p);
  RECT window{};
  ::GetWindowRect(window_, &window);
  return POINT{p.x - window.left, p.y - window.top};
}

std::optional<int> CSkinScroller::BarAt(POINT window_point, bool enabled_only, POINT& relative) const {
  for (int index = kHorizontal; index <= kVertical; ++index) {
    const Bar& bar = bars_[index];
    if (!bar.present || (enabled_only && bar.disabled) || !Inside(bar.rect, window_point)) continue;
    relative = POINT{window_point.x - bar.rect.left, window_point.y - bar.rect.top};
    return index;
  }
  return std::nullopt;
}

bool CSkinScroller::UpdateHover(POINT window_point) {
  if (mouse_ == skin::MouseState::kPressed) return false;
  Layout();
  POINT relative{};
  skin::BarPart part = skin::BarPart::kNone;
  const std::optional<int> index = BarAt(window_point, true, relative);
  if (index) {
    const skin::BarAxis axis = AxisOf(*index);
    part = skin::HitTestBar(bars_[*index].parts, axis, Length(axis, bars_[*index].rect), relative.x, relative.y);
  }
  if (part != skin::BarPart::kNone) {
    if (mouse_ == skin::MouseState::kHover && hovered_part_ == part && active_bar_ == *index) return false;
    mouse_ = skin::MouseState::kHover;
    hovered_part_ = part;
    active_bar_ = *index;
  } else {
    if (mouse_ == skin::MouseState::kNone) return false;
    mouse_ = skin::MouseState::kNone;
    hovered_part_ = skin::BarPart::kNone;
  }
  PaintBars(nullptr, true);
  return true;
}

void CSkinScroller::SendScroll(int code, int position) {
  const WPARAM wp = MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position));
  const UINT msg = static_cast<UINT>(scroll_message_);
  if (standalone_) {
    if (HWND parent = ::GetParent(window_)) ::SendMessageW(parent, msg, wp, reinterpret_cast<LPARAM>(window_));
  } else {
    ::SendMessageW(window_, msg, wp, 0);
  }
}

bool CSkinScroller::Press(POINT window_point, bool capture) {
  Layout();
  POINT relative{};
  const std::optional<int> index = BarAt(window_point, false, relative);
  if (!index) return false;
  Bar& bar = bars_[*index];
  if (bar.disabled) return true;  // a disabled bar takes the press and does nothing
  const skin::BarAxis axis = AxisOf(*index);
  const std::optional<skin::PressCode> code =
      skin::PressCodeAt(bar.parts, axis, Length(axis, bar.rect), relative.x, relative.y);
  if (!code) return true;
  active_bar_ = *index;
  scroll_message_ = *index == kVertical ? WM_VSCROLL : WM_HSCROLL;
  pressed_code_ = static_cast<int>(*code);
  hovered_part_ = skin::HitTestBar(bar.parts, axis, Length(axis, bar.rect), relative.x, relative.y);
  if (*code == skin::PressCode::kThumb) {
    const int thumb_start = axis == skin::BarAxis::kVertical ? bar.parts.thumb.top : bar.parts.thumb.left;
    const int track_start = axis == skin::BarAxis::kVertical ? bar.parts.track.top : bar.parts.track.left;
    drag_track_ = skin::DragTrack{track_start, bar.parts.TrackLength(),
                                  Length(axis, ToRect(bar.parts.thumb)), skin::kScrollBarSize};
    bar.state.values.track_position = bar.state.values.position;
    const std::optional<skin::ThumbDrag> drag = skin::BeginThumbDrag(AlongOf(axis, relative), thumb_start - track_start,
                                                                     drag_track_, bar.state.values);
    if (!drag) return true;
    drag_ = *drag;
    mouse_ = skin::MouseState::kPressed;
    RunDragLoop(capture);
    return true;
  }
  mouse_ = skin::MouseState::kPressed;
  PaintBars(nullptr, true);
  HWND hwnd = window_;
  SendScroll(pressed_code_, 0);
  if (!Alive(hwnd, this)) return true;
  PaintBars(nullptr, true);
  return true;
}

void CSkinScroller::RunDragLoop(bool capture) {
  HWND hwnd = window_;
  bool captured_here = false;
  if (capture && ::GetCapture() != hwnd) {
    ::SetCapture(hwnd);
    captured_here = true;
  }
  dragging_ = true;
  bars_[active_bar_].state.tracking = true;
  PaintBars(nullptr, true);

  std::optional<int> quit_code;
  for (;;) {
    if (::GetCapture() != hwnd) break;  // lost, or cancelled (WM_CANCELMODE releases it)
    MSG msg{};
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit_code = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) break;
    if (!Alive(hwnd, this)) break;  // a message sent while waiting destroyed the window
    if (msg.hwnd == hwnd && msg.message == WM_MOUSEMOVE) {
      POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ::ClientToScreen(hwnd, &p);
      RECT window{};
      ::GetWindowRect(hwnd, &window);
      MoveDrag(POINT{p.x - window.left, p.y - window.top});
      if (!Alive(hwnd, this)) break;
      continue;
    }
    if (msg.hwnd == hwnd && msg.message == WM_LBUTTONUP) break;
    if (msg.message == WM_CANCELMODE) break;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    if (!Alive(hwnd, this)) break;
  }

  // The window may be gone with its skin: only `hwnd` and the quit code are used until it is known to live.
  if (Alive(hwnd, this)) {
    EndDrag();
    if (captured_here && ::GetCapture() == hwnd) ::ReleaseCapture();
  } else if (captured_here && ::GetCapture() == hwnd) {
    ::ReleaseCapture();
  }
  if (quit_code) ::PostQuitMessage(*quit_code);
}

void CSkinScroller::MoveDrag(POINT window_point) {
  Bar& bar = bars_[active_bar_];
  const skin::BarAxis axis = AxisOf(active_bar_);
  const POINT relative{window_point.x - bar.rect.left, window_point.y - bar.rect.top};
  const int old_offset = drag_.thumb_offset;
  const std::optional<int32_t> position =
      skin::MoveThumb(drag_, drag_track_, bar.state.values, AlongOf(axis, relative), AcrossOf(axis, relative));
  if (drag_.thumb_offset != old_offset) {
    bar.changed = true;
    PaintBars(nullptr, false);
  }
  if (!position) return;
  bar.state.values.track_position = *position;
  SendScroll(SB_THUMBTRACK, *position);
}

void CSkinScroller::EndDrag() {
  HWND hwnd = window_;
  SendScroll(SB_THUMBPOSITION, drag_.last_position);
  if (!Alive(hwnd, this)) return;
  SendScroll(SB_ENDSCROLL, 0);
  if (!Alive(hwnd, this)) return;
  dragging_ = false;
  bars_[active_bar_].state.tracking = false;
  mouse_ = skin::MouseState::kNone;
  hovered_part_ = skin::BarPart::kNone;
  UpdateHover(CursorInWindow());
  PaintBars(nullptr, true);
}

bool CSkinScroller::HandleScrollMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_NCCALCSIZE: {
      if (standalone_ || !wp || !lp) return false;
      auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
      const RECT before = params->rgrc[0];
      result = CallPrevious(msg, wp, lp);
      RECT& client = params->rgrc[0];
      const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
      const bool left = (::GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
      // The platform narrowed the client by its own bar width; the skin's bars are 16 pixels.
      const int system_width = ::GetSystemMetrics(SM_CXVSCROLL);
      const int system_height = ::GetSystemMetrics(SM_CYHSCROLL);
      if (style & WS_VSCROLL) {
        if (left) {
          if (client.left - before.left >= system_width) client.left -= system_width;
          client.left += skin::kScrollBarSize;
        } else {
          if (before.right - client.right >= system_width) client.right += system_width;
          client.right -= skin::kScrollBarSize;
        }
        bars_[kVertical].present = true;
      }
      if (style & WS_HSCROLL) {
        if (before.bottom - client.bottom >= system_height) client.bottom += system_height;
        client.bottom -= skin::kScrollBarSize;
        bars_[kHorizontal].present = true;
      }
      client.right = std::max(client.right, client.left);
      client.bottom = std::max(client.bottom, client.top);
      return true;
    }
    case WM_NCHITTEST: {
      if (standalone_) return false;
      Layout();
      RECT window{};
      ::GetWindowRect(window_, &window);
      const POINT p{GET_X_LPARAM(lp) - window.left, GET_Y_LPARAM(lp) - window.top};
      if (bars_[kHorizontal].present && Inside(bars_[kHorizontal].rect, p)) {
        result = skin::kHitHorizontalBar;
      } else if (bars_[kVertical].present && Inside(bars_[kVertical].rect, p)) {
        result = skin::kHitVerticalBar;
      } else {
        result = CallPrevious(msg, wp, lp);
        if (result == HTHSCROLL) result = skin::kHitHorizontalBar;
        if (result == HTVSCROLL) result = skin::kHitVerticalBar;
      }
      return true;
    }
    case WM_CREATE:
      result = CallPrevious(msg, wp, lp);
      if (result != -1 && Alive(window_, this)) InitializeBars();
      return true;
    case skin::kMsgCreateNotify:
      InitializeBars();
      result = 0;
      return true;
    case skin::kMsgWriteBackScroll:
      WriteBackBars();
      result = 0;
      return true;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      UpdateHover(CursorInWindow());
      // A scroll-bar control's own procedure would start tracking the mouse itself.
      result = 0;
      return standalone_;
    case WM_CANCELMODE:
      if (dragging_ && ::GetCapture() == window_) ::ReleaseCapture();  // the drag loop sees the capture go
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) ::ClientToScreen(window_, &p);
      RECT window{};
      ::GetWindowRect(window_, &window);
      if (!Press(POINT{p.x - window.left, p.y - window.top}, true)) return false;
      result = 0;
      return true;
    }
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
      if (mouse_ == skin::MouseState::kPressed && !dragging_) {
        mouse_ = skin::MouseState::kNone;
        hovered_part_ = skin::BarPart::kNone;
        pressed_code_ = -1;
        UpdateHover(CursorInWindow());
        PaintBars(nullptr, true);
      }
      result = 0;
      return standalone_;  // the control's own procedure never saw the press
    case WM_HSCROLL:
    case WM_VSCROLL: {
      if (standalone_ || LOWORD(wp) != SB_ENDSCROLL) return false;
      HWND hwnd = window_;
      result = CallPrevious(msg, wp, lp);
      if (!Alive(hwnd, this)) return true;
      PaintBars(nullptr, true);
      ::SendMessageW(hwnd, skin::kMsgNonClientPainted, 0, 0);
      return true;
    }
    default:
      break;
  }
  if (!standalone_) return false;
  // The scroll-bar control's own messages answer from the skin's state too.
  const int bar = SB_CTL;
  switch (msg) {
    case SBM_SETSCROLLINFO: {
      if (!lp) return false;
      result = SetScrollInfo(bar, *reinterpret_cast<const SCROLLINFO*>(lp), static_cast<BOOL>(wp)).value_or(0);
      return true;
    }
    case SBM_GETSCROLLINFO: {
      if (!lp) return false;
      result = GetScrollInfo(bar, *reinterpret_cast<SCROLLINFO*>(lp)).value_or(FALSE);
      return true;
    }
    case SBM_SETPOS:
      result = SetScrollPos(bar, static_cast<int>(wp), static_cast<BOOL>(lp)).value_or(0);
      return true;
    case SBM_GETPOS:
      result = GetScrollPos(bar).value_or(0);
      return true;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
      result = BarState(bar).values.position;
      SetScrollRange(bar, static_cast<int>(wp), static_cast<int>(lp), msg == SBM_SETRANGEREDRAW);
      return true;
    case SBM_GETRANGE: {
      int minimum = 0, maximum = 0;
      GetScrollRange(bar, minimum, maximum);
      if (wp) *reinterpret_cast<int*>(wp) = minimum;
      if (lp) *reinterpret_cast<int*>(lp) = maximum;
      result = 0;
      return true;
    }
    case WM_ENABLE:
      result = CallPrevious(msg, wp, lp);
      PaintBars(nullptr, true);
      return true;
    default:
      return false;
  }
}

void CSkinScroller::ApplyVisibility(int index) {
  if (standalone_) return;
  const LONG_PTR bit = index == kVertical ? WS_VSCROLL : WS_HSCROLL;
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  const bool shown = (style & bit) != 0;
  if (shown == bars_[index].state.visible) return;
  ::SetWindowLongPtrW(window_, GWL_STYLE, bars_[index].state.visible ? (style | bit) : (style & ~bit));
  bars_[index].present = bars_[index].state.visible;
  ::SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSkinScroller::StateChanged(int index, BOOL redraw) {
  bars_[index].changed = true;
  if (redraw) PaintBars(nullptr, false);
}

std::optional<int> CSkinScroller::SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw) {
  const int index = BarIndex(bar);
  if (index < 0) return std::nullopt;
  if (!ValidScrollInfo(info)) return 0;
  skin::BarScrollState& state = bars_[index].state;
  const int position = state.SetInfo(info.fMask & (SIF_ALL | SIF_DISABLENOSCROLL), ValuesOf(info));
  ApplyVisibility(index);
  StateChanged(index, redraw);
  return position;
}

std::optional<BOOL> CSkinScroller::GetScrollInfo(int bar, SCROLLINFO& info) {
  const int index = BarIndex(bar);
  if (index < 0) return std::nullopt;
  if (!ValidScrollInfo(info) || !(info.fMask & SIF_ALL)) return FALSE;
  skin::ScrollValues out = ValuesOf(info);
  bars_[index].state.GetInfo(info.fMask, out);
  info.nMin = out.minimum;
  info.nMax = out.maximum;
  info.nPage = out.page;
  info.nPos = out.position;
  if (info.cbSize == sizeof(SCROLLINFO)) info.nTrackPos = out.track_position;
  return TRUE;
}

std::optional<int> CSkinScroller::SetScrollPos(int bar, int position, BOOL redraw) {
  const int index = BarIndex(bar);
  if (index < 0) return std::nullopt;
  const int previous = bars_[index].state.SetPosition(position);
  StateChanged(index, redraw);
  return previous;
}

std::optional<int> CSkinScroller::GetScrollPos(int bar) {
  const int index = BarIndex(bar);
  if (index < 0) return std::nullopt;
  return bars_[index].state.values.position;
}

std::optional<BOOL> CSkinScroller::SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) {
  const int index = BarIndex(bar);
  if (index < 0) return std::nullopt;
  bars_[index].state.SetRange(minimum, maximum);
  ApplyVisibility(index);
  StateChanged(index, redraw);
  return TRUE;
}

std::optional<BOOL> CSkinScroller::GetScrollRange(int bar, int& minimum, int& maximum) {
  const int index = BarIndex(bar);
  if (index < 0) return std::nullopt;
  minimum = bars_[index].state.values.minimum;
  maximum = bars_[index].state.values.maximum;
  return TRUE;
}

std::optional<BOOL> CSkinScroller::ShowScrollBar(int bar, BOOL show) {
  if (standalone_) return std::nullopt;  // a control shows or hides its window
  if (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH) return std::nullopt;
  for (int index = kHorizontal; index <= kVertical; ++index) {
    if (bar != SB_BOTH && BarIndex(bar) != index) continue;
    bars_[index].state.visible = show != FALSE;
    ApplyVisibility(index);
    StateChanged(index, TRUE);
  }
  return TRUE;
}

std::optional<BOOL> CSkinScroller::EnableScrollBar(UINT bars, UINT arrows) {
  const bool both = !standalone_ && bars == SB_BOTH;
  if (!both && BarIndex(static_cast<int>(bars)) < 0) return std::nullopt;
  for (int index = kHorizontal; index <= kVertical; ++index) {
    if (!both && BarIndex(static_cast<int>(bars)) != index) continue;
    bars_[index].state.arrows_disabled = arrows == ESB_DISABLE_BOTH;
    StateChanged(index, TRUE);
  }
  return TRUE;
}
