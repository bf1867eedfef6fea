#include "skin/items/DirectUI_Image_win.h"

#include "skin/SkinResourceManager.h"
#include "skin/draw/SkinDrawImage_win.h"

DirectUI_Image::DirectUI_Image(const skin::ChildItem& record, const skin::ItemContext& context)
    : DirectUI_Base(skin::ItemKind::kImage, record, context.host),
      settings_(skin::ReadImageSpec(record)),
      visible_(record.visible),
      theme_(context.theme) {
  ApplyColorAdjust(context.shift.hue, context.shift.saturation, context.shift.brightness);
}

void DirectUI_Image::Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  if (!picture_) return;
  DirectUI_Base::Draw(dc, owner, left, top, right, bottom);
  CSkinDrawImage& pic = *picture_;
  skin::CorrectSourceSize(settings_, static_cast<int32_t>(pic.GetWidth()), static_cast<int32_t>(pic.GetHeight()));
  const skin::Rect& r = rect_;
  const skin::Quad& g = settings_.grid;
  switch (settings_.style) {
    case skin::ImageStyle::kStretchBlt:
      skin::DrawStretchBlt(dc, pic, r.left, r.top, r.right - r.left, r.bottom - r.top, settings_.src_x, settings_.src_y,
                           settings_.src_width, settings_.src_height);
      break;
    case skin::ImageStyle::kDraw9Grid:
      skin::Draw9Grid(dc, pic, r.left, r.top, r.right, r.bottom, g[0], g[1], g[2], g[3]);
      break;
    case skin::ImageStyle::kFill9Grid:
      skin::DrawFill9Grid(dc, pic, r.left, r.top, r.right, r.bottom, g[0], g[1], g[2], g[3], settings_.src_x, settings_.src_y,
                          settings_.src_x + settings_.src_width, settings_.src_y + settings_.src_height);
      break;
    case skin::ImageStyle::kBitStretchBlt:
      skin::DrawBitStretchBlt(dc, pic, r.left, r.top, r.right, r.bottom, settings_.part_offset[0], settings_.part_offset[1],
                              settings_.vertical);
      break;
    case skin::ImageStyle::kTransparentBlt:
      skin::DrawTransparentBlt(dc, pic, r.left, r.top, settings_.src_x, settings_.src_y, settings_.src_width, settings_.src_height);
      break;
    case skin::ImageStyle::kBitBlt:
      skin::DrawBitBlt(dc, pic, r.left, r.top, settings_.src_x, settings_.src_y, settings_.src_width, settings_.src_height);
      break;
  }
}

void DirectUI_Image::ApplyColorAdjust(int, int, int) {
  picture_ = settings_.picture_id.empty() ? nullptr : theme_->GetPicture(settings_.picture_id);
}

void DirectUI_Image::SetPictureId(const std::wstring& id) {
  settings_.picture_id = id;
  ApplyColorAdjust(0, 0, 0);
}
