// The pure half of the drawing primitives: placement, glyphs, region runs, DIB layout and pixel copies, and
// the blending of decoded pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/ImageFixtures.h"
#include "skin/draw/DecodedBlend.h"
#include "skin/draw/Glyphs.h"
#include "skin/draw/PixelBuffer.h"
#include "skin/draw/Placement.h"
#include "skin/draw/RegionRuns.h"

using skin::PixelRect;
using skin::PixelSize;

namespace {

std::string Show(const PixelRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

TEST(Placement, AlignmentCodesPlaceInsideTheContainer) {
  const PixelRect container{10, 20, 111, 80};  // 101 x 60
  const PixelRect rect{0, 0, 30, 11};
  struct Case {
    uint32_t code;
    PixelRect expected;
  } cases[] = {
      {1, {10, 20, 40, 31}},    {2, {45, 20, 75, 31}},    {4, {81, 20, 111, 31}},
      {16, {10, 45, 40, 56}},   {32, {45, 45, 75, 56}},   {64, {81, 45, 111, 56}},
      {256, {10, 69, 40, 80}},  {512, {45, 69, 75, 80}},  {1024, {81, 69, 111, 80}},
      {0, rect},                {3, rect},                {2048, rect},
  };
  for (const Case& c : cases) EXPECT_EQ(Show(skin::PlaceRect(rect, container, c.code)), Show(c.expected)) << c.code;
  // Centring halves each width separately: 101 / 2 - 31 / 2 = 50 - 15.
  EXPECT_EQ(skin::PlaceRect({0, 0, 31, 1}, {0, 0, 101, 1}, 32).left, 35);
}

TEST(Placement, TextExtentRules) {
  EXPECT_EQ(skin::TextForExtent(L"&File"), L"File");
  EXPECT_EQ(skin::TextForExtent(L"&&x"), L"&x") << "only one leading marker";
  EXPECT_EQ(skin::TextForExtent(L"a&b"), L"a&b");
  EXPECT_EQ(skin::TextForExtent(L""), L"");
  EXPECT_EQ(skin::OrientedExtent({40, 12}, true), (PixelSize{12, 40}));
  EXPECT_EQ(skin::OrientedExtent({40, 12}, false), (PixelSize{40, 12}));
}

TEST(Placement, ImageWithTextShares) {
  const PixelRect box{0, 0, 100, 60};
  const PixelSize image{16, 16}, text{40, 12};
  struct Case {
    int position;
    PixelRect image, text;
  } cases[] = {
      {skin::kImageAboveText, {42, 0, 58, 16}, {30, 32, 70, 44}},
      {skin::kImageBelowText, {42, 44, 58, 60}, {30, 16, 70, 28}},
      {skin::kImageLeftOfText, {0, 22, 16, 38}, {38, 24, 78, 36}},
      {skin::kImageRightOfText, {84, 22, 100, 38}, {22, 24, 62, 36}},
      {0, {42, 22, 58, 38}, {30, 24, 70, 36}},
  };
  for (const Case& c : cases) {
    const skin::ImageTextRects r = skin::LayoutImageWithText(box, image, text, c.position, 32, 32);
    EXPECT_EQ(Show(r.image), Show(c.image)) << c.position;
    EXPECT_EQ(Show(r.text), Show(c.text)) << c.position;
  }
  // Each rectangle follows its own alignment inside its share.
  const skin::ImageTextRects r = skin::LayoutImageWithText(box, image, text, skin::kImageLeftOfText, 1, 1024);
  EXPECT_EQ(Show(r.image), Show({0, 0, 16, 16}));
  EXPECT_EQ(Show(r.text), Show({60, 48, 100, 60}));
}

TEST(Glyphs, NineGlyphsAsDrawnAndNoTenth) {
  const char* expected[9][8] = {
      {"........", "..#.....", "..##....", "..###...", "..####..", "..###...", "..##....", "..#....."},
      {"........", "......#.", ".....##.", "#...###.", "##.###..", "#####...", ".###....", "..#....."},
      {"........", "........", "#######.", ".#####..", "..###...", "...#....", "........", "........"},
      {"........", "..####..", ".######.", ".######.", ".######.", ".######.", "..####..", "........"},
      {"..######", ".......#", "######.#", "######.#", "##..##.#", "##..##.#", "######..", "######.."},
      {"........", "........", "........", "########", "########", "........", "........", "........"},
      {".##...##", ".###.###", "..#####.", "...###..", "...###..", "..#####.", ".###.###", ".##...##"},
      {"........", "########", "########", "##....##", "##....##", "##....##", "########", "########"},
      {"##..##..", ".##..##.", "..##..##", ".##..##.", "##..##..", "........", "........", "........"},
  };
  for (int g = 1; g <= 9; ++g) {
    const auto* rows = skin::GlyphRows(g);
    ASSERT_NE(rows, nullptr) << g;
    for (int y = 0; y < 8; ++y) {
      std::string row;
      for (int x = 0; x < 8; ++x) row += skin::GlyphPixelSet(*rows, x, y) ? '#' : '.';
      EXPECT_EQ(row, expected[g - 1][y]) << "glyph " << g << " row " << y;
    }
  }
  EXPECT_EQ(skin::GlyphRows(0), nullptr);
  EXPECT_EQ(skin::GlyphRows(10), nullptr);
  EXPECT_EQ(skin::GlyphRows(-1), nullptr);
}

// A 4x3 picture, "K" the key colour (magenta), top row first:
//   K . . K
//   . K . .
//   K K K K
const char* kShape[3] = {"K..K", ".K..", "KKKK"};
const std::vector<PixelRect> kShapeRuns = {{1, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 4, 2}};

std::vector<uint8_t> ShapeRows(int bpp, uint32_t stride, bool bottom_up) {
  std::vector<uint8_t> bytes(stride * 3, 0xEE);  // padding bytes that must not be read as pixels
  for (int y = 0; y < 3; ++y) {
    uint8_t* row = bytes.data() + static_cast<size_t>(bottom_up ? 2 - y : y) * stride;
    for (int x = 0; x < 4; ++x) {
      const bool key = kShape[y][x] == 'K';
      uint8_t* p = row + x * (bpp / 8);
      switch (bpp) {
        case 8: p[0] = key ? 1 : 0; break;
        case 16: p[0] = key ? 0x1F : 0x00, p[1] = key ? 0xF8 : 0x04; break;  // 5-6-5 magenta / dark green
        default: p[0] = 255, p[1] = key ? 0 : 128, p[2] = 255; break;          // B, G, R
      }
    }
  }
  return bytes;
}

TEST(RegionRuns, RunsOfNonKeyPixelsRowByRow) {
  const uint32_t palette[2] = {0x00102030, 0x00FF00FF};
  struct Case {
    int bpp;
    uint32_t stride;
    bool bottom_up;
  } cases[] = {{32, 16, true}, {32, 16, false}, {24, 12, true}, {24, 16, false}, {16, 8, true}, {8, 4, true}};
  for (const Case& c : cases) {
    const std::vector<uint8_t> bytes = ShapeRows(c.bpp, c.stride, c.bottom_up);
    skin::PixelRows rows{bytes.data(), 4, 3, c.bpp, c.stride, c.bottom_up, bytes.size(), {}};
    if (c.bpp == 8) rows.palette = palette;
    const std::vector<PixelRect> runs = skin::RegionRuns(rows, 0xFF00FF);
    ASSERT_EQ(runs.size(), kShapeRuns.size()) << c.bpp << " bpp";
    for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(Show(runs[i]), Show(kShapeRuns[i])) << c.bpp << " bpp";
  }
}

TEST(RegionRuns, RefusesShortBuffersAndOddDepths) {
  std::vector<uint8_t> bytes = ShapeRows(32, 16, true);
  skin::PixelRows rows{bytes.data(), 4, 3, 32, 16, true, bytes.size() - 1, {}};
  EXPECT_TRUE(skin::RegionRuns(rows, 0xFF00FF).empty()) << "last row cut short";
  rows.size = bytes.size();
  rows.stride = 12;
  EXPECT_TRUE(skin::RegionRuns(rows, 0xFF00FF).empty()) << "stride shorter than a row";
  rows.stride = 16;
  rows.bits_per_pixel = 4;
  EXPECT_TRUE(skin::RegionRuns(rows, 0xFF00FF).empty());
  // A palette index past the palette never matches the key.
  std::vector<uint8_t> indexed = ShapeRows(8, 4, true);
  const uint32_t one_entry[1] = {0x00102030};
  skin::PixelRows eight{indexed.data(), 4, 3, 8, 4, true, indexed.size(), one_entry};
  EXPECT_EQ(skin::RegionRuns(eight, 0xFF00FF).size(), 3u) << "every row is one run";
}

TEST(DibLayout, CreateRules) {
  struct Case {
    int64_t w, h;
    int bpp;
    bool ok;
    uint32_t stride;
  } cases[] = {
      {10, 10, 16, false, 0}, {0, 10, 24, false, 0},   {10, 0, 32, false, 0},       {-5, 10, 24, false, 0},
      {10, -1, 32, false, 0}, {16385, 1, 32, false, 0}, {16384, 16384, 32, false, 0}, {1ll << 33, 1, 24, false, 0},
      {5, 3, 24, true, 16},   {5, 3, 32, true, 20},    {1, 1, 24, true, 4},         {8192, 8192, 32, true, 32768},
  };
  for (const Case& c : cases) {
    const auto layout = skin::MakeDibLayout(c.w, c.h, c.bpp);
    ASSERT_EQ(layout.has_value(), c.ok) << c.w << "x" << c.h << "x" << c.bpp;
    if (!layout) continue;
    EXPECT_EQ(layout->stride, c.stride);
    EXPECT_EQ(layout->size, static_cast<size_t>(c.stride) * static_cast<size_t>(c.h));
  }
}

struct Buffer {
  Buffer(int w, int h, int bpp) : layout(*skin::MakeDibLayout(w, h, bpp)), bytes(layout.size, 0) {}
  skin::PixelBuffer View() { return {bytes.data(), layout}; }
  skin::DibLayout layout;
  std::vector<uint8_t> bytes;
};

TEST(PixelBuffer, RowsAreBottomUpAndTheWalkEnds) {
  Buffer b(3, 2, 24);  // stride 12
  skin::PixelBuffer v = b.View();
  EXPECT_EQ(v.PixelAddress(0, 0), b.bytes.data() + 12) << "the top row is stored last";
  EXPECT_EQ(v.PixelAddress(2, 1), b.bytes.data() + 6);
  EXPECT_EQ(v.PixelAddress(3, 0), nullptr);
  EXPECT_EQ(v.PixelAddress(0, -1), nullptr);
  skin::PixelWalker walk(v);
  std::vector<uint8_t*> seen;
  while (uint8_t* p = walk.Next()) seen.push_back(p);
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0], v.PixelAddress(0, 0));
  EXPECT_EQ(seen[3], v.PixelAddress(0, 1));
  EXPECT_EQ(walk.Next(), nullptr) << "stays at the end";
}

