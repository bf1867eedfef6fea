#include "skin/hook/RealFunctions_win.h"

namespace skin::hook {
namespace {

template <typename Fn>
void Take(HMODULE module, const char* name, Fn& slot) {
  slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

RealFunctions Resolve() {
  RealFunctions r;
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (!user32) user32 = ::LoadLibraryW(L"user32.dll");
#ifdef _WIN64
  Take(user32, "SetWindowLongPtrW", r.SetWindowLongPtrW);
  Take(user32, "SetWindowLongPtrA", r.SetWindowLongPtrA);
  Take(user32, "GetWindowLongPtrW", r.GetWindowLongPtrW);
  Take(user32, "GetWindowLongPtrA", r.GetWindowLongPtrA);
#else
  Take(user32, "SetWindowLongW", r.SetWindowLongPtrW);
  Take(user32, "SetWindowLongA", r.SetWindowLongPtrA);
  Take(user32, "GetWindowLongW", r.GetWindowLongPtrW);
  Take(user32, "GetWindowLongA", r.GetWindowLongPtrA);
#endif
  Take(user32, "SetWindowLongW", r.SetWindowLongW);
  Take(user32, "SetWindowLongA", r.SetWindowLongA);
  Take(user32, "GetWindowLongW", r.GetWindowLongW);
  Take(user32, "GetWindowLongA", r.GetWindowLongA);
  Take(user32, "SetWindowRgn", r.SetWindowRgn);
  Take(user32, "WindowFromDC", r.WindowFromDC);
  Take(user32, "AnimateWindow", r.AnimateWindow);
  Take(user32, "BeginPaint", r.BeginPaint);
  Take(user32, "EndPaint", r.EndPaint);
  Take(user32, "GetDC", r.GetDC);
  Take(user32, "GetWindowDC", r.GetWindowDC);
  Take(user32, "ReleaseDC", r.ReleaseDC);
  Take(user32, "SetScrollInfo", r.SetScrollInfo);
  Take(user32, "GetScrollInfo", r.GetScrollInfo);
  Take(user32, "SetScrollPos", r.SetScrollPos);
  Take(user32, "GetScrollPos", r.GetScrollPos);
  Take(user32, "SetScrollRange", r.SetScrollRange);
  Take(user32, "GetScrollRange", r.GetScrollRange);
  Take(user32, "ShowScrollBar", r.ShowScrollBar);
  Take(user32, "EnableScrollBar", r.EnableScrollBar);
  Take(::GetModuleHandleW(L"kernel32.dll"), "GetProcAddress", r.GetProcAddress);
  return r;
}

}  // namespace

const RealFunctions& Real() {
  // The first call happens in CSkinDetours::Hook before any slot is patched, so GetProcAddress is the real one.
  static const RealFunctions real = Resolve();
  return real;
}

}  // namespace skin::hook
