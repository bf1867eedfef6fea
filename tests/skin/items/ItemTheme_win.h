#pragma once
// Themes for the item tests: the shipped theme (the test's own copy of resource "DATA" 133) and small themes
// written here, and a host window with a skin over it.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "skin/ImageFixtures.h"
#include "skin/SkinBase_win.h"
#include "skin/SkinResourceManager.h"

namespace items_test {

// The shipped theme, loaded once per test program.
skin::CSkinResourceManager& ShippedTheme();

// Loads a theme archive holding `document` (the inside of the `theme` element) and the given pictures.
bool LoadTheme(skin::CSkinResourceManager& theme, const std::string& document,
               std::vector<std::pair<std::string, skin_test::Bytes>> pictures = {});

// A top-level window with a child control to host items. The top-level window records every SKINMSG_ITEMCLICK
// it receives and may run a callback for it.
class HostWindows {
 public:
  HostWindows(int width, int height, const wchar_t* text = L"");
  ~HostWindows();
  HWND parent() const { return parent_; }
  HWND control() const { return control_; }

  std::vector<std::wstring> clicks;
  std::vector<HWND> click_sources;
  std::function<void()> on_click;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND parent_ = nullptr;
  HWND control_ = nullptr;
};

// A crisp font (no antialiasing) so tests can find text pixels by their exact colour.
fw::UniqueFont CrispFont(int height = 14);

}  // namespace items_test
