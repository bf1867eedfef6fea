#pragma once
// The seam between the interception and the skin engine. The replacements of the intercepted functions ask
// the engine, through these interfaces, whether a window is dressed and what its skin answers; an undressed
// window, or any window on another thread than the engine's, gets the real call.
#include <windows.h>

#include <optional>

namespace skin::hook {

// The two procedures of a window whose messages the engine sees first. `engine` is installed on the window;
// `previous` (and its ANSI form) is the procedure under it, the one the engine passes unhandled messages to
// and the one anybody who reads the window's procedure is shown.
struct ProcedureChain {
  WNDPROC engine = nullptr;
  WNDPROC previous = nullptr;       // as GetWindowLongPtrW shows it; call it with CallWindowProcW
  WNDPROC previous_ansi = nullptr;  // as GetWindowLongPtrA shows it
};

// A dressed window as the interception sees it. Every answer is optional: nullopt sends the caller to the
// real function. The methods run on the engine's thread only, for windows of that thread.
class DressedWindow {
 public:
  virtual ~DressedWindow() = default;

  // The procedure pair the engine keeps for the window; null when the engine does not subclass it.
  virtual ProcedureChain* Procedures() = 0;

  // A non-empty answer swallows the call; the interception then deletes `region`, which the platform would
  // have owned.
  virtual std::optional<int> SetWindowRgn(HRGN region, BOOL redraw) { return std::nullopt; }

  virtual std::optional<HDC> BeginPaint(PAINTSTRUCT* paint) { return std::nullopt; }
  virtual std::optional<BOOL> EndPaint(const PAINTSTRUCT* paint) { return std::nullopt; }
  virtual std::optional<HDC> GetDC() { return std::nullopt; }
  virtual std::optional<HDC> GetWindowDC() { return std::nullopt; }
  virtual std::optional<int> ReleaseDC(HDC dc) { return std::nullopt; }

  virtual std::optional<int> SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw) { return std::nullopt; }
  virtual std::optional<BOOL> GetScrollInfo(int bar, SCROLLINFO& info) { return std::nullopt; }
  virtual std::optional<int> SetScrollPos(int bar, int position, BOOL redraw) { return std::nullopt; }
  virtual std::optional<int> GetScrollPos(int bar) { return std::nullopt; }
  virtual std::optional<BOOL> SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) { return std::nullopt; }
  virtual std::optional<BOOL> GetScrollRange(int bar, int& minimum, int& maximum) { return std::nullopt; }
  virtual std::optional<BOOL> ShowScrollBar(int bar, BOOL show) { return std::nullopt; }
  virtual std::optional<BOOL> EnableScrollBar(UINT bars, UINT arrows) { return std::nullopt; }
};

// The engine as a whole: the window registry implements it.
class HookEngine {
 public:
  virtual ~HookEngine() = default;
  // The dressed window `hwnd`, or null. Called for every intercepted call the engine's thread makes on a
  // window, so it must be cheap for windows the engine does not know.
  virtual DressedWindow* FindDressed(HWND hwnd) = 0;
  // The window a memory device context handed out by a skin paints for, or null.
  virtual HWND WindowFromMemoryDC(HDC dc) { return nullptr; }
};

}  // namespace skin::hook