void Paint(skin::PixelBuffer& v, int x, int y, uint8_t value) {
  uint8_t* p = v.PixelAddress(x, y);
  std::memset(p, value, static_cast<size_t>(v.BytesPerPixel()));
}
uint8_t At(const skin::PixelBuffer& v, int x, int y) { return *v.PixelAddress(x, y); }

TEST(PixelBuffer, TiledCopyRepeatsAndCutsTheLastCopy) {
  Buffer src(2, 2, 32), dst(5, 3, 32);
  skin::PixelBuffer s = src.View(), d = dst.View();
  Paint(s, 0, 0, 1), Paint(s, 1, 0, 2), Paint(s, 0, 1, 3), Paint(s, 1, 1, 4);
  ASSERT_TRUE(skin::TiledCopy(d, {0, 0, 5, 3}, s, {0, 0, 2, 2}));
  const uint8_t expected[3][5] = {{1, 2, 1, 2, 1}, {3, 4, 3, 4, 3}, {1, 2, 1, 2, 1}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(d, x, y), expected[y][x]) << x << "," << y;

  // Rectangles past the buffers are clipped; negative positions and mixed depths are refused.
  Buffer small(3, 3, 32);
  skin::PixelBuffer m = small.View();
  EXPECT_TRUE(skin::TiledCopy(m, {1, 1, 50, 50}, s, {1, 1, 9, 9}));
  EXPECT_EQ(At(m, 2, 2), 4);
  EXPECT_EQ(At(m, 0, 0), 0);
  EXPECT_FALSE(skin::TiledCopy(m, {-1, 0, 2, 2}, s, {0, 0, 2, 2}));
  EXPECT_FALSE(skin::TiledCopy(m, {0, 0, 2, 2}, s, {0, -1, 2, 2}));
  Buffer other(2, 2, 24);
  skin::PixelBuffer o = other.View();
  EXPECT_FALSE(skin::TiledCopy(m, {0, 0, 2, 2}, o, {0, 0, 2, 2}));
}

