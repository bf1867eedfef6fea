#include "app/AppMessages.h"

const UINT WM_DEVICE_CONNECT_RESULT = ::RegisterWindowMessageW(L"WM_DEVICE_CONNECT_RESULT");
