// The GDI half of the primitives on memory contexts: bitmaps, contexts, fonts, icons, keyed stretching and
// framing, clip helpers, glyphs, text extent, and animation timers on a window.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/Handles.h"
#include "skin/ImageFixtures.h"
#include "skin/SkinIds.h"
#include "skin/draw/AnimationHost_win.h"
#include "skin/draw/DrawSurface_win.h"
#include "skin/draw/GdiOps_win.h"
#include "skin/draw/HBitmap_win.h"
#include "skin/draw/SkinBitmap_win.h"
#include "skin/draw/SkinDC_win.h"
#include "skin/draw/SkinFont_win.h"
#include "skin/draw/SkinIcon_win.h"
#include "skin/draw/SkinText_win.h"

using namespace skin_test;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

COLORREF Ref(const Rgba& c) { return RGB(c.r, c.g, c.b); }

TEST(CHBitmap, CreateRules) {
  struct Case {
    int w, h, bpp;
    bool ok;
  } cases[] = {{10, 10, 16, false}, {0, 10, 32, false}, {10, -3, 24, false}, {20000, 2, 32, false},
               {9000, 9000, 32, false}, {5, 3, 24, true}, {5, 3, 32, true}};
  for (const Case& c : cases) {
    CHBitmap b;
    EXPECT_EQ(b.Create(c.w, c.h, c.bpp), c.ok) << c.w << "x" << c.h << "x" << c.bpp;
    EXPECT_EQ(b.GetHandle() != nullptr, c.ok);
    if (!c.ok) {
      EXPECT_EQ(b.Width(), 0);
      EXPECT_EQ(b.Bits(), nullptr);
    }
  }
  CHBitmap b;
  ASSERT_TRUE(b.Create(5, 3, 24));
  EXPECT_EQ(b.Stride(), 16u);
  EXPECT_EQ(b.Size(), 48u);
  EXPECT_EQ(b.Info().biSize, 40u);
  EXPECT_EQ(b.Info().biPlanes, 1);
  EXPECT_EQ(b.Info().biCompression, static_cast<DWORD>(BI_RGB));
  ASSERT_FALSE(b.Create(5, 3, 16));
  EXPECT_EQ(b.GetHandle(), nullptr) << "a failed Create leaves the object empty";
}

TEST(CHBitmap, PixelAddressIsWhereGdiDraws) {
  CHBitmap b;
  ASSERT_TRUE(b.Create(6, 4, 32));
  fw::UniqueMemDC dc(::CreateCompatibleDC(nullptr));
  {
    fw::ScopedSelectObject select(dc.get(), b.GetHandle());
    ::SetPixelV(dc.get(), 4, 1, RGB(10, 20, 30));
    ::GdiFlush();
  }
  const uint8_t* p = b.PixelAddress(4, 1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[0], 30);
  EXPECT_EQ(p[1], 20);
  EXPECT_EQ(p[2], 10);
  int n = 0;
  while (b.NextPixel()) ++n;
  EXPECT_EQ(n, 24);
}

TEST(CSkinBitmap, FramesOfAStripAndTheirKey) {
  // A strip of 3 frames of 4x2: frame i is colour i, with a magenta first column.
  const Rgba colours[3] = {{200, 0, 0, 255}, {0, 200, 0, 255}, {0, 0, 200, 255}};
  CSkinBitmap strip;
  ASSERT_TRUE(strip.SetFromPackedBmp(MakeBmpOf(12, 2, [&](uint32_t x, uint32_t) {
    return x % 4 == 0 ? Rgba{255, 0, 255, 255} : colours[x / 4];
  })));
  EXPECT_EQ(strip.Width(), 12);
  DrawSurface s(10, 4, kWhite);
  ASSERT_TRUE(strip.DrawFrame(s.dc(), 2, 1, 1, 3));
  EXPECT_EQ(s.At(2, 1), kWhite) << "keyed";
  EXPECT_EQ(s.At(3, 1), RGB(0, 200, 0));
  EXPECT_EQ(s.At(5, 2), RGB(0, 200, 0));
  EXPECT_EQ(s.ChangedOutside(RECT{2, 1, 6, 3}, kWhite), 0);
  EXPECT_FALSE(strip.DrawFrame(s.dc(), 0, 0, 3, 3));
  EXPECT_FALSE(strip.DrawFrame(s.dc(), 0, 0, 0, 0));
  EXPECT_FALSE(strip.SetFromPackedBmp(Bytes{'B', 'M', 0, 0}));
  EXPECT_TRUE(strip.IsEmpty()) << "refused bytes leave the bitmap empty";
}

