#pragma once
// Reading the import tables of a module mapped in this process. Every offset is checked against the image
// size the module's own headers give before it is followed.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace skin::hook {

// The extent of a mapped module; empty (size 0) when its headers are not a valid image of this bitness.
struct ModuleImage {
  const unsigned char* base = nullptr;
  size_t size = 0;
  bool Contains(const void* p, size_t bytes) const;
};
ModuleImage ReadModuleImage(const void* base);

// Calls `visit` for every import address slot of the module: its ordinary imports and its delay imports.
// Returns false when the headers are unusable (nothing is visited then).
bool ForEachImportSlot(const ModuleImage& image, const std::function<void(void** slot)>& visit);

// Calls `visit` with the name of every module the module imports from (ordinary imports only).
void ForEachImportedModule(const ModuleImage& image, const std::function<void(const std::string& name)>& visit);

// Lower-case ASCII copy of a module file name, for comparisons ("USER32.dll" -> "user32.dll").
std::string LowerModuleName(const std::wstring& name);
std::string LowerModuleName(const std::string& name);

// Makes the page holding a pointer-sized slot writable and puts the previous protection back.
class ScopedPageProtection {
 public:
  explicit ScopedPageProtection(void* slot);
  ~ScopedPageProtection();
  ScopedPageProtection(const ScopedPageProtection&) = delete;
  ScopedPageProtection& operator=(const ScopedPageProtection&) = delete;
  explicit operator bool() const { return writable_; }

 private:
  void* slot_;
  DWORD old_ = 0;
  bool writable_ = false;
  bool changed_ = false;
};

// Replaces the pointer in an aligned import slot with one atomic store. False when the slot is not aligned
// or its page cannot be made writable; the slot is untouched then.
bool StoreSlot(void** slot, void* value);

}  // namespace skin::hook
