#include "skin/draw/SkinGifPlayer.h"

#include "skin/draw/CxFile.h"
#include "skin/draw/ImageLimits.h"

CSkinGifPlayer::~CSkinGifPlayer() { Run(false); }

bool CSkinGifPlayer::LoadFromMemory(const uint8_t* data, size_t size) {
  Clear();
  if (!data || size == 0 || !animation_.Load({data, size})) return false;
  RequestRepaint();
  return true;
}

bool CSkinGifPlayer::LoadFromFile(const std::wstring& path) {
  Clear();
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, skin::kMaxImageFileBytes)) return false;
  return LoadFromMemory(bytes.data(), bytes.size());
}

void CSkinGifPlayer::Clear() {
  Run(false);
  animation_.Clear();
}

void CSkinGifPlayer::Step() {
  const bool show = animation_.Step();
  if (animation_.Stopped()) {
    Run(false);
    return;
  }
  if (show && repaint_) RequestRepaint();
}

void CSkinGifPlayer::SetHost(std::unique_ptr<CSkinAnimationHost> host, unsigned period_ms) {
  Run(false);
  host_ = std::move(host);
  period_ = period_ms ? period_ms : 100;
}

void CSkinGifPlayer::Run(bool on) {
  if (on == running_) return;
  if (!on) {
    running_ = false;
    if (host_) host_->Release(this, kTimerId);
    return;
  }
  if (!host_ || !IsLoaded() || !host_->Claim(this)) return;
  running_ = true;
  Step();
  if (running_ && !host_->StartTimer(kTimerId, period_)) Run(false);
}

void CSkinGifPlayer::RequestRepaint() const {
  if (host_ && animation_.IsLoaded()) host_->Repaint();
}
