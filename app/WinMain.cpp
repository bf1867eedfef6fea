#include <windows.h>

#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return fw::RunApplication(instance); }
