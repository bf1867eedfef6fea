// Drawing a decoded picture into a device context, with its alpha channel or transparent colour.
#include <algorithm>
#include <cstring>

#include "framework/Handles.h"
#include "skin/draw/CxImage.h"

namespace {

BITMAPINFO Info24(LONG width, LONG height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: rows bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

bool CxImage::Draw(HDC dc, const RECT& rect, const RECT* clip, bool smooth) const {
  return Draw(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, clip, smooth);
}

bool CxImage::Draw(HDC dc, int x, int y, int width, int height, const RECT* clip, bool) const {
  if (!dc || !IsValid()) return false;
  if (width < 0) width = static_cast<int>(width_);
  if (height < 0) height = static_cast<int>(height_);
  if (width == 0 || height == 0) return false;

  if (alpha_.empty() && trans_color_ < 0) {
    const BITMAPINFO info = Info24(static_cast<LONG>(width_), static_cast<LONG>(height_));
    const int old_mode = ::SetStretchBltMode(dc, COLORONCOLOR);
    const int lines = ::StretchDIBits(dc, x, y, width, height, 0, 0, static_cast<int>(width_),
                                      static_cast<int>(height_), bits_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    ::SetStretchBltMode(dc, old_mode);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
  }

  // Only the part of the destination inside the DC's clip box (and the caller's clip) is blended.
  RECT box{x, y, x + width, y + height};
  RECT clip_box;
  if (::GetClipBox(dc, &clip_box) != ERROR && !::IntersectRect(&box, &box, &clip_box)) return true;
  if (clip && !::IntersectRect(&box, &box, clip)) return true;
  const LONG bw = box.right - box.left, bh = box.bottom - box.top;
  if (bw <= 0 || bh <= 0) return true;

  fw::UniqueMemDC mem(::CreateCompatibleDC(dc));
  if (!mem) return false;
  BITMAPINFO info = Info24(bw, -bh);  // top-down scratch buffer
  void* raw = nullptr;
  fw::UniqueBitmap section(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
  if (!section || !raw) return false;
  fw::ScopedSelectObject select(mem.get(), section.get());
  if (!::BitBlt(mem.get(), 0, 0, bw, bh, dc, box.left, box.top, SRCCOPY)) return false;
  ::GdiFlush();

  const size_t dst_stride = (static_cast<size_t>(bw) * 3 + 3) & ~size_t{3};
  auto* dst_bits = static_cast<uint8_t*>(raw);
  const uint8_t tr = static_cast<uint8_t>(trans_color_ & 0xFF), tg = static_cast<uint8_t>((trans_color_ >> 8) & 0xFF),
                tb = static_cast<uint8_t>((trans_color_ >> 16) & 0xFF);
  for (LONG dy = 0; dy < bh; ++dy) {
    const int64_t sy_top = (static_cast<int64_t>(box.top + dy - y) * height_) / height;
    const uint32_t sy = static_cast<uint32_t>(std::clamp<int64_t>(sy_top, 0, height_ - 1));
    const uint8_t* src_row = bits_.data() + static_cast<size_t>(height_ - 1 - sy) * stride_;
    const uint8_t* alpha_row = alpha_.empty() ? nullptr : alpha_.data() + static_cast<size_t>(height_ - 1 - sy) * width_;
    uint8_t* d = dst_bits + static_cast<size_t>(dy) * dst_stride;
    for (LONG dx = 0; dx < bw; ++dx, d += 3) {
      const int64_t sx_raw = (static_cast<int64_t>(box.left + dx - x) * width_) / width;
      const uint32_t sx = static_cast<uint32_t>(std::clamp<int64_t>(sx_raw, 0, width_ - 1));
      const uint8_t* s = src_row + static_cast<size_t>(sx) * 3;
      if (trans_color_ >= 0 && s[0] == tb && s[1] == tg && s[2] == tr) continue;
      const unsigned a = alpha_row ? alpha_row[sx] : 255;
      if (a == 0) continue;
      if (a == 255) {
        d[0] = s[0], d[1] = s[1], d[2] = s[2];
        continue;
      }
      for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * a + d[c] * (255 - a)) / 256);
    }
  }
  return ::BitBlt(dc, box.left, box.top, bw, bh, mem.get(), 0, 0, SRCCOPY) != 0;
}

HBITMAP CxImage::MakeBitmap(HDC) const {
  if (!IsValid()) return nullptr;
  BITMAPINFO info = Info24(static_cast<LONG>(width_), static_cast<LONG>(height_));
  void* raw = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
  if (!bitmap || !raw) {
    if (bitmap) ::DeleteObject(bitmap);
    return nullptr;
  }
  std::memcpy(raw, bits_.data(), bits_.size());
  return bitmap;
}
