#pragma once
// Process-wide state of the skin engine's interface (user-interface thread only, not locked).
#include <windows.h>

#include <string>

namespace skin {

struct EngineState {
  int last_error = 0;                   // 1 unknown theme item, 5 theme folder not absolute
  std::wstring theme_folder_requested;  // absolute folder given to SkinInit
  std::wstring menu_item_id;            // theme item that dresses pop-up menus
  bool menu_hook_enabled = false;
  HHOOK menu_hook = nullptr;
};

EngineState& State();

}  // namespace skin
