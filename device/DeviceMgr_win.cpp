#include <windows.h>

#include "device/DeviceBinding.h"
#include "device/DeviceMgr.h"

bool iTunesDeviceMgr::Initialize(HWND window) {
  window_ = window;
  return BindDeviceLibrary(window) && BindCoreFoundation();
}
