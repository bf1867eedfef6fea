#pragma once
// CSkinCheckBtnSB: the skin of a check box (theme class "checkbutton"), with an indeterminate picture.
#include "skin/controls/SkinBoxButton_win.h"

class CSkinCheckBtnSB : public CSkinBoxButton {
 public:
  explicit CSkinCheckBtnSB(HWND window) : CSkinBoxButton(window, L"checkbutton", true) {}
  // Dresses (or re-dresses) a check box; null when the id is unknown or the platform refuses.
  static CSkinBoxButton* Dress(HWND window, skin::CSkinResourceManager& theme, std::wstring_view id) {
    if (CSkinBoxButton* dressed = FromWindow(window)) return Redress(*dressed, theme, id);
    return DressWith(std::make_unique<CSkinCheckBtnSB>(window), theme, id);
  }
};
