#pragma once
// Theme icons and cursors.
#include <windows.h>

#include <string_view>

#include "framework/Handles.h"

class CSkinIcon {
 public:
  // Borrows `icon` (the caller keeps it alive). The size is the system small-icon size when `small`, else
  // twice the icon's hot spot.
  CSkinIcon(HICON icon, bool small);
  bool Draw(HDC dc, int x, int y) const;
  HICON GetHandle() const { return icon_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  HICON icon_;
  int width_ = 0, height_ = 0;
};

namespace skin {

// A cursor of the theme's cursor table: "#<number>" is that system cursor (shared, never destroyed: the owner
// stays empty); another value names a cursor resource of the system's help program, copied out so it outlives
// the module. `owned` receives what the caller must keep; the handle to use is returned (none on failure).
HCURSOR LoadThemeCursor(std::wstring_view value, fw::UniqueCursor& owned);

}  // namespace skin
