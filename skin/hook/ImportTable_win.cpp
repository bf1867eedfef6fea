#include "skin/hook/ImportTable_win.h"

#include <cstdint>
#include <cstring>

namespace skin::hook {
namespace {

// The loader validated the headers of every mapped module, but a module can be mapped by anyone as data or
// be of the other bitness: nothing here trusts an offset before it is checked.
constexpr size_t kMaxHeaderOffset = 64 * 1024;
constexpr size_t kMaxImportDescriptors = 4096;
constexpr size_t kMaxThunksPerModule = 1 << 16;

template <typename T>
const T* At(const ModuleImage& image, size_t rva) {
  if (rva == 0 || !image.Contains(image.base + rva, sizeof(T))) return nullptr;
  return reinterpret_cast<const T*>(image.base + rva);
}

const IMAGE_DATA_DIRECTORY* Directory(const ModuleImage& image, int index) {
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.base + dos->e_lfanew);
  if (static_cast<DWORD>(index) >= nt->OptionalHeader.NumberOfRvaAndSizes) return nullptr;
  const IMAGE_DATA_DIRECTORY* dir = &nt->OptionalHeader.DataDirectory[index];
  if (dir->VirtualAddress == 0 || dir->Size == 0) return nullptr;
  return dir;
}

void VisitThunks(const ModuleImage& image, DWORD iat_rva, const std::function<void(void** slot)>& visit) {
  for (size_t i = 0; i < kMaxThunksPerModule; ++i) {
    auto* slot = At<void*>(image, iat_rva + i * sizeof(void*));
    if (!slot || *slot == nullptr) return;
    visit(const_cast<void**>(slot));
  }
}

bool NameAt(const ModuleImage& image, DWORD rva, std::string& out) {
  out.clear();
  for (size_t i = 0; i < MAX_PATH; ++i) {
    auto* c = At<char>(image, rva + i);
    if (!c) return false;
    if (*c == '\0') return !out.empty();
    out += *c;
  }
  return false;
}

}  // namespace

bool ModuleImage::Contains(const void* p, size_t bytes) const {
  auto* q = static_cast<const unsigned char*>(p);
  return base && q >= base && bytes <= size && static_cast<size_t>(q - base) <= size - bytes;
}

ModuleImage ReadModuleImage(const void* base) {
  ModuleImage image;
  if (!base) return image;
  auto* bytes = static_cast<const unsigned char*>(base);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
      static_cast<size_t>(dos->e_lfanew) > kMaxHeaderOffset)
    return image;
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) return image;
  size_t size = nt->OptionalHeader.SizeOfImage;
  if (size < static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS)) return image;
  image.base = bytes;
  image.size = size;
  return image;
}

bool ForEachImportSlot(const ModuleImage& image, const std::function<void(void** slot)>& visit) {
  if (!image.base) return false;
  if (auto* dir = Directory(image, IMAGE_DIRECTORY_ENTRY_IMPORT)) {
    for (size_t i = 0; i < kMaxImportDescriptors; ++i) {
      auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(image, dir->VirtualAddress + i * sizeof(IMAGE_IMPORT_DESCRIPTOR));
      if (!d || (d->Name == 0 && d->FirstThunk == 0)) break;
      VisitThunks(image, d->FirstThunk, visit);
    }
  }
  if (auto* dir = Directory(image, IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT)) {
    for (size_t i = 0; i < kMaxImportDescriptors; ++i) {
      auto* d = At<IMAGE_DELAYLOAD_DESCRIPTOR>(image,
                                               dir->VirtualAddress + i * sizeof(IMAGE_DELAYLOAD_DESCRIPTOR));
      if (!d || (d->DllNameRVA == 0 && d->ImportAddressTableRVA == 0)) break;
      // Descriptors without the RVA flag hold absolute addresses (very old linkers); they are left alone.
      if (!(d->Attributes.AllAttributes & 1)) continue;
      VisitThunks(image, d->ImportAddressTableRVA, visit);
    }
  }
  return true;
}

void ForEachImportedModule(const ModuleImage& image, const std::function<void(const std::string& name)>& visit) {
  if (!image.base) return;
  auto* dir = Directory(image, IMAGE_DIRECTORY_ENTRY_IMPORT);
  if (!dir) return;
  std::string name;
  for (size_t i = 0; i < kMaxImportDescriptors; ++i) {
    auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(image, dir->VirtualAddress + i * sizeof(IMAGE_IMPORT_DESCRIPTOR));
    if (!d || (d->Name == 0 && d->FirstThunk == 0)) break;
    if (NameAt(image, d->Name, name)) visit(LowerModuleName(name));
  }
}

std::string LowerModuleName(const std::wstring& name) {
  std::string out;
  out.reserve(name.size());
  for (wchar_t c : name) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    out += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return out;
}

std::string LowerModuleName(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

ScopedPageProtection::ScopedPageProtection(void* slot) : slot_(slot) {
  MEMORY_BASIC_INFORMATION info{};
  if (!::VirtualQuery(slot_, &info, sizeof(info)) || info.State != MEM_COMMIT) return;
  const DWORD kind = info.Protect & 0xFF;
  if (kind == PAGE_READWRITE || kind == PAGE_EXECUTE_READWRITE) {
    writable_ = true;  // already writable: nothing to put back
    return;
  }
  // A slot can share its page with code (some linkers merge the import table into .text): keep it executable.
  const bool executable = kind == PAGE_EXECUTE || kind == PAGE_EXECUTE_READ || kind == PAGE_EXECUTE_WRITECOPY;
  changed_ = ::VirtualProtect(slot_, sizeof(void*), executable ? PAGE_EXECUTE_READWRITE : PAGE_READWRITE, &old_) != 0;
  writable_ = changed_;
}

ScopedPageProtection::~ScopedPageProtection() {
  if (changed_) {
    DWORD ignored = 0;
    ::VirtualProtect(slot_, sizeof(void*), old_, &ignored);
  }
}

bool StoreSlot(void** slot, void* value) {
  if (reinterpret_cast<uintptr_t>(slot) % alignof(void*) != 0) return false;
  ScopedPageProtection writable(slot);
  if (!writable) return false;
  ::InterlockedExchangePointer(slot, value);
  return true;
}

}  // namespace skin::hook
