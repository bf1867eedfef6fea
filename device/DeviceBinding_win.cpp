#include "device/DeviceBinding.h"

#include <shlobj.h>

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

// The Common Files folder for this build's word size: the 64-bit one for the x64 build, "(x86)" for a
// 32-bit build on 64-bit Windows. Empty when the system does not say.
std::wstring CommonFilesFolder() {
  PWSTR folder = nullptr;
  std::wstring out;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_ProgramFilesCommon, 0, nullptr, &folder)) && folder) out = folder;
  ::CoTaskMemFree(folder);
  return out;
}

// Loads a library by its full path; its own dependencies are looked for in its folder first, not in the
// program's.
HMODULE LoadByFullPath(const std::wstring& path) {
  if (path.empty()) return nullptr;
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::wstring ModulePath(HMODULE module) {
  std::wstring path(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : 0);
  return path;
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

  // A library of the same name in the current folder is never looked at.
  ::SetDllDirectoryW(L"");
  const std::wstring oldPath = ReadPath();

  if (!mobileDeviceModule || !coreFoundationModule) {
    RegistryValues registry{ReadMachineText(kMobileDeviceKey, kMobileDeviceValue),
                            ReadMachineText(kCoreFoundationKey, kCoreFoundationValue),
                            ReadMachineText(kMobileDeviceKey, kCurrentMobileDeviceValue)};
    LibraryPlan plan = PlanLibrarySearch(registry, CommonFilesFolder());
    coreFoundationPath = plan.coreFoundationPath;
    // The libraries' own dependencies resolve through "PATH".
    ::SetEnvironmentVariableW(L"PATH", PrefixedPath(plan.folderList, oldPath).c_str());
    // The registry's full paths first, so that a library of the same name planted beside the program is
    // not what gets loaded; the plain name is the last resort.
    if (!mobileDeviceModule) mobileDeviceModule = LoadByFullPath(plan.mobileDevicePath);
    for (const std::wstring& candidate : plan.mobileDeviceFallbacks) {
      if (mobileDeviceModule) break;
      mobileDeviceModule = LoadByFullPath(candidate);
    }
    if (!mobileDeviceModule) mobileDeviceModule = ::LoadLibraryW(kPlainLibraryName);
    if (!mobileDeviceModule) return false;
    // Without the "Apple Application Support" key the core-foundation library lies beside it.
    if (coreFoundationPath.empty()) coreFoundationPath = CoreFoundationBeside(ModulePath(mobileDeviceModule));
  }

  if (!ResolveMobileDeviceFunctions(LookupIn(mobileDeviceModule), MobileDeviceTable())) return false;

  if (!coreFoundationModule) {
    if (coreFoundationPath.empty()) return false;
    coreFoundationModule = LoadByFullPath(coreFoundationPath);
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