TEST(PixelBuffer, CopyChangedPremultipliesOnlyChangedPixels) {
  Buffer src(2, 1, 32), dst(2, 1, 32);
  skin::PixelBuffer s = src.View(), d = dst.View();
  uint8_t* changed = s.PixelAddress(0, 0);
  changed[0] = 200, changed[1] = 100, changed[2] = 51;
  uint8_t* same_src = s.PixelAddress(1, 0);
  uint8_t* same_dst = d.PixelAddress(1, 0);
  same_src[0] = same_dst[0] = 9, same_src[1] = same_dst[1] = 9, same_src[2] = same_dst[2] = 9;
  same_dst[3] = 77;
  EXPECT_EQ(skin::CopyChanged(d, 0, 0, {5, 5}, s, 0, 0, 128), 1u);
  const uint8_t* out = d.PixelAddress(0, 0);
  EXPECT_EQ(out[0], 200 * 128 / 255);
  EXPECT_EQ(out[1], 100 * 128 / 255);
  EXPECT_EQ(out[2], 51 * 128 / 255);
  EXPECT_EQ(out[3], 128);
  EXPECT_EQ(same_dst[3], 77) << "an unchanged pixel is left alone";
  EXPECT_EQ(skin::CopyChanged(d, -1, 0, {1, 1}, s, 0, 0, 255), 0u);
}

