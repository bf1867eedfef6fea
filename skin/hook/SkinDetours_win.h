#pragma once
// CSkinDetours: the skin engine's interception of user32's window, painting and scroll-bar functions in the
// whole process. It is the only code of the program that patches memory.
//
// How: every module's import address slots (ordinary and delay imports) that hold the real entry point of
// an intercepted function are pointed at its replacement, one aligned pointer-sized store per slot. Slots
// are found by the address they hold, so forwarded exports and API-set names need no special case. User32
// and the modules under it (those it imports, and ntdll, win32u, gdi32, kernel32, kernelbase) are never
// patched: the platform's own calls stay the platform's. Modules loaded later are patched as the loader maps
// them (a DLL notification, which does no loader work of its own).
//
// GetProcAddress is intercepted too: while hooked, asking any module for an intercepted function returns
// its replacement, so code that binds user32 at run time is answered like code that imports it. After
// Unhook() it returns the real entry point again; replacements already handed out keep working and then
// simply make the real call.
//
// The replacements ask the engine (HookEngine) only on the thread that called Hook(); every other thread,
// and every window the engine does not dress, gets the real call.
#include <windows.h>

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "skin/hook/HookEngine_win.h"
#include "skin/hook/ProcedureChain_win.h"
#include "skin/hook/RealFunctions_win.h"

namespace skin::hook {

class CSkinDetours {
 public:
  CSkinDetours() = default;
  ~CSkinDetours();  // unhooks
  CSkinDetours(const CSkinDetours&) = delete;
  CSkinDetours& operator=(const CSkinDetours&) = delete;

  // Installs the interceptions answering for `engine`, which must outlive Unhook(). False when another
  // CSkinDetours is hooked, this one already is, or user32's entry points cannot be found.
  bool Hook(HookEngine& engine);
  // Puts every patched slot back to the real entry point and stops watching module loads. Call it on the
  // thread that called Hook().
  void Unhook();
  bool IsHooked() const { return hooked_; }

  // Import slots currently pointing at a replacement.
  size_t PatchedSlotCount() const;
  // Whether the module's imports are patched while hooked (false for user32 and the modules under it).
  bool Covers(HMODULE module) const;

  // The real functions, for the engine's own calls.
  static const RealFunctions& Real() { return skin::hook::Real(); }

 private:
  struct PatchedSlot {
    void** slot;
    void* original;
    void* replacement;
    const unsigned char* module_base;
    size_t module_size;
  };
  struct LoadedModule {
    const void* base;
    std::string name;  // lower case
  };

  static void CALLBACK OnDllNotification(ULONG reason, const void* data, void* context);
  static std::vector<LoadedModule> LoadedModules();
  static std::unordered_set<std::string> ModulesUnderUser32();
  // Both run with lock_ held and do no loader work (they may run inside the loader's notification).
  void PatchModuleLocked(const void* base, const std::string& lower_name);
  void ForgetModuleLocked(const void* base);

  bool hooked_ = false;
  void* notification_cookie_ = nullptr;
  std::unordered_set<std::string> excluded_;
  std::vector<PatchedSlot> patched_;
  mutable SRWLOCK lock_ = SRWLOCK_INIT;
};

}  // namespace skin::hook
