#include "skin/hook/Replacements_win.h"

#include <atomic>
#include <cwchar>

#include "skin/hook/ProcedureChain_win.h"
#include "skin/hook/RealFunctions_win.h"

namespace skin::hook {
namespace {

std::atomic<HookEngine*> g_engine{nullptr};
std::atomic<DWORD> g_thread{0};

// The engine, when the calling thread is the one it answers on.
HookEngine* EngineHere() {
  HookEngine* engine = g_engine.load(std::memory_order_acquire);
  if (!engine || ::GetCurrentThreadId() != g_thread.load(std::memory_order_relaxed)) return nullptr;
  return engine;
}

DressedWindow* Dressed(HWND hwnd) {
  if (!hwnd) return nullptr;
  HookEngine* engine = EngineHere();
  return engine ? engine->FindDressed(hwnd) : nullptr;
}

// Procedures are only ever swapped by the window's own thread: another thread's swap would race the
// owner's dispatch, which runs the engine's procedure and then the previous one.
ProcedureChain* ChainOnOwnThread(HWND hwnd) {
  DressedWindow* window = Dressed(hwnd);
  if (!window) return nullptr;
  ProcedureChain* chain = window->Procedures();
  if (!chain || !chain->engine || !chain->previous) return nullptr;
  if (::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId()) return nullptr;
  return chain;
}

LONG_PTR WINAPI HookedSetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  if (index == GWLP_WNDPROC)
    if (ProcedureChain* chain = ChainOnOwnThread(hwnd)) return SetProcedureUnderEngine(hwnd, *chain, value, false);
  return Real().SetWindowLongPtrW(hwnd, index, value);
}

LONG_PTR WINAPI HookedSetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  if (index == GWLP_WNDPROC)
    if (ProcedureChain* chain = ChainOnOwnThread(hwnd)) return SetProcedureUnderEngine(hwnd, *chain, value, true);
  return Real().SetWindowLongPtrA(hwnd, index, value);
}

LONG_PTR WINAPI HookedGetWindowLongPtrW(HWND hwnd, int index) {
  if (index == GWLP_WNDPROC)
    if (ProcedureChain* chain = ChainOnOwnThread(hwnd)) return reinterpret_cast<LONG_PTR>(chain->previous);
  return Real().GetWindowLongPtrW(hwnd, index);
}

LONG_PTR WINAPI HookedGetWindowLongPtrA(HWND hwnd, int index) {
  if (index == GWLP_WNDPROC)
    if (ProcedureChain* chain = ChainOnOwnThread(hwnd)) return reinterpret_cast<LONG_PTR>(chain->previous_ansi);
  return Real().GetWindowLongPtrA(hwnd, index);
}

#ifdef _WIN64
// On x64 the Long forms have no window-procedure index (the platform refuses GWL_WNDPROC): they pass through.
LONG WINAPI HookedSetWindowLongW(HWND hwnd, int index, LONG value) { return Real().SetWindowLongW(hwnd, index, value); }
LONG WINAPI HookedSetWindowLongA(HWND hwnd, int index, LONG value) { return Real().SetWindowLongA(hwnd, index, value); }
LONG WINAPI HookedGetWindowLongW(HWND hwnd, int index) { return Real().GetWindowLongW(hwnd, index); }
LONG WINAPI HookedGetWindowLongA(HWND hwnd, int index) { return Real().GetWindowLongA(hwnd, index); }
#else
// On 32-bit builds the Long forms are the procedure setters (the Ptr names are macros for them).
LONG WINAPI HookedSetWindowLongW(HWND hwnd, int index, LONG value) { return HookedSetWindowLongPtrW(hwnd, index, value); }
LONG WINAPI HookedSetWindowLongA(HWND hwnd, int index, LONG value) { return HookedSetWindowLongPtrA(hwnd, index, value); }
LONG WINAPI HookedGetWindowLongW(HWND hwnd, int index) { return HookedGetWindowLongPtrW(hwnd, index); }
LONG WINAPI HookedGetWindowLongA(HWND hwnd, int index) { return HookedGetWindowLongPtrA(hwnd, index); }
#endif

int WINAPI HookedSetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  if (DressedWindow* window = Dressed(hwnd)) {
    if (std::optional<int> answer = window->SetWindowRgn(region, redraw)) {
      // The caller gave the region away, as the platform would have kept it.
      if (region) ::DeleteObject(region);
      return *answer;
    }
  }
  return Real().SetWindowRgn(hwnd, region, redraw);
}

