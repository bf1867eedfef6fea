#include "skin/SkinWndSB_win.h"

#include <algorithm>

#include "skin/SkinIds.h"
#include "skin/SkinResourceManager.h"
#include "skin/SkinWndManager_win.h"
#include "skin/ThemeGdi.h"
#include "skin/draw/SkinDrawImage_win.h"
#include "skin/hook/RealFunctions_win.h"
#include "skin/items/ColorAdjust.h"

namespace {

bool Same(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

// Releases a bitmap selected into a memory context: the context's first bitmap goes back first.
void DropSelected(fw::UniqueMemDC& dc, fw::UniqueBitmap& bitmap, HGDIOBJ& old) {
  if (dc && old) ::SelectObject(dc.get(), old);
  old = nullptr;
  bitmap.reset();
}

}  // namespace

CSkinWndSB::CSkinWndSB(HWND window) : CSkinBase(window) { SetIsFrame(true); }

CSkinWndSB::~CSkinWndSB() {
  DropSelected(back_dc_, back_bitmap_, back_old_);
  DropSelected(frame_dc_, frame_bitmap_, frame_old_);
}

void CSkinWndSB::SetThemeItem(const skin::ThemeItem& item, skin::CSkinResourceManager& theme) {
  item_ = item;
  SetPlacement(item_.place);
  ReadBackground(theme);
  BuildItems(item_, theme);
}

void CSkinWndSB::ReadBackground(skin::CSkinResourceManager& theme) {
  picture_id_ = item_.Raw(L"background", L"picFile");
  draw_style_ = item_.Raw(L"background", L"drawStyle");
  if (draw_style_.empty()) draw_style_ = L"nodraw";
  frame_style_ = item_.Raw(L"background", L"frameStyle");
  if (frame_style_.empty()) frame_style_ = L"framenormal";
  caption_height_ = skin::ParseInt(item_.Raw(L"background", L"captionHeight"));
  border_ = skin::ParseQuad(item_.Raw(L"background", L"borderWidth"), {0, 0, 0, 0});
  offset_ = skin::ParseQuad(item_.Raw(L"background", L"borderOffset"), {0, 0, 0, 0});
  grid_ = skin::ParseQuad(item_.Raw(L"background", L"border9grid"), {0, 0, 0, 0});
  caption_offset_ = skin::ParsePair(item_.Raw(L"background", L"captionOffset"), {0, 0});
  for (auto& q : {&border_, &offset_, &grid_})
    for (int32_t& v : *q) v = std::max(v, 0);
  configured_background_ =
      theme.ResolveColor(item_.Raw(L"background", L"backgroundColor"), ::GetSysColor(COLOR_BTNFACE));
  background_color_ = configured_background_;
  background_brush_.reset(::CreateSolidBrush(background_color_));
}

void CSkinWndSB::Redressed() {
  frame_size_ = {};
  shaped_size_ = {};
  back_size_ = {};
  if (::IsWindowVisible(window_)) RefreshFrame();
}

void CSkinWndSB::ApplyAttributes() {
  RegisterLayout();
  if (skin::CSkinResourceManager* theme = Theme()) {
    const std::wstring font_id = item_.Raw(L"attribute", L"font");
    if (!font_id.empty())
      if (HFONT font = skin::ThemeFont(*theme, font_id)) SetFont(font);
  }
  ComputeKind();
}

void CSkinWndSB::ApplyColorAdjust(int hue, int saturation, int brightness) {
  ColorAdjustItems(hue, saturation, brightness);
  background_color_ = skin::EffectiveColor(configured_background_, true, skin::HsbShift{hue, saturation, brightness});
  background_brush_.reset(::CreateSolidBrush(background_color_));
}

CSkinDrawImage* CSkinWndSB::Picture() const {
  skin::CSkinResourceManager* theme = Theme();
  if (!theme || picture_id_.empty()) return nullptr;
  CSkinDrawImage* picture = theme->GetPicture(picture_id_);
  return picture && picture->GetWidth() > 0 && picture->GetHeight() > 0 ? picture : nullptr;
}

void CSkinWndSB::ComputeKind() {
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
  seen_style_ = style;
  seen_ex_style_ = ex;
  skin::FrameStyles s;
  s.maximised_mdi_child = (ex & WS_EX_MDICHILD) && (style & WS_MAXIMIZE);
  s.full_caption = (style & WS_CAPTION) == WS_CAPTION;
  s.tool_window = (ex & WS_EX_TOOLWINDOW) != 0;
  s.any_border = (style & (WS_THICKFRAME | WS_BORDER)) || (ex & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE |
                                                                  WS_EX_STATICEDGE | WS_EX_WINDOWEDGE));
  kind_ = skin::ComputeFrameKind(s);
}

