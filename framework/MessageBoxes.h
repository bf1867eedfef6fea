#pragma once
// Every message box of the program goes through ShowMessageBox, so tests can observe and answer them
// without a watcher thread: install a MessageBoxSink and the system's box is not shown.
#include <windows.h>

#include <string>

namespace fw {

class MessageBoxSink {
 public:
  virtual ~MessageBoxSink() = default;
  // Returns the button the user "pressed" (IDOK, ...).
  virtual int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
};

// Shows a box through the installed sink, or the system's MessageBoxW when none is installed.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type = MB_OK);
// Installs a sink (not owned); null restores the system's boxes. Returns the previous one.
MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink);

// The running executable's file name without folder and extension ("iOSLogora"), the caption of its boxes.
std::wstring ExecutableName();

}  // namespace fw
