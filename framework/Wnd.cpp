#include "framework/Wnd.h"

#include <commctrl.h>

namespace fw {
namespace {
constexpr wchar_t kObjectProp[] = L"LOGORA_FW_OBJECT";
constexpr UINT_PTR kSubclassId = 0x46574E44;  // "FWND"
}

Wnd::~Wnd() {
  if (hwnd_ && ::IsWindow(hwnd_)) UnsubclassWindow();
}

Wnd* Wnd::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<Wnd*>(::GetPropW(hwnd, kObjectProp)) : nullptr;
}

bool Wnd::SubclassWindow(HWND hwnd) {
  if (!hwnd || hwnd_ || FromHandle(hwnd)) return false;
  hwnd_ = hwnd;
  PreSubclassWindow();
  ::SetPropW(hwnd, kObjectProp, this);
  if (!::SetWindowSubclass(hwnd, &Wnd::StaticSubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    ::RemovePropW(hwnd, kObjectProp);
    hwnd_ = nullptr;
    return false;
  }
  return true;
}

bool Wnd::SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }

HWND Wnd::UnsubclassWindow() {
  HWND hwnd = hwnd_;
  if (!hwnd) return nullptr;
  ::RemoveWindowSubclass(hwnd, &Wnd::StaticSubclassProc, kSubclassId);
  ::RemovePropW(hwnd, kObjectProp);
  hwnd_ = nullptr;
  return hwnd;
}

std::wstring Wnd::GetWindowText() const {
  int n = ::GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(n < 0 ? 0 : n) + 1, L'\0');
  int got = ::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

LRESULT Wnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ReflectToChild(msg, wp, lp, result)) return result;
  if (OnWndMsg(msg, wp, lp, result)) return result;
  return DefWindowProc(msg, wp, lp);
}

bool Wnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
bool Wnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Wnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (hwnd_) return ::DefSubclassProc(hwnd_, msg, wp, lp);
  return 0;
}

bool Wnd::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(lp);
      break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (wp != 0 && dis) child = dis->hwndItem;  // wp == 0: a menu item
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lp);
      if (wp != 0 && mis) child = ::GetDlgItem(hwnd_, static_cast<int>(mis->CtlID));
      break;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr) child = hdr->hwndFrom;
      break;
    }
    case WM_COMMAND:
      if (lp != 0) child = reinterpret_cast<HWND>(lp);  // a control's notification; menus have lp == 0
      break;
    default:
      return false;
  }
  Wnd* object = FromHandle(child);
  if (!object || object == this) return false;
  return object->OnChildNotify(msg, wp, lp, result);
}

LRESULT Wnd::Default() { return DefWindowProc(current_.msg, current_.wp, current_.lp); }

LRESULT CALLBACK Wnd::StaticSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                         DWORD_PTR object) {
  auto* self = reinterpret_cast<Wnd*>(object);
  if (!self || self->hwnd_ != hwnd) return ::DefSubclassProc(hwnd, msg, wp, lp);
  const CurrentMessage saved = self->current_;
  self->current_ = {msg, wp, lp};
  struct Restore {
    Wnd* w;
    CurrentMessage m;
    HWND h;
    ~Restore() {
      if (w->hwnd_ == h) w->current_ = m;
    }
  } restore{self, saved, hwnd};
  if (msg == WM_NCDESTROY) {
    LRESULT r = self->WindowProc(msg, wp, lp);
    ::RemoveWindowSubclass(hwnd, &Wnd::StaticSubclassProc, kSubclassId);
    if (self->hwnd_ == hwnd) {
      ::RemovePropW(hwnd, kObjectProp);
      self->hwnd_ = nullptr;
      self->PostNcDestroy();
    }
    return r;
  }
  return self->WindowProc(msg, wp, lp);
}

}  // namespace fw