TEST(CSkinBitmap, BmpHeaderOffsetIsNotTrusted) {
  // Bytes 10..13 claim the pixels start far past the end of the file: the checked reader refuses it.
  Bytes bmp = MakeBmp(4, 4, 24);
  bmp[10] = 0xFF, bmp[11] = 0xFF, bmp[12] = 0xFF, bmp[13] = 0x7F;
  CSkinBitmap b;
  EXPECT_FALSE(b.SetFromPackedBmp(bmp));
}

TEST(CSkinBitmap, RegionFromA4x3Bitmap) {
  const char* shape[3] = {"K..K", ".K..", "KKKK"};
  CSkinBitmap b;
  ASSERT_TRUE(b.SetFromPackedBmp(MakeBmpOf(4, 3, [&](uint32_t x, uint32_t y) {
    return shape[y][x] == 'K' ? Rgba{255, 0, 255, 255} : Rgba{1, 2, 3, 255};
  })));
  fw::UniqueRgn region = b.RegionFromBitmap(kMagenta);
  ASSERT_TRUE(region);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(::PtInRegion(region.get(), x, y) != 0, shape[y][x] == '.') << x << "," << y;
  CSkinBitmap all_key;
  ASSERT_TRUE(all_key.SetFromPackedBmp(MakeBmpOf(2, 2, [](uint32_t, uint32_t) { return Rgba{255, 0, 255, 255}; })));
  EXPECT_FALSE(all_key.RegionFromBitmap(kMagenta)) << "no pixel: no region";
}

TEST(CSkinDC, MemoryContextCopiesBackOnRelease) {
  DrawSurface s(20, 20, kWhite);
  {
    CSkinMemDC mem(s.dc(), 5, 6, 15, 12);
    ASSERT_TRUE(mem.IsValid());
    EXPECT_EQ(mem.Width(), 10);
    mem.FillSolid(RECT{0, 0, 10, 6}, kGreen);
    EXPECT_EQ(s.At(5, 6), kWhite) << "nothing reaches the target before release";
  }
  EXPECT_EQ(s.At(5, 6), kGreen);
  EXPECT_EQ(s.At(14, 11), kGreen);
  EXPECT_EQ(s.ChangedOutside(RECT{5, 6, 15, 12}, kWhite), 0);

  const long before = fw::LiveGdiObjectCount().load();
  {
    CSkinMemDC huge(s.dc(), 0, 0, 100000, 100000);
    EXPECT_FALSE(huge.IsValid()) << "sizes over the picture caps are refused";
    CSkinMemDC inverted(s.dc(), 10, 10, 5, 5);
    EXPECT_FALSE(inverted.IsValid());
    CSkinMemDC discarded(s.dc(), 0, 0, 4, 4);
    discarded.FillSolid(RECT{0, 0, 4, 4}, kMagenta);
    discarded.Discard();
  }
  EXPECT_EQ(s.At(0, 0), kWhite);
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before);
}

TEST(CSkinDC, ScratchBufferAndResetMapping) {
  DrawSurface s(20, 20);
  ::IntersectClipRect(s.dc(), 2, 2, 8, 8);
  const long before = fw::LiveGdiObjectCount().load();
  {
    skin::ScratchBuffer scratch;
    ASSERT_TRUE(scratch.Begin(s.dc(), 16, 16, true));
    RECT box{};
    EXPECT_EQ(::GetClipBox(scratch.GetDC(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.right, 8);
    EXPECT_FALSE(scratch.Begin(s.dc(), 0, 16, false));
    EXPECT_EQ(scratch.GetDC(), nullptr);
  }
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before);

  ::SetMapMode(s.dc(), MM_ANISOTROPIC);
  ::SetWindowOrgEx(s.dc(), 3, 4, nullptr);
  ::SetViewportOrgEx(s.dc(), 5, 6, nullptr);
  skin::ResetMapping(s.dc());
  POINT org{};
  EXPECT_EQ(::GetMapMode(s.dc()), MM_TEXT);
  ::GetWindowOrgEx(s.dc(), &org);
  EXPECT_EQ(org.x, 0);
  ::GetViewportOrgEx(s.dc(), &org);
  EXPECT_EQ(org.y, 0);
}

TEST(CSkinFont, CreateRules) {
  CSkinFont font;
  EXPECT_FALSE(font.Create(L"", 12, false, false));
  EXPECT_FALSE(font.Create(L"Tahoma", 0, false, false));
  EXPECT_FALSE(font.Create(L"Tahoma", -12, false, false));
  ASSERT_TRUE(font.Create(L"Tahoma", 12, true, true));
  LOGFONTW lf{};
  ASSERT_TRUE(::GetObjectW(font.GetHandle(), sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, 12);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_FALSE(lf.lfItalic);
  EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
  EXPECT_EQ(lf.lfPitchAndFamily, DEFAULT_PITCH | FF_SWISS);
  const long before = fw::LiveGdiObjectCount().load();
  ASSERT_TRUE(font.Create(L"Tahoma", 14, false, false));
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before) << "the previous font is deleted";
  font.Destroy();
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before - 1);
}

