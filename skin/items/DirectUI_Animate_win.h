#pragma once
// An animation: a frame strip of a still theme picture, or an animated GIF of the theme.
#include "skin/items/DirectUI_Base_win.h"
#include "skin/items/SkinPngPlayer_win.h"

class CSkinGifPlayer;

class DirectUI_Animate : public DirectUI_Base {
 public:
  enum class Mode { kNone, kFrameStrip, kGif };

  DirectUI_Animate(const skin::ChildItem& record, const skin::ItemContext& context);
  ~DirectUI_Animate() override;

  bool IsVisible() const override { return visible_; }
  bool SetVisible(bool visible, bool redraw) override { return ChangeVisible(visible_, visible, redraw); }
  bool OnSetCursor(int x, int y) override { return SetOwnCursor(x, y); }
  void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) override;
  DirectUI_Base* OnMouseMove(unsigned keys, int x, int y) override;
  void ApplyColorAdjust(int, int, int) override {}

  // Looks the picture up again and starts over from frame 1.
  void Restart();

  Mode GetMode() const { return mode_; }
  const CSkinPngPlayer& Player() const { return player_; }
  uint32_t HoverState() const { return hover_; }

 private:
  HWND HostWindow() const { return owner_ ? static_cast<HWND>(owner_->HostWindow()) : nullptr; }

  skin::AnimateSpec settings_;
  bool visible_;
  skin::CSkinResourceManager* theme_;
  Mode mode_ = Mode::kNone;
  CSkinPngPlayer player_;
  CSkinGifPlayer* gif_ = nullptr;  // belongs to the theme
  uint32_t hover_ = 1;
};
