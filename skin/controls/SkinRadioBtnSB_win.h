#pragma once
// CSkinRadioBtnSB: the skin of a radio button (theme class "radiobutton").
#include "skin/controls/SkinBoxButton_win.h"

class CSkinRadioBtnSB : public CSkinBoxButton {
 public:
  explicit CSkinRadioBtnSB(HWND window) : CSkinBoxButton(window, L"radiobutton", false) {}
  // Dresses (or re-dresses) a radio button; null when the id is unknown or the platform refuses.
  static CSkinBoxButton* Dress(HWND window, skin::CSkinResourceManager& theme, std::wstring_view id) {
    if (CSkinBoxButton* dressed = FromWindow(window)) return Redress(*dressed, theme, id);
    return DressWith(std::make_unique<CSkinRadioBtnSB>(window), theme, id);
  }
};
