#include "skin/controls/ControlTooltip_win.h"

#include <commctrl.h>

namespace skin {

void ControlTooltip::MouseMove(HWND control, UINT msg, WPARAM wp, LPARAM lp) {
  if (window_) {
    MSG relay{control, msg, wp, lp, ::GetMessageTime(), {}};
    ::GetCursorPos(&relay.pt);
    ::SendMessageW(window_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    return;
  }
  if (text_.empty()) return;
  INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&init);
  window_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr));
  if (!window_) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text_.data();
  ::SendMessageW(window_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace skin
