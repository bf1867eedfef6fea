#pragma once
// Binding of the two device libraries at run time: finds them through the registry, loads them, fills the
// three tables of device/MobileDeviceFunctions.h and subscribes to device attach/detach notifications, which
// are forwarded to one window as WM_DEVICE_NOTIFY_MESSAGE. Nothing is ever unloaded or unsubscribed.
#include <windows.h>

#include "device/MobileDeviceFunctions.h"

// The registered message "WM_DEVICE_NOTIFY_MESSAGE"; 0 until the first BindDeviceLibrary. It is sent
// synchronously from the library's notification thread with wParam 0 and lParam a pointer to the
// library's AMDeviceNotificationInfo, which stays valid only while the window handles the message.
extern UINT WM_DEVICE_NOTIFY_MESSAGE;

// Loads the libraries, resolves MobileDeviceFunctions and CoreFoundationFunctions, and subscribes to
// device notifications for `window`. True when notifications are flowing to the window.
// Call it on the window thread. A later call only makes `window` the target of the notifications once a
// call has succeeded (there is never more than one subscription); after a failure it tries again.
// Prepends the libraries' folders to this process's "PATH" so that their own dependencies resolve.
bool BindDeviceLibrary(HWND window);

// Resolves CoreFoundationValueFunctions from the core-foundation library loaded by BindDeviceLibrary.
// Call only after BindDeviceLibrary returned true. Returns true.
bool BindCoreFoundation();

// The subscription callback: sends WM_DEVICE_NOTIFY_MESSAGE to the bound window and returns what the
// window returned (0 when no window is bound).
intptr_t LOGORA_CDECL OnDeviceNotification(const AMDeviceNotificationInfo* info, void* context = nullptr);

// The window that receives the notifications (null before the first BindDeviceLibrary).
HWND BoundDeviceWindow();