HWND WINAPI HookedWindowFromDC(HDC dc) {
  HWND hwnd = Real().WindowFromDC(dc);
  if (!hwnd && dc)
    if (HookEngine* engine = EngineHere()) hwnd = engine->WindowFromMemoryDC(dc);
  return hwnd;
}

bool IsComboList(HWND hwnd) {
  wchar_t name[16] = {};
  return ::GetClassNameW(hwnd, name, 16) > 0 && std::wcscmp(name, L"ComboLBox") == 0;
}

// A combo box's drop-down list appears at once: its slide animation would show the native list under the skin.
BOOL WINAPI HookedAnimateWindow(HWND hwnd, DWORD time, DWORD flags) {
  if (hwnd && EngineHere() && IsComboList(hwnd)) {
    ::ShowWindow(hwnd, (flags & AW_HIDE) ? SW_HIDE : SW_SHOWNA);
    return TRUE;
  }
  return Real().AnimateWindow(hwnd, time, flags);
}

HDC WINAPI HookedBeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  if (paint)
    if (DressedWindow* window = Dressed(hwnd))
      if (std::optional<HDC> answer = window->BeginPaint(paint)) return *answer;
  return Real().BeginPaint(hwnd, paint);
}

BOOL WINAPI HookedEndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  if (paint)
    if (DressedWindow* window = Dressed(hwnd))
      if (std::optional<BOOL> answer = window->EndPaint(paint)) return *answer;
  return Real().EndPaint(hwnd, paint);
}

HDC WINAPI HookedGetDC(HWND hwnd) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<HDC> answer = window->GetDC()) return *answer;
  return Real().GetDC(hwnd);
}

HDC WINAPI HookedGetWindowDC(HWND hwnd) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<HDC> answer = window->GetWindowDC()) return *answer;
  return Real().GetWindowDC(hwnd);
}

int WINAPI HookedReleaseDC(HWND hwnd, HDC dc) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<int> answer = window->ReleaseDC(dc)) return *answer;
  return Real().ReleaseDC(hwnd, dc);
}

int WINAPI HookedSetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
  if (info)
    if (DressedWindow* window = Dressed(hwnd))
      if (std::optional<int> answer = window->SetScrollInfo(bar, *info, redraw)) return *answer;
  return Real().SetScrollInfo(hwnd, bar, info, redraw);
}

BOOL WINAPI HookedGetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  if (info)
    if (DressedWindow* window = Dressed(hwnd))
      if (std::optional<BOOL> answer = window->GetScrollInfo(bar, *info)) return *answer;
  return Real().GetScrollInfo(hwnd, bar, info);
}

int WINAPI HookedSetScrollPos(HWND hwnd, int bar, int position, BOOL redraw) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<int> answer = window->SetScrollPos(bar, position, redraw)) return *answer;
  return Real().SetScrollPos(hwnd, bar, position, redraw);
}

int WINAPI HookedGetScrollPos(HWND hwnd, int bar) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<int> answer = window->GetScrollPos(bar)) return *answer;
  return Real().GetScrollPos(hwnd, bar);
}

BOOL WINAPI HookedSetScrollRange(HWND hwnd, int bar, int minimum, int maximum, BOOL redraw) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<BOOL> answer = window->SetScrollRange(bar, minimum, maximum, redraw)) return *answer;
  return Real().SetScrollRange(hwnd, bar, minimum, maximum, redraw);
}

BOOL WINAPI HookedGetScrollRange(HWND hwnd, int bar, LPINT minimum, LPINT maximum) {
  if (minimum && maximum)
    if (DressedWindow* window = Dressed(hwnd))
      if (std::optional<BOOL> answer = window->GetScrollRange(bar, *minimum, *maximum)) return *answer;
  return Real().GetScrollRange(hwnd, bar, minimum, maximum);
}

BOOL WINAPI HookedShowScrollBar(HWND hwnd, int bar, BOOL show) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<BOOL> answer = window->ShowScrollBar(bar, show)) return *answer;
  return Real().ShowScrollBar(hwnd, bar, show);
}

BOOL WINAPI HookedEnableScrollBar(HWND hwnd, UINT bars, UINT arrows) {
  if (DressedWindow* window = Dressed(hwnd))
    if (std::optional<BOOL> answer = window->EnableScrollBar(bars, arrows)) return *answer;
  return Real().EnableScrollBar(hwnd, bars, arrows);
}

