#include "device/DeviceBinding.h"

#include <atomic>
#include <optional>
#include <string>

#include "device/LibraryBinding.h"
#include "framework/Handles.h"

UINT WM_DEVICE_NOTIFY_MESSAGE = 0;

namespace {

using namespace device_binding;

constexpr DWORD kMaxEnvironmentChars = 32767;

// Process-wide binding state: written on the window thread by BindDeviceLibrary, never released.
std::atomic<HWND> boundWindow{nullptr};
HMODULE mobileDeviceModule = nullptr;
HMODULE coreFoundationModule = nullptr;
std::wstring coreFoundationPath;
AMDeviceNotificationRef notification = nullptr;
bool subscribed = false;

// A text value under HKEY_LOCAL_MACHINE, opened for reading only; nothing when the key or value is absent
// or not text. No KEY_WOW64_* flag: a 32-bit build reads the 32-bit view, where 32-bit device support
// registers its libraries, and an x64 build the 64-bit one.
std::optional<std::wstring> ReadMachineText(const wchar_t* keyName, const wchar_t* valueName) {
  fw::UniqueKey key;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(key.get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxEnvironmentChars * sizeof(wchar_t)) return std::nullopt;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');  // room for a terminator the value may lack
  DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got) !=
      ERROR_SUCCESS)
    return std::nullopt;
  text.resize(wcsnlen(text.c_str(), got / sizeof(wchar_t)));
  return text;
}

std::wstring ReadPath() {
  std::wstring value(kMaxEnvironmentChars + 1, L'\0');
  DWORD n = ::GetEnvironmentVariableW(L"PATH", value.data(), static_cast<DWORD>(value.size()));
  value.resize(n <= kMaxEnvironmentChars ? n : 0);
  return value;
}

SymbolLookup LookupIn(HMODULE module) {
  return [module](const char* name) -> void* { return reinterpret_cast<void*>(::GetProcAddress(module, name)); };
}

}  // namespace

bool BindDeviceLibrary(HWND window) {
  if (WM_DEVICE_NOTIFY_MESSAGE == 0) WM_DEVICE_NOTIFY_MESSAGE = ::RegisterWindowMessageW(L"WM_DEVICE_NOTIFY_MESSAGE");
  boundWindow = window;
  // One subscription for the process: a later binding only changes where notifications go.
  if (subscribed) return true;

  if (!mobileDeviceModule) mobileDeviceModule = ::LoadLibraryW(kPlainLibraryName);
  const std::wstring oldPath = ReadPath();

  if (!mobileDeviceModule || !coreFoundationModule) {
    RegistryValues registry{ReadMachineText(kMobileDeviceKey, kMobileDeviceValue),
                            ReadMachineText(kCoreFoundationKey, kCoreFoundationValue)};
    LibraryPlan plan = PlanLibrarySearch(registry);
    coreFoundationPath = plan.coreFoundationPath;
    // The libraries' own dependencies resolve through "PATH".
    ::SetEnvironmentVariableW(L"PATH", PrefixedPath(plan.folderList, oldPath).c_str());
    if (!plan.mobileDevicePath.empty()) {
      // A module already found by its plain name is kept when the registry path loads nothing.
      if (HMODULE m = ::LoadLibraryW(plan.mobileDevicePath.c_str())) mobileDeviceModule = m;
    }
    if (!mobileDeviceModule) return false;
  }

  if (!ResolveMobileDeviceFunctions(LookupIn(mobileDeviceModule), MobileDeviceTable())) return false;

  if (!coreFoundationModule) {
    if (coreFoundationPath.empty()) return false;
    coreFoundationModule = ::LoadLibraryW(coreFoundationPath.c_str());
    if (!coreFoundationModule) return false;
  }
  if (!ResolveCoreFoundationFunctions(LookupIn(coreFoundationModule), CoreFoundationTable())) return false;

  if (MobileDeviceTable().AMDeviceNotificationSubscribe(&OnDeviceNotification, 0, 0, nullptr, &notification) != 0)
    return false;
  subscribed = true;
  return true;
}

bool BindCoreFoundation() {
  if (coreFoundationModule) ResolveCoreFoundationValueFunctions(LookupIn(coreFoundationModule), CoreFoundationValueTable());
  return true;
}

intptr_t LOGORA_CDECL OnDeviceNotification(const AMDeviceNotificationInfo* info, void*) {
  HWND window = boundWindow.load();
  if (!window || !info) return 0;
  return static_cast<intptr_t>(
      ::SendMessageW(window, WM_DEVICE_NOTIFY_MESSAGE, 0, reinterpret_cast<LPARAM>(info)));
}

HWND BoundDeviceWindow() { return boundWindow.load(); }
