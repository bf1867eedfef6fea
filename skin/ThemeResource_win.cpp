#include "skin/ThemeResource.h"

namespace skin {

int LoadThemeResource(CSkinResourceManager& manager, HMODULE module, const wchar_t* type, WORD id,
                      const char* password) {
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return 0;
  HGLOBAL loaded = ::LoadResource(module, found);
  const DWORD size = ::SizeofResource(module, found);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (bytes && size) manager.LoadArchiveTheme(bytes, size, password);
  return 1;
}

CSkinResourceManager& GetSkinResourceManager() {
  static CSkinResourceManager* manager = [] {
    auto* m = new CSkinResourceManager();
    m->SetSystemColorSource([](int index) { return static_cast<uint32_t>(::GetSysColor(index)); });
    return m;
  }();
  return *manager;
}

}  // namespace skin
