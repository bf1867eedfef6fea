#include "skin/ThemeGdi.h"

#include <map>
#include <string>

#include "framework/Handles.h"
#include "skin/draw/SkinFont_win.h"
#include "skin/draw/SkinIcon_win.h"

namespace skin {
namespace {

struct CachedFont {
  FontSpec desc;
  CSkinFont font;
};

struct CachedCursor {
  std::wstring value;
  HCURSOR cursor = nullptr;
  fw::UniqueCursor owned;  // set for cursors copied out of another module
};

std::map<std::wstring, CachedFont, std::less<>>& Fonts() {
  static auto* fonts = new std::map<std::wstring, CachedFont, std::less<>>();
  return *fonts;
}

std::map<std::wstring, CachedCursor, std::less<>>& Cursors() {
  static auto* cursors = new std::map<std::wstring, CachedCursor, std::less<>>();
  return *cursors;
}

bool SameSpec(const FontSpec& a, const FontSpec& b) {
  return a.face == b.face && a.size == b.size && a.bold == b.bold && a.underline == b.underline;
}

// Major version of the running system, read without the compatibility shims of GetVersionEx.
DWORD SystemMajorVersion() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(::GetProcAddress(ntdll, "RtlGetVersion")) : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  return fn && fn(&info) == 0 ? info.dwMajorVersion : 6;
}

void CreateThemeFont(const FontSpec& desc, CSkinFont& font) {
  font.Destroy();
  if (!desc.Creatable()) return;
  std::wstring face = desc.face;
  // The YaHei face is missing on version 5 systems; SimSun stands in.
  if (face == L"\x5FAE\x8F6F\x96C5\x9ED1" && SystemMajorVersion() == 5) face = L"\x5B8B\x4F53";
  font.Create(face, desc.size, desc.bold, desc.underline);
}

}  // namespace

HFONT ThemeFont(const CSkinResourceManager& manager, std::wstring_view id) {
  const FontSpec* desc = manager.GetFont(id);
  if (!desc) return nullptr;
  auto& fonts = Fonts();
  auto it = fonts.find(id);
  if (it == fonts.end()) it = fonts.emplace(std::wstring(id), CachedFont{}).first;
  CachedFont& cached = it->second;
  if (!cached.font || !SameSpec(cached.desc, *desc)) {
    cached.desc = *desc;
    CreateThemeFont(*desc, cached.font);
  }
  return cached.font.GetHandle();
}

HCURSOR ThemeCursor(const CSkinResourceManager& manager, std::wstring_view id) {
  const CursorSpec* desc = manager.GetCursor(id);
  if (!desc) return nullptr;
  auto& cursors = Cursors();
  auto it = cursors.find(id);
  if (it != cursors.end() && it->second.value == desc->value) return it->second.cursor;
  if (it == cursors.end()) it = cursors.emplace(std::wstring(id), CachedCursor{}).first;
  CachedCursor& cached = it->second;
  cached.value = desc->value;
  cached.cursor = LoadThemeCursor(desc->value, cached.owned);
  return cached.cursor;
}

}  // namespace skin
