#pragma once
// Placing texts and images inside a container: the 3 x 3 alignment codes, the extent rules for texts, and the
// image-with-text layout of control skins. Platform-free.
#include <cstdint>
#include <string_view>

#include "skin/draw/PixelRect.h"

namespace skin {

enum Alignment : uint32_t {
  kAlignTopLeft = 1,
  kAlignTopCentre = 2,
  kAlignTopRight = 4,
  kAlignMiddleLeft = 16,
  kAlignCentre = 32,
  kAlignMiddleRight = 64,
  kAlignBottomLeft = 256,
  kAlignBottomCentre = 512,
  kAlignBottomRight = 1024,
};

// `rect` moved inside `container` by the alignment code; any other code leaves it where it is. Centring uses
// (container width) / 2 - (rect width) / 2, right and bottom alignment the full difference.
PixelRect PlaceRect(const PixelRect& rect, const PixelRect& container, uint32_t alignment);

// The text that is measured for placement: one leading "&" (the mnemonic marker) is dropped.
std::wstring_view TextForExtent(std::wstring_view text);
// A measured extent as it stands on the screen: width and height swapped for vertical text.
PixelSize OrientedExtent(PixelSize measured, bool vertical);

// Where the image goes relative to the text.
enum ImageTextPosition : int {
  kImageAboveText = 1,
  kImageBelowText = 2,
  kImageLeftOfText = 4,
  kImageRightOfText = 8,
};
struct ImageTextRects {
  PixelRect image;
  PixelRect text;
};
// The image's share of the container is as tall (above/below) or as wide (left/right) as the image, the text
// gets the rest; any other position gives both the whole container. Each rectangle, of its own extent, is
// then aligned inside its share by its alignment code.
ImageTextRects LayoutImageWithText(const PixelRect& container, PixelSize image, PixelSize text, int position,
                                   uint32_t image_alignment, uint32_t text_alignment);

}  // namespace skin
