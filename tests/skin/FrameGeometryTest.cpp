// The frame's arithmetic: kind, client rectangle, the tiles of the frame rendering and the corner cuts of a
// rounded shape, including windows and pictures smaller than their theme values.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "skin/FrameGeometry.h"

using namespace skin;

TEST(FrameKind, FollowsCaptionAndBorderStyles) {
  struct Case {
    FrameStyles styles;
    FrameKind kind;
  } cases[] = {
      {{false, true, false, true}, kFrameCaption},
      {{false, true, true, false}, kFrameToolCaption},
      {{false, false, false, true}, kFrameBorderOnly},
      {{false, false, false, false}, kFrameNone},
      {{true, true, false, true}, kFrameNone},  // a maximised MDI child
  };
  for (const Case& c : cases) EXPECT_EQ(ComputeFrameKind(c.styles), c.kind);
}

TEST(FramedClient, IsTheWindowLessBorderCaptionAndMenuClampedToEmpty) {
  const Rect window{100, 50, 525, 300};
  EXPECT_EQ(FramedClientRect(window, {2, 2, 2, 2}, 0, 0), (Rect{102, 52, 523, 298}));
  EXPECT_EQ(FramedClientRect(window, {3, 4, 5, 6}, 30, 20), (Rect{103, 104, 520, 294}));
  // Theme values larger than the window: an empty rectangle inside the window, never inverted.
  const Rect tiny{10, 10, 14, 13};
  const Rect client = FramedClientRect(tiny, {2, 2, 2, 2}, 30, 0);
  EXPECT_LE(client.left, client.right);
  EXPECT_LE(client.top, client.bottom);
  EXPECT_GE(client.left, tiny.left);
  EXPECT_LE(client.bottom, tiny.bottom);
  EXPECT_TRUE(client.left == client.right || client.top == client.bottom);
  // Missing quadruple values (-1) count as 0.
  EXPECT_EQ(FramedClientRect(window, {2, 2, -1, -1}, 0, 0), (Rect{102, 52, 525, 300}));
}

TEST(FramedClient, ScrollBarStylesTakeSixteenPixels) {
  const Rect client{0, 0, 100, 80};
  EXPECT_EQ(LessScrollBars(client, true, false, false), (Rect{0, 0, 84, 80}));
  EXPECT_EQ(LessScrollBars(client, true, true, true), (Rect{16, 0, 100, 64}));
  EXPECT_EQ(LessScrollBars(Rect{0, 0, 10, 10}, true, true, false), (Rect{0, 0, 0, 0}));
}

// Which window pixels the tiles cover, and that every tile stays inside the window and the picture.
std::set<std::pair<int, int>> Covered(int W, int H, int pw, int ph, const std::vector<FrameTile>& tiles) {
  std::set<std::pair<int, int>> covered;
  for (const FrameTile& t : tiles) {
    EXPECT_GE(t.dest.left, 0);
    EXPECT_GE(t.dest.top, 0);
    EXPECT_LE(t.dest.right, W);
    EXPECT_LE(t.dest.bottom, H);
    EXPECT_GE(t.source.left, 0);
    EXPECT_GE(t.source.top, 0);
    EXPECT_LE(t.source.right, pw);
    EXPECT_LE(t.source.bottom, ph);
    EXPECT_FALSE(t.dest.IsEmpty());
    for (int y = t.dest.top; y < t.dest.bottom; ++y)
      for (int x = t.dest.left; x < t.dest.right; ++x) covered.insert({x, y});
  }
  return covered;
}

TEST(FrameRendering, TilesCoverTheBorderOfAWindowLargerThanThePicture) {
  const int W = 425, H = 250, pw = 350, ph = 180;
  const auto tiles = FrameRenderTiles(W, H, pw, ph, {2, 2, 2, 2}, {15, 15, 15, 15}, 0, {0, 0});
  const auto covered = Covered(W, H, pw, ph, tiles);
  for (int x = 0; x < W; ++x) {
    EXPECT_TRUE(covered.count({x, 0}) && covered.count({x, 1}) && covered.count({x, H - 1})) << x;
  }
  for (int y = 0; y < H; ++y) EXPECT_TRUE(covered.count({0, y}) && covered.count({W - 1, y})) << y;
  // The bottom-right corner block comes unscaled from the picture's bottom-right corner.
  bool corner = false;
  for (const FrameTile& t : tiles)
    if (t.dest == PixelRect{W - 15, H - 15, W, H}) corner = t.source == PixelRect{pw - 15, ph - 15, pw, ph};
  EXPECT_TRUE(corner);
}