TEST(CSkinIcon, SizesAndDrawing) {
  const HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
  ASSERT_NE(icon, nullptr);
  CSkinIcon small(icon, true);
  EXPECT_EQ(small.Width(), ::GetSystemMetrics(SM_CXSMICON));
  CSkinIcon large(icon, false);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  fw::UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
  EXPECT_EQ(large.Width(), static_cast<int>(info.xHotspot) * 2);
  DrawSurface s(40, 40, kMagenta);
  EXPECT_TRUE(large.Draw(s.dc(), 0, 0));
  EXPECT_GT(s.ChangedInside(RECT{0, 0, large.Width(), large.Height()}, kMagenta), 0);
  fw::UniqueCursor owned;
  EXPECT_EQ(skin::LoadThemeCursor(L"#32649", owned), ::LoadCursorW(nullptr, IDC_HAND));
  EXPECT_FALSE(owned) << "system cursors are shared";
  EXPECT_EQ(skin::LoadThemeCursor(L"#0", owned), nullptr);
  EXPECT_EQ(skin::LoadThemeCursor(L"#12x", owned), nullptr);
}

TEST(GdiOps, KeyedStretchEqualAndScaled) {
  CSkinBitmap b;
  ASSERT_TRUE(b.SetFromPackedBmp(MakeBmpOf(4, 4, [](uint32_t x, uint32_t) {
    return x == 0 ? Rgba{255, 0, 255, 255} : Rgba{0, 0, 200, 255};
  })));
  fw::UniqueMemDC source(::CreateCompatibleDC(nullptr));
  fw::ScopedSelectObject select(source.get(), b.GetHandle());
  DrawSurface s(20, 20, kGreen);
  const long before = fw::LiveGdiObjectCount().load();
  ASSERT_TRUE(skin::KeyedStretch(s.dc(), 0, 0, 4, 4, source.get(), 0, 0, 4, 4, kMagenta));
  EXPECT_EQ(s.At(0, 0), kGreen);
  EXPECT_EQ(s.At(1, 0), RGB(0, 0, 200));
  ASSERT_TRUE(skin::KeyedStretch(s.dc(), 8, 8, 12, 12, source.get(), 1, 0, 3, 4, kMagenta));
  EXPECT_EQ(s.At(10, 10), RGB(0, 0, 200));
  EXPECT_EQ(s.ChangedOutside(RECT{0, 0, 20, 20}, kGreen), 0);
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before) << "the temporary bitmap is gone";
  EXPECT_FALSE(skin::KeyedStretch(s.dc(), 0, 0, 0, 4, source.get(), 0, 0, 4, 4, kMagenta));
  EXPECT_FALSE(skin::KeyedStretch(s.dc(), 0, 0, 4, 4, source.get(), 0, 0, 4, -1, kMagenta));
  EXPECT_FALSE(skin::KeyedStretch(s.dc(), 0, 0, 4, 4, nullptr, 0, 0, 4, 4, kMagenta));
}

