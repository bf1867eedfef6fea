#pragma once
// CSkinGroupBtnSB: the skin of a group box (theme class "groupbutton"): a rounded frame line in the border
// colour over the parent's background, broken by a caption band holding the optional logo, icon or bitmap
// and the caption text. It draws no items.
#include <windows.h>

#include <string>
#include <string_view>

#include "skin/SkinBase_win.h"
#include "skin/hook/HookEngine_win.h"

class CSkinDrawImage;
namespace skin {
class CSkinResourceManager;
struct ThemeItem;
}  // namespace skin

class CSkinGroupBtnSB : public CSkinBase, public skin::hook::DressedWindow {
 public:
  explicit CSkinGroupBtnSB(HWND window);
  ~CSkinGroupBtnSB() override;

  // Dresses (or re-dresses) a group box with the theme's `groupbutton` item `id`; null when the id is
  // unknown or the platform refuses the subclassing.
  static CSkinGroupBtnSB* Dress(HWND window, skin::CSkinResourceManager& theme, std::wstring_view id);
  static CSkinGroupBtnSB* FromWindow(HWND window);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  void Attach(const skin::ThemeItem& item, skin::CSkinResourceManager& theme);
  void ApplyAttributes();
  void ApplyColorAdjust(int hue, int saturation, int brightness);

  COLORREF BorderColor() const { return adjusted_border_; }
  // The caption band of the last paint (client coordinates).
  RECT CaptionBand() const { return band_; }
  void PaintTo(HDC dc);

  skin::hook::ProcedureChain& Chain() { return chain_; }
  skin::hook::ProcedureChain* Procedures() override { return &chain_; }

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp);

  skin::hook::ProcedureChain chain_;
  skin::CSkinResourceManager* theme_ = nullptr;
  COLORREF text_color_ = 0;
  COLORREF border_color_ = 0;
  COLORREF adjusted_border_ = 0;
  int border_round_ = 0;
  std::wstring font_id_, logo_id_;
  CSkinDrawImage* logo_ = nullptr;
  RECT band_{};
};
