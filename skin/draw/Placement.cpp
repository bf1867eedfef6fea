#include "skin/draw/Placement.h"

#include <utility>

namespace skin {

PixelRect PlaceRect(const PixelRect& rect, const PixelRect& container, uint32_t alignment) {
  int32_t column, row;
  switch (alignment) {
    case kAlignTopLeft: column = 0, row = 0; break;
    case kAlignTopCentre: column = 1, row = 0; break;
    case kAlignTopRight: column = 2, row = 0; break;
    case kAlignMiddleLeft: column = 0, row = 1; break;
    case kAlignCentre: column = 1, row = 1; break;
    case kAlignMiddleRight: column = 2, row = 1; break;
    case kAlignBottomLeft: column = 0, row = 2; break;
    case kAlignBottomCentre: column = 1, row = 2; break;
    case kAlignBottomRight: column = 2, row = 2; break;
    default: return rect;
  }
  const int32_t w = rect.Width(), h = rect.Height();
  int32_t x = container.left, y = container.top;
  if (column == 1) x += container.Width() / 2 - w / 2;
  if (column == 2) x += container.Width() - w;
  if (row == 1) y += container.Height() / 2 - h / 2;
  if (row == 2) y += container.Height() - h;
  return PixelRect{x, y, x + w, y + h};
}

std::wstring_view TextForExtent(std::wstring_view text) {
  if (!text.empty() && text.front() == L'&') text.remove_prefix(1);
  return text;
}

PixelSize OrientedExtent(PixelSize measured, bool vertical) {
  if (vertical) std::swap(measured.width, measured.height);
  return measured;
}

ImageTextRects LayoutImageWithText(const PixelRect& container, PixelSize image, PixelSize text, int position,
                                   uint32_t image_alignment, uint32_t text_alignment) {
  PixelRect image_share = container, text_share = container;
  switch (position) {
    case kImageAboveText:
      image_share.bottom = text_share.top = container.top + image.height;
      break;
    case kImageBelowText:
      image_share.top = text_share.bottom = container.bottom - image.height;
      break;
    case kImageLeftOfText:
      image_share.right = text_share.left = container.left + image.width;
      break;
    case kImageRightOfText:
      image_share.left = text_share.right = container.right - image.width;
      break;
    default:
      break;
  }
  const PixelRect image_rect{image_share.left, image_share.top, image_share.left + image.width,
                             image_share.top + image.height};
  const PixelRect text_rect{text_share.left, text_share.top, text_share.left + text.width,
                            text_share.top + text.height};
  return {PlaceRect(image_rect, image_share, image_alignment), PlaceRect(text_rect, text_share, text_alignment)};
}

}  // namespace skin
