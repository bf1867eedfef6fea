#pragma once
// A control's painting redirected by its skin: the records "SKINSE_D" (begin/end paint) and "SKINSE_E"
// (get/release device context). In modes 0 and 1 the control paints into a memory context the record hands
// out; mode 0 then composites that drawing, less the key colour, over the control's background, mode 1
// throws it away. Mode 2 lets the control paint only inside the record's rectangle, mode 3 only outside it.
// Any other mode leaves the control's painting alone. Every memory context handed out is in the window
// manager's context list (so WindowFromDC names the control) until it is freed.
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "framework/Handles.h"

class CSkinBase;

namespace skin {

class CSkinWndManager;

class CSkinPaintRedirect {
 public:
  enum Mode : int { kComposite = 0, kDiscard = 1, kInside = 2, kOutside = 3 };
  enum class Calls { kPaint, kDeviceContext };  // "SKINSE_D" or "SKINSE_E"

  // Sets the record's window property on the skin's window; the destructor removes it and frees every
  // memory context still handed out.
  CSkinPaintRedirect(CSkinBase& skin, CSkinWndManager& manager, Calls calls);
  ~CSkinPaintRedirect();
  CSkinPaintRedirect(const CSkinPaintRedirect&) = delete;
  CSkinPaintRedirect& operator=(const CSkinPaintRedirect&) = delete;

  int mode = kComposite;
  COLORREF key = ::GetSysColor(COLOR_BTNFACE);
  HWND owner = nullptr;              // whose frame background mode 0 composites over (paint record)
  bool enabled = true;               // device-context record only
  bool invalidate_after_release = false;
  RECT rect{};                       // modes 2 and 3, client coordinates

  std::optional<HDC> BeginPaint(PAINTSTRUCT* paint);
  std::optional<BOOL> EndPaint(const PAINTSTRUCT* paint);
  std::optional<HDC> GetDC(bool whole_window);
  std::optional<int> ReleaseDC(HDC dc);
  size_t HandedOutCount() const { return handed_.size(); }

 private:
  struct Handed {
    fw::UniqueMemDC memory;
    fw::UniqueBitmap bitmap;
    HGDIOBJ old_bitmap = nullptr;
    HGDIOBJ old_brush = nullptr;
    HDC real = nullptr;
  };
  bool Redirecting() const { return mode == kComposite || mode == kDiscard; }
  void Clip(HDC dc) const;
  // Makes a memory context of the size holding the current content of `real`; null when it cannot.
  HDC HandOut(HDC real, int width, int height);
  Handed* Find(HDC memory);
  void Free(HDC memory);
  // Copies the drawing of `memory` at `area` less the key colour onto `background`-filled pixels of `real`.
  void Composite(HDC memory, HDC real, const RECT& area, bool frame_background);

  CSkinBase& skin_;
  CSkinWndManager& manager_;
  Calls calls_;
  std::vector<std::unique_ptr<Handed>> handed_;
};

}  // namespace skin
