#pragma once
// The engine's built-in 8 x 8 glyphs (submenu arrow, check mark, drop-down arrow, radio dot, restore,
// minimise, close, maximise, chevron), numbered 1 to 9. Platform-free.
#include <array>
#include <cstddef>
#include <cstdint>

namespace skin {

inline constexpr int kGlyphSide = 8;
enum Glyph : int {
  kGlyphSubmenuArrow = 1,
  kGlyphCheckMark,
  kGlyphDropDownArrow,
  kGlyphRadioDot,
  kGlyphRestore,
  kGlyphMinimise,
  kGlyphClose,
  kGlyphMaximise,
  kGlyphChevron,
};

// Rows top to bottom; bit 7 is the leftmost pixel. Null for a number that is no glyph.
const std::array<uint8_t, kGlyphSide>* GlyphRows(int glyph);
inline bool GlyphPixelSet(const std::array<uint8_t, kGlyphSide>& rows, int x, int y) {
  return (rows[static_cast<size_t>(y)] >> (7 - x)) & 1;
}

}  // namespace skin
