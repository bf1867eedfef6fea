#pragma once
// The application object. Its start-up routine readies the common controls and the skin engine, then shows
// the main dialog modally and returns false, so the process ends when the dialog closes.
#include "framework/Application.h"

class Program : public fw::WinApp {
 public:
  Program();
  ~Program() override;
  BOOL InitInstance() override;
};
