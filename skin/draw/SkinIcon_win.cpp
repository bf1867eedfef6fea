#include "skin/draw/SkinIcon_win.h"

#include <string>

CSkinIcon::CSkinIcon(HICON icon, bool small) : icon_(icon) {
  if (small) {
    width_ = ::GetSystemMetrics(SM_CXSMICON);
    height_ = ::GetSystemMetrics(SM_CYSMICON);
    return;
  }
  ICONINFO info{};
  if (icon && ::GetIconInfo(icon, &info)) {
    // GetIconInfo hands out copies of the icon's bitmaps.
    fw::UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
    width_ = static_cast<int>(info.xHotspot) * 2;
    height_ = static_cast<int>(info.yHotspot) * 2;
  }
}

bool CSkinIcon::Draw(HDC dc, int x, int y) const {
  return dc && icon_ && ::DrawIconEx(dc, x, y, icon_, width_, height_, 0, nullptr, DI_NORMAL) != 0;
}

namespace skin {

HCURSOR LoadThemeCursor(std::wstring_view value, fw::UniqueCursor& owned) {
  owned.reset();
  if (value.empty()) return nullptr;
  if (value[0] == L'#') {
    int number = 0;
    for (wchar_t c : value.substr(1)) {
      if (c < L'0' || c > L'9' || number > 0xFFFF) return nullptr;
      number = number * 10 + (c - L'0');
    }
    if (number <= 0 || number > 0xFFFF) return nullptr;
    return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(number)));
  }
  wchar_t windows[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const std::wstring help = std::wstring(windows) + L"\\winhlp32.exe";
  fw::UniqueModule module(::LoadLibraryExW(help.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return nullptr;
  const std::wstring name(value);
  // The copy outlives the module it was loaded from.
  if (HCURSOR shared = ::LoadCursorW(module.get(), name.c_str()))
    owned.reset(reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(shared))));
  return owned.get();
}

}  // namespace skin
