#pragma once
// What a DirectUI item may ask of the control skin that hosts it. Items hold no window of their own: they
// repaint, read the host's text and report clicks through this interface, so their state machines run against
// a fake host in tests. Platform-free: handles travel as opaque pointers (HWND and HFONT on Windows).
#include <string>
#include <string_view>

#include "skin/ThemeValues.h"

namespace skin {

class ItemHost {
 public:
  // The host window (HWND); none for a window-less host such as a button's split part.
  virtual void* HostWindow() const = 0;
  // The host's caption font (HFONT), the font of text items that name none.
  virtual void* HostFont() const = 0;
  // The host window's own text, at most 511 characters.
  virtual std::wstring HostText() const = 0;
  // Repaints part of the host's client area.
  virtual void InvalidateArea(const Rect& area, bool erase) = 0;
  // An event item with this id was clicked. The host tells its window once the item walk that led to the
  // click has ended, so the receiver may rebuild the items without pulling them from under the walk.
  virtual void ItemClicked(std::wstring_view id) = 0;

 protected:
  ~ItemHost() = default;
};

}  // namespace skin
