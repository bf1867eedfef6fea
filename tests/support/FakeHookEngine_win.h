#pragma once
// A stand-in for the skin engine's window registry, for tests of the interception: it "dresses" a window by
// putting a recording engine procedure first (with the real setter, as the engine does) and answers the
// intercepted calls the way a test asks it to.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skin/hook/HookEngine_win.h"
#include "skin/hook/ProcedureChain_win.h"

namespace testing_support {

// Every procedure in a test appends its name here when a test message passes it.
inline std::vector<std::string>& ProcedureLog() {
  static std::vector<std::string> log;
  return log;
}
constexpr UINT kProbeMessage = WM_APP + 17;

class FakeDressedWindow : public skin::hook::DressedWindow {
 public:
  skin::hook::ProcedureChain chain;
  skin::hook::ProcedureChain* Procedures() override { return &chain; }

  std::optional<int> SetWindowRgn(HRGN, BOOL) override { return swallow_region ? std::optional<int>(1) : std::nullopt; }
  std::optional<HDC> BeginPaint(PAINTSTRUCT* paint) override {
    ++begin_paints;
    return paint_dc ? std::optional<HDC>(paint_dc) : std::nullopt;
  }
  std::optional<BOOL> EndPaint(const PAINTSTRUCT*) override {
    ++end_paints;
    return paint_dc ? std::optional<BOOL>(TRUE) : std::nullopt;
  }
  std::optional<HDC> GetDC() override { return paint_dc ? std::optional<HDC>(paint_dc) : std::nullopt; }
  std::optional<int> GetScrollPos(int bar) override { return scroll_pos; }

  bool swallow_region = false;
  HDC paint_dc = nullptr;  // answered for BeginPaint and GetDC when set
  std::optional<int> scroll_pos;
  int begin_paints = 0;
  int end_paints = 0;
};

class FakeHookEngine : public skin::hook::HookEngine {
 public:
  FakeHookEngine() { Current() = this; }
  ~FakeHookEngine() override { Current() = nullptr; }

  skin::hook::DressedWindow* FindDressed(HWND hwnd) override {
    ++lookups;
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.get();
  }
  HWND WindowFromMemoryDC(HDC dc) override { return dc == memory_dc ? memory_dc_window : nullptr; }

  // Puts the recording engine procedure first on `hwnd`; null when the platform refused.
  FakeDressedWindow* Dress(HWND hwnd) {
    auto window = std::make_unique<FakeDressedWindow>();
    window->chain.engine = &EngineProc;
    if (!skin::hook::InstallEngineProcedure(hwnd, window->chain)) return nullptr;
    FakeDressedWindow* raw = window.get();
    windows_[hwnd] = std::move(window);
    return raw;
  }
  // Registers `hwnd` as dressed without subclassing it (for answers that need no procedure).
  FakeDressedWindow* Register(HWND hwnd) {
    auto& slot = windows_[hwnd];
    slot = std::make_unique<FakeDressedWindow>();
    return slot.get();
  }
  FakeDressedWindow* Find(HWND hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.get();
  }

  HDC memory_dc = nullptr;
  HWND memory_dc_window = nullptr;
  long lookups = 0;

 private:
  static FakeHookEngine*& Current() {
    static FakeHookEngine* current = nullptr;
    return current;
  }
  // The engine's procedure: first on the window, then whatever is under it.
  static LRESULT CALLBACK EngineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    FakeHookEngine* engine = Current();
    FakeDressedWindow* window = engine ? engine->Find(hwnd) : nullptr;
    if (!window) return ::DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == kProbeMessage) ProcedureLog().push_back("engine");
    return ::CallWindowProcW(window->chain.previous, hwnd, msg, wp, lp);
  }
  std::map<HWND, std::unique_ptr<FakeDressedWindow>> windows_;
};

}  // namespace testing_support
