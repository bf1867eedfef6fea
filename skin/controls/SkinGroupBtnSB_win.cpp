#include "skin/controls/SkinGroupBtnSB_win.h"

#include <algorithm>
#include <memory>

#include "framework/Handles.h"
#include "skin/SkinIds.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeGdi.h"
#include "skin/ThemeItem.h"
#include "skin/controls/ChildBackground_win.h"
#include "skin/draw/SkinDrawImage_win.h"
#include "skin/hook/ProcedureChain_win.h"
#include "skin/items/ColorAdjust.h"

namespace {

constexpr int kMaxCaption = 511;
constexpr COLORREF kKeyColor = RGB(255, 0, 255);

SIZE ImageSize(HWND hwnd, bool icon) {
  const HANDLE image = reinterpret_cast<HANDLE>(::SendMessageW(hwnd, BM_GETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, 0));
  if (!image) return {};
  if (icon) {
    ICONINFO info{};
    if (!::GetIconInfo(static_cast<HICON>(image), &info)) return {};
    fw::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (!::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm)) return {};
    return {bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
  }
  BITMAP bm{};
  if (!::GetObjectW(image, sizeof(bm), &bm)) return {};
  return {bm.bmWidth, bm.bmHeight};
}

}  // namespace

CSkinGroupBtnSB::CSkinGroupBtnSB(HWND window) : CSkinBase(window) {
  ::SetPropW(window_, skin::kPropSkinObject, static_cast<CSkinBase*>(this));
}

CSkinGroupBtnSB::~CSkinGroupBtnSB() {
  if (::IsWindow(window_) &&
      ::GetPropW(window_, skin::kPropSkinObject) == static_cast<HANDLE>(static_cast<CSkinBase*>(this)))
    ::RemovePropW(window_, skin::kPropSkinObject);
}

CSkinGroupBtnSB* CSkinGroupBtnSB::FromWindow(HWND window) {
  auto* base = static_cast<CSkinBase*>(::GetPropW(window, skin::kPropSkinObject));
  return base ? dynamic_cast<CSkinGroupBtnSB*>(base) : nullptr;
}

CSkinGroupBtnSB* CSkinGroupBtnSB::Dress(HWND window, skin::CSkinResourceManager& theme, std::wstring_view id) {
  const skin::ThemeItem* item = theme.FindItem(L"groupbutton", id);
  if (!item) return nullptr;
  CSkinGroupBtnSB* dressed = FromWindow(window);
  std::unique_ptr<CSkinGroupBtnSB> fresh;
  if (!dressed) {
    fresh = std::make_unique<CSkinGroupBtnSB>(window);
    dressed = fresh.get();
  }
  dressed->Attach(*item, theme);
  dressed->ApplyAttributes();
  const skin::HsbShift& shift = skin::CurrentHsbShift();
  dressed->ApplyColorAdjust(shift.hue, shift.saturation, shift.brightness);
  if (fresh) {
    fresh->chain_.engine = &WindowProc;
    if (!skin::hook::InstallEngineProcedure(window, fresh->chain_)) return nullptr;
    fresh.release();
  }
  ::InvalidateRect(window, nullptr, TRUE);
  return dressed;
}

void CSkinGroupBtnSB::Attach(const skin::ThemeItem& item, skin::CSkinResourceManager& theme) {
  theme_ = &theme;
  text_color_ = theme.ResolveColor(item.Raw(L"attribute", L"textColor"), 0);
  // A group box without its own border colour draws the frame in its text colour.
  const std::wstring border = item.Raw(L"attribute", L"borderColor");
  border_color_ = border.empty() ? text_color_ : theme.ResolveColor(border, 0);
  border_round_ = std::max(0, item.Element(L"attribute").Int(L"borderRound", 0));
  font_id_ = item.Raw(L"attribute", L"font");
  logo_id_ = item.Raw(L"attribute", L"imagelogo");
}

void CSkinGroupBtnSB::ApplyAttributes() {
  logo_ = theme_ && !logo_id_.empty() ? theme_->GetPicture(logo_id_) : nullptr;
  HFONT font = theme_ && !font_id_.empty() ? skin::ThemeFont(*theme_, font_id_) : nullptr;
  if (!font) font = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  SetFont(font);
}

void CSkinGroupBtnSB::ApplyColorAdjust(int hue, int saturation, int brightness) {
  const bool shifted = hue != 0 || saturation != 0 || brightness != 0;
  adjusted_border_ = shifted ? skin::ShiftColor(border_color_, {hue, saturation, brightness}, kKeyColor) : border_color_;
}

