// The theme's value syntaxes, state lists, placement rule, names and hash.
#include <gtest/gtest.h>

#include "skin/SkinResourceManager.h"
#include "skin/ThemeTable.h"
#include "skin/ThemeValues.h"

using namespace skin;

namespace {

TEST(ThemeValues, Integers) {
  const struct {
    const wchar_t* text;
    int32_t want;
  } rows[] = {{L"42", 42},          {L"  -51", -51},     {L"+7px", 7},          {L"px7", 0},
              {L"", 0},             {L"-", 0},           {L"99999999999", INT32_MAX}, {L"-99999999999", INT32_MIN},
              {L"12,5", 12}};
  for (const auto& r : rows) EXPECT_EQ(ParseInt(r.text), r.want) << r.text;
  EXPECT_EQ(ParsePosition(L"center"), kCenter);
  EXPECT_EQ(ParsePosition(L"Center"), 0);
}

TEST(ThemeValues, RgbColours) {
  const uint32_t kDefault = Rgb(1, 2, 3);
  const struct {
    const wchar_t* text;
    uint32_t want;
  } rows[] = {
      {L"RGB(64,165,213)", Rgb(64, 165, 213)},
      {L"RGB(300,0,0)", Rgb(44, 0, 0)},  // cut to 8 bits
      {L"xyz(1,2,3]", Rgb(1, 2, 3)},     // the prefix and the closing character are not checked
      {L"RGB(255)", Rgb(255, 0, 0)},     // missing parts are 0
      {L"RGB(1,2,3,4)", Rgb(1, 2, 3)},   // at most three parts
      {L"RGB()", kDefault},              // too short for the fixed-width syntax
      {L"RGB", kDefault},
      {L"", kDefault},
  };
  for (const auto& r : rows) EXPECT_EQ(ParseRgb(r.text, kDefault), r.want) << r.text;
}

TEST(ThemeValues, QuadruplesAndPairs) {
  const Quad qd = {9, 9, 9, 9};
  EXPECT_EQ(ParseQuad(L"(15,15,15,15)", qd), (Quad{15, 15, 15, 15}));
  EXPECT_EQ(ParseQuad(L"(15,15)", qd), (Quad{15, 15, -1, -1}));
  EXPECT_EQ(ParseQuad(L"(30,6,6,6,8)", qd), (Quad{30, 6, 6, 6}));
  EXPECT_EQ(ParseQuad(L"()", qd), qd);
  EXPECT_EQ(ParseQuad(L"", qd), qd);
  EXPECT_EQ(ParseQuad(L"(x)", qd), (Quad{0, -1, -1, -1}));
  const Pair pd = {1, 1};
  EXPECT_EQ(ParsePair(L"(2,2)", pd), (Pair{2, 2}));
  EXPECT_EQ(ParsePair(L"(5)", pd), (Pair{5, 0}));
  EXPECT_EQ(ParsePair(L"(", pd), pd);
}

TEST(ThemeValues, ColourReferences) {
  CSkinResourceManager m;
  m.SetSystemColorSource([](int index) { return index == 1 ? Rgb(9, 8, 7) : Rgb(0, 0, 0); });
  EXPECT_EQ(m.ResolveColor(L"#nowhere", 5), Rgb(9, 8, 7)) << "unknown ids give the desktop colour";
  EXPECT_EQ(m.ResolveColor(L"RGB(1,2,3)", 5), Rgb(1, 2, 3));
  EXPECT_EQ(m.ResolveColor(L"", 5), 5u);
}

TEST(ThemeValues, StateLists) {
  const struct {
    const wchar_t* text;
    uint32_t want;
  } rows[] = {
      {L"normal|over|down", kStateNormal | kStateOver | kStateDown},
      {L"disable", kStateDisable},
      {L"all", kStateAll},
      {L"", kStateAll},
      {L"unchecknormal", kStateUncheckNormal},
      {L"checkednormal", kStateCheckedNormal},
      {L"uncheckover", kStateUncheckOver},
      {L"checkedover", kStateCheckedOver},
      {L"checkeddisable", kStateCheckedDisable | kStateDisable},
      {L"checked", kStateCheckedNormal},
      {L"checked|down", kStateDown},
      {L"normal over", kStateNormal | kStateOver},
      {L"bogus", 0},
  };
  for (const auto& r : rows) EXPECT_EQ(ParseStateList(r.text), r.want) << r.text;
}

TEST(ThemeValues, PlacementRule) {
  const Rect parent{0, 0, 400, 300};
  const struct {
    const char* what;
    Placement p;
    std::optional<Rect> want;
  } rows[] = {
      {"close button at the top right", {-51, 0, 0, 0, 51, 32}, Rect{349, 0, 400, 32}},
      {"minimise left of it", {-84, 0, 0, 0, 33, 32}, Rect{316, 0, 349, 32}},
      {"all edges zero: not moved", {0, 0, 0, 0, 69, 26}, std::nullopt},
      {"centred", {kCenter, kCenter, 0, 0, 100, 50}, Rect{150, 125, 250, 175}},
      {"edges from the right and bottom", {3, 32, -3, -3, 0, 0}, Rect{3, 32, 397, 297}},
      {"positive right and bottom from the left and top", {4, -47, 100, 10, 0, 0}, Rect{4, 253, 100, 10}},
      {"zero bottom is the bottom edge", {10, 0, 0, 0, 142, 25}, Rect{10, 0, 152, 25}},
      {"zero right is the right edge", {26, 5, 0, 0, 0, 0}, Rect{26, 5, 400, 300}},
  };
  for (const auto& r : rows) EXPECT_EQ(Place(r.p, parent), r.want) << r.what;
  // An offset reference rectangle.
  EXPECT_EQ(Place({-51, 0, 0, 0, 51, 32}, Rect{10, 20, 110, 120}), (Rect{59, 20, 110, 52}));
  // Extreme values do not overflow.
  EXPECT_TRUE(Place({INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX}, parent).has_value());
}

TEST(ThemeValues, FileKinds) {
  const struct {
    const wchar_t* name;
    FileKind want;
  } rows[] = {
      {L"skin/x.png", FileKind::kPng}, {L"skin/x.Png", FileKind::kPng},  {L"a.bmp", FileKind::kBmp},
      {L"a.JPG", FileKind::kJpg},      {L"a.jpeg", FileKind::kUnknown},  {L"a.ico", FileKind::kIco},
      {L"a.gif", FileKind::kGif},      {L"skin.xml", FileKind::kXml},    {L"skin/", FileKind::kUnknown},
      {L"Thumbs.db", FileKind::kUnknown}, {L"ng", FileKind::kUnknown},   {L"", FileKind::kUnknown},
      {L"png", FileKind::kPng},
  };
  for (const auto& r : rows) EXPECT_EQ(FileKindFromName(r.name), r.want) << r.name;
}

TEST(ThemeValues, EntryNameCleaning) {
  const struct {
    const wchar_t* stored;
    const wchar_t* want;
  } rows[] = {
      {L"skin/DialogBk.bmp", L"skin/DialogBk.bmp"},
      {L"/skin/x.png", L"skin/x.png"},
      {L"\\\\server\\x.png", L"server\\x.png"},
      {L"../../x.png", L"x.png"},
      {L"C:x.png", L"x.png"},
      {L"C:\\..\\x.png", L"..\\x.png"},  // the drive and the slash go first; no parent step is left
      {L"a/b/..\\c/x.png", L"c/x.png"},
      {L"a\\../b/../x.png", L"x.png"},
      {L"x..png", L"x..png"},
      {L"", L""},
  };
  for (const auto& r : rows) EXPECT_EQ(CleanEntryName(r.stored), r.want) << r.stored;
}

TEST(ThemeValues, HashBuckets) {
  EXPECT_EQ(ThemeHash(L""), 0u);
  EXPECT_EQ(ThemeHash(L"a"), 97u % 83u);
  // "ab": from the last character: h = 'b' = 98, then 'a' + 33 * 98 = 3331.
  EXPECT_EQ(ThemeHash(L"ab"), 3331u % 83u);
  // Long keys wrap around in 32 bits instead of overflowing.
  EXPECT_LT(ThemeHash(std::wstring(5000, L'\xFFFF')), 83u);
}

TEST(ThemeValues, HashTableReplacesAndRemoves) {
  ThemeHashTable<int> t;
  t.Insert(L"a", std::make_unique<int>(1));
  t.Insert(L"a", std::make_unique<int>(2));
  EXPECT_EQ(t.Size(), 1u);
  EXPECT_EQ(*t.Find(L"a"), 2);
  EXPECT_EQ(t.Find(L"A"), nullptr);
  auto v = t.Remove(L"a");
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, 2);
  EXPECT_EQ(t.Find(L"a"), nullptr);
  EXPECT_EQ(t.Remove(L"a"), nullptr);
}

}  // namespace
