#include "skin/items/DirectUI_Animate_win.h"

#include "skin/SkinResourceManager.h"
#include "skin/draw/SkinGifPlayer_win.h"

DirectUI_Animate::DirectUI_Animate(const skin::ChildItem& record, const skin::ItemContext& context)
    : DirectUI_Base(skin::ItemKind::kAnimate, record, context.host),
      settings_(skin::ReadAnimateSpec(record)),
      visible_(record.visible),
      theme_(context.theme) {
  Restart();
  if (mode_ == Mode::kFrameStrip) player_.SetCurrentFrame(settings_.begin_frame);
}

DirectUI_Animate::~DirectUI_Animate() {
  // The GIF player outlives the item (the theme owns it); it must not go on ticking for a dead item.
  if (gif_ && gif_->IsRunning()) gif_->Run(false);
}

void DirectUI_Animate::Restart() {
  HWND host = HostWindow();
  if (CSkinDrawImage* picture = theme_->GetPicture(settings_.picture_id)) {
    mode_ = Mode::kFrameStrip;
    player_.Setup(host, picture, settings_.frame_count, static_cast<UINT>(settings_.delay_ms), settings_.cycle);
    player_.Switch(settings_.enable);
    return;
  }
  player_.Switch(false);
  if (CSkinGifPlayer* gif = theme_->GetAnimation(settings_.picture_id)) {
    mode_ = Mode::kGif;
    gif_ = gif;
    skin::SetGifHost(*gif_, host, static_cast<UINT>(settings_.delay_ms));
    gif_->Run(settings_.enable);
    return;
  }
  mode_ = Mode::kNone;
}

void DirectUI_Animate::Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  DirectUI_Base::Draw(dc, owner, left, top, right, bottom);
  const RECT rc{rect_.left, rect_.top, rect_.right, rect_.bottom};
  if (mode_ == Mode::kFrameStrip) {
    player_.Draw(dc, rc.left, rc.top, rc.right, rc.bottom);
  } else if (mode_ == Mode::kGif && gif_) {
    skin::SetGifTarget(*gif_, HostWindow(), rc);
    skin::DrawGifFrame(dc, *gif_, rc);
  }
}

DirectUI_Base* DirectUI_Animate::OnMouseMove(unsigned, int x, int y) {
  if (Contains(x, y)) {
    hover_ = 2;
    return this;
  }
  if (hover_ == 2) {
    hover_ = 1;
    Restart();
  }
  return nullptr;
}
