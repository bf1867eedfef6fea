#include "skin/draw/Glyphs.h"

namespace skin {
namespace {

constexpr uint8_t Row(const char (&pattern)[9]) {
  uint8_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = static_cast<uint8_t>((bits << 1) | (pattern[i] == '#' ? 1 : 0));
  return bits;
}

using Rows = std::array<uint8_t, kGlyphSide>;
constexpr Rows kGlyphs[] = {
    {Row("........"), Row("..#....."), Row("..##...."), Row("..###..."), Row("..####.."), Row("..###..."),
     Row("..##...."), Row("..#.....")},
    {Row("........"), Row("......#."), Row(".....##."), Row("#...###."), Row("##.###.."), Row("#####..."),
     Row(".###...."), Row("..#.....")},
    {Row("........"), Row("........"), Row("#######."), Row(".#####.."), Row("..###..."), Row("...#...."),
     Row("........"), Row("........")},
    {Row("........"), Row("..####.."), Row(".######."), Row(".######."), Row(".######."), Row(".######."),
     Row("..####.."), Row("........")},
    {Row("..######"), Row(".......#"), Row("######.#"), Row("######.#"), Row("##..##.#"), Row("##..##.#"),
     Row("######.."), Row("######..")},
    {Row("........"), Row("........"), Row("........"), Row("########"), Row("########"), Row("........"),
     Row("........"), Row("........")},
    {Row(".##...##"), Row(".###.###"), Row("..#####."), Row("...###.."), Row("...###.."), Row("..#####."),
     Row(".###.###"), Row(".##...##")},
    {Row("........"), Row("########"), Row("########"), Row("##....##"), Row("##....##"), Row("##....##"),
     Row("########"), Row("########")},
    {Row("##..##.."), Row(".##..##."), Row("..##..##"), Row(".##..##."), Row("##..##.."), Row("........"),
     Row("........"), Row("........")},
};

}  // namespace

const std::array<uint8_t, kGlyphSide>* GlyphRows(int glyph) {
  if (glyph < kGlyphSubmenuArrow || glyph > kGlyphChevron) return nullptr;
  return &kGlyphs[glyph - 1];
}

}  // namespace skin
