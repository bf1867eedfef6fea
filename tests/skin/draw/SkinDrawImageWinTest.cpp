// Theme pictures drawn on memory contexts: every draw style of both forms, key colours, broken and odd-sized
// pictures, and the GDI objects each style leaves behind (none).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "skin/ImageFixtures.h"
#include "skin/draw/DrawSurface_win.h"
#include "skin/draw/SkinDrawImage_win.h"

using namespace skin_test;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr Rgba kMagenta{255, 0, 255, 255};

COLORREF Ref(const Rgba& c) { return RGB(c.r, c.g, c.b); }

std::unique_ptr<CSkinDrawImage> Picture(const Bytes& bytes, int kind) {
  auto p = std::make_unique<CSkinDrawImage>();
  p->SetFromBytes(bytes, kind);
  p->Realise();
  return p;
}

// A BMP whose 3x3 corners are magenta and whose other pixels are a colour per region.
Rgba FramePixel(uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
  const bool left = x < 3, right = x >= w - 3, top = y < 3, bottom = y >= h - 3;
  if ((left || right) && (top || bottom)) return kMagenta;
  if (left || right || top || bottom) return Rgba{0, 0, 200, 255};
  return Rgba{200, 0, 0, 255};
}

TEST(SkinDrawImage, BitmapNineGridShowsTheDestinationUnderMagentaCorners) {
  auto bmp = Picture(MakeBmpOf(12, 12, [](uint32_t x, uint32_t y) { return FramePixel(x, y, 12, 12); }),
                     CXIMAGE_FORMAT_BMP);
  ASSERT_NE(skin::BitmapForm(*bmp), nullptr);
  DrawSurface s(60, 40, kGreen);
  ASSERT_TRUE(skin::Draw9Grid(s.dc(), *bmp, 5, 5, 55, 35, 4, 4, 4, 4));
  EXPECT_EQ(s.At(5, 5), kGreen) << "magenta corner pixel keeps the destination";
  EXPECT_EQ(s.At(54, 34), kGreen);
  EXPECT_EQ(s.At(54, 5), kGreen);
  EXPECT_EQ(s.At(7, 7), kGreen);
  EXPECT_EQ(s.At(8, 5), RGB(0, 0, 200)) << "corner pixel that is not magenta";
  EXPECT_EQ(s.At(30, 20), RGB(200, 0, 0)) << "stretched centre";
  EXPECT_EQ(s.At(30, 6), RGB(0, 0, 200)) << "stretched top edge";
  EXPECT_EQ(s.ChangedOutside(RECT{5, 5, 55, 35}, kGreen), 0);
}

TEST(SkinDrawImage, PngNineGridUsesItsAlpha) {
  // Half-transparent red everywhere; fully transparent corners.
  auto png = Picture(MakePngOf(12, 12,
                               [](uint32_t x, uint32_t y) {
                                 const bool corner = (x < 3 || x >= 9) && (y < 3 || y >= 9);
                                 return corner ? Rgba{0, 0, 0, 0} : Rgba{200, 10, 60, 128};
                               }),
                     CXIMAGE_FORMAT_PNG);
  EXPECT_EQ(png->GetKeyColor(), CSkinDrawImage::kWhite);
  DrawSurface s(40, 30, kWhite);
  ASSERT_TRUE(skin::Draw9Grid(s.dc(), *png, 0, 0, 40, 30, 4, 4, 4, 4));
  const auto blend = [](unsigned src) { return (src * 128 + 255 * 127) / 256; };
  EXPECT_EQ(s.At(20, 15), RGB(blend(200), blend(10), blend(60)));
  EXPECT_EQ(s.At(0, 0), kWhite) << "alpha 0 leaves the destination";
  EXPECT_EQ(s.At(39, 29), kWhite);
}

