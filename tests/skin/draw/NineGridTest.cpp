// Nine-part grids, three-part stretches and part copies: which source rectangles are read and where they go.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "skin/draw/NineGrid.h"

using skin::CutNineGrid;
using skin::DrawPiece;
using skin::GridMargins;
using skin::PixelRect;
using skin::PixelSize;

namespace {

std::string Show(const PixelRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

bool Inside(const PixelRect& inner, const PixelRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// What every piece must satisfy: positive sizes, source inside the area, destination inside the rectangle.
void ExpectSound(const std::optional<DrawPiece>& p, const PixelRect& area, const PixelRect& dest, const std::string& at) {
  if (!p) return;
  EXPECT_GT(p->source.Width(), 0) << at;
  EXPECT_GT(p->source.Height(), 0) << at;
  EXPECT_GT(p->dest.Width(), 0) << at;
  EXPECT_GT(p->dest.Height(), 0) << at;
  EXPECT_TRUE(Inside(p->source, area)) << at << " source " << Show(p->source) << " outside " << Show(area);
  EXPECT_TRUE(Inside(p->dest, dest)) << at << " dest " << Show(p->dest) << " outside " << Show(dest);
}

struct GridCase {
  const char* name;
  PixelSize picture;
  GridMargins grid;
  PixelRect dest;
  // Expected pieces in piece order; nullopt where the piece is left out.
  std::optional<DrawPiece> pieces[9];
};

const PixelRect kNone{};
#define P(sl, st, sr, sb, dl, dt, dr, db) DrawPiece{PixelRect{sl, st, sr, sb}, PixelRect{dl, dt, dr, db}}

const GridCase kGridCases[] = {
    {"corners of a 30x30 picture with grid 15 stay 15x15; the edges have no source left",
     {30, 30}, {15, 15, 15, 15}, {0, 0, 100, 50},
     {P(0, 0, 15, 15, 0, 0, 15, 15), P(15, 0, 30, 15, 85, 0, 100, 15), P(0, 15, 15, 30, 0, 35, 15, 50),
      P(15, 15, 30, 30, 85, 35, 100, 50), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
    {"grid 10: edges stretched along one axis, centre both ways",
     {30, 30}, {10, 10, 10, 10}, {0, 0, 100, 50},
     {P(0, 0, 10, 10, 0, 0, 10, 10), P(20, 0, 30, 10, 90, 0, 100, 10), P(0, 20, 10, 30, 0, 40, 10, 50),
      P(20, 20, 30, 30, 90, 40, 100, 50), P(0, 10, 10, 20, 0, 10, 10, 40), P(10, 0, 20, 10, 10, 0, 90, 10),
      P(20, 10, 30, 20, 90, 10, 100, 40), P(10, 20, 20, 30, 10, 40, 90, 50), P(10, 10, 20, 20, 10, 10, 90, 40)}},
    {"grid over half the rectangle: corners overlap, edges and centre would be negative",
     {30, 30}, {10, 10, 10, 10}, {0, 0, 15, 15},
     {P(0, 0, 10, 10, 0, 0, 10, 10), P(20, 0, 30, 10, 5, 0, 15, 10), P(0, 20, 10, 30, 0, 5, 10, 15),
      P(20, 20, 30, 30, 5, 5, 15, 15), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
    {"picture narrower than gl + gr: corners read only the picture",
     {3, 3}, {2, 2, 2, 2}, {0, 0, 47, 24},
     {P(0, 0, 2, 2, 0, 0, 2, 2), P(1, 0, 3, 2, 45, 0, 47, 2), P(0, 1, 2, 3, 0, 22, 2, 24),
      P(1, 1, 3, 3, 45, 22, 47, 24), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
    {"picture narrower than gl alone: the corner is the whole picture, stretched",
     {1, 1}, {2, 2, 2, 2}, {0, 0, 47, 24},
     {P(0, 0, 1, 1, 0, 0, 2, 2), P(0, 0, 1, 1, 45, 0, 47, 2), P(0, 0, 1, 1, 0, 22, 2, 24),
      P(0, 0, 1, 1, 45, 22, 47, 24), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
    {"3x3 destination: corners cut to the rectangle at their own scale",
     {30, 30}, {15, 15, 15, 15}, {10, 10, 13, 13},
     {P(0, 0, 3, 3, 10, 10, 13, 13), P(27, 0, 30, 3, 10, 10, 13, 13), P(0, 27, 3, 30, 10, 10, 13, 13),
      P(27, 27, 30, 30, 10, 10, 13, 13), std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
    {"grid 0: the centre is the whole picture",
     {8, 4}, {0, 0, 0, 0}, {0, 0, 16, 8},
     {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
      P(0, 0, 8, 4, 0, 0, 16, 8)}},
    {"empty destination", {30, 30}, {10, 10, 10, 10}, {5, 5, 5, 40}, {}},
    {"inverted destination", {30, 30}, {10, 10, 10, 10}, {50, 0, 10, 40}, {}},
    {"empty picture", {0, 0}, {2, 2, 2, 2}, {0, 0, 47, 24}, {}},
};
#undef P

TEST(NineGrid, PiecesOfTheGrid) {
  for (const GridCase& c : kGridCases) {
    const skin::NineGridPieces pieces = CutNineGrid(c.dest, c.grid, c.picture);
    for (int i = 0; i < 9; ++i) {
      const std::string at = std::string(c.name) + ", piece " + std::to_string(i + 1);
      ASSERT_EQ(pieces[i].has_value(), c.pieces[i].has_value()) << at;
      if (!pieces[i]) continue;
      EXPECT_EQ(Show(pieces[i]->source), Show(c.pieces[i]->source)) << at;
      EXPECT_EQ(Show(pieces[i]->dest), Show(c.pieces[i]->dest)) << at;
    }
  }
}

// Every small picture, grid and destination: nothing read outside the picture, nothing drawn outside the
// rectangle, no piece of zero or negative size.
TEST(NineGrid, NoPieceReadsOutsideThePictureOrDrawsOutsideTheRectangle) {
  for (int w = 0; w <= 5; ++w)
    for (int h = 0; h <= 4; ++h)
      for (int g = -1; g <= 4; ++g)
        for (int dw = -2; dw <= 7; ++dw)
          for (int dh = 0; dh <= 5; ++dh) {
            const PixelRect dest{3, 2, 3 + dw, 2 + dh};
            const skin::NineGridPieces pieces = CutNineGrid(dest, {g, g + 1, g, g}, {w, h});
            for (int i = 0; i < 9; ++i)
              ExpectSound(pieces[i], {0, 0, w, h}, dest,
                          "picture " + std::to_string(w) + "x" + std::to_string(h) + " grid " + std::to_string(g) +
                              " dest " + Show(dest) + " piece " + std::to_string(i + 1));
          }
}

TEST(NineGrid, SourceAreaIsClampedToThePicture) {
  // Area reaching past a 20x20 picture: every source stays inside the picture.
  const PixelRect dest{0, 0, 40, 40};
  const skin::NineGridPieces pieces = CutNineGrid(dest, {4, 4, 4, 4}, {10, 10, 30, 26}, {20, 20});
  ASSERT_TRUE(pieces[skin::kTopLeft] && pieces[skin::kBottomRight] && pieces[skin::kCentre]);
  EXPECT_EQ(Show(pieces[skin::kTopLeft]->source), Show({10, 10, 14, 14}));
  EXPECT_EQ(Show(pieces[skin::kBottomRight]->source), Show({16, 16, 20, 20}));
  EXPECT_EQ(Show(pieces[skin::kCentre]->source), Show({14, 14, 16, 16}));
  for (const auto& p : pieces) ExpectSound(p, {10, 10, 20, 20}, dest, "area");
}

TEST(ThreePart, HorizontalStretchesTheTwoPixelColumnAfterTheFirstCap) {
  const skin::ThreePartPieces p = skin::CutThreePart({0, 0, 100, 20}, 5, 5, false, {30, 12});
  ASSERT_TRUE(p.first_cap && p.middle && p.second_cap);
  EXPECT_EQ(Show(p.first_cap->source), Show({0, 0, 5, 12}));
  EXPECT_EQ(Show(p.first_cap->dest), Show({0, 0, 5, 12})) << "heights cut to the picture";
  EXPECT_EQ(Show(p.middle->source), Show({5, 0, 7, 12}));
  EXPECT_EQ(Show(p.middle->dest), Show({5, 0, 95, 12}));
  EXPECT_EQ(Show(p.second_cap->source), Show({25, 0, 30, 12}));
  EXPECT_EQ(Show(p.second_cap->dest), Show({95, 0, 100, 12}));
}

TEST(ThreePart, VerticalAndOversizedCaps) {
  const skin::ThreePartPieces v = skin::CutThreePart({10, 0, 50, 60}, 4, 6, true, {16, 20});
  ASSERT_TRUE(v.first_cap && v.middle && v.second_cap);
  EXPECT_EQ(Show(v.first_cap->dest), Show({10, 0, 26, 4})) << "widths cut to the picture";
  EXPECT_EQ(Show(v.middle->source), Show({0, 4, 16, 14}));
  EXPECT_EQ(Show(v.middle->dest), Show({10, 4, 26, 54}));
  EXPECT_EQ(Show(v.second_cap->source), Show({0, 14, 16, 20}));

  // Caps wider than the picture: the middle has no source left and nothing is read outside.
  const PixelRect dest{0, 0, 8, 10};
  const skin::ThreePartPieces wide = skin::CutThreePart(dest, 7, 7, false, {6, 10});
  EXPECT_FALSE(wide.middle);
  ExpectSound(wide.first_cap, {0, 0, 6, 10}, dest, "first cap");
  ExpectSound(wide.second_cap, {0, 0, 6, 10}, dest, "second cap");
}

TEST(ThreePart, DecodedPicturesUseANineGridOfHalfTheCrossSide) {
  const skin::ThreePartGrid h = skin::ThreePartAsNineGrid({0, 0, 100, 40}, 5, 6, false, {20, 11});
  EXPECT_EQ(Show(h.dest), Show({0, 0, 100, 11}));
  EXPECT_EQ(h.grid.left, 5);
  EXPECT_EQ(h.grid.top, 5);
  EXPECT_EQ(h.grid.right, 6);
  EXPECT_EQ(h.grid.bottom, 5);
  const skin::ThreePartGrid v = skin::ThreePartAsNineGrid({0, 0, 30, 90}, 3, 4, true, {9, 50});
  EXPECT_EQ(Show(v.dest), Show({0, 0, 9, 90}));
  EXPECT_EQ(v.grid.left, 4);
  EXPECT_EQ(v.grid.top, 3);
  EXPECT_EQ(v.grid.bottom, 4);
}

TEST(ClampPiece, APartReachingPastThePictureKeepsItsScale) {
  // Natural-size copy of (8, 0, 8, 4) from a 10x10 picture: only two columns exist.
  auto p = skin::ClampPiece({8, 0, 16, 4}, {100, 50, 108, 54}, {10, 10});
  ASSERT_TRUE(p);
  EXPECT_EQ(Show(p->source), Show({8, 0, 10, 4}));
  EXPECT_EQ(Show(p->dest), Show({100, 50, 102, 54}));
  // Doubled stretch starting left of the picture.
  p = skin::ClampPiece({-2, 0, 4, 2}, {0, 0, 12, 4}, {10, 10});
  ASSERT_TRUE(p);
  EXPECT_EQ(Show(p->source), Show({0, 0, 4, 2}));
  EXPECT_EQ(Show(p->dest), Show({4, 0, 12, 4}));
  EXPECT_FALSE(skin::ClampPiece({10, 0, 12, 2}, {0, 0, 2, 2}, {10, 10})) << "wholly outside";
  EXPECT_FALSE(skin::ClampPiece({0, 0, 2, 2}, {0, 0, -2, 2}, {10, 10})) << "mirrored destination";
}

}  // namespace
