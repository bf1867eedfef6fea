#pragma once
// A 32-bit memory surface filled with one colour, to draw on and read back pixel by pixel.
#include <windows.h>

#include <memory>

#include "framework/Handles.h"

namespace skin_test {

class DrawSurface {
 public:
  DrawSurface(int w, int h, COLORREF fill = RGB(255, 255, 255)) : width_(w), height_(h) {
    dc_.reset(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
    select_ = std::make_unique<fw::ScopedSelectObject>(dc_.get(), bitmap_.get());
    Fill(fill);
  }
  void Fill(COLORREF c) {
    ::GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = Pack(c);
  }
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    const uint32_t v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // Counts pixels outside `inside` that are not `fill`.
  int ChangedOutside(const RECT& inside, COLORREF fill) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if ((x < inside.left || x >= inside.right || y < inside.top || y >= inside.bottom) && At(x, y) != fill) ++n;
    return n;
  }
  int ChangedInside(const RECT& inside, COLORREF fill) const {
    int n = 0;
    for (int y = inside.top; y < inside.bottom; ++y)
      for (int x = inside.left; x < inside.right; ++x)
        if (At(x, y) != fill) ++n;
    return n;
  }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  const uint32_t* bits() const { return bits_; }

 private:
  static uint32_t Pack(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
  int width_, height_;
  fw::UniqueMemDC dc_;
  fw::UniqueBitmap bitmap_;
  std::unique_ptr<fw::ScopedSelectObject> select_;
  uint32_t* bits_ = nullptr;
};

}  // namespace skin_test
