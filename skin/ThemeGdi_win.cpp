#include "skin/ThemeGdi.h"

#include <map>
#include <string>

#include "framework/Handles.h"

namespace skin {
namespace {

struct CachedFont {
  FontSpec desc;
  fw::UniqueFont font;
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

HFONT CreateThemeFont(const FontSpec& desc) {
  if (!desc.Creatable()) return nullptr;
  std::wstring face = desc.face;
  // The YaHei face is missing on version 5 systems; SimSun stands in.
  if (face == L"\x5FAE\x8F6F\x96C5\x9ED1" && SystemMajorVersion() == 5) face = L"\x5B8B\x4F53";
  LOGFONTW lf{};
  lf.lfHeight = desc.size;
  lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
  lf.lfUnderline = desc.underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = PROOF_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&lf);
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
    cached.font.reset(CreateThemeFont(*desc));
  }
  return cached.font.get();
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
  cached.owned.reset();
  cached.cursor = nullptr;
  if (!desc->value.empty() && desc->value[0] == L'#') {
    const int number = ParseInt(std::wstring_view(desc->value).substr(1));
    if (number > 0 && number <= 0xFFFF)
      cached.cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(number)));
    return cached.cursor;
  }
  wchar_t windows[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const std::wstring help = std::wstring(windows) + L"\\winhlp32.exe";
  fw::UniqueModule module(::LoadLibraryExW(help.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return nullptr;
  // The copy outlives the module it was loaded from.
  if (HCURSOR shared = ::LoadCursorW(module.get(), desc->value.c_str())) {
    cached.owned.reset(reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(shared))));
    cached.cursor = cached.owned.get();
  }
  return cached.cursor;
}

}  // namespace skin