// Decoded pictures blend straight into a DIB section when they can; a shaped clip region, a moved origin and a
// context without pixels of its own take the other ways. All must land in the same place.
TEST(SkinDrawImage, DecodedDrawsHonourClipOriginAndDeviceBitmaps) {
  auto png = Picture(MakePngOf(10, 10, [](uint32_t, uint32_t) { return Rgba{200, 10, 60, 128}; }), CXIMAGE_FORMAT_PNG);
  const COLORREF blended = RGB((200 * 128 + 255 * 127) / 256, (10 * 128 + 255 * 127) / 256, (60 * 128 + 255 * 127) / 256);

  DrawSurface clipped(30, 30, kWhite);
  fw::UniqueRgn shape(::CreateRectRgn(0, 0, 5, 30));
  fw::UniqueRgn second(::CreateRectRgn(0, 0, 30, 5));
  ::CombineRgn(shape.get(), shape.get(), second.get(), RGN_OR);
  ::SelectClipRgn(clipped.dc(), shape.get());
  ASSERT_TRUE(skin::DrawStretchWhole(clipped.dc(), *png, 0, 0, 20, 20));
  EXPECT_EQ(clipped.At(2, 15), blended);
  EXPECT_EQ(clipped.At(15, 2), blended);
  EXPECT_EQ(clipped.At(15, 15), kWhite) << "outside the shaped clip";

  DrawSurface moved(30, 30, kWhite);
  ::SetViewportOrgEx(moved.dc(), 7, 3, nullptr);
  ASSERT_TRUE(skin::DrawAt(moved.dc(), *png, 0, 0));
  EXPECT_EQ(moved.At(7, 3), blended);
  EXPECT_EQ(moved.At(6, 3), kWhite);
  EXPECT_EQ(moved.ChangedOutside(RECT{7, 3, 17, 13}, kWhite), 0);

  // A device-dependent bitmap: the pixels are read out and written back.
  fw::WindowDC screen(nullptr);
  fw::UniqueMemDC dc(::CreateCompatibleDC(screen.get()));
  fw::UniqueBitmap ddb(::CreateCompatibleBitmap(screen.get(), 30, 30));
  fw::ScopedSelectObject select(dc.get(), ddb.get());
  const RECT all{0, 0, 30, 30};
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ASSERT_TRUE(skin::DrawAt(dc.get(), *png, 5, 5));
  EXPECT_EQ(::GetPixel(dc.get(), 6, 6), blended);
  EXPECT_EQ(::GetPixel(dc.get(), 4, 4), kWhite);
  EXPECT_EQ(::GetPixel(dc.get(), 15, 15), kWhite);
}

TEST(SkinDrawImage, KeyColoursOfTheForms) {
  auto bmp = Picture(MakeBmp(4, 4, 24), CXIMAGE_FORMAT_BMP);
  EXPECT_EQ(bmp->GetKeyColor(), RGB(255, 0, 255));
  // A new key colour is the one keyed copies leave out.
  const COLORREF corner = Ref(Pattern(0, 0));
  bmp->SetKeyColor(corner);
  EXPECT_EQ(bmp->GetKeyColor(), corner);
  DrawSurface s(8, 8, kGreen);
  ASSERT_TRUE(skin::DrawAtTransparent(s.dc(), *bmp, 0, 0));
  EXPECT_EQ(s.At(0, 0), kGreen);
  EXPECT_EQ(s.At(1, 0), Ref(Pattern(1, 0)));

  auto broken = Picture(Bytes{'B', 'M', 1, 2, 3}, CXIMAGE_FORMAT_BMP);
  EXPECT_EQ(broken->GetKeyColor(), CSkinDrawImage::kWhite) << "no bitmap form";
}