TEST(FrameRendering, TinyWindowsAndPicturesStayInBounds) {
  const int sizes[][4] = {{5, 5, 350, 180}, {425, 250, 8, 8}, {1, 1, 1, 1}, {30, 3, 40, 2}};
  for (const auto& s : sizes) {
    const auto tiles = FrameRenderTiles(s[0], s[1], s[2], s[3], {2, 2, 2, 2}, {15, 15, 15, 15}, 20, {10, 10});
    Covered(s[0], s[1], s[2], s[3], tiles);
  }
  EXPECT_TRUE(FrameRenderTiles(0, 10, 10, 10, {2, 2, 2, 2}, {1, 1, 1, 1}, 0, {0, 0}).empty());
}

TEST(FrameRendering, CaptionBandStretchesOnlyItsMiddle) {
  const auto tiles = FrameRenderTiles(400, 200, 100, 100, {2, 2, 2, 2}, {4, 4, 4, 4}, 30, {20, 10});
  ASSERT_FALSE(tiles.empty());
  const FrameTile& middle = tiles.back();
  EXPECT_EQ(middle.dest, (PixelRect{22, 2, 388, 32}));
  EXPECT_EQ(middle.source, (PixelRect{22, 2, 88, 32}));
}

// A picture whose corners are keyed on a quarter circle of radius 5.
uint32_t RoundPicture(int x, int y, int pw, int ph) {
  const int cx = x < 5 ? 5 - x : x >= pw - 5 ? x - (pw - 6) : 0;
  const int cy = y < 5 ? 5 - y : y >= ph - 5 ? y - (ph - 6) : 0;
  return cx * cx + cy * cy > 25 ? kKeyColor : Rgb(10, 20, 30);
}

TEST(RoundCorners, CutExactlyTheKeyedCornerPixels) {
  const int pw = 350, ph = 180, W = 425, H = 250;
  const auto cuts = RoundCornerCuts(W, H, pw, ph, {15, 15, 15, 15}, kKeyColor,
                                    [&](int x, int y) { return RoundPicture(x, y, pw, ph); });
  std::set<std::pair<int, int>> cut;
  for (const PixelRect& r : cuts) {
    EXPECT_EQ(r.Height(), 1);
    for (int x = r.left; x < r.right; ++x) cut.insert({x, r.top});
  }
  size_t keyed = 0;
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 15; ++x) {
      const bool k = RoundPicture(x, y, pw, ph) == kKeyColor;
      keyed += k;
      EXPECT_EQ(cut.count({x, y}) == 1, k) << x << "," << y;
      EXPECT_EQ(cut.count({W - pw + (pw - 15 + x), y}) == 1, RoundPicture(pw - 15 + x, y, pw, ph) == kKeyColor);
      EXPECT_EQ(cut.count({x, H - 15 + y}) == 1, RoundPicture(x, ph - 15 + y, pw, ph) == kKeyColor);
    }
  EXPECT_GT(keyed, 0u);
  EXPECT_EQ(cut.count({15, 15}), 0u);
}

TEST(RoundCorners, BlocksAreClampedToThePictureAndTheWindow) {
  // Offsets of 40 on an 8 x 8 picture inside a 6 x 6 window: only pixels inside both are read and cut.
  int reads_outside = 0;
  const auto cuts = RoundCornerCuts(6, 6, 8, 8, {40, 40, 40, 40}, kKeyColor, [&](int x, int y) {
    if (x < 0 || y < 0 || x >= 8 || y >= 8) ++reads_outside;
    return kKeyColor;
  });
  EXPECT_EQ(reads_outside, 0);
  for (const PixelRect& r : cuts) {
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, 6);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, 6);
  }
  EXPECT_FALSE(cuts.empty());
}
