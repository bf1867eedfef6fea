#pragma once
// Window messages of the main window, registered during static initialisation.
#include <windows.h>

// Posted by a connect worker when its device connected (wParam 1) or failed (0); lParam the device object.
extern const UINT WM_DEVICE_CONNECT_RESULT;
