#pragma once
// Dialogs from template resources, modal (DoModal) or modeless (Create, used by tests to drive a dialog
// from their own message loop). The dialog window is subclassed as soon as WM_INITDIALOG arrives, so
// WindowProc and the message map see everything from then on.
#include <windows.h>

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

namespace fw {

class Dialog : public Wnd {
 public:
  explicit Dialog(UINT template_id, HWND parent = nullptr) : template_id_(template_id), parent_(parent) {}
  ~Dialog() override;

  // Runs the dialog modally; returns the EndDialog result, or -1 when the dialog could not be created.
  INT_PTR DoModal();
  // Creates the dialog modeless; returns false on failure. DestroyWindow (or the destructor) ends it.
  bool Create(HWND parent = nullptr);
  void EndDialog(INT_PTR result);
  bool IsModal() const { return modal_; }

  // Runs DoDataExchange (saving = true reads controls into members).
  bool UpdateData(bool saving);

 protected:
  // The framework's dialog initialisation: runs the data exchange. Returns true to let the system set focus.
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(DataExchange& dx) {}
  virtual void OnOK();
  virtual void OnCancel();

  UINT template_id_;
  HWND parent_;

 private:
  static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool modal_ = false;
  bool ended_ = false;
};

}  // namespace fw
