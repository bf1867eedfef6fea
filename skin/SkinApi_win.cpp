// The seven functions through which the application reaches the skin engine. While no drawing engine
// dresses windows, every dressing request falls back to the plain presentation (PlainSkin_win.h).
#include "skin/SkinApi.h"

#include <string>

#include "framework/Application.h"
#include "skin/PlainSkin_win.h"
#include "skin/SkinState_win.h"
#include "skin/ThemeResource.h"

namespace {

bool IsAbsoluteFolder(const std::wstring& folder) {
  size_t pos = folder.find(L":\\");
  return pos != std::wstring::npos && pos >= 1;
}

std::wstring ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::wstring long_path(32768, L'\0');
  DWORD n = ::GetLongPathNameW(path.c_str(), long_path.data(), static_cast<DWORD>(long_path.size()));
  if (n > 0 && n < long_path.size()) {
    long_path.resize(n);
    path = long_path;
  }
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

}  // namespace

int SkinInit(const wchar_t* folder) {
  std::wstring path = folder ? folder : L"";
  if (!IsAbsoluteFolder(path)) path = ExecutableFolder() + L"\\" + path;
  if (!IsAbsoluteFolder(path)) {
    skin::State().last_error = 5;
    return 0;
  }
  skin::State().theme_folder_requested = path;
  skin::GetSkinResourceManager().LoadFolderTheme(path);
  return 1;
}

int SkinLoadFromResource(const wchar_t* type, WORD id, const char* password) {
  return skin::LoadThemeResource(skin::GetSkinResourceManager(), ::GetModuleHandleW(nullptr), type, id, password);
}

int SkinSetMenuSkin(const wchar_t* id) {
  if (!id) return 0;
  // An unknown id falls back to the theme's "menu" item.
  if (!skin::GetSkinResourceManager().FindItem(L"menu", id)) {
    skin::State().last_error = 1;
    return 0;
  }
  skin::State().menu_item_id = id;
  return 1;
}

int SkinSetWindowSkin(HWND hwnd, const wchar_t* id) {
  if (!hwnd || !id) return 0;
  skin::PlainAttach(hwnd, id);
  skin::State().last_error = 1;
  return 0;
}

int SkinSetItemProperty(HWND hwnd, const wchar_t* item_id, const wchar_t* value, int redraw) {
  if (!item_id) return 0;
  return skin::PlainSetItemProperty(hwnd, item_id, value ? value : L"", redraw != 0) ? 1 : 0;
}

int SkinSetItemImage(HWND hwnd, const wchar_t* item_id, const wchar_t* path, int redraw) {
  if (!item_id || !path) return 0;
  // The picture joins the theme's picture table under its path, decoded when first drawn.
  CSkinDrawImage* picture = skin::GetSkinResourceManager().RegisterFilePicture(path);
  return skin::PlainSetItemImage(hwnd, item_id, picture, redraw != 0) ? 1 : 0;
}

namespace {
LRESULT CALLBACK MenuHookProc(int code, WPARAM wp, LPARAM lp) {
  return ::CallNextHookEx(skin::State().menu_hook, code, wp, lp);
}
}  // namespace

int SkinEnableMenuHook(int flag) {
  auto& state = skin::State();
  const bool on = flag != 0;
  if (on == state.menu_hook_enabled) return 0;
  state.menu_hook_enabled = on;
  if (on) {
    if (state.menu_hook) return 0;
    state.menu_hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &MenuHookProc, nullptr, ::GetCurrentThreadId());
    return state.menu_hook ? 1 : 0;
  }
  if (state.menu_hook) {
    ::UnhookWindowsHookEx(state.menu_hook);
    state.menu_hook = nullptr;
  }
  return 0;
}
