#pragma once
// The part radio buttons and check boxes share: a box picture by check state and display state beside the
// caption, painted off screen over the parent's background, with the mouse, tooltip and state handling of a
// button skin. The platform's button procedure keeps the behaviour; its drawing never reaches the screen.
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "skin/ButtonState.h"
#include "skin/SkinBase_win.h"
#include "skin/controls/ControlTooltip_win.h"
#include "skin/hook/HookEngine_win.h"

class CSkinDrawImage;
namespace skin {
class CSkinResourceManager;
struct ThemeItem;
}  // namespace skin

class CSkinBoxButton : public CSkinBase, public skin::hook::DressedWindow {
 public:
  ~CSkinBoxButton() override;

  static CSkinBoxButton* FromWindow(HWND window);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  void Attach(const skin::ThemeItem& item, skin::CSkinResourceManager& theme);
  void ApplyAttributes();
  void ApplyColorAdjust(int hue, int saturation, int brightness);

  // The button's state word as the platform's state query gives it (BST_CHECKED, BST_INDETERMINATE, ...).
  virtual LRESULT GetCheckState();
  // Paints the control into `dc` (client coordinates).
  virtual void PaintContent(HDC dc);

  skin::ButtonDisplay DisplayState() const { return display_; }
  bool Over() const { return over_; }
  bool Pressed() const { return pressed_; }
  HWND TooltipWindow() const { return tooltip_.Window(); }
  skin::hook::ProcedureChain& Chain() { return chain_; }
  skin::hook::ProcedureChain* Procedures() override { return &chain_; }

 protected:
  CSkinBoxButton(HWND window, std::wstring_view theme_class, bool has_indeterminate);
  // Gives a dressed box button the theme item `id` of its class; null (the old look stays) when unknown.
  static CSkinBoxButton* Redress(CSkinBoxButton& dressed, skin::CSkinResourceManager& theme, std::wstring_view id);
  // Dresses the window `skin` was made for with the theme item `id` of the skin's class; null on refusal.
  static CSkinBoxButton* DressWith(std::unique_ptr<CSkinBoxButton> skin, skin::CSkinResourceManager& theme,
                                   std::wstring_view id);

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HiddenFromScreen(UINT msg, WPARAM wp, LPARAM lp);
  void UpdateLook();
  CSkinDrawImage* BoxPicture(LRESULT check_state) const;

  const std::wstring theme_class_;
  const bool has_indeterminate_;
  skin::hook::ProcedureChain chain_;
  skin::CSkinResourceManager* theme_ = nullptr;
  // Unchecked pictures by display state, then checked ones, then the indeterminate one.
  std::array<std::wstring, 11> picture_ids_;
  std::array<CSkinDrawImage*, 11> pictures_{};
  std::array<COLORREF, 5> text_colors_{};
  bool draw_focus_rect_ = false;
  std::wstring font_id_, cursor_id_;
  HCURSOR cursor_ = nullptr;
  skin::ControlTooltip tooltip_;
  bool over_ = false;
  bool pressed_ = false;
  skin::ButtonDisplay display_ = skin::ButtonDisplay::kNormal;
};
