#pragma once
// The application object: one per process, constructed during static initialisation. The entry point
// (fw::RunApplication, called from wWinMain) runs InitInstance; when it returns false the process ends
// without a message loop of its own, as a dialog-based program does.
#include <windows.h>

namespace fw {

class Wnd;

class WinApp {
 public:
  WinApp();
  virtual ~WinApp();
  WinApp(const WinApp&) = delete;
  WinApp& operator=(const WinApp&) = delete;

  static WinApp* Current();
  static HINSTANCE ResourceInstance();

  // The start-up routine. Return false to end the process (after the main dialog closed, for example).
  virtual BOOL InitInstance();
  // Runs the message loop when InitInstance returned true; returns the exit code.
  virtual int Run();
  // The framework's default help handler: the program ships no help file, so it does nothing.
  virtual void OnHelp() {}

  Wnd* main_window = nullptr;

 private:
  static WinApp* current_;
};

// Entry point body for wWinMain: runs the application object's start-up and returns the exit code.
int RunApplication(HINSTANCE instance);

}  // namespace fw