LRESULT CALLBACK CSkinGroupBtnSB::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CSkinGroupBtnSB* skin = FromWindow(hwnd);
  if (!skin) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return skin->OnMessage(msg, wp, lp);
}

LRESULT CSkinGroupBtnSB::CallPrevious(UINT msg, WPARAM wp, LPARAM lp) {
  if (chain_.previous) return ::CallWindowProcW(chain_.previous, window_, msg, wp, lp);
  return ::DefWindowProcW(window_, msg, wp, lp);
}

void CSkinGroupBtnSB::PaintTo(HDC dc) {
  RECT client{};
  ::GetClientRect(window_, &client);
  skin::PaintChildBackground(window_, dc, client);

  wchar_t text[kMaxCaption + 1] = {};
  const int length = std::clamp(::GetWindowTextW(window_, text, kMaxCaption + 1), 0, kMaxCaption);
  ::SetTextColor(dc, text_color_);
  const int old_mode = ::SetBkMode(dc, TRANSPARENT);
  fw::ScopedSelectObject font(dc, Font());
  fw::UniquePen pen(::CreatePen(PS_SOLID, 1, adjusted_border_));
  fw::ScopedSelectObject pen_selected(dc, pen.get());
  fw::ScopedSelectObject brush(dc, ::GetStockObject(HOLLOW_BRUSH));
  SIZE caption{};
  ::GetTextExtentPoint32W(dc, text, length, &caption);
  if (caption.cy == 0) {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    caption.cy = metrics.tmHeight;
  }

  const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  const bool icon = (style & BS_ICON) != 0;
  const bool bitmap = !icon && (style & BS_BITMAP) != 0;
  int h = static_cast<int>(caption.cy / 2);
  int w = static_cast<int>(caption.cx) + 8;
  SIZE picture{};
  if (logo_) {
    logo_->Realise();
    picture = {static_cast<LONG>(logo_->GetWidth()), static_cast<LONG>(logo_->GetHeight())};
  } else if (icon || bitmap) {
    picture = ImageSize(window_, icon);
  }
  const bool with_picture = logo_ || icon || bitmap;
  if (with_picture) {
    h = std::max(static_cast<int>(caption.cy / 2), static_cast<int>(picture.cy / 2));
    w = static_cast<int>(caption.cx + picture.cx) + 10;
  }

  ::RoundRect(dc, client.left + 1, client.top + h + 1, client.right - 1, client.bottom - 1, border_round_,
              border_round_);

  int x0 = client.left + 8;
  if ((style & BS_CENTER) == BS_CENTER)
    x0 = client.left + (client.right - client.left - w) / 2;
  else if ((style & BS_CENTER) == BS_RIGHT)
    x0 = client.right - 8 - w;
  band_ = RECT{x0, client.top + 1, x0 + w, client.top + 1 + 2 * h};
  skin::PaintChildBackground(window_, dc, band_);

  int text_x = x0 + 5;
  int text_y = client.top + 1;
  if (with_picture) {
    const int px = x0 + 5, py = client.top + 1;
    if (logo_) {
      skin::DrawAt(dc, *logo_, px, py);
    } else if (HANDLE image = reinterpret_cast<HANDLE>(
                   ::SendMessageW(window_, BM_GETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, 0))) {
      if (icon) {
        ::DrawIconEx(dc, px, py, static_cast<HICON>(image), picture.cx, picture.cy, 0, nullptr, DI_NORMAL);
      } else if (fw::UniqueMemDC source(::CreateCompatibleDC(dc)); source) {
        fw::ScopedSelectObject selected(source.get(), image);
        ::BitBlt(dc, px, py, picture.cx, picture.cy, source.get(), 0, 0, SRCCOPY);
      }
    }
    text_x = x0 + static_cast<int>(picture.cx) + 8;
    text_y = client.top + 1 + h - static_cast<int>(caption.cy / 2);
  }
  if (length > 0) {
    RECT text_rect{text_x, text_y, band_.right, band_.bottom};
    ::DrawTextW(dc, text, length, &text_rect, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
  }
  ::SetBkMode(dc, old_mode);
}

LRESULT CSkinGroupBtnSB::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = window_;
  switch (msg) {
    case WM_ENABLE:
    case WM_SETTEXT: {
      // The platform's group box draws its caption itself: keep that off the screen, then paint at once.
      const bool visible = ::IsWindowVisible(hwnd) != FALSE;
      if (visible) ::SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
      const LRESULT result = CallPrevious(msg, wp, lp);
      if (!visible || !::IsWindow(hwnd)) return result;
      ::SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
      fw::WindowDC dc(hwnd);
      if (dc) PaintTo(dc.get());
      ::ValidateRect(hwnd, nullptr);
      return result;
    }
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
