#pragma once
// Helpers for tests that drive real windows under Wine.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "framework/MessageBoxes.h"

namespace testing_support {

// Pumps this thread's messages until `done` returns true or `timeout_ms` passes; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 5000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Records every message box instead of showing it, answering IDOK.
class RecordingMessageBoxes : public fw::MessageBoxSink {
 public:
  struct Box {
    std::wstring text, caption;
    UINT type;
  };
  RecordingMessageBoxes() { previous_ = fw::SetMessageBoxSink(this); }
  ~RecordingMessageBoxes() override { fw::SetMessageBoxSink(previous_); }
  int Show(HWND, const std::wstring& text, const std::wstring& caption, UINT type) override {
    boxes.push_back({text, caption, type});
    return IDOK;
  }
  std::vector<Box> boxes;

 private:
  fw::MessageBoxSink* previous_;
};

inline std::wstring ClassNameOf(HWND hwnd) {
  wchar_t name[256] = {};
  ::GetClassNameW(hwnd, name, 256);
  return name;
}

inline std::wstring TextOf(HWND hwnd) {
  wchar_t text[512] = {};
  ::GetWindowTextW(hwnd, text, 512);
  return text;
}

// A Linux path of the build tree as Wine sees it (drive Z: maps the root).
inline std::wstring WinePath(const std::string& unix_path) {
  std::wstring out = L"Z:";
  for (char c : unix_path) out += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}

}  // namespace testing_support
