#pragma once
// Where the pieces of a nine-part grid and of a three-part stretch come from and go to. Every source piece is
// clamped to the picture (or to the source area), and a piece whose source or destination has a side of 0 or
// less is left out, so no piece reads outside the picture and none is mirrored. Destination pieces are clipped
// to the destination rectangle (the source is cut by the same share), so nothing is drawn outside it; corner
// pieces may still overlap each other when the grid is larger than half the rectangle.
#include <array>
#include <cstdint>
#include <optional>

#include "skin/draw/PixelRect.h"

namespace skin {

struct DrawPiece {
  PixelRect source;
  PixelRect dest;
  // Unscaled along both axes.
  bool IsNatural() const { return source.Width() == dest.Width() && source.Height() == dest.Height(); }
};

// One part copy: the source clamped to the picture and cut to the part that lands inside `dest`; none when
// nothing is left.
std::optional<DrawPiece> ClampPiece(const PixelRect& source, const PixelRect& dest, PixelSize picture);

// Piece order of a nine-part grid.
enum NinePiece : int {
  kTopLeft, kTopRight, kBottomLeft, kBottomRight, kLeftEdge, kTopEdge, kRightEdge, kBottomEdge, kCentre,
};
using NineGridPieces = std::array<std::optional<DrawPiece>, 9>;

// The nine pieces of `dest` cut by `grid` from the source `area` (the whole picture for Draw9Grid). The area is
// clamped to a picture of `picture` size first.
NineGridPieces CutNineGrid(const PixelRect& dest, const GridMargins& grid, const PixelRect& area,
                           PixelSize picture);
inline NineGridPieces CutNineGrid(const PixelRect& dest, const GridMargins& grid, PixelSize picture) {
  return CutNineGrid(dest, grid, PixelRect{0, 0, picture.width, picture.height}, picture);
}

// Pieces of a three-part stretch of a bitmap: the two caps are copied unscaled (keyed), the middle stretched.
// Horizontal: the 2-pixel column after the first cap is stretched over the middle, heights cut to the picture.
// Vertical: the whole middle band is stretched, widths cut to the picture.
struct ThreePartPieces {
  std::optional<DrawPiece> first_cap, middle, second_cap;
};
ThreePartPieces CutThreePart(const PixelRect& dest, int32_t first_cap, int32_t second_cap, bool vertical,
                             PixelSize picture);

// The nine-grid a decoded picture's three-part stretch is drawn with: the destination and the grid.
struct ThreePartGrid {
  PixelRect dest;
  GridMargins grid;
};
ThreePartGrid ThreePartAsNineGrid(const PixelRect& dest, int32_t first_cap, int32_t second_cap, bool vertical,
                                  PixelSize picture);

}  // namespace skin
