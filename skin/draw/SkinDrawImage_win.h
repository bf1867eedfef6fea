#pragma once
// Drawing a theme picture. The bitmap form (BMP pictures: a screen-compatible bitmap built from the checked
// pixels) is drawn with the platform's block copies, the decoded form (PNG, JPEG, ICO) with its alpha.
// Both are made on first use and kept by the picture. A picture with neither form draws nothing and the
// operations return false (DrawFill9Grid returns true).
#include <windows.h>

#include "skin/draw/SkinBitmap_win.h"
#include "skin/draw/SkinDrawImage.h"

namespace skin {

// The picture's bitmap form, built on first request; none for decoded pictures or a BMP that does not decode.
const CSkinBitmap* BitmapForm(CSkinDrawImage& picture);
// The bitmap form's handle, else a bitmap made once from the decoded form; owned by the picture.
HBITMAP GetBitmap(CSkinDrawImage& picture);

// The whole picture at natural size: bitmap form opaque, decoded form with its alpha.
bool DrawAt(HDC dc, CSkinDrawImage& picture, int x, int y);
// The whole picture at natural size: bitmap form keyed, decoded form with its alpha.
bool DrawAtTransparent(HDC dc, CSkinDrawImage& picture, int x, int y);
// The part (sx, sy, width, height) at natural size at (x, y): bitmap form opaque.
bool DrawBitBlt(HDC dc, CSkinDrawImage& picture, int x, int y, int sx, int sy, int width, int height);
// The part (sx, sy, sw, sh) stretched into (x, y, width, height): bitmap form in halftone mode (the previous
// mode is restored).
bool DrawStretchBlt(HDC dc, CSkinDrawImage& picture, int x, int y, int width, int height, int sx, int sy, int sw,
                    int sh);
// The part (sx, sy, width, height) at natural size at (x, y): bitmap form keyed.
bool DrawTransparentBlt(HDC dc, CSkinDrawImage& picture, int x, int y, int sx, int sy, int width, int height);
// Nine-part grid into (left, top, right, bottom). Bitmap form: centre and edges stretched opaquely in the
// context's stretch mode, then the corners keyed. Decoded form: the nine pieces in order, with alpha.
bool Draw9Grid(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom, int gl, int gt, int gr,
               int gb);
// Nine-part grid of the source area (sl, st, sr, sb). Bitmap form all opaque: edges, corners, centre.
bool DrawFill9Grid(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom, int gl, int gt,
                   int gr, int gb, int sl, int st, int sr, int sb);
// Three-part stretch with caps c1, c2 along the width (or the height when `vertical`).
bool DrawBitStretchBlt(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom, int c1, int c2,
                       bool vertical);
// The whole picture stretched into the rectangle.
bool DrawStretchWhole(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom);

}  // namespace skin
