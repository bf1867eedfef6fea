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

#ifndef _WIN32
void CSkinGifPlayer::RequestRepaint() const {}
#endif
