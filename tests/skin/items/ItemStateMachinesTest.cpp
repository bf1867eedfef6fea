// The event item's hover/press machine, frame-strip sequencing and the colour tint rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/ThemeValues.h"
#include "skin/items/ColorAdjust.h"
#include "skin/items/EventItemState.h"
#include "skin/items/FrameStrip.h"

using namespace skin;

namespace {

// One mouse event: 'm' move, 'd' press, 'u' release; inside or outside the item.
struct Event {
  char what;
  bool inside;
};

struct Trace {
  std::vector<uint32_t> states;
  int clicks = 0;
};

Trace Drive(const std::vector<Event>& events) {
  EventItemState item;
  Trace run;
  for (const Event& e : events) {
    EventItemState::Outcome out = e.what == 'm'   ? item.Move(e.inside)
                                  : e.what == 'd' ? item.Press(e.inside)
                                                  : item.Release(e.inside);
    run.clicks += out.clicked;
    run.states.push_back(item.State());
  }
  return run;
}

TEST(EventItemState, Sequences) {
  const struct {
    const char* what;
    std::vector<Event> events;
    std::vector<uint32_t> states;
    int clicks;
  } rows[] = {
      {"enter then leave", {{'m', true}, {'m', false}}, {2, 1}, 0},
      {"press inside then release inside clicks once",
       {{'m', true}, {'d', true}, {'u', true}, {'u', true}},
       {2, 4, 1, 1},
       1},
      {"press inside, release outside", {{'m', true}, {'d', true}, {'m', false}, {'u', false}}, {2, 4, 4, 4}, 0},
      {"press outside, release inside", {{'d', false}, {'m', true}, {'u', true}}, {1, 2, 2}, 0},
      {"release over an item never pressed", {{'m', true}, {'u', true}}, {2, 2}, 0},
      {"moving inside while down shows over but keeps the press",
       {{'d', true}, {'m', true}, {'u', true}},
       {4, 2, 1},
       1},
      {"leaving while over drops the press",
       {{'d', true}, {'m', true}, {'m', false}, {'m', true}, {'u', true}},
       {4, 2, 1, 2, 2},
       0},
  };
  for (const auto& r : rows) {
    Trace run = Drive(r.events);
    EXPECT_EQ(run.states, r.states) << r.what;
    EXPECT_EQ(run.clicks, r.clicks) << r.what;
  }
}

TEST(EventItemState, RepaintsOnlyOnChangeAndRestartsAnimationsOnLeave) {
  EventItemState item;
  EXPECT_TRUE(item.Move(true).repaint);
  EventItemState::Outcome again = item.Move(true);
  EXPECT_FALSE(again.repaint);
  EXPECT_TRUE(again.handled);
  EXPECT_TRUE(item.Move(false).restart_animations);
  EXPECT_FALSE(item.Move(false).repaint);
}

std::vector<int32_t> Frames(int32_t count, bool cycle, int steps) {
  FrameStrip strip;
  strip.Reset(count, cycle);
  std::vector<int32_t> seen{strip.Current()};
  for (int i = 0; i < steps; ++i) {
    strip.Step();
    seen.push_back(strip.Current());
  }
  return seen;
}

TEST(FrameStrip, Sequences) {
  EXPECT_EQ(Frames(4, true, 5), (std::vector<int32_t>{1, 2, 3, 4, 1, 2}));
  EXPECT_EQ(Frames(4, false, 5), (std::vector<int32_t>{1, 2, 3, 4, 4, 4}));
  EXPECT_EQ(Frames(1, true, 2), (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(Frames(0, true, 2), (std::vector<int32_t>{1, 1, 1}));
}

TEST(FrameStrip, FramePositions) {
  FrameStrip strip;
  strip.Reset(4, true);
  strip.SetCurrent(3);
  EXPECT_EQ(strip.FrameWidth(220), 55);
  EXPECT_EQ(strip.FrameLeft(220), 110);
  strip.SetCurrent(9);  // beyond the strip
  EXPECT_EQ(strip.Current(), 1);
  strip.Reset(0, true);
  EXPECT_EQ(strip.FrameWidth(220), 0);  // no frames: nothing to cut, no division by zero
}

TEST(ColorAdjust, TintRule) {
  const uint32_t blue = Rgb(60, 135, 234);
  const HsbShift none, partial{30, 0, 10}, full{120, 10, 10};
  EXPECT_EQ(EffectiveColor(blue, true, none), blue);
  EXPECT_EQ(EffectiveColor(blue, true, partial), blue);  // all three shifts must be set
  EXPECT_EQ(EffectiveColor(blue, false, full), blue);
  EXPECT_NE(EffectiveColor(blue, true, full), blue);
  EXPECT_EQ(EffectiveColor(kKeyColor, true, full), kKeyColor);
  // A hue turn of 120 degrees carries pure red to pure green.
  EXPECT_EQ(ShiftColor(Rgb(255, 0, 0), HsbShift{120, 0, 0}, kKeyColor), Rgb(0, 255, 0));
}

}  // namespace
