#include "skin/draw/HBitmap_win.h"

bool CHBitmap::Create(int width, int height, int bits_per_pixel) {
  Reset();
  const std::optional<skin::DibLayout> layout = skin::MakeDibLayout(width, height, bits_per_pixel);
  if (!layout) return false;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(bits_per_pixel), BI_RGB};
  void* bits = nullptr;
  fw::UniqueBitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section || !bits) return false;
  section_ = std::move(section);
  info_ = info.bmiHeader;
  info_.biSizeImage = static_cast<DWORD>(layout->size);
  buffer_ = skin::PixelBuffer{static_cast<uint8_t*>(bits), *layout};
  ResetWalk();
  return true;
}

void CHBitmap::Reset() {
  section_.reset();
  info_ = BITMAPINFOHEADER{};
  buffer_ = skin::PixelBuffer{};
  ResetWalk();
}

bool CHBitmap::TiledCopy(const RECT& dest, const CHBitmap& source, const RECT& source_rect) {
  ::GdiFlush();
  return skin::TiledCopy(buffer_, {dest.left, dest.top, dest.right, dest.bottom}, source.buffer_,
                         {source_rect.left, source_rect.top, source_rect.right, source_rect.bottom});
}

size_t CHBitmap::CopyChanged(int dest_x, int dest_y, int width, int height, const CHBitmap& source, int source_x,
                             int source_y, BYTE alpha) {
  ::GdiFlush();
  return skin::CopyChanged(buffer_, dest_x, dest_y, {width, height}, source.buffer_, source_x, source_y, alpha);
}
