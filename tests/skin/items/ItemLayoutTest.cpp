// Item rectangles inside their parent, and the state filter.
#include <gtest/gtest.h>

#include "skin/items/ItemLayout.h"

using namespace skin;

namespace {

TEST(ItemLayout, Table) {
  const struct {
    const char* what;
    Placement layout;  // left, top, right, bottom, width, height
    Rect parent;
    Rect want;
  } rows[] = {
      {"negative left keeps its distance from the right edge",
       {-51, 0, 0, 0, 51, 32},
       {0, 0, 400, 300},
       {349, 0, 400, 32}},
      {"centred by integer division", {kCenter, 0, 0, 0, 100, 20}, {0, 0, 301, 50}, {100, 0, 200, 20}},
      {"centred vertically inside an offset parent", {0, kCenter, 0, 0, 10, 10}, {5, 20, 50, 61}, {5, 35, 15, 45}},
      {"absent right and bottom stretch to the far edges", {10, 5, 0, 0, 0, 0}, {0, 0, 200, 100}, {10, 5, 200, 100}},
      {"negative right and bottom stop short of the far edges",
       {10, 5, -4, -6, 0, 0},
       {0, 0, 200, 100},
       {10, 5, 196, 94}},
      {"positive right and bottom count from the near edges",
       {10, 5, 50, 60, 0, 0},
       {20, 30, 200, 100},
       {30, 35, 70, 90}},
      {"width and height win over right and bottom", {24, 3, 30, 40, 17, 18}, {0, 0, 69, 26}, {24, 3, 41, 21}},
      {"negative top counts from the bottom", {4, -47, -4, -4, 0, 0}, {0, 0, 425, 250}, {4, 203, 421, 246}},
      {"all zero fills the parent", {0, 0, 0, 0, 0, 0}, {3, 4, 30, 40}, {3, 4, 30, 40}},
      {"huge values saturate instead of wrapping",
       {INT32_MAX - 1, 0, 0, 0, INT32_MAX, 1},
       {0, 0, 10, 10},
       {INT32_MAX - 1, 0, INT32_MAX, 1}},
  };
  for (const auto& r : rows) EXPECT_EQ(LayoutItem(r.layout, r.parent), r.want) << r.what;
}

TEST(ItemLayout, StateFilter) {
  EXPECT_TRUE(ItemShownInState(kStateAll, kStateCheckedOver));
  EXPECT_TRUE(ItemShownInState(7, kStateDown));
  EXPECT_FALSE(ItemShownInState(7, kStateDisable));
  EXPECT_FALSE(ItemShownInState(kStateAll | kStateNormal, kStateOver));
  EXPECT_FALSE(ItemShownInState(0, kStateNormal));
}

}  // namespace
