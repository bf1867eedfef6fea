#pragma once
// Drawing a decoded picture into a device context, and platform bitmaps made from its pixels.
#include <windows.h>

#include <span>

#include "framework/Handles.h"
#include "skin/draw/CxImage.h"
#include "skin/draw/NineGrid.h"
#include "skin/draw/PixelRect.h"

namespace skin {

// Draws the part `source` (picture coordinates, top-down) of the picture stretched into `dest`: with its alpha
// and transparent colour when it has them (only the part inside the context's clip box is read and written
// back), else with the platform's stretch. False when nothing could be drawn (empty picture, empty part).
bool DrawDecoded(HDC dc, const CxImage& picture, const PixelRect& dest, const PixelRect& source);
// Pieces of the picture (sources already inside it), blended in order through one read and one write of the
// destination under them.
bool DrawDecodedPieces(HDC dc, const CxImage& picture, std::span<const DrawPiece> pieces);
// The whole picture into `dest`.
bool DrawDecoded(HDC dc, const CxImage& picture, const PixelRect& dest);
// The whole picture at natural size at (x, y).
bool DrawDecodedAt(HDC dc, const CxImage& picture, int x, int y);

// A new 24-bit DIB section of the picture's pixels (alpha not applied); empty for an empty picture.
fw::UniqueBitmap MakeBitmap(const CxImage& picture);

}  // namespace skin
