#include <windows.h>

#include <cstring>

#include "packaging/CarrierTemplates.h"

namespace packaging {

void LoadTemplates() {
  LoadTemplates([](int resourceId, std::vector<uint8_t>& bytes) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"DATA");
    if (!info) return false;
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return false;
    bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    return true;
  });
}

}  // namespace packaging
