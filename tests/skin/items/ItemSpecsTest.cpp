// What the item kinds read from their theme records, and which records become items.
#include <gtest/gtest.h>

#include "skin/SkinResourceManager.h"
#include "skin/items/ItemSpecs.h"

using namespace skin;

namespace {

ChildItem Record(ChildKind kind, std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attrs) {
  ChildItem item;
  item.kind = kind;
  for (const auto& [name, value] : attrs) item.attrs.Set(name, value);
  return item;
}

TEST(ItemSpecs, TextFormatFlags) {
  const struct {
    std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> attrs;
    uint32_t want;
  } rows[] = {
      {{}, kTextVCenter | kTextSingleLine},
      {{{L"vertAlign", L"top"}}, kTextTop | kTextSingleLine},
      {{{L"vertAlign", L"bottom"}}, kTextBottom | kTextSingleLine},
      {{{L"vertAlign", L"Top"}}, kTextVCenter | kTextSingleLine},
      {{{L"horizAlign", L"right"}}, kTextVCenter | kTextRight | kTextSingleLine},
      {{{L"horizAlign", L"center"}}, kTextVCenter | kTextCenter | kTextSingleLine},
      {{{L"horizAlign", L"left"}}, kTextVCenter | kTextSingleLine},
      {{{L"singleLine", L"false"}}, kTextVCenter | kTextWordBreakEdit},
      {{{L"singleLine", L"no"}}, kTextVCenter | kTextSingleLine},
      {{{L"ellipsis", L"true"}}, kTextVCenter | kTextSingleLine | kTextEllipsisNoPrefix},
      {{{L"ellipsis", L"yes"}}, kTextVCenter | kTextSingleLine},
      {{{L"vertAlign", L"top"}, {L"horizAlign", L"center"}, {L"singleLine", L"false"}, {L"ellipsis", L"true"}},
       kTextCenter | kTextWordBreakEdit | kTextEllipsisNoPrefix},
  };
  for (const auto& r : rows) {
    Attributes a;
    for (const auto& [n, v] : r.attrs) a.Set(n, v);
    EXPECT_EQ(TextFormat(a), r.want);
  }
  // The platform's values, as the theme relies on them.
  EXPECT_EQ(kTextWordBreakEdit, 8208u);
  EXPECT_EQ(kTextEllipsisNoPrefix, 34816u);
}

TEST(ItemSpecs, TextIsCutAndFallsBackToTheHostText) {
  CSkinResourceManager theme;
  const std::wstring long_text(600, L'x');
  TextSpec settings = ReadTextSpec(
      Record(ChildKind::kText, {{L"string", long_text.c_str()}, {L"color", L"RGB(1,2,3)"}, {L"adjusthsb", L"True"}}),
      theme);
  EXPECT_EQ(settings.text.size(), kMaxItemText);
  EXPECT_EQ(settings.color, Rgb(1, 2, 3));
  EXPECT_FALSE(settings.adjust);  // only the exact "true" turns tinting on
  EXPECT_EQ(TextToDraw(L"", L"host"), L"host");
  EXPECT_EQ(TextToDraw(L"own", L"host"), L"own");
  EXPECT_EQ(TextToDraw(L"", std::wstring(700, L'h')).size(), kMaxItemText);
}

TEST(ItemSpecs, ImageStylesAndSourceCorrection) {
  const struct {
    const wchar_t* name;
    ImageStyle want;
  } styles[] = {{L"stretchBlt", ImageStyle::kStretchBlt},
                {L"draw9grid", ImageStyle::kDraw9Grid},
                {L"fill9grid", ImageStyle::kFill9Grid},
                {L"bitStretchBlt", ImageStyle::kBitStretchBlt},
                {L"transparentBlt", ImageStyle::kTransparentBlt},
                {L"bitBlt", ImageStyle::kBitBlt},
                {L"bitbltblt", ImageStyle::kBitBlt},
                {L"Draw9Grid", ImageStyle::kBitBlt},
                {L"", ImageStyle::kBitBlt}};
  for (const auto& s : styles) EXPECT_EQ(ImageStyleOf(s.name), s.want) << s.name;

  ImageSpec defaults = ReadImageSpec(Record(ChildKind::kImage, {}));
  EXPECT_EQ(defaults.grid, (Quad{2, 2, 2, 2}));
  EXPECT_EQ(defaults.part_offset, (Pair{2, 2}));
  EXPECT_EQ(defaults.style_name, L"bitBlt");

  const struct {
    int32_t x, y, w, h;
    int32_t want_w, want_h;
  } rows[] = {{0, 0, 0, 0, 142, 25},    {10, 5, 0, 0, 132, 20},   {0, 0, 20, 10, 20, 10},
              {0, 0, 142, 25, 142, 25}, {4, 0, 500, -3, 138, 25}, {200, 30, 0, 0, -58, -5}};
  for (const auto& r : rows) {
    ImageSpec settings;
    settings.src_x = r.x, settings.src_y = r.y, settings.src_width = r.w, settings.src_height = r.h;
    CorrectSourceSize(settings, 142, 25);
    EXPECT_EQ(settings.src_width, r.want_w);
    EXPECT_EQ(settings.src_height, r.want_h);
  }
}

TEST(ItemSpecs, LineRectangleAndAnimation) {
  CSkinResourceManager theme;
  const struct {
    const wchar_t* style;
    int want;
  } pens[] = {{L"dash", 1}, {L"dot", 2}, {L"dashdot", 3}, {L"dashdotdot", 4}, {L"solid", 0}, {L"Dash", 0}};
  for (const auto& p : pens)
    EXPECT_EQ(ReadLineSpec(Record(ChildKind::kLine, {{L"penStyle", p.style}}), theme).pen_style, p.want);
  LineSpec line = ReadLineSpec(Record(ChildKind::kLine, {}), theme);
  EXPECT_EQ(line.pen_width, 1);
  EXPECT_TRUE(line.adjust);

  RectangleSpec rect = ReadRectangleSpec(Record(ChildKind::kRectangle, {{L"drawStyle", L"vert"},
                                                                        {L"round", L"(2,2)"},
                                                                        {L"fillColor", L"RGB(243,247,255)"},
                                                                        {L"adjusthsb", L"false"}}),
                                         theme);
  EXPECT_EQ(rect.style, RectangleStyle::kVertical);
  EXPECT_EQ(rect.round, (Pair{2, 2}));
  EXPECT_EQ(rect.fill, Rgb(243, 247, 255));
  EXPECT_EQ(rect.border, 0u);
  EXPECT_FALSE(rect.adjust);
  EXPECT_EQ(ReadRectangleSpec(Record(ChildKind::kRectangle, {{L"drawStyle", L"Horiz"}}), theme).style,
            RectangleStyle::kFill);

  AnimateSpec anim = ReadAnimateSpec(
      Record(ChildKind::kAnimate,
             {{L"frameCount", L"0"}, {L"beginFrame", L"-3"}, {L"delayTime", L"-1"}, {L"cycle", L"false"}}));
  EXPECT_EQ(anim.frame_count, 1);
  EXPECT_EQ(anim.begin_frame, 1);
  EXPECT_EQ(anim.delay_ms, 200);
  EXPECT_FALSE(anim.cycle);
  EXPECT_TRUE(anim.enable);
}

TEST(ItemSpecs, RecordsThatBecomeItems) {
  using K = ChildKind;
  std::vector<ChildItem> children;
  for (K k : {K::kRectangle, K::kLine, K::kAnimate, K::kDrawItem, K::kImage, K::kEventItem, K::kText})
    children.push_back(Record(k, {}));
  EXPECT_EQ(ItemRecords(children, std::nullopt).size(), 7u);
  // Inside a draw item no draw item is built; inside an event item neither event nor draw items.
  std::vector<ItemKind> in_draw, in_event;
  for (const ChildItem* c : ItemRecords(children, K::kDrawItem)) in_draw.push_back(ItemKindOf(c->kind));
  for (const ChildItem* c : ItemRecords(children, K::kEventItem)) in_event.push_back(ItemKindOf(c->kind));
  EXPECT_EQ(in_draw, (std::vector<ItemKind>{ItemKind::kRectangle, ItemKind::kLine, ItemKind::kAnimate, ItemKind::kImage,
                                            ItemKind::kEventItem, ItemKind::kText}));
  EXPECT_EQ(in_event, (std::vector<ItemKind>{ItemKind::kRectangle, ItemKind::kLine, ItemKind::kAnimate,
                                             ItemKind::kImage, ItemKind::kText}));
}

}  // namespace
