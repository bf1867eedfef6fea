#pragma once
// Data exchange: attaches control objects to dialog items when the dialog initialises.
#include <windows.h>

namespace fw {

class Wnd;

class DataExchange {
 public:
  DataExchange(HWND dialog, bool saving) : dialog_(dialog), saving_(saving) {}
  HWND dialog() const { return dialog_; }
  bool saving() const { return saving_; }

 private:
  HWND dialog_;
  bool saving_;
};

// Subclasses dialog item `id` with `control` unless it is already attached. Returns false when the item is
// missing or is attached to another object.
bool DDX_Control(DataExchange& dx, int id, Wnd& control);

}  // namespace fw