// A pointer asked for by name is the replacement while an engine answers, so code that binds user32 at run
// time cannot step around the engine; otherwise it is the real entry point.
FARPROC WINAPI HookedGetProcAddress(HMODULE module, LPCSTR name) {
  FARPROC found = Real().GetProcAddress(module, name);
  if (found && HasAnsweringEngine())
    if (void* replacement = ReplacementFor(reinterpret_cast<void*>(found)))
      return reinterpret_cast<FARPROC>(replacement);
  return found;
}

template <typename Fn>
void* Address(Fn fn) {
  return reinterpret_cast<void*>(fn);
}

struct Table {
  Interception entries[32];
  size_t count = 0;
  void Add(const char* name, void* real, void* replacement) {
    if (real) entries[count++] = {name, real, replacement};
  }
};

Table BuildTable() {
  const RealFunctions& r = Real();
  Table t;
#ifdef _WIN64
  t.Add("SetWindowLongPtrW", Address(r.SetWindowLongPtrW), Address(&HookedSetWindowLongPtrW));
  t.Add("SetWindowLongPtrA", Address(r.SetWindowLongPtrA), Address(&HookedSetWindowLongPtrA));
  t.Add("GetWindowLongPtrW", Address(r.GetWindowLongPtrW), Address(&HookedGetWindowLongPtrW));
  t.Add("GetWindowLongPtrA", Address(r.GetWindowLongPtrA), Address(&HookedGetWindowLongPtrA));
#endif
  t.Add("SetWindowLongW", Address(r.SetWindowLongW), Address(&HookedSetWindowLongW));
  t.Add("SetWindowLongA", Address(r.SetWindowLongA), Address(&HookedSetWindowLongA));
  t.Add("GetWindowLongW", Address(r.GetWindowLongW), Address(&HookedGetWindowLongW));
  t.Add("GetWindowLongA", Address(r.GetWindowLongA), Address(&HookedGetWindowLongA));
  t.Add("SetWindowRgn", Address(r.SetWindowRgn), Address(&HookedSetWindowRgn));
  t.Add("WindowFromDC", Address(r.WindowFromDC), Address(&HookedWindowFromDC));
  t.Add("AnimateWindow", Address(r.AnimateWindow), Address(&HookedAnimateWindow));
  t.Add("BeginPaint", Address(r.BeginPaint), Address(&HookedBeginPaint));
  t.Add("EndPaint", Address(r.EndPaint), Address(&HookedEndPaint));
  t.Add("GetDC", Address(r.GetDC), Address(&HookedGetDC));
  t.Add("GetWindowDC", Address(r.GetWindowDC), Address(&HookedGetWindowDC));
  t.Add("ReleaseDC", Address(r.ReleaseDC), Address(&HookedReleaseDC));
  t.Add("SetScrollInfo", Address(r.SetScrollInfo), Address(&HookedSetScrollInfo));
  t.Add("GetScrollInfo", Address(r.GetScrollInfo), Address(&HookedGetScrollInfo));
  t.Add("SetScrollPos", Address(r.SetScrollPos), Address(&HookedSetScrollPos));
  t.Add("GetScrollPos", Address(r.GetScrollPos), Address(&HookedGetScrollPos));
  t.Add("SetScrollRange", Address(r.SetScrollRange), Address(&HookedSetScrollRange));
  t.Add("GetScrollRange", Address(r.GetScrollRange), Address(&HookedGetScrollRange));
  t.Add("ShowScrollBar", Address(r.ShowScrollBar), Address(&HookedShowScrollBar));
  t.Add("EnableScrollBar", Address(r.EnableScrollBar), Address(&HookedEnableScrollBar));
  t.Add("GetProcAddress", Address(r.GetProcAddress), Address(&HookedGetProcAddress));
  return t;
}

const Table& TheTable() {
  static const Table table = BuildTable();
  return table;
}

}  // namespace

const Interception* Interceptions(size_t& count) {
  const Table& t = TheTable();
  count = t.count;
  return t.entries;
}

void* ReplacementFor(const void* real) {
  const Table& t = TheTable();
  for (size_t i = 0; i < t.count; ++i)
    if (t.entries[i].real == real) return t.entries[i].replacement;
  return nullptr;
}

void SetAnsweringEngine(HookEngine* engine, DWORD thread) {
  g_thread.store(thread, std::memory_order_relaxed);
  g_engine.store(engine, std::memory_order_release);
}

bool HasAnsweringEngine() { return g_engine.load(std::memory_order_acquire) != nullptr; }

}  // namespace skin::hook
