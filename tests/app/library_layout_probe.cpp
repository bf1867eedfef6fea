// Opens the real main window in whatever Wine prefix it runs in, plugs in one simulated device and says
// what came of it, one "key=value" per line:
//   window=1            the window opened
//   device=0|1          the device was reported (became the current device)
//   library=<path>      the mobile-device library the binding loaded (empty when none)
//   planted=0|1         a library named like the device library in the probe's own folder was loaded
// Run by library_layouts.sh, once per way the device support can be installed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/AppFormMain.h"
#include "device/MobileDeviceFunctions.h"
#include "device/SimulatedDeviceFolder.h"
#include "support/WinTestSupport.h"

namespace {

std::wstring ModuleOf(const void* address) {
  HMODULE module = nullptr;
  if (!address || !::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        static_cast<LPCWSTR>(address), &module)) {
    return {};
  }
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.rfind(L'\\') + 1);
}

}  // namespace

int wmain() {
  testing_support::SimulatedDeviceFolder devices;
  testing_support::RecordingMessageBoxes boxes;
  AppFormMain::SetConnectTiming({20, 5, 20});
  AppFormMain dialog;
  if (!dialog.Create()) {
    std::printf("window=0\n");
    return 1;
  }
  HWND hwnd = dialog.GetSafeHwnd();
  ::ShowWindow(hwnd, SW_SHOW);
  devices.Plug("probe", testing_support::Phone("Probe", "probe-udid"));
  const bool reported = testing_support::PumpUntil([&] { return dialog.CurrentDevice() != nullptr; }, 5000);
  const std::wstring library =
      ModuleOf(reinterpret_cast<const void*>(MobileDeviceTable().AMDeviceNotificationSubscribe));
  const bool planted = ::GetModuleHandleW((OwnFolder() + L"iTunesMobileDevice.dll").c_str()) != nullptr;
  std::printf("window=%d\ndevice=%d\nlibrary=%ls\nplanted=%d\n", ::IsWindow(hwnd) ? 1 : 0, reported ? 1 : 0,
              library.c_str(), planted ? 1 : 0);
  ::DestroyWindow(hwnd);
  return 0;
}
