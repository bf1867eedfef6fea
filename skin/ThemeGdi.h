#pragma once
// Platform objects made from the theme's font and cursor tables: created on first request, kept until the
// process ends, re-created when the theme has changed the entry. Win32 only.
#include <windows.h>

#include <string_view>

#include "skin/SkinResourceManager.h"

namespace skin {

// The font of the theme's font table under `id`; none when the id is unknown or the face is empty or the size
// not positive. The handle belongs to the cache: callers select it but never delete it.
HFONT ThemeFont(const CSkinResourceManager& manager, std::wstring_view id);
// The cursor of the theme's cursor table under `id`: "#<number>" is that system cursor, another value a
// cursor resource of that name in the system's help program. None when unknown or not loadable. Owned by the
// cache (system cursors are shared and never destroyed).
HCURSOR ThemeCursor(const CSkinResourceManager& manager, std::wstring_view id);

}  // namespace skin