TEST(SkinDrawImage, PartCopiesOfBothForms) {
  const Bytes bmp_bytes = MakeBmp(8, 8, 24);
  const Bytes png_bytes = MakePng(8, 8, PngKind::kRgb);
  for (auto [bytes, kind] : {std::pair{&bmp_bytes, CXIMAGE_FORMAT_BMP}, std::pair{&png_bytes, CXIMAGE_FORMAT_PNG}}) {
    auto p = Picture(*bytes, kind);
    SCOPED_TRACE(kind);
    DrawSurface s(40, 40, kGreen);
    ASSERT_TRUE(skin::DrawAt(s.dc(), *p, 1, 1));
    EXPECT_EQ(s.At(1, 1), Ref(Pattern(0, 0)));
    EXPECT_EQ(s.At(8, 8), Ref(Pattern(7, 7)));
    EXPECT_EQ(s.At(9, 9), kGreen);

    s.Fill(kGreen);
    ASSERT_TRUE(skin::DrawBitBlt(s.dc(), *p, 10, 10, 2, 3, 4, 2));
    EXPECT_EQ(s.At(10, 10), Ref(Pattern(2, 3)));
    EXPECT_EQ(s.At(13, 11), Ref(Pattern(5, 4)));
    EXPECT_EQ(s.ChangedOutside(RECT{10, 10, 14, 12}, kGreen), 0);

    // A part reaching past the picture draws what there is, at natural size.
    s.Fill(kGreen);
    skin::DrawBitBlt(s.dc(), *p, 0, 0, 6, 0, 10, 2);
    EXPECT_EQ(s.At(1, 0), Ref(Pattern(7, 0)));
    EXPECT_EQ(s.ChangedOutside(RECT{0, 0, 2, 2}, kGreen), 0);

    s.Fill(kGreen);
    ASSERT_TRUE(skin::DrawStretchWhole(s.dc(), *p, 0, 0, 32, 16));
    EXPECT_EQ(s.ChangedOutside(RECT{0, 0, 32, 16}, kGreen), 0);
    EXPECT_EQ(s.ChangedInside(RECT{0, 0, 32, 16}, kGreen), 32 * 16);
  }
}

TEST(SkinDrawImage, StretchRestoresTheStretchMode) {
  auto bmp = Picture(MakeBmp(8, 8, 24), CXIMAGE_FORMAT_BMP);
  DrawSurface s(32, 32);
  ::SetStretchBltMode(s.dc(), COLORONCOLOR);
  ASSERT_TRUE(skin::DrawStretchBlt(s.dc(), *bmp, 0, 0, 32, 32, 0, 0, 8, 8));
  EXPECT_EQ(::GetStretchBltMode(s.dc()), COLORONCOLOR);
}

TEST(SkinDrawImage, ThreePartStretchOfABitmap) {
  // Columns 5 and 6 are the only blue ones; caps are red (left) and black (right).
  auto bmp = Picture(MakeBmpOf(20, 6,
                               [](uint32_t x, uint32_t) {
                                 if (x < 5) return Rgba{220, 0, 0, 255};
                                 if (x == 5 || x == 6) return Rgba{0, 0, 220, 255};
                                 if (x >= 15) return Rgba{0, 0, 0, 255};
                                 return Rgba{0, 220, 0, 255};
                               }),
                     CXIMAGE_FORMAT_BMP);
  DrawSurface s(120, 10, kWhite);
  ASSERT_TRUE(skin::DrawBitStretchBlt(s.dc(), *bmp, 10, 0, 110, 10, 5, 5, false));
  EXPECT_EQ(s.At(10, 0), RGB(220, 0, 0));
  EXPECT_EQ(s.At(14, 5), RGB(220, 0, 0));
  for (int x = 15; x < 105; x += 7) EXPECT_EQ(s.At(x, 3), RGB(0, 0, 220)) << "the 2-pixel column over 90 pixels, x " << x;
  EXPECT_EQ(s.At(105, 0), RGB(0, 0, 0));
  EXPECT_EQ(s.At(50, 6), kWhite) << "height cut to the picture";
  EXPECT_EQ(s.ChangedOutside(RECT{10, 0, 110, 6}, kWhite), 0);
}

