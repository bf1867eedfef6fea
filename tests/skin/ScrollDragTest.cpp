// Thumb drag arithmetic and the skin-kept scroll state.
#include <gtest/gtest.h>

#include <vector>

#include "skin/ScrollDrag.h"
#include "skin/ScrollState.h"

namespace skin {
namespace {

ScrollValues Values(int32_t minimum, int32_t maximum, uint32_t page, int32_t position = 0) {
  ScrollValues v;
  v.minimum = minimum;
  v.maximum = maximum;
  v.page = page;
  v.position = position;
  return v;
}

const DragTrack kTrack{16, 200, 20, 16};  // travel 180

TEST(PositionForThumbTest, EndsOfTheTrackAreTheFirstAndLastReachablePositions) {
  struct Row {
    const char* what;
    ScrollValues values;
    int32_t offset, expected;
  } rows[] = {
      {"start", Values(0, 99, 10), 0, 0},
      {"end: maximum - page + 1", Values(0, 99, 10), 180, 90},
      {"middle", Values(0, 99, 10), 90, 45},
      {"range from 50 adds the minimum", Values(50, 149, 10), 0, 50},
      {"range from 50, end", Values(50, 149, 10), 180, 140},
      {"page 0 ends at the maximum", Values(0, 99, 0), 180, 99},
      {"past the end", Values(0, 99, 10), 500, 90},
      {"nothing to scroll", Values(0, 9, 10), 100, 0},
      {"nothing to scroll, from 50", Values(50, 59, 10), 100, 50},
  };
  for (const Row& r : rows) EXPECT_EQ(PositionForThumb(r.offset, kTrack, r.values), r.expected) << r.what;
}

TEST(ThumbDragTest, NoDragWithoutFreeTravel) {
  const ScrollValues values = Values(0, 99, 10);
  EXPECT_FALSE(BeginThumbDrag(50, 0, DragTrack{16, 20, 20, 16}, values));   // thumb fills the track
  EXPECT_FALSE(BeginThumbDrag(50, 0, DragTrack{16, -12, 20, 16}, values));  // bar under 32 px
  EXPECT_FALSE(BeginThumbDrag(50, 0, DragTrack{16, 0, 0, 16}, values));
  ThumbDrag drag{50, 0, 0};
  EXPECT_FALSE(MoveThumb(drag, DragTrack{16, 20, 20, 16}, values, 60, 5));
  ASSERT_TRUE(BeginThumbDrag(50, 0, kTrack, values));
}

TEST(ThumbDragTest, PositionsAreReportedOnlyWhenTheyChange) {
  ScrollValues values = Values(0, 99, 10);
  values.track_position = 0;
  ThumbDrag drag = *BeginThumbDrag(26, 0, kTrack, values);
  std::vector<int32_t> sent;
  for (int32_t along = 27; along <= 215; ++along)
    if (auto position = MoveThumb(drag, kTrack, values, along, 8)) sent.push_back(*position);
  // 90 steps over 180 pixels: every position once, in order, ending at the last reachable one.
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), 1);
  EXPECT_EQ(sent.back(), 90);
  for (size_t i = 1; i < sent.size(); ++i) EXPECT_GT(sent[i], sent[i - 1]);
  EXPECT_EQ(drag.thumb_offset, 180);
  EXPECT_EQ(drag.last_position, 90);
}

TEST(ThumbDragTest, FarAcrossOrOffTheTrackFreezesTheThumb) {
  const ScrollValues values = Values(0, 99, 10);
  struct Row {
    const char* what;
    int32_t along, across;
    bool moves;
  } rows[] = {
      {"on the bar", 120, 8, true},
      {"96 px right of the bar", 120, 16 + 95, true},
      {"97 px right of the bar", 120, 16 + 96, false},
      {"96 px left of the bar", 120, -96, true},
      {"97 px left of the bar", 120, -97, false},
      {"above the track", 10, 8, false},
      {"below the track", 216, 8, false},
  };
  for (const Row& r : rows) {
    ThumbDrag drag{100, 84, 42};
    std::optional<int32_t> position = MoveThumb(drag, kTrack, values, r.along, r.across);
    EXPECT_EQ(position.has_value(), r.moves) << r.what;
    EXPECT_EQ(drag.thumb_offset != 84, r.moves) << r.what;
  }
  // Coming back resumes from where the thumb was, relative to the cursor then.
  ThumbDrag drag{100, 84, 42};
  MoveThumb(drag, kTrack, values, 150, 300);
  EXPECT_EQ(drag.thumb_offset, 84);
  MoveThumb(drag, kTrack, values, 110, 8);
  EXPECT_EQ(drag.thumb_offset, 94);
}

