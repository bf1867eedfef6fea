#pragma once
// One theme picture in one of six draw styles. The picture belongs to the theme; the item only names it.
#include "skin/items/DirectUI_Base_win.h"

class CSkinDrawImage;

class DirectUI_Image : public DirectUI_Base {
 public:
  DirectUI_Image(const skin::ChildItem& record, const skin::ItemContext& context);

  bool IsVisible() const override { return visible_; }
  bool SetVisible(bool visible, bool redraw) override { return ChangeVisible(visible_, visible, redraw); }
  bool OnSetCursor(int x, int y) override { return SetOwnCursor(x, y); }
  void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) override;
  void ApplyColorAdjust(int hue, int saturation, int brightness) override;

  // Names another picture and looks it up.
  void SetPictureId(const std::wstring& id);
  const std::wstring& PictureId() const { return settings_.picture_id; }
  CSkinDrawImage* Picture() const { return picture_; }
  const skin::ImageSpec& Settings() const { return settings_; }

 private:
  skin::ImageSpec settings_;
  bool visible_;
  skin::CSkinResourceManager* theme_;
  CSkinDrawImage* picture_ = nullptr;
};
