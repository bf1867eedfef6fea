#include "framework/MessageBoxes.h"

#include <atomic>

namespace fw {
namespace {
std::atomic<MessageBoxSink*> g_sink{nullptr};
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  if (MessageBoxSink* sink = g_sink.load()) return sink->Show(owner, text, caption, type);
  return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink) { return g_sink.exchange(sink); }

std::wstring ExecutableName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

}  // namespace fw