TEST(SkinDrawImage, FillNineGridOfASubRectangle) {
  auto bmp = Picture(MakeBmp(10, 10, 24), CXIMAGE_FORMAT_BMP);
  DrawSurface s(30, 30, kGreen);
  ASSERT_TRUE(skin::DrawFill9Grid(s.dc(), *bmp, 0, 0, 30, 30, 2, 2, 2, 2, 4, 4, 10, 10));
  EXPECT_EQ(s.At(0, 0), Ref(Pattern(4, 4))) << "corners from the area's corner";
  EXPECT_EQ(s.At(29, 29), Ref(Pattern(9, 9)));
  CSkinDrawImage empty;
  EXPECT_TRUE(skin::DrawFill9Grid(s.dc(), empty, 0, 0, 30, 30, 2, 2, 2, 2, 0, 0, 5, 5));
}

TEST(SkinDrawImage, APictureWithoutFormsDrawsNothing) {
  CSkinDrawImage empty;
  auto broken_png = Picture(Bytes{0x89, 'P', 'N', 'G'}, CXIMAGE_FORMAT_PNG);
  for (CSkinDrawImage* p : {&empty, broken_png.get()}) {
    DrawSurface s(10, 10, kGreen);
    EXPECT_EQ(p->GetWidth(), 0u);
    EXPECT_FALSE(skin::DrawAt(s.dc(), *p, 0, 0));
    EXPECT_FALSE(skin::DrawAtTransparent(s.dc(), *p, 0, 0));
    EXPECT_FALSE(skin::DrawBitBlt(s.dc(), *p, 0, 0, 0, 0, 5, 5));
    EXPECT_FALSE(skin::DrawStretchBlt(s.dc(), *p, 0, 0, 5, 5, 0, 0, 5, 5));
    EXPECT_FALSE(skin::DrawTransparentBlt(s.dc(), *p, 0, 0, 0, 0, 5, 5));
    EXPECT_FALSE(skin::Draw9Grid(s.dc(), *p, 0, 0, 10, 10, 2, 2, 2, 2));
    EXPECT_FALSE(skin::DrawBitStretchBlt(s.dc(), *p, 0, 0, 10, 10, 2, 2, false));
    EXPECT_FALSE(skin::DrawStretchWhole(s.dc(), *p, 0, 0, 10, 10));
    EXPECT_EQ(skin::GetBitmap(*p), nullptr);
    EXPECT_EQ(s.ChangedInside(RECT{0, 0, 10, 10}, kGreen), 0);
  }
}

TEST(SkinDrawImage, GetBitmapOfEachForm) {
  auto bmp = Picture(MakeBmp(5, 3, 24), CXIMAGE_FORMAT_BMP);
  auto png = Picture(MakePng(7, 2, PngKind::kRgba), CXIMAGE_FORMAT_PNG);
  const HBITMAP b = skin::GetBitmap(*bmp);
  const HBITMAP p = skin::GetBitmap(*png);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(skin::GetBitmap(*png), p) << "made once";
  BITMAP info{};
  ASSERT_TRUE(::GetObjectW(p, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 7);
  EXPECT_EQ(info.bmHeight, 2);
  const long before = fw::LiveGdiObjectCount().load();
  png.reset();
  bmp.reset();
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before - 2) << "the picture releases its bitmaps";
}

