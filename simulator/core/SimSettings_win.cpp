#include <windows.h>

#include <string>

#include "simulator/core/SimSettings.h"

namespace sim {
namespace {

constexpr wchar_t kKey[] = L"Software\\Logora\\DeviceSimulator";

std::wstring Environment(const wchar_t* name) {
  DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring v(n, L'\0');
  n = ::GetEnvironmentVariableW(name, v.data(), n);
  v.resize(n);
  return v;
}

std::wstring RegistryText(const wchar_t* value) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
    DWORD type = 0, size = 0;
    std::wstring v;
    if (::RegQueryValueExW(key, value, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && size < 65536) {
      v.resize(size / sizeof(wchar_t) + 1);
      if (::RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(v.data()), &size) == ERROR_SUCCESS) {
        v.resize(wcsnlen(v.c_str(), size / sizeof(wchar_t)));
      } else {
        v.clear();
      }
    } else if (type == REG_DWORD) {
      DWORD d = 0;
      size = sizeof d;
      if (::RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&d), &size) == ERROR_SUCCESS)
        v = std::to_wstring(d);
    }
    ::RegCloseKey(key);
    if (!v.empty()) return v;
  }
  return {};
}

}  // namespace

SimSettings LoadSimSettings() {
  SimSettings s;
  std::wstring folder = Environment(L"LOGORA_SIM_DEVICES");
  if (folder.empty()) folder = RegistryText(L"DeviceFolder");
  s.devicesFolder = folder;
  std::wstring poll = Environment(L"LOGORA_SIM_POLL_MS");
  if (poll.empty()) poll = RegistryText(L"PollMs");
  if (!poll.empty()) {
    int ms = _wtoi(poll.c_str());
    if (ms > 0) s.pollMs = ms;
  }
  return s;
}

}  // namespace sim
