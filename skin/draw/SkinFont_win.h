#pragma once
// A theme font.
#include <windows.h>

#include <string_view>

#include "framework/Handles.h"

class CSkinFont {
 public:
  // Creates the font when the face is given and the cell height (pixels) is positive: weight 700 when bold
  // else 400, underline as given, default character set, proof quality, Swiss family. The previous font is
  // deleted first. False when nothing was created.
  bool Create(std::wstring_view face, int cell_height, bool bold, bool underline);
  void Destroy() { font_.reset(); }
  HFONT GetHandle() const { return font_.get(); }
  explicit operator bool() const { return static_cast<bool>(font_); }

 private:
  fw::UniqueFont font_;
};
