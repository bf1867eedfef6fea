#pragma once
// The real entry points of every function the interception replaces, taken from user32 (and kernel32 for
// GetProcAddress) before anything is patched. The engine calls these to bypass its own replacements.
#include <windows.h>

namespace skin::hook {

struct RealFunctions {
  // On 32-bit builds user32 has no Ptr forms: the platform headers make the Ptr names macros for the Long
  // forms, so there `SetWindowLongPtrW` and its kin name the Long members below.
#ifdef _WIN64
  LONG_PTR(WINAPI* SetWindowLongPtrW)(HWND, int, LONG_PTR) = nullptr;
  LONG_PTR(WINAPI* SetWindowLongPtrA)(HWND, int, LONG_PTR) = nullptr;
  LONG_PTR(WINAPI* GetWindowLongPtrW)(HWND, int) = nullptr;
  LONG_PTR(WINAPI* GetWindowLongPtrA)(HWND, int) = nullptr;
#endif
  LONG(WINAPI* SetWindowLongW)(HWND, int, LONG) = nullptr;
  LONG(WINAPI* SetWindowLongA)(HWND, int, LONG) = nullptr;
  LONG(WINAPI* GetWindowLongW)(HWND, int) = nullptr;
  LONG(WINAPI* GetWindowLongA)(HWND, int) = nullptr;
  int(WINAPI* SetWindowRgn)(HWND, HRGN, BOOL) = nullptr;
  HWND(WINAPI* WindowFromDC)(HDC) = nullptr;
  BOOL(WINAPI* AnimateWindow)(HWND, DWORD, DWORD) = nullptr;
  HDC(WINAPI* BeginPaint)(HWND, LPPAINTSTRUCT) = nullptr;
  BOOL(WINAPI* EndPaint)(HWND, const PAINTSTRUCT*) = nullptr;
  HDC(WINAPI* GetDC)(HWND) = nullptr;
  HDC(WINAPI* GetWindowDC)(HWND) = nullptr;
  int(WINAPI* ReleaseDC)(HWND, HDC) = nullptr;
  int(WINAPI* SetScrollInfo)(HWND, int, LPCSCROLLINFO, BOOL) = nullptr;
  BOOL(WINAPI* GetScrollInfo)(HWND, int, LPSCROLLINFO) = nullptr;
  int(WINAPI* SetScrollPos)(HWND, int, int, BOOL) = nullptr;
  int(WINAPI* GetScrollPos)(HWND, int) = nullptr;
  BOOL(WINAPI* SetScrollRange)(HWND, int, int, int, BOOL) = nullptr;
  BOOL(WINAPI* GetScrollRange)(HWND, int, LPINT, LPINT) = nullptr;
  BOOL(WINAPI* ShowScrollBar)(HWND, int, BOOL) = nullptr;
  BOOL(WINAPI* EnableScrollBar)(HWND, UINT, UINT) = nullptr;
  FARPROC(WINAPI* GetProcAddress)(HMODULE, LPCSTR) = nullptr;
};

// Resolved once, on first use; never changes afterwards. Every entry is set (user32 exports them all).
const RealFunctions& Real();

}  // namespace skin::hook