TEST(DecodedBlend, AlphaArithmeticStretchAndTransparentColour) {
  using namespace skin_test;
  const Bytes png = MakePng(4, 2, PngKind::kRgba);
  CxImage picture(png.data(), png.size(), CXIMAGE_FORMAT_PNG);
  ASSERT_TRUE(picture.IsValid());
  // A white 10x4 target whose box starts at (100, 50); the picture doubled into (101, 50, 109, 54).
  std::vector<uint8_t> white(10 * 4 * 4, 255);
  skin::BlendTarget target{white.data(), 40, 4, {100, 50, 110, 54}};
  skin::BlendDecoded(picture, {0, 0, 4, 2}, {101, 50, 109, 54}, target);
  for (int dy = 0; dy < 4; ++dy)
    for (int dx = 0; dx < 10; ++dx) {
      const uint8_t* d = &white[static_cast<size_t>(dy * 40 + dx * 4)];
      if (dx == 0 || dx == 9) {
        EXPECT_EQ(d[0] & d[1] & d[2], 255) << "outside the destination";
        continue;
      }
      const Rgba c = Pattern(static_cast<uint32_t>(dx - 1) / 2, static_cast<uint32_t>(dy) / 2);
      const auto blend = [&](unsigned s) -> unsigned {
        return c.a == 0 ? 255 : c.a == 255 ? s : (s * c.a + 255 * (255 - c.a)) / 256;
      };
      EXPECT_EQ(d[2], blend(c.r)) << dx << "," << dy;
      EXPECT_EQ(d[1], blend(c.g)) << dx << "," << dy;
      EXPECT_EQ(d[0], blend(c.b)) << dx << "," << dy;
    }

  // Pixels of the transparent colour are skipped.
  const Bytes bmp = MakeBmp(2, 1, 24);
  CxImage opaque(bmp.data(), bmp.size(), CXIMAGE_FORMAT_BMP);
  opaque.SetTransColor(opaque.GetPixelColor(0, 0));
  std::vector<uint8_t> grey(2 * 3, 7);
  skin::BlendTarget small{grey.data(), 6, 3, {0, 0, 2, 1}};
  skin::BlendDecoded(opaque, {0, 0, 2, 1}, {0, 0, 2, 1}, small);
  EXPECT_EQ(grey[0], 7) << "transparent colour";
  EXPECT_EQ(grey[5], Pattern(1, 0).r);
}

TEST(DecodedBlend, HalfAlphaOverWhite) {
  // One pixel of alpha 128 over white: (s * 128 + 255 * 127) / 256 per channel.
  CxImage picture;
  ASSERT_TRUE(picture.Create(1, 1, true));
  uint8_t* bgr = picture.GetBits();
  bgr[0] = 10, bgr[1] = 100, bgr[2] = 200;
  *picture.AlphaAddress(0, 0) = 128;
  std::vector<uint8_t> white(4, 255);
  skin::BlendTarget target{white.data(), 4, 4, {0, 0, 1, 1}};
  skin::BlendDecoded(picture, {0, 0, 1, 1}, {0, 0, 1, 1}, target);
  EXPECT_EQ(white[0], (10 * 128 + 255 * 127) / 256);
  EXPECT_EQ(white[1], (100 * 128 + 255 * 127) / 256);
  EXPECT_EQ(white[2], (200 * 128 + 255 * 127) / 256);
}

}  // namespace
