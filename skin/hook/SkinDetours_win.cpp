#include "skin/hook/SkinDetours_win.h"

#include <psapi.h>

#include <algorithm>

#include "skin/hook/ImportTable_win.h"
#include "skin/hook/Replacements_win.h"

namespace skin::hook {
namespace {

// The loader's DLL notification (ntdll), declared here: the SDK headers do not carry it.
constexpr ULONG kDllLoaded = 1;
constexpr ULONG kDllUnloaded = 2;
struct LoaderString {
  USHORT length;  // bytes
  USHORT maximum_length;
  PWSTR buffer;
};
struct DllNotificationData {
  ULONG flags;
  const LoaderString* full_name;
  const LoaderString* base_name;
  void* base;
  ULONG size_of_image;
};
using DllNotificationFn = void(CALLBACK*)(ULONG, const void*, void*);
using RegisterFn = LONG(NTAPI*)(ULONG, DllNotificationFn, void*, void**);
using UnregisterFn = LONG(NTAPI*)(void*);

template <typename Fn>
Fn Ntdll(const char* name) {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll ? reinterpret_cast<Fn>(reinterpret_cast<void*>(Real().GetProcAddress(ntdll, name))) : nullptr;
}

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

std::string BaseName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return LowerModuleName(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

// A slot whose module was unloaded without the loader telling us (no notification) must not be touched.
bool StillMappedImage(void** slot) {
  MEMORY_BASIC_INFORMATION info{};
  return ::VirtualQuery(slot, &info, sizeof(info)) && info.State == MEM_COMMIT && info.Type == MEM_IMAGE;
}

bool AllRealEntriesFound() {
  size_t count = 0;
  Interceptions(count);
#ifdef _WIN64
  constexpr size_t kExpected = 25;
#else
  constexpr size_t kExpected = 21;
#endif
  return count == kExpected;
}

}  // namespace

CSkinDetours::~CSkinDetours() { Unhook(); }

std::vector<CSkinDetours::LoadedModule> CSkinDetours::LoadedModules() {
  std::vector<HMODULE> handles(256);
  for (;;) {
    DWORD needed = 0;
    const DWORD bytes = static_cast<DWORD>(handles.size() * sizeof(HMODULE));
    if (!::EnumProcessModules(::GetCurrentProcess(), handles.data(), bytes, &needed)) return {};
    if (needed <= bytes) {
      handles.resize(needed / sizeof(HMODULE));
      break;
    }
    handles.resize(needed / sizeof(HMODULE) + 16);
  }
  std::vector<LoadedModule> modules;
  modules.reserve(handles.size());
  for (HMODULE h : handles) {
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(h, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) continue;
    modules.push_back({h, BaseName(path)});
  }
  return modules;
}

std::unordered_set<std::string> CSkinDetours::ModulesUnderUser32() {
  std::unordered_set<std::string> under = {"user32.dll", "win32u.dll",   "gdi32.dll",
                                           "ntdll.dll",  "kernel32.dll", "kernelbase.dll"};
  std::vector<HMODULE> pending = {::GetModuleHandleW(L"user32.dll")};
  std::unordered_set<HMODULE> seen;
  while (!pending.empty()) {
    HMODULE module = pending.back();
    pending.pop_back();
    if (!module || !seen.insert(module).second) continue;
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) under.insert(BaseName(path));
    // API-set names resolve to their host module here, so the host is what ends up in the set.
    ForEachImportedModule(ReadModuleImage(module), [&](const std::string& name) {
      pending.push_back(::GetModuleHandleA(name.c_str()));
    });
  }
  return under;
}

bool CSkinDetours::Hook(HookEngine& engine) {
  if (hooked_ || HasAnsweringEngine()) return false;
  Real();  // the real entry points, before any slot changes
  if (!AllRealEntriesFound()) return false;
  excluded_ = ModulesUnderUser32();
  SetAnsweringEngine(&engine, ::GetCurrentThreadId());
  hooked_ = true;

  // Watch first, then patch what is loaded: a module mapped in between is seen by one or the other, and
  // patching a module twice finds nothing left to patch.
  if (auto reg = Ntdll<RegisterFn>("LdrRegisterDllNotification"))
    if (reg(0, &CSkinDetours::OnDllNotification, this, &notification_cookie_) != 0) notification_cookie_ = nullptr;
  const std::vector<LoadedModule> modules = LoadedModules();
  ExclusiveLock hold(lock_);
  for (const LoadedModule& m : modules) PatchModuleLocked(m.base, m.name);
  return true;
}

void CSkinDetours::Unhook() {
  if (!hooked_) return;
  // Unregister outside lock_: the loader holds its own lock while it calls the notification, which takes lock_.
  if (notification_cookie_)
    if (auto unreg = Ntdll<UnregisterFn>("LdrUnregisterDllNotification")) unreg(notification_cookie_);
  notification_cookie_ = nullptr;
  SetAnsweringEngine(nullptr, 0);
  ExclusiveLock hold(lock_);
  for (auto it = patched_.rbegin(); it != patched_.rend(); ++it) {
    // A slot someone else has patched since is theirs now; it is left as they made it.
    if (StillMappedImage(it->slot) && *it->slot == it->replacement) StoreSlot(it->slot, it->original);
  }
  patched_.clear();
  hooked_ = false;
}

size_t CSkinDetours::PatchedSlotCount() const {
  ExclusiveLock hold(lock_);
  return patched_.size();
}

bool CSkinDetours::Covers(HMODULE module) const {
  wchar_t path[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  ExclusiveLock hold(lock_);
  return excluded_.count(BaseName(path)) == 0;
}

void CSkinDetours::PatchModuleLocked(const void* base, const std::string& lower_name) {
  if (excluded_.count(lower_name)) return;
  const ModuleImage image = ReadModuleImage(base);
  ForEachImportSlot(image, [&](void** slot) {
    void* current = *slot;
    void* replacement = ReplacementFor(current);
    if (replacement && StoreSlot(slot, replacement))
      patched_.push_back({slot, current, replacement, image.base, image.size});
  });
}

void CSkinDetours::ForgetModuleLocked(const void* base) {
  auto* b = static_cast<const unsigned char*>(base);
  patched_.erase(std::remove_if(patched_.begin(), patched_.end(),
                                [b](const PatchedSlot& p) { return p.module_base == b; }),
                 patched_.end());
}

void CALLBACK CSkinDetours::OnDllNotification(ULONG reason, const void* data, void* context) {
  auto* self = static_cast<CSkinDetours*>(context);
  auto* info = static_cast<const DllNotificationData*>(data);
  if (!self || !info || !info->base) return;
  ExclusiveLock hold(self->lock_);
  if (!self->hooked_) return;
  if (reason == kDllLoaded) {
    std::wstring name;
    if (info->base_name && info->base_name->buffer)
      name.assign(info->base_name->buffer, info->base_name->length / sizeof(wchar_t));
    self->PatchModuleLocked(info->base, LowerModuleName(name));
  } else if (reason == kDllUnloaded) {
    self->ForgetModuleLocked(info->base);  // its slots go away with it
  }
}

}  // namespace skin::hook
