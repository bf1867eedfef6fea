#include "skin/PlainSkin_win.h"

#include <commctrl.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/Handles.h"

namespace skin {
namespace {

constexpr UINT_PTR kSubclassId = 0x504C4E; // "PLN"
constexpr size_t kMaxPictureFileBytes = 16u << 20;
constexpr unsigned kMaxPictureSide = 4096;

struct PlainItem {
  std::wstring theme_id;
  std::wstring text;
  std::wstring disabled_text;
  std::vector<uint32_t> picture;  // decoded BGRA, straight alpha
  unsigned picture_width = 0, picture_height = 0;
  fw::UniqueBitmap shown;         // the picture as fitted into the control
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

bool ReadFileBytes(const std::wstring& path, std::vector<unsigned char>& out) {
  fw::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxPictureFileBytes)
    return false;
  out.resize(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  return ::ReadFile(file.get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr) && got == out.size();
}

bool DecodePng(const std::vector<unsigned char>& bytes, PlainItem& item) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  if (image.width == 0 || image.height == 0 || image.width > kMaxPictureSide || image.height > kMaxPictureSide) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  item.picture = std::move(pixels);
  item.picture_width = image.width;
  item.picture_height = image.height;
  return true;
}

// Area-averaged scaling of the picture onto the button face colour, centred in a w x h bitmap.
fw::UniqueBitmap FitPicture(const PlainItem& item, int w, int h) {
  if (item.picture.empty() || w <= 0 || h <= 0) return {};
  const double scale = std::min({static_cast<double>(w) / item.picture_width,
                                 static_cast<double>(h) / item.picture_height, 1.0});
  const int dw = std::max(1, static_cast<int>(item.picture_width * scale));
  const int dh = std::max(1, static_cast<int>(item.picture_height * scale));
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  fw::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const double fr = GetRValue(face), fg = GetGValue(face), fb = GetBValue(face);
  auto* out = static_cast<uint32_t*>(bits);
  for (int i = 0; i < w * h; ++i) out[i] = (static_cast<uint32_t>(fr) << 16) | (static_cast<uint32_t>(fg) << 8) |
                                           static_cast<uint32_t>(fb);
  const int ox = (w - dw) / 2, oy = (h - dh) / 2;
  const double sx = static_cast<double>(item.picture_width) / dw, sy = static_cast<double>(item.picture_height) / dh;
  for (int y = 0; y < dh; ++y) {
    const unsigned y0 = static_cast<unsigned>(y * sy);
    const unsigned y1 = std::min(item.picture_height, std::max(y0 + 1, static_cast<unsigned>((y + 1) * sy)));
    for (int x = 0; x < dw; ++x) {
      const unsigned x0 = static_cast<unsigned>(x * sx);
      const unsigned x1 = std::min(item.picture_width, std::max(x0 + 1, static_cast<unsigned>((x + 1) * sx)));
      double a = 0, r = 0, g = 0, b = 0;
      for (unsigned py = y0; py < y1; ++py) {
        for (unsigned px = x0; px < x1; ++px) {
          const uint32_t p = item.picture[static_cast<size_t>(py) * item.picture_width + px];
          const double pa = (p >> 24) / 255.0;
          a += pa;
          r += pa * ((p >> 16) & 0xFF);
          g += pa * ((p >> 8) & 0xFF);
          b += pa * (p & 0xFF);
        }
      }
      const double n = static_cast<double>(x1 - x0) * (y1 - y0);
      const double alpha = a / n;
      const auto mix = [&](double premultiplied_sum, double background) {
        return static_cast<uint32_t>(premultiplied_sum / n + (1.0 - alpha) * background + 0.5);
      };
      out[(oy + y) * w + ox + x] = (mix(r, fr) << 16) | (mix(g, fg) << 8) | mix(b, fb);
    }
  }
  return bitmap;
}

void ShowPicture(HWND hwnd, PlainItem& item) {
  RECT rc{};
  ::GetClientRect(hwnd, &rc);
  constexpr int kMargin = 3;
  item.shown = FitPicture(item, rc.right - rc.left - 2 * kMargin, rc.bottom - rc.top - 2 * kMargin);
  ::SendMessageW(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(item.shown.get()));
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
      if (it != Items().end() && !it->second.picture.empty()) ShowPicture(hwnd, it->second);
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

bool PlainSetItemImage(HWND hwnd, const std::wstring& item_id, const std::wstring& path, bool redraw) {
  if (!::IsWindow(hwnd) || item_id != L"image.logo") return false;
  std::vector<unsigned char> bytes;
  PlainItem decoded;
  if (!ReadFileBytes(path, bytes) || !DecodePng(bytes, decoded)) return false;
  PlainItem& item = ItemFor(hwnd);
  item.picture = std::move(decoded.picture);
  item.picture_width = decoded.picture_width;
  item.picture_height = decoded.picture_height;
  ShowPicture(hwnd, item);
  if (redraw) ::InvalidateRect(hwnd, nullptr, FALSE);
  return true;
}

HBITMAP PlainItemImage(HWND hwnd) {
  auto it = Items().find(hwnd);
  return it == Items().end() ? nullptr : it->second.shown.get();
}

}  // namespace skin
