// A DLL that subclasses and reads window procedures through its own import table, standing in for
// third-party code loaded before or after the interception started.
#include <windows.h>

namespace {
WNDPROC g_previous = nullptr;
void (*g_log)(const char*) = nullptr;

LRESULT CALLBACK DllProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP + 17 && g_log) g_log("dll");
  return ::CallWindowProcW(g_previous, hwnd, msg, wp, lp);
}
}  // namespace

extern "C" {

// Subclasses `hwnd` with this DLL's procedure, which calls `log` for the probe message; returns what the
// setter returned.
__declspec(dllexport) LONG_PTR SubclassFromDll(HWND hwnd, void (*log)(const char*)) {
  g_log = log;
  LONG_PTR previous = ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DllProc));
  g_previous = reinterpret_cast<WNDPROC>(previous);
  return previous;
}

__declspec(dllexport) LONG_PTR ReadProcedureFromDll(HWND hwnd) { return ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC); }

__declspec(dllexport) void* DllProcedure() { return reinterpret_cast<void*>(&DllProc); }

}  // extern "C"
