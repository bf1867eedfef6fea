#include "FrameFixture_win.h"

#include <cstdlib>
#include <fstream>

#include "framework/Handles.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeResource.h"

namespace frame_test {

int DressedDialog::erase_count = 0;
int DressedDialog::paint_count = 0;

skin::CSkinWndManager& Manager() {
  static bool loaded = [] {
    return skin::LoadThemeResource(skin::GetSkinResourceManager(), ::GetModuleHandleW(nullptr), L"DATA", 133, "") == 1;
  }();
  (void)loaded;
  return skin::CSkinWndManager::Get();
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

namespace {
INT_PTR CALLBACK DialogProc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_ERASEBKGND) ++DressedDialog::erase_count;
  if (msg == WM_PAINT) ++DressedDialog::paint_count;
  return msg == WM_INITDIALOG;
}
}  // namespace

DressedDialog::DressedDialog() {
  skin::CSkinWndManager& manager = Manager();
  hwnd_ = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(102), nullptr, &DialogProc, 0);
  if (!hwnd_) return;
  ::SetWindowPos(hwnd_, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  manager.AttachFrame(hwnd_, L"PromptDialog");
  ::ShowWindow(hwnd_, SW_SHOW);
  ::UpdateWindow(hwnd_);
  Pump();
}

DressedDialog::~DressedDialog() {
  if (hwnd_) ::DestroyWindow(hwnd_);
  Pump();
}

Capture::Capture(HWND hwnd) {
  RECT rc{};
  ::GetWindowRect(hwnd, &rc);
  width_ = rc.right - rc.left;
  height_ = rc.bottom - rc.top;
  if (width_ <= 0 || height_ <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
  void* bits = nullptr;
  fw::UniqueBitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  fw::UniqueMemDC dc(::CreateCompatibleDC(nullptr));
  if (!section || !dc || !bits) return;
  {
    fw::ScopedSelectObject select(dc.get(), section.get());
    ::PrintWindow(hwnd, dc.get(), 0);
    ::GdiFlush();
  }
  const auto* p = static_cast<const uint32_t*>(bits);
  pixels_.assign(p, p + static_cast<size_t>(width_) * height_);
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return CLR_INVALID;
  const uint32_t v = pixels_[static_cast<size_t>(y) * width_ + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool Capture::Save(const wchar_t* path) const {
  // A plain 24-bit BMP for looking at.
  std::ofstream out(path, std::ios::binary);
  if (!out || pixels_.empty()) return false;
  const uint32_t stride = (static_cast<uint32_t>(width_) * 3 + 3) & ~3u;
  BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  file.bfSize = file.bfOffBits + stride * static_cast<uint32_t>(height_);
  BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width_, height_, 1, 24, BI_RGB};
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  std::vector<char> row(stride, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const uint32_t v = pixels_[static_cast<size_t>(y) * width_ + x];
      row[x * 3] = static_cast<char>(v & 0xFF);
      row[x * 3 + 1] = static_cast<char>((v >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((v >> 16) & 0xFF);
    }
    out.write(row.data(), stride);
  }
  return true;
}

bool Near(COLORREF a, COLORREF b, int t) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= t && std::abs(GetGValue(a) - GetGValue(b)) <= t &&
         std::abs(GetBValue(a) - GetBValue(b)) <= t;
}

}  // namespace frame_test
