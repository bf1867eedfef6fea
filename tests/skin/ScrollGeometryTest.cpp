// Scroll-bar geometry: thumb size and place, bar parts, hit testing and sprite cells.
#include "skin/ScrollGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace skin {
namespace {

TEST(MulDivRoundedTest, RoundsHalfAwayFromZeroAndRefusesWhatThePlatformRefuses) {
  struct Row {
    int32_t a, b, c, expected;
  } rows[] = {
      {9, 200, 99, 18},       {1, 1, 2, 1},    {-1, 1, 2, -1},  {-3, 1, -2, 2},
      {5, 5, 0, -1},          {INT_MAX, 2, 1, -1},               {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
      {50, 198, 99, 100},
  };
  for (const Row& r : rows) EXPECT_EQ(MulDivRounded(r.a, r.b, r.c), r.expected) << r.a << "*" << r.b << "/" << r.c;
}

ScrollValues Values(int32_t minimum, int32_t maximum, uint32_t page, int32_t position) {
  ScrollValues v;
  v.minimum = minimum;
  v.maximum = maximum;
  v.page = page;
  v.position = position;
  return v;
}

TEST(ComputeThumbTest, Table) {
  struct Row {
    const char* what;
    int32_t track;
    ScrollValues values;
    bool disabled, no_scroll;
    std::optional<Thumb> expected;
  } rows[] = {
      // 9 × 200 / 99 = 18 pixels, enlarged to 20; the last position puts it at the track's end.
      {"100 rows, page 10, top", 200, Values(0, 99, 10, 0), false, false, Thumb{0, 20}},
      {"100 rows, page 10, middle", 200, Values(0, 99, 10, 45), false, false, Thumb{90, 20}},
      {"100 rows, page 10, last", 200, Values(0, 99, 10, 90), false, false, Thumb{180, 20}},
      {"large page", 200, Values(0, 99, 50, 50), false, false, Thumb{101, 99}},
      {"page 0, top", 200, Values(0, 99, 0, 0), false, false, Thumb{0, 20}},
      {"page 0, middle", 200, Values(0, 99, 0, 50), false, false, Thumb{91, 20}},
      {"page 0, end", 200, Values(0, 99, 0, 99), false, false, Thumb{180, 20}},
      {"position past the end stays in the track", 200, Values(0, 99, 0, 5000), false, false, Thumb{180, 20}},
      {"range 0: small thumb at the top", 200, Values(5, 5, 0, 5), false, false, Thumb{0, 16}},
      {"range 0, disabled", 200, Values(5, 5, 0, 5), true, false, std::nullopt},
      {"range 0, no-scroll style", 200, Values(5, 5, 0, 5), false, true, std::nullopt},
      {"negative range", 200, Values(10, 0, 0, 0), false, false, Thumb{0, 16}},
      {"page over maximum", 200, Values(0, 50, 60, 0), true, false, std::nullopt},
      {"thumb filling the track", 200, Values(0, 99, 100, 0), false, false, std::nullopt},
      {"bar under 32 px: negative track", -12, Values(0, 99, 10, 0), false, false, std::nullopt},
      {"track shorter than the minimum thumb", 12, Values(0, 99, 10, 0), false, false, std::nullopt},
      {"empty track", 0, Values(0, 99, 0, 0), false, false, std::nullopt},
      {"range from 50, top", 200, Values(50, 149, 10, 50), false, false, Thumb{0, 20}},
      {"range from 50, last", 200, Values(50, 149, 10, 140), false, false, Thumb{180, 20}},
      {"negative minimum", 200, Values(-1000, 1000, 0, 0), false, false, Thumb{90, 20}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ThumbRequest request;
    request.track_length = r.track;
    request.values = r.values;
    request.disabled = r.disabled;
    request.no_scroll_style = r.no_scroll;
    std::optional<Thumb> thumb = ComputeThumb(request);
    ASSERT_EQ(thumb.has_value(), r.expected.has_value());
    if (thumb) {
      EXPECT_EQ(thumb->offset, r.expected->offset);
      EXPECT_EQ(thumb->length, r.expected->length);
      EXPECT_LE(thumb->offset + thumb->length, r.track);
    }
  }
}

TEST(ComputeThumbTest, PageZeroThumbMovesInStepsOfTwentyWhileDragged) {
  ThumbRequest request;
  request.track_length = 200;
  request.values = Values(0, 99, 0, 50);  // 91 by the rule
  request.dragging = true;
  request.current_offset = 85;
  EXPECT_EQ(ComputeThumb(request)->offset, 85);
  request.values.position = 99;  // 180: far enough
  EXPECT_EQ(ComputeThumb(request)->offset, 180);
}

TEST(IsOwnBarDisabledTest, PageBeyondTheRangeOrNoRangeWithoutPage) {
  EXPECT_TRUE(IsOwnBarDisabled(Values(0, 50, 60, 0)));
  EXPECT_FALSE(IsOwnBarDisabled(Values(0, 99, 10, 0)));
  EXPECT_TRUE(IsOwnBarDisabled(Values(0, 1, 0, 0)));
  EXPECT_FALSE(IsOwnBarDisabled(Values(0, 2, 0, 0)));
  // Measured from the minimum, not from 0.
  EXPECT_FALSE(IsOwnBarDisabled(Values(50, 149, 60, 50)));
  EXPECT_TRUE(IsOwnBarDisabled(Values(50, 100, 60, 50)));
}

TEST(LayoutBarTest, ArrowsTrackAndThumbAlongEitherAxis) {
  BarParts v = LayoutBar(BarAxis::kVertical, 232, Thumb{90, 20});
  EXPECT_EQ(v.first_arrow, (Rect{0, 0, 16, 16}));
  EXPECT_EQ(v.second_arrow, (Rect{0, 216, 16, 232}));
  EXPECT_EQ(v.track, (Rect{0, 16, 16, 216}));
  EXPECT_EQ(v.TrackLength(), 200);
  ASSERT_TRUE(v.has_thumb);
  EXPECT_EQ(v.thumb, (Rect{0, 106, 16, 126}));

  BarParts h = LayoutBar(BarAxis::kHorizontal, 232, Thumb{90, 20});
  EXPECT_EQ(h.first_arrow, (Rect{0, 0, 16, 16}));
  EXPECT_EQ(h.second_arrow, (Rect{216, 0, 232, 16}));
  EXPECT_EQ(h.track, (Rect{16, 0, 216, 16}));
  EXPECT_EQ(h.thumb, (Rect{106, 0, 126, 16}));

  // A bar shorter than its two arrows has an empty track and never a thumb.
  BarParts small = LayoutBar(BarAxis::kVertical, 20, Thumb{0, 20});
  EXPECT_EQ(small.TrackLength(), 0);
  EXPECT_FALSE(small.has_thumb);
  EXPECT_FALSE(LayoutBar(BarAxis::kVertical, 232, std::nullopt).has_thumb);
}

TEST(BarRectTest, BarsAndSizeBoxBesideTheClientRectangle) {
  const Rect client{2, 30, 202, 130};
  const Rect vertical = VerticalBarRect(client, false);
  EXPECT_EQ(vertical, (Rect{202, 30, 218, 130}));
  EXPECT_EQ(VerticalBarRect(client, true), (Rect{-14, 30, 2, 130}));
  EXPECT_EQ(HorizontalBarRect(client), (Rect{2, 130, 202, 146}));
  EXPECT_EQ(SizeBoxRect(vertical, client), (Rect{202, 130, 218, 146}));
}

TEST(HitTestTest, PartsAndPressCodes) {
  const BarParts parts = LayoutBar(BarAxis::kVertical, 232, Thumb{90, 20});  // thumb 106..126
  struct Row {
    int32_t x, y;
    BarPart part;
    std::optional<PressCode> press;
  } rows[] = {
      {5, 5, BarPart::kFirstArrow, PressCode::kLineUp},   {5, 220, BarPart::kSecondArrow, PressCode::kLineDown},
      {5, 50, BarPart::kTrack, PressCode::kPageUp},        {5, 110, BarPart::kThumb, PressCode::kThumb},
      {5, 150, BarPart::kTrack, PressCode::kPageDown},     {16, 50, BarPart::kNone, std::nullopt},
      {5, 232, BarPart::kNone, std::nullopt},              {-1, 5, BarPart::kNone, std::nullopt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
    EXPECT_EQ(HitTestBar(parts, BarAxis::kVertical, 232, r.x, r.y), r.part);
    EXPECT_EQ(PressCodeAt(parts, BarAxis::kVertical, 232, r.x, r.y), r.press);
  }
  // Without a thumb the track pages nowhere.
  const BarParts bare = LayoutBar(BarAxis::kHorizontal, 232, std::nullopt);
  EXPECT_EQ(HitTestBar(bare, BarAxis::kHorizontal, 232, 100, 5), BarPart::kTrack);
  EXPECT_EQ(PressCodeAt(bare, BarAxis::kHorizontal, 232, 100, 5), std::nullopt);
}

TEST(SpriteCellTest, RowsByAxisColumnsByPartAndState) {
  struct Row {
    BarAxis axis;
    BarPart part;
    MouseState mouse;
    bool hot;
    int32_t x, y;
  } rows[] = {
      {BarAxis::kVertical, BarPart::kFirstArrow, MouseState::kNone, false, 0, 0},
      {BarAxis::kVertical, BarPart::kFirstArrow, MouseState::kHover, true, 16, 0},
      {BarAxis::kVertical, BarPart::kFirstArrow, MouseState::kPressed, true, 32, 0},
      {BarAxis::kVertical, BarPart::kFirstArrow, MouseState::kPressed, false, 0, 0},  // not the hot part
      {BarAxis::kHorizontal, BarPart::kSecondArrow, MouseState::kNone, false, 64, 16},
      {BarAxis::kHorizontal, BarPart::kSecondArrow, MouseState::kHover, true, 80, 16},
      {BarAxis::kVertical, BarPart::kThumb, MouseState::kPressed, true, 160, 0},
      {BarAxis::kHorizontal, BarPart::kThumb, MouseState::kHover, true, 144, 16},
      {BarAxis::kVertical, BarPart::kTrack, MouseState::kPressed, true, 224, 0},
      {BarAxis::kHorizontal, BarPart::kTrack, MouseState::kNone, false, 224, 16},
  };
  for (const Row& r : rows) {
    const Rect cell = SpriteCell(r.axis, r.part, r.mouse, r.hot);
    EXPECT_EQ(cell, (Rect{r.x, r.y, r.x + 16, r.y + 16})) << static_cast<int>(r.part);
  }
  EXPECT_EQ(SizeBoxCell(false), (Rect{0, 32, 16, 48}));
  EXPECT_EQ(SizeBoxCell(true), (Rect{16, 32, 32, 48}));
}

}  // namespace
}  // namespace skin