TEST(GdiOps, KeyedFrameCutsASourceArea) {
  // A 20x10 bitmap; the frame's area is its right half (10..20), magenta corner pixels.
  CSkinBitmap b;
  ASSERT_TRUE(b.SetFromPackedBmp(MakeBmpOf(20, 10, [](uint32_t x, uint32_t y) {
    if (x < 10) return Rgba{0, 0, 0, 255};
    if ((x == 10 || x == 19) && (y == 0 || y == 9)) return Rgba{255, 0, 255, 255};
    return Rgba{0, 0, 200, 255};
  })));
  DrawSurface s(50, 30, kGreen);
  ASSERT_TRUE(skin::KeyedFrame(s.dc(), RECT{5, 5, 45, 25}, skin::FrameSource{10, 0, 10, 10, 3, 3, 3, 3}, b.GetHandle()));
  EXPECT_EQ(s.At(5, 5), kGreen);
  EXPECT_EQ(s.At(44, 24), kGreen);
  EXPECT_EQ(s.At(6, 5), RGB(0, 0, 200));
  EXPECT_EQ(s.At(25, 15), RGB(0, 0, 200)) << "no black: nothing read outside the area";
  EXPECT_EQ(s.ChangedOutside(RECT{5, 5, 45, 25}, kGreen), 0);
  EXPECT_FALSE(skin::KeyedFrame(s.dc(), RECT{5, 5, 5, 25}, skin::FrameSource{10, 0, 10, 10, 3, 3, 3, 3}, b.GetHandle()));
  EXPECT_FALSE(skin::KeyedFrame(s.dc(), RECT{5, 5, 45, 25}, skin::FrameSource{10, 0, 0, 10, 3, 3, 3, 3}, b.GetHandle()));
}

TEST(GdiOps, ClipToRectReachesOnePixelFurther) {
  DrawSurface s(20, 20, kWhite);
  skin::ClipToRect(s.dc(), RECT{2, 3, 6, 8});
  RECT box{};
  ASSERT_EQ(::GetClipBox(s.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 7);
  EXPECT_EQ(box.bottom, 9);
}

TEST(GdiOps, FrameWithHoleLeavesTheInsideAlone) {
  DrawSurface s(20, 20, kGreen);
  skin::FrameWithHole(s.dc(), RECT{2, 2, 18, 18}, RECT{5, 5, 15, 15}, RGB(200, 0, 0));
  EXPECT_EQ(s.At(2, 2), RGB(200, 0, 0));
  EXPECT_EQ(s.At(17, 17), RGB(200, 0, 0));
  EXPECT_EQ(s.At(3, 3), kWhite) << "white brush between the frame and the hole";
  EXPECT_EQ(s.ChangedInside(RECT{5, 5, 15, 15}, kGreen), 0);
  RECT box{};
  EXPECT_EQ(::GetClipBox(s.dc(), &box), SIMPLEREGION) << "the clip is removed again";
  EXPECT_EQ(box.right, 20);
  s.Fill(kGreen);
  skin::FrameWithHole(s.dc(), RECT{2, 2, 18, 18}, RECT{2, 2, 18, 18}, RGB(200, 0, 0));
  EXPECT_EQ(s.ChangedInside(RECT{0, 0, 20, 20}, kGreen), 0) << "equal rectangles draw nothing";
}

TEST(GdiOps, GlyphsAreCentredAndTenDrawsNothing) {
  DrawSurface s(20, 20, kWhite);
  ASSERT_TRUE(skin::DrawGlyph(s.dc(), 0, 0, 20, 20, 7, RGB(0, 0, 0)));  // close: .##...## on the first row
  EXPECT_EQ(s.At(6, 6), kWhite);
  EXPECT_EQ(s.At(7, 6), RGB(0, 0, 0));
  EXPECT_EQ(s.At(13, 6), RGB(0, 0, 0));
  EXPECT_EQ(s.At(10, 6), kWhite);
  EXPECT_EQ(s.ChangedOutside(RECT{6, 6, 14, 14}, kWhite), 0);
  s.Fill(kWhite);
  EXPECT_FALSE(skin::DrawGlyph(s.dc(), 0, 0, 20, 20, 10, RGB(0, 0, 0)));
  EXPECT_FALSE(skin::DrawGlyph(s.dc(), 0, 0, 20, 20, 0, RGB(0, 0, 0)));
  EXPECT_EQ(s.ChangedInside(RECT{0, 0, 20, 20}, kWhite), 0);
}

TEST(SkinText, ExtentIgnoresTheMnemonicAndTurnsForVerticalText) {
  DrawSurface s(10, 10);
  CSkinFont font;
  ASSERT_TRUE(font.Create(L"Tahoma", 14, false, false));
  fw::ScopedSelectObject select(s.dc(), font.GetHandle());
  const skin::PixelSize plain = skin::TextExtent(s.dc(), L"File");
  EXPECT_GT(plain.width, 0);
  EXPECT_EQ(skin::TextExtent(s.dc(), L"&File"), plain);
  EXPECT_EQ(skin::TextExtent(s.dc(), L"&File", true), (skin::PixelSize{plain.height, plain.width}));
}

TEST(SkinText, PlacedTextIsCentredInItsRectangle) {
  DrawSurface s(120, 30, kWhite);
  CSkinFont font;
  ASSERT_TRUE(font.Create(L"Tahoma", 14, false, false));
  fw::ScopedSelectObject select(s.dc(), font.GetHandle());
  ::SetBkMode(s.dc(), TRANSPARENT);
  ::SetTextColor(s.dc(), RGB(0, 0, 0));
  skin::DrawPlacedText(s.dc(), L"Text", RECT{20, 0, 100, 30}, 0);
  EXPECT_EQ(s.ChangedOutside(RECT{20, 0, 100, 30}, kWhite), 0);
  // The ink's bounding box is centred within a few pixels.
  int left = 120, right = -1;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x)
      if (s.At(x, y) != kWhite) left = std::min(left, x), right = std::max(right, x);
  ASSERT_GE(right, left) << "text drawn";
  EXPECT_NEAR((left + right) / 2.0, 60.0, 3.0);
}

