#pragma once
// The tooltip a control skin shows: made on the first mouse move with a text, relayed every later move,
// destroyed on a press. The tool is the control window itself.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace skin {

class ControlTooltip {
 public:
  void SetText(std::wstring text) { text_ = std::move(text); }
  const std::wstring& Text() const { return text_; }
  // A mouse move over `control`: creates the tooltip the first time (that move is not relayed), relays later
  // ones. Nothing without a text.
  void MouseMove(HWND control, UINT msg, WPARAM wp, LPARAM lp);
  void Destroy() { window_.reset(); }
  HWND Window() const { return window_.get(); }

 private:
  std::wstring text_;
  fw::UniqueWindow window_;
};

}  // namespace skin
