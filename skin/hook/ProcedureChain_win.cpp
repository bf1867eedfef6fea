#include "skin/hook/ProcedureChain_win.h"

#include "skin/hook/RealFunctions_win.h"

namespace skin::hook {

bool InstallEngineProcedure(HWND hwnd, ProcedureChain& chain) {
  const RealFunctions& real = Real();
  if (!chain.engine) return false;
  // Already first (a second dressing): recording the engine as its own previous procedure would loop.
  if (reinterpret_cast<WNDPROC>(real.GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == chain.engine) return chain.previous;
  auto ansi = reinterpret_cast<WNDPROC>(real.GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  auto previous = reinterpret_cast<WNDPROC>(
      real.SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.engine)));
  if (!previous) return false;
  chain.previous = previous;
  chain.previous_ansi = ansi ? ansi : previous;
  return true;
}

LONG_PTR SetProcedureUnderEngine(HWND hwnd, ProcedureChain& chain, LONG_PTR procedure, bool ansi) {
  const RealFunctions& real = Real();
  // The caller's call then sees, replaces and returns exactly the procedure it would without the engine,
  // including what the A/W form of the call does to the window's character set.
  real.SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.previous));
  ::SetLastError(ERROR_SUCCESS);
  const LONG_PTR result = ansi ? real.SetWindowLongPtrA(hwnd, GWLP_WNDPROC, procedure)
                               : real.SetWindowLongPtrW(hwnd, GWLP_WNDPROC, procedure);
  const DWORD error = ::GetLastError();
  auto now = reinterpret_cast<WNDPROC>(real.GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  auto now_ansi = reinterpret_cast<WNDPROC>(real.GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (now) {
    chain.previous = now;
    chain.previous_ansi = now_ansi ? now_ansi : now;
  }
  real.SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.engine));
  ::SetLastError(error);
  return result;
}

}  // namespace skin::hook
