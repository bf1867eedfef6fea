#pragma once
// Win32 side of theme loading: the theme archive held in a module's resources, and the system colours.
#include <windows.h>

#include "skin/SkinResourceManager.h"

namespace skin {

// Finds the resource of `type` and integer `id` in `module` and hands its bytes to the manager's archive
// loader. 1 when the resource exists (whether or not the archive could be read), 0 when it does not. The
// resource stays owned by the module; pictures keep their own copies.
int LoadThemeResource(CSkinResourceManager& manager, HMODULE module, const wchar_t* type, WORD id,
                      const char* password);

}  // namespace skin