// Animation timers on one window: a player that claimed the slot is stepped by its timer; destroyed (released)
// while a newer one runs, it is never called again and the newer one keeps running.
struct FakePlayer {
  int steps = 0;
  static void Step(void* p) { ++static_cast<FakePlayer*>(p)->steps; }
};

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }

HWND MakeHost() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SkinAnimationHostTest";
  ::RegisterClassW(&wc);
  return ::CreateWindowW(L"SkinAnimationHostTest", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

void Pump(DWORD ms) {
  const DWORD until = ::GetTickCount() + ms;
  MSG msg;
  while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(2);
  }
}

TEST(AnimationHost, ASecondPlayerTakesOverAndTheFirstIsNeverCalledAfterItsEnd) {
  const HWND window = MakeHost();
  ASSERT_NE(window, nullptr);
  auto first = std::make_unique<FakePlayer>();
  FakePlayer second;
  skin::WindowAnimationHost first_host(window, &FakePlayer::Step, true), second_host(window, &FakePlayer::Step, true);
  ASSERT_TRUE(first_host.Claim(first.get()));
  ASSERT_TRUE(first_host.StartTimer(skin::kTimerPngPlayer, 10));
  Pump(60);
  EXPECT_GT(first->steps, 0);
  ASSERT_TRUE(second_host.Claim(&second)) << "frame-strip players take the slot over";
  ASSERT_TRUE(second_host.StartTimer(skin::kTimerPngPlayer, 10));
  // The first player ends while the second runs.
  first_host.Release(first.get(), skin::kTimerPngPlayer);
  const int first_steps = first->steps;
  first.reset();
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), &second) << "the second player keeps the slot";
  const int before = second.steps;
  Pump(60);
  EXPECT_GT(second.steps, before) << "the second player's timer still runs";
  (void)first_steps;
  second_host.Release(&second, skin::kTimerPngPlayer);
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), nullptr);
  const int stopped = second.steps;
  Pump(40);
  EXPECT_EQ(second.steps, stopped) << "no tick after the release";
  ::DestroyWindow(window);
}

TEST(AnimationHost, ATimerWhosePlayerLostTheSlotKillsItself) {
  const HWND window = MakeHost();
  ASSERT_NE(window, nullptr);
  FakePlayer gif;
  skin::WindowAnimationHost host(window, &FakePlayer::Step);
  ASSERT_TRUE(host.Claim(&gif));
  ASSERT_TRUE(host.StartTimer(skin::kTimerGifPlayer, 10));
  FakePlayer other;
  skin::WindowAnimationHost refused(window, &FakePlayer::Step);
  EXPECT_FALSE(refused.Claim(&other)) << "a GIF player does not start on a busy window";
  // Something else replaces the property behind the player's back: its ticks stop following it.
  ::SetPropW(window, skin::kPropAnimate, &other);
  Pump(20);
  const int steps = gif.steps;
  Pump(50);
  EXPECT_EQ(gif.steps, steps);
  EXPECT_EQ(other.steps, 0);
  host.Release(&gif, skin::kTimerGifPlayer);
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), &other) << "another player's slot is left alone";
  ::DestroyWindow(window);
}

}  // namespace
