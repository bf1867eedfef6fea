#pragma once
// Base of every window object: a window handle, subclassing with a virtual window procedure, and
// reflection of child notifications (WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM, WM_NOTIFY, control
// WM_COMMAND) back to the child's own object.
//
// Subclassing goes through comctl32's subclass chain (SetWindowSubclass / DefSubclassProc /
// RemoveWindowSubclass), the same chain the plain presentation and common controls use, so every subclasser
// in the program shares one mechanism and each can leave in any order without cutting the others off.
// It composes with the skin engine: comctl32 puts its chain on a window with SetWindowLongPtrW, which the
// engine intercepts, and the engine's own procedure is the only one set with the real setter. So on a dressed
// window the engine's procedure always runs first and the chain (this framework's object among it) under
// it, whether the framework attached the control (DDX_Control) before or after the engine dressed it; a
// read of the window's procedure shows the one under the engine's. Never set GWLP_WNDPROC directly.
#include <windows.h>

#include <string>

namespace fw {

class Wnd {
 public:
  Wnd() = default;
  virtual ~Wnd();
  Wnd(const Wnd&) = delete;
  Wnd& operator=(const Wnd&) = delete;

  HWND GetSafeHwnd() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // Subclasses an existing window: its messages reach WindowProc from now on.
  bool SubclassWindow(HWND hwnd);
  bool SubclassDlgItem(int id, HWND parent);
  // Leaves the window's subclass chain (wherever this object is in it) and forgets the handle.
  HWND UnsubclassWindow();

  // The object attached to a window by SubclassWindow, or null.
  static Wnd* FromHandle(HWND hwnd);

  std::wstring GetWindowText() const;
  void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
  bool EnableWindow(bool enable) const { return ::EnableWindow(hwnd_, enable) != 0; }
  bool IsWindowEnabled() const { return ::IsWindowEnabled(hwnd_) != 0; }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(hwnd_); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(hwnd_, msg, wp, lp); }
  bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::PostMessageW(hwnd_, msg, wp, lp) != 0;
  }

 protected:
  // Override to see every message. The default runs the message map and reflection, then DefWindowProc.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // The message map of the most derived class; returns true when a handler took the message.
  virtual bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // A notification from this window's parent meant for this control (WM_CTLCOLOR*, WM_DRAWITEM, ...).
  // `msg` is the original parent message. Return true when handled.
  virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // The next procedure in the window's subclass chain (in the end the window's original procedure).
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // Runs the original window procedure on the message now being handled (for handlers that add to,
  // rather than replace, the default behaviour).
  LRESULT Default();
  // Called before the window is subclassed (to adjust styles, for example).
  virtual void PreSubclassWindow() {}
  // Called after WM_NCDESTROY, once the handle is gone.
  virtual void PostNcDestroy() {}

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK StaticSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                             DWORD_PTR object);
  bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  struct CurrentMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  } current_{};
};

}  // namespace fw
