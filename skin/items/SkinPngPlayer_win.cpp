#include "skin/items/SkinPngPlayer_win.h"

#include "skin/SkinIds.h"
#include "skin/draw/SkinDrawImage_win.h"

namespace {

void StepPlayer(void* player) { static_cast<CSkinPngPlayer*>(player)->Step(); }

}  // namespace

CSkinPngPlayer::CSkinPngPlayer() : timer_id_(skin::kTimerPngPlayer) {}

CSkinPngPlayer::~CSkinPngPlayer() { Switch(false); }

void CSkinPngPlayer::Setup(HWND host, CSkinDrawImage* picture, int frame_count, UINT delay_ms, bool cycle) {
  if (!host_ || host_->HostWindow() != host) {
    Switch(false);
    host_ = std::make_unique<skin::WindowAnimationHost>(host, &StepPlayer, /*take_over=*/true);
  }
  picture_ = picture;
  delay_ = delay_ms ? delay_ms : 200;
  strip_.Reset(frame_count, cycle);
}

void CSkinPngPlayer::Switch(bool on) {
  if (on == running_) return;
  if (!on) {
    running_ = false;
    if (host_) host_->Release(this, skin::kTimerPngPlayer);
    timer_id_ = 0;
    return;
  }
  if (!host_ || !host_->Claim(this)) return;
  timer_id_ = skin::kTimerPngPlayer;
  if (!host_->StartTimer(timer_id_, delay_)) {
    host_->Release(this, timer_id_);
    return;
  }
  running_ = true;
}

void CSkinPngPlayer::Step() {
  if (strip_.Step() && host_) host_->Repaint();
}

void CSkinPngPlayer::Draw(HDC dc, int left, int top, int right, int bottom) {
  last_ = {left, top, right, bottom};
  if (host_) host_->SetTarget(host_->HostWindow(), last_);
  if (!picture_) return;
  const int32_t width = static_cast<int32_t>(picture_->GetWidth());
  const int32_t frame = strip_.FrameWidth(width);
  if (frame <= 0) return;
  skin::DrawTransparentBlt(dc, *picture_, left, top, strip_.FrameLeft(width), 0, frame,
                           static_cast<int>(picture_->GetHeight()));
}
