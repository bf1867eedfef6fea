#pragma once
// CSkinButtonSB: the skin of a push button. It paints the whole control off screen from the theme item's
// state pictures, items and caption, follows the mouse for the over and down looks, shows a tooltip, and
// leaves the button's behaviour (clicks, keyboard, notifications) to the platform's button procedure, whose
// own drawing never reaches the screen. An optional split part (a window-less button skin) takes the right
// strip and posts SKINMSG_SPINCLICK when pressed.
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "skin/SkinBase_win.h"
#include "skin/ThemeValues.h"
#include "skin/controls/ControlTooltip_win.h"
#include "skin/hook/HookEngine_win.h"

class CSkinDrawImage;
namespace skin {
class CSkinResourceManager;
struct ThemeItem;
}  // namespace skin

class CSkinButtonSB : public CSkinBase, public skin::hook::DressedWindow {
 public:
  // Display states, which index the pictures and caption colours.
  enum State { kNormal = 0, kOver = 1, kDown = 2, kDisabled = 3, kFocused = 4 };

  // `window` is null for a split part.
  explicit CSkinButtonSB(HWND window);
  ~CSkinButtonSB() override;

  // Dresses a push button with the theme's `button` item `id` (again: re-attaches). Null when the id is
  // unknown, the button is owner-drawn or the platform refuses the subclassing. The skin lives until the
  // window's non-client destroy.
  static CSkinButtonSB* Dress(HWND window, skin::CSkinResourceManager& theme, std::wstring_view id);
  static CSkinButtonSB* FromWindow(HWND window);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  void Attach(const skin::ThemeItem& item, skin::CSkinResourceManager& theme);
  void ApplyAttributes();
  void ApplyColorAdjust(int hue, int saturation, int brightness);

  // The display state of the last paint and the flags behind it.
  State DisplayState() const { return state_; }
  bool Over() const { return over_; }
  bool Pressed() const { return pressed_; }
  HWND TooltipWindow() const { return tooltip_.Window(); }
  const CSkinButtonSB* SplitPart() const { return split_.get(); }

  skin::hook::ProcedureChain& Chain() { return chain_; }
  skin::hook::ProcedureChain* Procedures() override { return window_ ? &chain_ : nullptr; }

  // Paints the control into `dc` (client coordinates) as the screen would show it.
  void PaintTo(HDC dc);

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp);
  // Runs the platform's procedure with redrawing suspended, then invalidates without erasing.
  LRESULT HiddenFromScreen(UINT msg, WPARAM wp, LPARAM lp);
  // Display state and host state bit from the window's enabled, over, pressed and focus state.
  State ComputeState(bool pressed, bool with_focus);
  void DrawPart(HDC dc, CSkinButtonSB& part, const RECT& rect, State state);
  void DrawCaption(HDC dc, const RECT& client, State state);
  void DrawCaptionImage(HDC dc, const RECT& rect, bool icon, bool left);
  RECT SplitRect(const RECT& client) const;

  skin::hook::ProcedureChain chain_;
  skin::CSkinResourceManager* theme_ = nullptr;
  std::array<std::wstring, 5> picture_ids_;
  std::array<CSkinDrawImage*, 5> pictures_{};
  std::array<COLORREF, 5> text_colors_{};
  skin::Pair text_offset_{1, 1};
  skin::Quad grid_{5, 5, 5, 5};
  bool draw_focus_rect_ = false;
  std::wstring font_id_, cursor_id_;
  HCURSOR cursor_ = nullptr;  // owned by the theme's cursor cache
  std::unique_ptr<CSkinButtonSB> split_;
  int split_width_ = 0;

  skin::ControlTooltip tooltip_;
  bool over_ = false;
  bool pressed_ = false;
  State state_ = kNormal;
};
