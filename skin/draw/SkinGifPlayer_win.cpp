#include "skin/draw/SkinGifPlayer_win.h"

#include <cstring>
#include <memory>
#include <vector>

#include "skin/draw/AnimationHost_win.h"

namespace skin {
namespace {

void StepPlayer(void* player) { static_cast<CSkinGifPlayer*>(player)->Step(); }

WindowAnimationHost* WindowHost(const CSkinGifPlayer& player) {
  return dynamic_cast<WindowAnimationHost*>(player.Host());
}

}  // namespace

void SetGifHost(CSkinGifPlayer& player, HWND host, UINT period_ms) {
  HWND target = nullptr;
  RECT rect{};
  if (const WindowAnimationHost* old = WindowHost(player)) target = old->TargetWindow(), rect = old->TargetRect();
  auto made = std::make_unique<WindowAnimationHost>(host, &StepPlayer);
  made->SetTarget(target, rect);
  player.SetHost(std::move(made), period_ms);
}

void SetGifTarget(CSkinGifPlayer& player, HWND target, const RECT& rect) {
  if (WindowAnimationHost* host = WindowHost(player)) {
    host->SetTarget(target, rect);
    return;
  }
  auto made = std::make_unique<WindowAnimationHost>(nullptr, &StepPlayer);
  made->SetTarget(target, rect);
  player.SetHost(std::move(made), player.Period());
}

bool DrawGifFrame(HDC dc, const CSkinGifPlayer& player, const RECT& rect) {
  if (!dc || !player.IsRunning() || !player.IsLoaded()) return false;
  const skin::GifDecoder& gif = player.Animation().Decoder();
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

}  // namespace skin
