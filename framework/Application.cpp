#include "framework/Application.h"

namespace fw {

WinApp* WinApp::current_ = nullptr;

namespace {
HINSTANCE g_instance = nullptr;
}

WinApp::WinApp() { current_ = this; }
WinApp::~WinApp() {
  if (current_ == this) current_ = nullptr;
}

WinApp* WinApp::Current() { return current_; }

HINSTANCE WinApp::ResourceInstance() { return g_instance ? g_instance : ::GetModuleHandleW(nullptr); }

BOOL WinApp::InitInstance() { return TRUE; }

int WinApp::Run() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunApplication(HINSTANCE instance) {
  g_instance = instance;
  WinApp* app = WinApp::Current();
  if (!app) return 1;
  if (!app->InitInstance()) return 0;
  return app->Run();
}

}  // namespace fw
