#pragma once
// Window messages of the main window, registered during static initialisation.
#include <windows.h>

// Posted by a connect worker when it has finished: wParam the device object, lParam 1 connected, 0 failed.
extern const UINT WM_DEVICE_CONNECT_RESULT;
