#include "framework/Dialog.h"

#include "framework/Application.h"

namespace fw {

Dialog::~Dialog() {
  if (hwnd_ && !modal_ && ::IsWindow(hwnd_)) {
    HWND h = hwnd_;
    ::DestroyWindow(h);
  }
}

INT_PTR Dialog::DoModal() {
  modal_ = true;
  ended_ = false;
  return ::DialogBoxParamW(WinApp::ResourceInstance(), MAKEINTRESOURCEW(template_id_), parent_,
                           &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent) {
  modal_ = false;
  if (parent) parent_ = parent;
  HWND h = ::CreateDialogParamW(WinApp::ResourceInstance(), MAKEINTRESOURCEW(template_id_), parent_,
                                &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
  return h != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  if (!hwnd_) return;
  if (modal_) {
    ended_ = true;
    ::EndDialog(hwnd_, result);
  } else {
    ::DestroyWindow(hwnd_);
  }
}

bool Dialog::UpdateData(bool saving) {
  DataExchange dx(hwnd_, saving);
  DoDataExchange(dx);
  return true;
}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::OnOK() {
  UpdateData(true);
  EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lp);
    if (!self->SubclassWindow(hwnd)) return FALSE;
    return self->OnInitDialog();
  }
  // Messages not taken by the subclassed WindowProc reach here through the dialog class's own procedure;
  // IDOK and IDCANCEL (Enter, Escape, the close box, or buttons with those ids) fall back to the virtual handlers.
  if (msg == WM_COMMAND && HIWORD(wp) <= 1 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
    if (auto* self = static_cast<Dialog*>(Wnd::FromHandle(hwnd))) {
      if (LOWORD(wp) == IDOK)
        self->OnOK();
      else
        self->OnCancel();
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace fw
