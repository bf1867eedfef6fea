// Drawing primitives on memory contexts beside the platform calls they stand on:
// - Draw9Grid of the bitmap form of the dialog background (350 x 180) into the main window's client size and
//   1024 x 768, beside the same nine StretchBlt/TransparentBlt calls made directly on a prepared context;
// - Draw9Grid of the decoded button_normal and DrawBitBlt of the decoded btn_device_normal, beside AlphaBlend
//   of a premultiplied DIB of the same pixels into the same rectangle.
// Run under Wine: tools/wine/session.sh build/windows build/windows/bench/draw_bench.exe
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "framework/Handles.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeResource.h"
#include "skin/draw/NineGrid.h"
#include "skin/draw/SkinDrawImage_win.h"

namespace {

skin::CSkinResourceManager& Theme() {
  static auto* manager = [] {
    auto* m = new skin::CSkinResourceManager();
    skin::LoadThemeResource(*m, ::GetModuleHandleW(nullptr), L"DATA", 133, "");
    return m;
  }();
  return *manager;
}

CSkinDrawImage& ThemePicture(const wchar_t* id) {
  CSkinDrawImage* p = Theme().GetPicture(id);
  if (!p || p->GetWidth() == 0) {
    static CSkinDrawImage empty;
    return empty;
  }
  return *p;
}

// The main window's client size: its template is 283 x 152 dialog units in 9-point "MS Shell Dlg".
SIZE MainClientSize() {
  static const SIZE size = [] {
    std::vector<WORD> t(64, 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
    header->style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header->cx = 283;
    header->cy = 152;
    WORD* p = reinterpret_cast<WORD*>(header + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // default class
    *p++ = 0;  // no title
    *p++ = 9;  // font size
    const wchar_t face[] = L"MS Shell Dlg";
    std::memcpy(p, face, sizeof face);
    HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), header, nullptr,
                                               [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    RECT rc{0, 0, 425, 247};
    if (dialog) {
      ::GetClientRect(dialog, &rc);
      ::DestroyWindow(dialog);
    }
    return SIZE{rc.right, rc.bottom};
  }();
  return size;
}

// A 32-bit memory surface like a back buffer.
class Surface {
 public:
  Surface(int w, int h) : dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
    std::memset(bits, 0xC0, static_cast<size_t>(w) * h * 4);
  }
  ~Surface() { ::SelectObject(dc_.get(), old_); }
  HDC dc() const { return dc_.get(); }

 private:
  fw::UniqueMemDC dc_;
  fw::UniqueBitmap bitmap_;
  HGDIOBJ old_;
};

SIZE SizeFor(const benchmark::State& state) {
  return state.range(0) == 0 ? MainClientSize() : SIZE{1024, 768};
}

void Label(benchmark::State& state, SIZE s) {
  state.SetLabel(std::to_string(s.cx) + "x" + std::to_string(s.cy));
}

constexpr int kDialogGrid = 15;

void BM_Draw9Grid_DialogBk(benchmark::State& state) {
  CSkinDrawImage& picture = ThemePicture(L"standard.Dialog.Background");
  const SIZE size = SizeFor(state);
  Surface s(size.cx, size.cy);
  skin::Draw9Grid(s.dc(), picture, 0, 0, size.cx, size.cy, kDialogGrid, kDialogGrid, kDialogGrid, kDialogGrid);
  for (auto _ : state)
    benchmark::DoNotOptimize(skin::Draw9Grid(s.dc(), picture, 0, 0, size.cx, size.cy, kDialogGrid, kDialogGrid,
                                             kDialogGrid, kDialogGrid));
  ::GdiFlush();
  Label(state, size);
}
BENCHMARK(BM_Draw9Grid_DialogBk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The floor: the same nine calls on a context that already holds the bitmap.
void BM_NineBlitsDirect_DialogBk(benchmark::State& state) {
  CSkinDrawImage& picture = ThemePicture(L"standard.Dialog.Background");
  const CSkinBitmap* bitmap = skin::BitmapForm(picture);
  const SIZE size = SizeFor(state);
  Surface s(size.cx, size.cy);
  if (!bitmap) {
    state.SkipWithError("no bitmap form");
    return;
  }
  const skin::NineGridPieces pieces = skin::CutNineGrid(
      {0, 0, size.cx, size.cy}, {kDialogGrid, kDialogGrid, kDialogGrid, kDialogGrid}, {bitmap->Width(), bitmap->Height()});
  fw::UniqueMemDC source(::CreateCompatibleDC(s.dc()));
  fw::ScopedSelectObject select(source.get(), bitmap->GetHandle());
  const auto stretch = [&](int i) {
    const skin::DrawPiece& p = *pieces[i];
    ::StretchBlt(s.dc(), p.dest.left, p.dest.top, p.dest.Width(), p.dest.Height(), source.get(), p.source.left,
                 p.source.top, p.source.Width(), p.source.Height(), SRCCOPY);
  };
  const auto keyed = [&](int i) {
    const skin::DrawPiece& p = *pieces[i];
    ::TransparentBlt(s.dc(), p.dest.left, p.dest.top, p.dest.Width(), p.dest.Height(), source.get(), p.source.left,
                     p.source.top, p.source.Width(), p.source.Height(), RGB(255, 0, 255));
  };
  for (auto _ : state) {
    for (int i : {skin::kCentre, skin::kLeftEdge, skin::kTopEdge, skin::kRightEdge, skin::kBottomEdge}) stretch(i);
    for (int i : {skin::kTopLeft, skin::kTopRight, skin::kBottomLeft, skin::kBottomRight}) keyed(i);
  }
  ::GdiFlush();
  Label(state, size);
}
BENCHMARK(BM_NineBlitsDirect_DialogBk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A premultiplied 32-bit DIB section of a decoded picture's pixels, selected into its own context.
class PremultipliedCopy {
 public:
  explicit PremultipliedCopy(const CxImage& picture) : dc_(::CreateCompatibleDC(nullptr)) {
    w_ = static_cast<int>(picture.GetWidth()), h_ = static_cast<int>(picture.GetHeight());
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w_, -h_, 1, 32, BI_RGB};
    void* raw = nullptr;
    bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    auto* out = static_cast<uint8_t*>(raw);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x, out += 4) {
        const uint32_t c = picture.GetPixelColor(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
        const unsigned a = picture.GetPixelAlpha(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
        out[0] = static_cast<uint8_t>(((c >> 16) & 0xFF) * a / 255);
        out[1] = static_cast<uint8_t>(((c >> 8) & 0xFF) * a / 255);
        out[2] = static_cast<uint8_t>((c & 0xFF) * a / 255);
        out[3] = static_cast<uint8_t>(a);
      }
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
  }
  ~PremultipliedCopy() { ::SelectObject(dc_.get(), old_); }
  bool Blend(HDC dest, int x, int y, int w, int h, int sx, int sy, int sw, int sh) const {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(dest, x, y, w, h, dc_.get(), sx, sy, sw, sh, blend) != 0;
  }
  int Width() const { return w_; }
  int Height() const { return h_; }

 private:
  fw::UniqueMemDC dc_;
  fw::UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  int w_ = 0, h_ = 0;
};

// Button sizes: the theme's 69 x 26 and a wide 200 x 40.
SIZE ButtonSize(const benchmark::State& state) { return state.range(0) == 0 ? SIZE{69, 26} : SIZE{200, 40}; }

void BM_Draw9Grid_ButtonNormal(benchmark::State& state) {
  CSkinDrawImage& picture = ThemePicture(L"standard.button_normal");
  const SIZE size = ButtonSize(state);
  Surface s(size.cx, size.cy);
  for (auto _ : state) benchmark::DoNotOptimize(skin::Draw9Grid(s.dc(), picture, 0, 0, size.cx, size.cy, 4, 4, 4, 4));
  ::GdiFlush();
  Label(state, size);
}
BENCHMARK(BM_Draw9Grid_ButtonNormal)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_AlphaBlendDirect_ButtonNormal(benchmark::State& state) {
  const PremultipliedCopy copy(ThemePicture(L"standard.button_normal").Decoded());
  const SIZE size = ButtonSize(state);
  Surface s(size.cx, size.cy);
  for (auto _ : state)
    benchmark::DoNotOptimize(copy.Blend(s.dc(), 0, 0, size.cx, size.cy, 0, 0, copy.Width(), copy.Height()));
  ::GdiFlush();
  Label(state, size);
}
BENCHMARK(BM_AlphaBlendDirect_ButtonNormal)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DrawBitBlt_BtnDeviceNormal(benchmark::State& state) {
  CSkinDrawImage& picture = ThemePicture(L"btn_device_normal");
  const int w = static_cast<int>(picture.GetWidth()), h = static_cast<int>(picture.GetHeight());
  Surface s(w, h);
  for (auto _ : state) benchmark::DoNotOptimize(skin::DrawBitBlt(s.dc(), picture, 0, 0, 0, 0, w, h));
  ::GdiFlush();
}
BENCHMARK(BM_DrawBitBlt_BtnDeviceNormal)->Unit(benchmark::kMicrosecond);

void BM_AlphaBlendDirect_BtnDeviceNormal(benchmark::State& state) {
  const PremultipliedCopy copy(ThemePicture(L"btn_device_normal").Decoded());
  Surface s(copy.Width(), copy.Height());
  for (auto _ : state)
    benchmark::DoNotOptimize(copy.Blend(s.dc(), 0, 0, copy.Width(), copy.Height(), 0, 0, copy.Width(), copy.Height()));
  ::GdiFlush();
}
BENCHMARK(BM_AlphaBlendDirect_BtnDeviceNormal)->Unit(benchmark::kMicrosecond);

}  // namespace
