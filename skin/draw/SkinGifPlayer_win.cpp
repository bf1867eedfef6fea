#include <cstring>
#include <vector>

#include "skin/draw/SkinGifPlayer.h"

namespace {

void CALLBACK AnimateTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  if (id != CSkinGifPlayer::kTimerId) return;
  if (auto* player = static_cast<CSkinGifPlayer*>(::GetPropW(hwnd, CSkinGifPlayer::kAnimateProperty)))
    player->Step();
}

}  // namespace

void CSkinGifPlayer::SetTarget(HWND window, const RECT& rect) {
  target_ = window;
  target_rect_ = rect;
}

void CSkinGifPlayer::SetHost(HWND host, UINT period_ms) {
  host_ = host;
  period_ = period_ms ? period_ms : 100;
}

void CSkinGifPlayer::Run(bool on) {
  if (on == running_) return;
  if (!on) {
    running_ = false;
    if (host_ && ::IsWindow(host_)) {
      ::KillTimer(host_, kTimerId);
      if (::GetPropW(host_, kAnimateProperty) == this) ::RemovePropW(host_, kAnimateProperty);
    }
    return;
  }
  if (!host_ || !IsLoaded() || ::GetPropW(host_, kAnimateProperty)) return;
  if (!::SetPropW(host_, kAnimateProperty, this)) return;
  running_ = true;
  Step();
  if (running_ && !::SetTimer(host_, kTimerId, period_, AnimateTimer)) {
    running_ = false;
    ::RemovePropW(host_, kAnimateProperty);
  }
}

void CSkinGifPlayer::RequestRepaint() const {
  if (target_ && animation_.IsLoaded()) ::InvalidateRect(target_, &target_rect_, FALSE);
}

bool CSkinGifPlayer::Draw(HDC dc, const RECT& rect) const {
  if (!running_ || !animation_.IsLoaded()) return false;
  const skin::GifDecoder& gif = animation_.Decoder();
  const LONG w = static_cast<LONG>(gif.Width()), h = static_cast<LONG>(gif.Height());
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = w;
  info.header.biHeight = -h;  // the canvas rows are top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biCompression = BI_RGB;
  info.header.biClrUsed = 256;
  std::memcpy(info.colors, gif.Palette().data(), sizeof info.colors);
  // DIB rows are padded to 4 bytes; the canvas is not.
  const size_t stride = (static_cast<size_t>(w) + 3) & ~size_t{3};
  const std::vector<uint8_t>& canvas = gif.Canvas();
  std::vector<uint8_t> padded;
  const uint8_t* bits = canvas.data();
  if (stride != static_cast<size_t>(w)) {
    padded.assign(stride * static_cast<size_t>(h), 0);
    for (LONG y = 0; y < h; ++y)
      std::memcpy(&padded[static_cast<size_t>(y) * stride], &canvas[static_cast<size_t>(y) * w], static_cast<size_t>(w));
    bits = padded.data();
  }
  return ::SetDIBitsToDevice(dc, rect.left, rect.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                             static_cast<UINT>(h), bits, reinterpret_cast<const BITMAPINFO*>(&info),
                             DIB_RGB_COLORS) != 0;
}
