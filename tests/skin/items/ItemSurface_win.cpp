#include "skin/items/ItemSurface_win.h"

#include <png.h>

#include <algorithm>
#include <vector>

namespace items_test {

int CountColor(const Surface& s, COLORREF color, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, s.height()); ++y)
    for (int x = std::max(left, 0); x < std::min(right, s.width()); ++x) n += s.At(x, y) == color;
  return n;
}

int Differences(const Surface& a, const Surface& b, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = std::max(top, 0); y < std::min({bottom, a.height(), b.height()}); ++y)
    for (int x = std::max(left, 0); x < std::min({right, a.width(), b.width()}); ++x) n += a.At(x, y) != b.At(x, y);
  return n;
}

RECT BoundsOf(const Surface& s, COLORREF color) {
  RECT r{s.width(), s.height(), 0, 0};
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (s.At(x, y) == color) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r.right > r.left ? r : RECT{};
}

bool SavePng(const Surface& s, const std::string& path) {
  ::GdiFlush();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(s.width());
  image.height = static_cast<png_uint_32>(s.height());
  image.format = PNG_FORMAT_BGRA;
  // The surface's fourth byte is not alpha: write every pixel opaque.
  std::vector<uint32_t> opaque(s.bits(), s.bits() + static_cast<size_t>(s.width()) * s.height());
  for (uint32_t& p : opaque) p |= 0xFF000000u;
  return png_image_write_to_file(&image, path.c_str(), 0, opaque.data(), 0, nullptr) != 0;
}

std::string RenderFolder() {
  std::string folder = "Z:";
  for (char c : std::string(LOGORA_BINARY_DIR "/renders/items/")) folder += c == '/' ? '\\' : c;
  std::string partial;
  for (char c : folder) {
    partial += c;
    if (c == '\\' && partial.size() > 3) ::CreateDirectoryA(partial.c_str(), nullptr);
  }
  return folder;
}

}  // namespace items_test
