// Win32 pieces of the picture layer: alpha drawing, bitmaps, and the GIF player's timer and property.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/Handles.h"
#include "skin/ImageFixtures.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeGdi.h"
#include "xml/XmlDocument.h"
#include "skin/draw/CxImage.h"
#include "skin/draw/CxImageDraw_win.h"
#include "skin/draw/SkinGifPlayer_win.h"

using namespace skin_test;

namespace {

// A 32-bit white memory surface to draw on and read back.
struct Surface {
  Surface(int w, int h) : dc(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    select = std::make_unique<fw::ScopedSelectObject>(dc.get(), bitmap.get());
    width = w;
    for (int i = 0; i < w * h; ++i) bits[i] = 0x00FFFFFF;
  }
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    const uint32_t v = bits[y * width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  fw::UniqueMemDC dc;
  fw::UniqueBitmap bitmap;
  std::unique_ptr<fw::ScopedSelectObject> select;
  uint32_t* bits = nullptr;
  int width = 0;
};

TEST(CxImageDraw, AlphaBlendsOverTheDestination) {
  const Bytes png = MakePng(13, 7, PngKind::kRgba);
  CxImage img(png.data(), png.size(), CXIMAGE_FORMAT_PNG);
  ASSERT_TRUE(img.IsValid());
  Surface s(40, 20);
  ASSERT_TRUE(skin::DrawDecodedAt(s.dc.get(), img, 5, 3));
  for (auto [x, y] : {std::pair{0u, 0u}, {3u, 2u}, {12u, 6u}, {7u, 1u}}) {
    const Rgba c = Pattern(x, y);
    const auto blend = [&](unsigned src) -> unsigned {
      if (c.a == 0) return 255;
      if (c.a == 255) return src;
      return (src * c.a + 255 * (255 - c.a)) / 256;
    };
    EXPECT_EQ(s.At(5 + x, 3 + y), RGB(blend(c.r), blend(c.g), blend(c.b))) << x << "," << y;
  }
  EXPECT_EQ(s.At(0, 0), RGB(255, 255, 255)) << "outside the picture nothing changes";
}

TEST(CxImageDraw, OpaquePicturesStretchAndBitmapsCopyPixels) {
  const Bytes bmp = MakeBmp(4, 4, 24);
  CxImage img(bmp.data(), bmp.size(), CXIMAGE_FORMAT_BMP);
  Surface s(16, 16);
  ASSERT_TRUE(skin::DrawDecoded(s.dc.get(), img, {0, 0, 8, 8}));
  EXPECT_EQ(s.At(7, 7), RGB(Pattern(3, 3).r, Pattern(3, 3).g, Pattern(3, 3).b));

  fw::UniqueBitmap made = skin::MakeBitmap(img);
  ASSERT_TRUE(made);
  BITMAP info{};
  ASSERT_TRUE(::GetObjectW(made.get(), sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 4);
  EXPECT_EQ(info.bmHeight, 4);
  CxImage empty;
  EXPECT_FALSE(skin::MakeBitmap(empty));
  EXPECT_FALSE(skin::DrawDecodedAt(s.dc.get(), empty, 0, 0));
}

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }

HWND MakeHost() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SkinGifHostTest";
  ::RegisterClassW(&wc);
  return ::CreateWindowW(L"SkinGifHostTest", L"", WS_POPUP, 0, 0, 100, 40, nullptr, nullptr, wc.hInstance, nullptr);
}

TEST(SkinGifPlayerRun, OneAnimationPerHostAndTimerSteps) {
  const HWND host = MakeHost();
  ASSERT_NE(host, nullptr);
  const Bytes gif = MakeGif(4, 4, {{0, 0, 4, 4, 1}, {0, 0, 4, 4, 2}, {0, 0, 4, 4, 3}});
  CSkinGifPlayer a, b;
  ASSERT_TRUE(a.LoadFromMemory(gif.data(), gif.size()));
  ASSERT_TRUE(b.LoadFromMemory(gif.data(), gif.size()));
  skin::SetGifHost(a, host, 10);
  skin::SetGifHost(b, host, 10);
  skin::SetGifTarget(a, host, RECT{0, 0, 4, 4});
  a.Run(true);
  ASSERT_TRUE(a.IsRunning());
  EXPECT_EQ(::GetPropW(host, CSkinGifPlayer::kAnimateProperty), &a);
  EXPECT_EQ(a.Animation().FrameCounter(), 1) << "running steps once at once";
  b.Run(true);
  EXPECT_FALSE(b.IsRunning()) << "the host already runs an animation";

  // Let the timer tick a few times.
  const DWORD until = ::GetTickCount() + 200;
  MSG msg;
  while (::GetTickCount() < until) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(5);
  }
  EXPECT_NE(a.Animation().FrameCounter(), 1) << "the timer advanced the frames";

  Surface s(8, 8);
  EXPECT_TRUE(skin::DrawGifFrame(s.dc.get(), a, RECT{0, 0, 8, 8}));
  a.Run(false);
  EXPECT_EQ(::GetPropW(host, CSkinGifPlayer::kAnimateProperty), nullptr);
  EXPECT_FALSE(skin::DrawGifFrame(s.dc.get(), a, RECT{0, 0, 8, 8})) << "a stopped player draws nothing";
  ::DestroyWindow(host);
}

TEST(ThemeGdi, FontsAndCursorsFromTheTables) {
  skin::CSkinResourceManager m;
  xml::XmlDocument doc;
  doc.LoadText(L"<theme><font><item id=\"t\" fontface=\"Tahoma\" fontsize=\"15\" bold=\"true\"/>"
               L"<item id=\"none\" fontface=\"\" fontsize=\"12\"/></font>"
               L"<color/><cursor><item id=\"hand\" value=\"#32649\"/><item id=\"odd\" value=\"#0\"/></cursor></theme>");
  ASSERT_TRUE(m.ReadTheme(doc, false));
  const HFONT font = skin::ThemeFont(m, L"t");
  ASSERT_NE(font, nullptr);
  LOGFONTW lf{};
  ASSERT_TRUE(::GetObjectW(font, sizeof lf, &lf));
  EXPECT_EQ(lf.lfHeight, 15);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
  EXPECT_EQ(skin::ThemeFont(m, L"t"), font) << "made once";
  EXPECT_EQ(skin::ThemeFont(m, L"none"), nullptr);
  EXPECT_EQ(skin::ThemeFont(m, L"absent"), nullptr);
  EXPECT_EQ(skin::ThemeCursor(m, L"hand"), ::LoadCursorW(nullptr, IDC_HAND));
  EXPECT_EQ(skin::ThemeCursor(m, L"odd"), nullptr);
}

}  // namespace