bool CSkinWndSB::IsMdiChild() const {
  return (::GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

SIZE CSkinWndSB::WindowSize() const {
  RECT rc{};
  ::GetWindowRect(window_, &rc);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

skin::Rect CSkinWndSB::ClientFromWindow(const skin::Rect& window) const {
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
  const HMENU menu = (style & WS_CHILD) ? nullptr : ::GetMenu(window_);
  const int menu_height = menu ? ::GetSystemMetrics(SM_CYMENU) : 0;
  skin::Rect client;
  if (kind_ != skin::kFrameNone) {
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? caption_height_ : 0;
    client = skin::FramedClientRect(window, border_, caption, menu_height);
  } else {
    client = window;
    client.top = std::min(client.bottom, client.top + menu_height);
    if (ex & WS_EX_MDICHILD) {
      const int bx = ::GetSystemMetrics(SM_CXBORDER), by = ::GetSystemMetrics(SM_CYBORDER);
      const int caption = (style & WS_CAPTION) == WS_CAPTION ? ::GetSystemMetrics(SM_CYCAPTION) : 0;
      client = skin::FramedClientRect(window, {bx, bx, bx, by}, caption, 0);
      client.top = std::min(client.bottom, client.top + menu_height);
    }
  }
  return skin::LessScrollBars(client, style & WS_VSCROLL, style & WS_HSCROLL, ex & WS_EX_LEFTSCROLLBAR);
}

LRESULT CSkinWndSB::OnNcCalcSize(WPARAM wp, LPARAM lp) {
  const LRESULT result = CallPrevious(WM_NCCALCSIZE, wp, lp);
  if (!wp || !lp) return result;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
  ComputeKind();
  skin::Rect window{params->rgrc[0].left, params->rgrc[0].top, params->rgrc[0].right, params->rgrc[0].bottom};
  if (const WINDOWPOS* pos = params->lppos)
    window = {pos->x, pos->y, pos->x + std::max(pos->cx, 0), pos->y + std::max(pos->cy, 0)};
  const skin::Rect client = ClientFromWindow(window);
  params->rgrc[0] = RECT{client.left, client.top, client.right, client.bottom};
  return 0;
}

bool CSkinWndSB::RenderFrame(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (frame_bitmap_ && Same(frame_size_, SIZE{width, height})) return true;
  skin::CSkinWndManager* manager = Manager();
  HDC screen = manager ? manager->ScreenDC() : nullptr;
  fw::WindowDC fallback(nullptr);
  if (!screen) screen = fallback.get();
  if (!frame_dc_) frame_dc_.reset(::CreateCompatibleDC(screen));
  DropSelected(frame_dc_, frame_bitmap_, frame_old_);
  frame_bitmap_.reset(::CreateCompatibleBitmap(screen, width, height));
  if (!frame_dc_ || !frame_bitmap_) return false;
  frame_old_ = ::SelectObject(frame_dc_.get(), frame_bitmap_.get());
  frame_size_ = {width, height};
  HDC dc = frame_dc_.get();
  const RECT all{0, 0, width, height};
  ::FillRect(dc, &all, background_brush_.get());
  CSkinDrawImage* picture = Picture();
  if (!picture) return true;
  const int pw = static_cast<int>(picture->GetWidth()), ph = static_cast<int>(picture->GetHeight());
  for (const skin::FrameTile& t : skin::FrameRenderTiles(width, height, pw, ph, border_, offset_, caption_height_,
                                                         caption_offset_)) {
    if (t.dest.Width() == t.source.Width() && t.dest.Height() == t.source.Height())
      skin::DrawBitBlt(dc, *picture, t.dest.left, t.dest.top, t.source.left, t.source.top, t.dest.Width(),
                       t.dest.Height());
    else
      skin::DrawStretchBlt(dc, *picture, t.dest.left, t.dest.top, t.dest.Width(), t.dest.Height(), t.source.left,
                           t.source.top, t.source.Width(), t.source.Height());
  }
  return true;
}

void CSkinWndSB::ApplyShape() {
  const SIZE size = WindowSize();
  shaped_size_ = size;
  const auto& real = skin::hook::Real();
  if (kind_ == skin::kFrameNone) {
    if (IsMdiChild()) real.SetWindowRgn(window_, nullptr, TRUE);
    return;
  }
  CSkinDrawImage* picture = Picture();
  const bool child = (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CHILD) != 0;
  fw::UniqueRgn region(::CreateRectRgn(0, 0, size.cx, size.cy));
  if (!region) return;
  if (picture && !child && frame_style_ == L"framebitmapround") {
    const CxImage& pixels = picture->Decoded();
    const uint32_t key = picture->KeyColor();
    const auto cuts = skin::RoundCornerCuts(
        size.cx, size.cy, static_cast<int32_t>(picture->GetWidth()), static_cast<int32_t>(picture->GetHeight()),
        offset_, key, [&](int32_t x, int32_t y) {
          return pixels.GetPixelColor(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
        });
    for (const skin::PixelRect& cut : cuts) {
      fw::UniqueRgn piece(::CreateRectRgn(cut.left, cut.top, cut.right, cut.bottom));
      if (piece) ::CombineRgn(region.get(), region.get(), piece.get(), RGN_DIFF);
    }
  } else if (picture && !child && frame_style_ == L"framebitmaprgn" && RenderFrame(size.cx, size.cy)) {
    // Pixel by pixel, inside the border strips only, against the window-size rendering.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB};
    std::vector<uint32_t> bits(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    if (::GetDIBits(frame_dc_.get(), frame_bitmap_.get(), 0, static_cast<UINT>(size.cy), bits.data(), &info,
                    DIB_RGB_COLORS)) {
      const uint32_t key = picture->KeyColor();
      const uint32_t key_bgr = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
      auto keyed = [&](int x, int y) { return (bits[static_cast<size_t>(y) * size.cx + x] & 0xFFFFFF) == key_bgr; };
      for (int y = 0; y < size.cy; ++y) {
        const bool band = y < border_[1] || y >= size.cy - border_[3];
        for (int x = 0; x < size.cx; ++x) {
          if (!band && x >= border_[0] && x < size.cx - border_[2]) {
            x = static_cast<int>(size.cx - border_[2]) - 1;  // on to the right strip
            continue;
          }
          if (!keyed(x, y)) continue;
          int end = x + 1;
          while (end < size.cx && keyed(end, y) && (band || end < border_[0] || end >= size.cx - border_[2])) ++end;
          fw::UniqueRgn piece(::CreateRectRgn(x, y, end, y + 1));
          if (piece) ::CombineRgn(region.get(), region.get(), piece.get(), RGN_DIFF);
          x = end;
        }
      }
    }
  }
  // The window owns the region once it is set.
  if (real.SetWindowRgn(window_, region.get(), ::IsWindowVisible(window_))) region.release();
}

void CSkinWndSB::RefreshFrame() {
  const SIZE size = WindowSize();
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
  if (style != seen_style_ || ex != seen_ex_style_) ComputeKind();
  RenderFrame(size.cx, size.cy);
  if (!Same(shaped_size_, size)) ApplyShape();
}

std::optional<int> CSkinWndSB::SetWindowRgn(HRGN, BOOL) {
  if (kind_ != skin::kFrameNone && !IsMdiChild()) return 1;
  return std::nullopt;
}

void CSkinWndSB::PaintNonClient() {
  if (!::IsWindowVisible(window_) || style_changing_) return;
  RefreshFrame();
  if (kind_ == skin::kFrameNone || !frame_bitmap_) return;
  fw::WindowDC dc(window_, true);
  if (!dc) return;
  RECT window{}, client{};
  ::GetWindowRect(window_, &window);
  ::GetClientRect(window_, &client);
  ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ::OffsetRect(&client, -window.left, -window.top);
  fw::ScopedSaveDC save(dc.get());
  ::ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
  ::BitBlt(dc.get(), 0, 0, frame_size_.cx, frame_size_.cy, frame_dc_.get(), 0, 0, SRCCOPY);
  PaintBorder(dc.get());
}

bool CSkinWndSB::EnsureBackBuffer(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (back_bitmap_ && Same(back_size_, SIZE{width, height})) return true;
  skin::CSkinWndManager* manager = Manager();
  HDC screen = manager ? manager->ScreenDC() : nullptr;
  fw::WindowDC fallback(nullptr);
  if (!screen) screen = fallback.get();
  if (!back_dc_) back_dc_.reset(::CreateCompatibleDC(screen));
  DropSelected(back_dc_, back_bitmap_, back_old_);  // the old bitmap is released here
  back_bitmap_.reset(::CreateCompatibleBitmap(screen, width, height));
  if (!back_dc_ || !back_bitmap_) {
    back_size_ = {};
    return false;
  }
  back_old_ = ::SelectObject(back_dc_.get(), back_bitmap_.get());
  back_size_ = {width, height};
  return true;
}

void CSkinWndSB::PaintClientTo(HDC target) {
  RECT client{};
  ::GetClientRect(window_, &client);
  const int w = client.right, h = client.bottom;
  if (!EnsureBackBuffer(w, h)) return;
  HDC dc = back_dc_.get();
  const RECT all{0, 0, w, h};
  ::FillRect(dc, &all, background_brush_.get());
  if (CSkinDrawImage* picture = Picture()) {
    const int pw = static_cast<int>(picture->GetWidth()), ph = static_cast<int>(picture->GetHeight());
    const bool caption = (::GetWindowLongPtrW(window_, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    const int top = border_[1] + (caption ? caption_height_ : 0);
    if (draw_style_ == L"draw9grid") {
      skin::DrawFill9Grid(dc, *picture, 0, 0, w, h, grid_[0], grid_[1], grid_[2], grid_[3], border_[0], top,
                          std::max(border_[0], pw - border_[2]), std::max(top, ph - border_[3]));
    } else if (draw_style_ == L"stretchBlt") {
      const int st = offset_[1] + (caption ? caption_height_ : 0);
      skin::DrawStretchBlt(dc, *picture, 0, 0, w, h, offset_[0], st, std::max(pw - offset_[0] - offset_[2], 0),
                           std::max(ph - st - offset_[3], 0));
    }
  }
  if (draw_style_ == L"transparentBlt")
    if (skin::CSkinWndManager* manager = Manager()) manager->PaintChildBackground(window_, dc, all, 255);
  DrawItems(dc, 0, 0, w, h);
  ::SendMessageW(window_, skin::kMsgClientPainted, reinterpret_cast<WPARAM>(dc), 0);
  if (!back_bitmap_) return;  // the window re-dressed or changed its size while handling 6326
  PaintClientExtra(dc);
  ::BitBlt(target, 0, 0, std::min<int>(w, back_size_.cx), std::min<int>(h, back_size_.cy), dc, 0, 0, SRCCOPY);
}

void CSkinWndSB::PaintClient() {
  fw::PaintDC paint(window_);
  if (!paint.get()) return;
  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  if (!(style & WS_CLIPCHILDREN) && (style & (WS_POPUP | WS_CHILD | WS_THICKFRAME))) {
    for (HWND child = ::GetWindow(window_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (!::IsWindowVisible(child)) continue;
      RECT rc{};
      ::GetWindowRect(child, &rc);
      ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rc), 2);
      ::ExcludeClipRect(paint.get(), rc.left, rc.top, rc.right, rc.bottom);
    }
  }
  PaintClientTo(paint.get());
}

void CSkinWndSB::PrintWindowTo(HDC dc, LPARAM flags) {
  RECT window{}, client{};
  ::GetWindowRect(window_, &window);
  ::GetClientRect(window_, &client);
  ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ::OffsetRect(&client, -window.left, -window.top);
  if ((flags & PRF_NONCLIENT) && kind_ != skin::kFrameNone) {
    RefreshFrame();
    if (frame_bitmap_) ::BitBlt(dc, 0, 0, frame_size_.cx, frame_size_.cy, frame_dc_.get(), 0, 0, SRCCOPY);
  }
  if (flags & PRF_CLIENT) {
    POINT old{};
    ::OffsetViewportOrgEx(dc, client.left, client.top, &old);
    PaintClientTo(dc);
    ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
  }
}

bool CSkinWndSB::IsDressedChild(const CSkinBase* skin) const {
  skin::CSkinWndManager* manager = Manager();
  if (!manager || !manager->IsRegisteredSkin(skin)) return false;
  // GetParent names the owner of a pop-up: only real children count.
  HWND child = skin->Window();
  return (::GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) && ::GetParent(child) == window_;
}

void CSkinWndSB::OnRegisterLayout(WPARAM wp) {
  // wParam is only trusted once the registry knows it as a skin of a child of this frame.
  auto* child = reinterpret_cast<CSkinBase*>(wp);
  if (!IsDressedChild(child)) return;
  if (std::find(layout_children_.begin(), layout_children_.end(), child) == layout_children_.end())
    layout_children_.push_back(child);
  skin::CSkinWndManager* manager = Manager();
  if (manager && manager->Batch()) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  child->Layout(nullptr, client.left, client.top, client.right, client.bottom);
}

void CSkinWndSB::OnPaintChildBackground(WPARAM wp) {
  skin::CSkinWndManager* manager = Manager();
  if (!manager || !wp) return;
  // Only a record held by a registered skin of a dressed child of this frame is read.
  const auto* request = reinterpret_cast<const skin::ChildBackgroundRequest*>(wp);
  for (CSkinBase* skin : manager->AllSkins()) {
    if (&skin->BackgroundRequest() != request) continue;
    if (!IsDressedChild(skin) || request->window != skin->Window() || !request->dc) return;
    manager->PaintChildBackground(request->window, request->dc, request->rect, 255);
    return;
  }
}

void CSkinWndSB::ForgetChild(const CSkinBase* child) {
  layout_children_.erase(std::remove(layout_children_.begin(), layout_children_.end(), child),
                         layout_children_.end());
}

void CSkinWndSB::LayoutAll() {
  RECT client{};
  ::GetClientRect(window_, &client);
  if (!layout_children_.empty()) {
    HDWP defer = ::BeginDeferWindowPos(static_cast<int>(layout_children_.size()));
    for (CSkinBase* child : layout_children_)
      child->Layout(defer ? &defer : nullptr, client.left, client.top, client.right, client.bottom);
    if (defer) ::EndDeferWindowPos(defer);
  }
  fw::UniqueRgn rest(::CreateRectRgn(client.left, client.top, client.right, client.bottom));
  for (CSkinBase* child : layout_children_) {
    if (!::IsWindowVisible(child->Window())) continue;
    ::InvalidateRect(child->Window(), nullptr, FALSE);
    RECT rc{};
    ::GetWindowRect(child->Window(), &rc);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rc), 2);
    fw::UniqueRgn piece(::CreateRectRgnIndirect(&rc));
    if (rest && piece) ::CombineRgn(rest.get(), rest.get(), piece.get(), RGN_DIFF);
  }
  if (!IsNoDraw() && rest) ::InvalidateRgn(window_, rest.get(), TRUE);
}

std::optional<LRESULT> CSkinWndSB::OnControlColor(UINT msg, WPARAM wp, LPARAM lp) {
  HDC dc = reinterpret_cast<HDC>(wp);
  HWND control = reinterpret_cast<HWND>(lp);
  skin::CSkinWndManager* manager = Manager();
  CSkinBase* control_skin = manager && control ? manager->SkinOf(control) : nullptr;
  if (msg == WM_CTLCOLORSTATIC && IsNoDraw()) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(background_brush_.get());
  }
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
    wchar_t cls[16] = {};
    if (control && ::GetClassNameW(control, cls, 16) && ::lstrcmpiW(cls, L"SysLink") == 0) {
      ::SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(background_brush_.get());
    }
  }
  if (msg == WM_CTLCOLORDLG && IsNoDraw()) return reinterpret_cast<LRESULT>(background_brush_.get());
  (void)control_skin;  // edit skins answer their own colours once they exist
  return std::nullopt;
}

std::optional<LRESULT> CSkinWndSB::ForwardToChildSkin(UINT msg, WPARAM wp, LPARAM lp) {
  skin::CSkinWndManager* manager = Manager();
  if (!manager) return std::nullopt;
  HWND child = nullptr;
  if (msg == WM_DRAWITEM && lp) child = reinterpret_cast<const DRAWITEMSTRUCT*>(lp)->hwndItem;
  else if (msg == WM_MEASUREITEM) child = ::GetDlgItem(window_, static_cast<int>(wp));
  else if (msg == WM_NOTIFY && lp) child = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
  else if (msg == WM_VKEYTOITEM) child = reinterpret_cast<HWND>(lp);
  CSkinBase* skin = child && ::GetParent(child) == window_ ? manager->SkinOf(child) : nullptr;
  if (!skin) return std::nullopt;
  if (msg == WM_NOTIFY) {
    const LRESULT previous = CallPrevious(msg, wp, lp);
    skin->FromParent(msg, wp, lp);
    return previous;
  }
  return skin->FromParent(msg, wp, lp);
}

LRESULT CSkinWndSB::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCALCSIZE:
      return OnNcCalcSize(wp, lp);
    case WM_NCPAINT:
      if (kind_ == skin::kFrameNone) break;
      PaintNonClient();
      ::SendMessageW(window_, skin::kMsgNonClientPainted, wp, lp);
      return 0;
    case WM_NCACTIVATE:
    case WM_SETTEXT:
    case WM_SETICON: {
      // The previous procedure draws the system caption; the skin's frame goes back over it.
      const LRESULT result = CallPrevious(msg, wp, lp);
      if (kind_ != skin::kFrameNone) {
        PaintNonClient();
        ::SendMessageW(window_, skin::kMsgNonClientPainted, msg == WM_NCACTIVATE ? 1 : 0, 0);
      }
      return result;
    }
    case WM_PAINT:
      if (IsNoDraw()) break;
      PaintClient();
      return 0;
    case WM_ERASEBKGND:
      if (IsNoDraw()) break;
      return 1;
    case WM_PRINTCLIENT:
      if (IsNoDraw()) break;
      PaintClientTo(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_PRINT:
      if (IsNoDraw() || !wp) break;
      PrintWindowTo(reinterpret_cast<HDC>(wp), lp);
      if (lp & ~(PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHECKVISIBLE))
        CallPrevious(msg, wp, lp & ~(PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      if (auto answer = OnControlColor(msg, wp, lp)) return *answer;
      break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_NOTIFY:
    case WM_VKEYTOITEM:
      if (auto answer = ForwardToChildSkin(msg, wp, lp)) return *answer;
      break;
    case skin::kMsgRegisterLayout:
      OnRegisterLayout(wp);
      return 0;
    case skin::kMsgPaintChildBackground:
      OnPaintChildBackground(wp);
      return 0;
    case WM_STYLECHANGING:
      style_changing_ = true;
      break;
    case WM_STYLECHANGED: {
      const LRESULT result = CallPrevious(msg, wp, lp);
      style_changing_ = false;
      const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
      const DWORD ex = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
      if (style != seen_style_ || ex != seen_ex_style_) {
        ComputeKind();
        shaped_size_ = {};
        ::SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return result;
    }
    case WM_WINDOWPOSCHANGED: {
      const LRESULT result = CallPrevious(msg, wp, lp);
      if (style_changing_) return result;
      if (!Same(shaped_size_, WindowSize()) || (lp && (reinterpret_cast<const WINDOWPOS*>(lp)->flags &
                                                       SWP_FRAMECHANGED)))
        RefreshFrame();
      LayoutAll();
      return result;
    }
    default:
      break;
  }
  return CSkinBase::WindowProc(msg, wp, lp);
}
