#include "skin/PlainSkin_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/Handles.h"
#include "skin/draw/CxImageDraw_win.h"
#include "skin/draw/HBitmap_win.h"
#include "skin/draw/SkinDC_win.h"

namespace skin {
namespace {

constexpr UINT_PTR kSubclassId = 0x504C4E; // "PLN"

struct PlainItem {
  std::wstring theme_id;
  std::wstring text;
  std::wstring disabled_text;
  CxImage picture;                // a copy of the decoded picture
  CHBitmap shown;                 // the picture as fitted into the control
  fw::UniqueBitmap glyph;         // "menu.logo"
};

std::map<HWND, PlainItem>& Items() {
  static std::map<HWND, PlainItem> items;
  return items;
}

const wchar_t* DefaultDisabledText(const std::wstring& theme_id) {
  if (theme_id == L"btnChoseDevice") return L"没有插入设备";
  return nullptr;
}

const wchar_t* DefaultText(const std::wstring& theme_id) {
  if (theme_id == L"sysbtn.close") return L"关闭";
  if (theme_id == L"sysbtn.min") return L"最小化";
  return nullptr;
}

void ShowText(HWND hwnd, const PlainItem& item) {
  const std::wstring& text =
      (!::IsWindowEnabled(hwnd) && !item.disabled_text.empty()) ? item.disabled_text : item.text;
  ::SetWindowTextW(hwnd, text.c_str());
}

// The picture scaled down to fit (never up), centred on the button face colour in a w x h bitmap.
bool FitPicture(const CxImage& picture, int w, int h, CHBitmap& out) {
  out.Reset();
  if (!picture.IsValid() || !out.Create(w, h, 32)) return false;
  const double scale = std::min({static_cast<double>(w) / picture.GetWidth(),
                                 static_cast<double>(h) / picture.GetHeight(), 1.0});
  const int dw = std::max(1, static_cast<int>(picture.GetWidth() * scale));
  const int dh = std::max(1, static_cast<int>(picture.GetHeight() * scale));
  const int ox = (w - dw) / 2, oy = (h - dh) / 2;
  fw::UniqueMemDC memory(::CreateCompatibleDC(nullptr));
  if (!memory) return false;
  fw::ScopedSelectObject select(memory.get(), out.GetHandle());
  CSkinDC(memory.get()).FillSolid(RECT{0, 0, w, h}, ::GetSysColor(COLOR_BTNFACE));
  return DrawDecoded(memory.get(), picture, PixelRect{ox, oy, ox + dw, oy + dh});
}

void ShowPicture(HWND hwnd, PlainItem& item) {
  RECT rc{};
  ::GetClientRect(hwnd, &rc);
  constexpr int kMargin = 3;
  FitPicture(item.picture, rc.right - rc.left - 2 * kMargin, rc.bottom - rc.top - 2 * kMargin, item.shown);
  ::SendMessageW(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(item.shown.GetHandle()));
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  switch (msg) {
    case WM_ENABLE: {
      LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
      auto it = Items().find(hwnd);
      if (it != Items().end() && !it->second.disabled_text.empty()) ShowText(hwnd, it->second);
      return r;
    }
    case WM_SIZE: {
      LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
      auto it = Items().find(hwnd);
      if (it != Items().end() && it->second.picture.IsValid()) ShowPicture(hwnd, it->second);
      return r;
    }
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(hwnd, &PlainProc, kSubclassId);
      Items().erase(hwnd);
      break;
  }
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

PlainItem& ItemFor(HWND hwnd) {
  auto [it, inserted] = Items().try_emplace(hwnd);
  if (inserted) {
    ::SetWindowSubclass(hwnd, &PlainProc, kSubclassId, 0);
    int n = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(::GetWindowTextW(hwnd, text.data(), n + 1), 0)));
    it->second.text = text;
  }
  return it->second;
}

}  // namespace

void PlainAttach(HWND hwnd, const std::wstring& theme_id) {
  if (!::IsWindow(hwnd)) return;
  PlainItem& item = ItemFor(hwnd);
  item.theme_id = theme_id;
  if (item.disabled_text.empty())
    if (const wchar_t* t = DefaultDisabledText(theme_id)) item.disabled_text = t;
  if (item.text.empty())
    if (const wchar_t* t = DefaultText(theme_id)) item.text = t;
  ShowText(hwnd, item);
}

bool PlainSetItemProperty(HWND hwnd, const std::wstring& item_id, const std::wstring& value, bool redraw) {
  if (!::IsWindow(hwnd)) return false;
  PlainItem& item = ItemFor(hwnd);
  if (item_id == L"item.text") {
    item.text = value;
  } else if (item_id == L"item.text.disable") {
    item.disabled_text = value;
  } else if (item_id == L"menu.logo") {
    const int id = value == L"icon_device_ipad" ? 131 : value == L"icon_device_iphone" ? 132 : 0;
    if (!id) return false;
    item.glyph.reset(static_cast<HBITMAP>(::LoadImageW(fw::WinApp::ResourceInstance(), MAKEINTRESOURCEW(id),
                                                       IMAGE_BITMAP, 0, 0, LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS)));
    ::SendMessageW(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(item.glyph.get()));
    return true;
  } else {
    return false;
  }
  ShowText(hwnd, item);
  if (redraw) ::InvalidateRect(hwnd, nullptr, FALSE);
  return true;
}

bool PlainSetItemImage(HWND hwnd, const std::wstring& item_id, CSkinDrawImage* picture, bool redraw) {
  if (!::IsWindow(hwnd) || item_id != L"image.logo" || !picture) return false;
  picture->Realise();
  if (!picture->Decoded().IsValid()) return false;
  PlainItem& item = ItemFor(hwnd);
  item.picture.Copy(picture->Decoded());
  ShowPicture(hwnd, item);
  if (redraw) ::InvalidateRect(hwnd, nullptr, FALSE);
  return true;
}

HBITMAP PlainItemImage(HWND hwnd) {
  auto it = Items().find(hwnd);
  return it == Items().end() ? nullptr : it->second.shown.GetHandle();
}

}  // namespace skin