TEST(BarScrollStateTest, ClampsAsThePlatformDoes) {
  struct Row {
    const char* what;
    uint32_t mask;
    ScrollValues in;
    int32_t position;
    uint32_t page;
    bool visible, arrows_disabled;
  } rows[] = {
      {"position to maximum - page + 1", kScrollRange | kScrollPage | kScrollPosition, Values(0, 99, 10, 95), 90, 10,
       true, false},
      {"last line reachable", kScrollRange | kScrollPage | kScrollPosition, Values(0, 99, 10, 90), 90, 10, true,
       false},
      {"page 0: to the maximum", kScrollRange | kScrollPage | kScrollPosition, Values(0, 99, 0, 150), 99, 0, true,
       false},
      {"below the minimum", kScrollRange | kScrollPage | kScrollPosition, Values(50, 149, 10, 3), 50, 10, true, false},
      {"range equal to the page still scrolls one line", kScrollRange | kScrollPage | kScrollPosition,
       Values(0, 10, 10, 5), 1, 10, true, false},
      {"range fits the page: hidden", kScrollRange | kScrollPage | kScrollPosition, Values(0, 9, 10, 5), 0, 10, false,
       false},
      {"fits, kept with disable-no-scroll", kScrollRange | kScrollPage | kScrollPosition | kScrollDisableNoScroll,
       Values(0, 9, 10, 5), 0, 10, true, true},
      {"page clamped to the item count", kScrollRange | kScrollPage, Values(0, 9, 50), 0, 10, false, false},
      {"inverted range becomes empty", kScrollRange | kScrollPosition, Values(10, 0, 0, 5), 0, 0, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    BarScrollState state;
    EXPECT_EQ(state.SetInfo(r.mask, r.in), r.position);
    EXPECT_EQ(state.values.position, r.position);
    EXPECT_EQ(state.values.page, r.page);
    EXPECT_EQ(state.visible, r.visible);
    EXPECT_EQ(state.arrows_disabled, r.arrows_disabled);
  }
}

TEST(BarScrollStateTest, PositionRangeAndReading) {
  BarScrollState state;
  state.SetInfo(kScrollRange | kScrollPage, Values(0, 99, 10));
  EXPECT_TRUE(state.visible);
  EXPECT_EQ(state.SetPosition(40), 0);
  EXPECT_EQ(state.SetPosition(500), 40);  // returns the previous position
  EXPECT_EQ(state.values.position, 90);
  // A position-only set leaves the visibility alone.
  state.visible = false;
  state.SetPosition(10);
  EXPECT_FALSE(state.visible);
  state.visible = true;

  // Shrinking the range pulls the position in; an empty range hides the bar.
  state.SetRange(0, 49);
  EXPECT_EQ(state.values.position, 10);
  state.SetPosition(45);
  EXPECT_EQ(state.values.position, 40);
  state.SetRange(0, 0);
  EXPECT_FALSE(state.visible);
  EXPECT_EQ(state.values.position, 0);

  state.SetInfo(kScrollRange | kScrollPage | kScrollPosition, Values(0, 99, 10, 20));
  state.values.track_position = 33;
  ScrollValues out;
  state.GetInfo(kScrollRange | kScrollPage | kScrollPosition | kScrollTrackPosition, out);
  EXPECT_EQ(out.maximum, 99);
  EXPECT_EQ(out.page, 10u);
  EXPECT_EQ(out.position, 20);
  EXPECT_EQ(out.track_position, 20);  // no drag running: the position
  state.tracking = true;
  state.GetInfo(kScrollTrackPosition, out);
  EXPECT_EQ(out.track_position, 33);
  // Only the masked values are written.
  ScrollValues untouched = Values(-1, -1, 7, -1);
  state.GetInfo(kScrollPage, untouched);
  EXPECT_EQ(untouched.minimum, -1);
  EXPECT_EQ(untouched.position, -1);
  EXPECT_EQ(untouched.page, 10u);
}

}  // namespace
}  // namespace skin