// The user's logos are drawn "draw9grid" with grid (2,2,2,2), whatever their size.
TEST(SkinDrawImage, LogosOfAnySizeStayInsideTheirRectangle) {
  struct Logo {
    const char* name;
    Bytes bytes;
  };
  const auto solid = [](uint32_t, uint32_t) { return Rgba{30, 90, 200, 255}; };
  Bytes truncated = MakePngOf(80, 40, solid);
  truncated.resize(truncated.size() / 2);
  const Logo logos[] = {
      {"1x1", MakePngOf(1, 1, solid)},          {"3x3", MakePngOf(3, 3, solid)},
      {"80x40", MakePngOf(80, 40, solid)},      {"2000x2000", MakePngOf(2000, 2000, solid)},
      {"truncated", truncated},
  };
  const RECT rects[] = {{4, 4, 51, 28}, {4, 4, 94, 66}, {4, 4, 5, 5}, {4, 4, 7, 7}};
  for (const Logo& logo : logos) {
    auto p = Picture(logo.bytes, CXIMAGE_FORMAT_PNG);
    for (const RECT& r : rects) {
      SCOPED_TRACE(std::string(logo.name) + " into " + std::to_string(r.right - r.left) + "x" +
                   std::to_string(r.bottom - r.top));
      DrawSurface s(100, 72, kGreen);
      const bool drawn = skin::Draw9Grid(s.dc(), *p, r.left, r.top, r.right, r.bottom, 2, 2, 2, 2);
      EXPECT_EQ(s.ChangedOutside(r, kGreen), 0);
      if (std::string(logo.name) == "truncated") {
        EXPECT_FALSE(drawn);
        EXPECT_EQ(s.ChangedInside(r, kGreen), 0);
      } else {
        EXPECT_TRUE(drawn);
        EXPECT_EQ(s.At(r.left, r.top), RGB(30, 90, 200)) << "top-left corner drawn";
        EXPECT_EQ(s.At(r.right - 1, r.bottom - 1), RGB(30, 90, 200)) << "bottom-right corner drawn";
      }
    }
  }
}

TEST(SkinDrawImage, HundredDrawsOfEveryStyleLeaveNoGdiObject) {
  auto bmp = Picture(MakeBmp(16, 16, 24), CXIMAGE_FORMAT_BMP);
  auto png = Picture(MakePng(16, 16, PngKind::kRgba), CXIMAGE_FORMAT_PNG);
  DrawSurface s(64, 64);
  using Style = std::function<void(CSkinDrawImage&)>;
  const std::vector<std::pair<const char*, Style>> styles = {
      {"DrawAt", [&](CSkinDrawImage& p) { skin::DrawAt(s.dc(), p, 1, 1); }},
      {"DrawAtTransparent", [&](CSkinDrawImage& p) { skin::DrawAtTransparent(s.dc(), p, 1, 1); }},
      {"DrawBitBlt", [&](CSkinDrawImage& p) { skin::DrawBitBlt(s.dc(), p, 1, 1, 2, 2, 8, 8); }},
      {"DrawStretchBlt", [&](CSkinDrawImage& p) { skin::DrawStretchBlt(s.dc(), p, 0, 0, 40, 30, 2, 2, 8, 8); }},
      {"DrawTransparentBlt", [&](CSkinDrawImage& p) { skin::DrawTransparentBlt(s.dc(), p, 1, 1, 2, 2, 8, 8); }},
      {"Draw9Grid", [&](CSkinDrawImage& p) { skin::Draw9Grid(s.dc(), p, 0, 0, 60, 50, 4, 4, 4, 4); }},
      {"DrawFill9Grid", [&](CSkinDrawImage& p) { skin::DrawFill9Grid(s.dc(), p, 0, 0, 60, 50, 2, 2, 2, 2, 2, 2, 14, 14); }},
      {"DrawBitStretchBlt", [&](CSkinDrawImage& p) { skin::DrawBitStretchBlt(s.dc(), p, 0, 0, 60, 50, 3, 3, false); }},
      {"DrawBitStretchBlt vertical", [&](CSkinDrawImage& p) { skin::DrawBitStretchBlt(s.dc(), p, 0, 0, 60, 50, 3, 3, true); }},
      {"DrawStretchWhole", [&](CSkinDrawImage& p) { skin::DrawStretchWhole(s.dc(), p, 0, 0, 64, 64); }},
      {"GetBitmap", [&](CSkinDrawImage& p) { skin::GetBitmap(p); }},
  };
  for (CSkinDrawImage* p : {bmp.get(), png.get()}) {
    skin::GetBitmap(*p);  // forms made once, before counting
    for (const auto& [name, draw] : styles) {
      const long before = fw::LiveGdiObjectCount().load();
      for (int i = 0; i < 100; ++i) draw(*p);
      EXPECT_EQ(fw::LiveGdiObjectCount().load(), before) << name << " kind " << p->Kind();
    }
  }
}

}  // namespace
