#include "skin/draw/SkinDrawImage_win.h"

#include <array>

#include "framework/Handles.h"
#include "skin/draw/CxImageDraw_win.h"
#include "skin/draw/NineGrid.h"

namespace skin {
namespace {

// What a picture keeps for drawing: its bitmap form (BMP pictures) and the bitmap made from its decoded form.
class GdiForms : public CSkinPictureForms {
 public:
  CSkinBitmap bitmap;
  fw::UniqueBitmap cached;
  bool cached_made = false;
};

GdiForms& FormsOf(CSkinDrawImage& picture) {
  if (auto* forms = static_cast<GdiForms*>(picture.Forms())) return *forms;
  picture.Realise();
  auto forms = std::make_unique<GdiForms>();
  if (picture.HasBitmapForm()) forms->bitmap.SetFromPicture(picture.Decoded());
  GdiForms& made = *forms;
  picture.SetForms(std::move(forms));
  return made;
}

// The bitmap form to draw with (its key kept in step with the picture's), or none.
const CSkinBitmap* Bitmap(CSkinDrawImage& picture) {
  GdiForms& forms = FormsOf(picture);
  if (forms.bitmap.IsEmpty()) return nullptr;
  forms.bitmap.SetKeyColor(picture.KeyColor());
  return &forms.bitmap;
}

const CxImage* Decoded(CSkinDrawImage& picture) {
  picture.Realise();
  return picture.Decoded().IsValid() ? &picture.Decoded() : nullptr;
}

PixelSize SizeOf(const CSkinDrawImage& picture) {
  return {static_cast<int32_t>(picture.GetWidth()), static_cast<int32_t>(picture.GetHeight())};
}

bool DrawDecodedGrid(HDC dc, const CxImage& picture, const NineGridPieces& pieces) {
  std::array<DrawPiece, 9> present;
  size_t n = 0;
  for (const std::optional<DrawPiece>& p : pieces)
    if (p) present[n++] = *p;
  return n == 0 || DrawDecodedPieces(dc, picture, std::span<const DrawPiece>(present.data(), n));
}

}  // namespace

const CSkinBitmap* BitmapForm(CSkinDrawImage& picture) { return Bitmap(picture); }

HBITMAP GetBitmap(CSkinDrawImage& picture) {
  if (const CSkinBitmap* bitmap = Bitmap(picture)) return bitmap->GetHandle();
  GdiForms& forms = FormsOf(picture);
  if (!forms.cached_made) {
    forms.cached_made = true;
    if (const CxImage* decoded = Decoded(picture)) forms.cached = MakeBitmap(*decoded);
  }
  return forms.cached.get();
}

bool DrawAt(HDC dc, CSkinDrawImage& picture, int x, int y) {
  if (const CSkinBitmap* bitmap = Bitmap(picture)) return bitmap->Copy(dc, x, y, bitmap->Width(), bitmap->Height(), 0, 0);
  const CxImage* decoded = Decoded(picture);
  return decoded && DrawDecodedAt(dc, *decoded, x, y);
}

bool DrawAtTransparent(HDC dc, CSkinDrawImage& picture, int x, int y) {
  if (const CSkinBitmap* bitmap = Bitmap(picture))
    return bitmap->KeyedCopy(dc, x, y, 0, 0, bitmap->Width(), bitmap->Height());
  const CxImage* decoded = Decoded(picture);
  return decoded && DrawDecodedAt(dc, *decoded, x, y);
}

bool DrawBitBlt(HDC dc, CSkinDrawImage& picture, int x, int y, int sx, int sy, int width, int height) {
  if (const CSkinBitmap* bitmap = Bitmap(picture)) return bitmap->Copy(dc, x, y, width, height, sx, sy);
  const CxImage* decoded = Decoded(picture);
  return decoded && DrawDecoded(dc, *decoded, {x, y, x + width, y + height}, {sx, sy, sx + width, sy + height});
}

bool DrawStretchBlt(HDC dc, CSkinDrawImage& picture, int x, int y, int width, int height, int sx, int sy, int sw,
                    int sh) {
  if (const CSkinBitmap* bitmap = Bitmap(picture))
    return bitmap->StretchCopy(dc, RECT{x, y, x + width, y + height}, RECT{sx, sy, sx + sw, sy + sh});
  const CxImage* decoded = Decoded(picture);
  return decoded && DrawDecoded(dc, *decoded, {x, y, x + width, y + height}, {sx, sy, sx + sw, sy + sh});
}

bool DrawTransparentBlt(HDC dc, CSkinDrawImage& picture, int x, int y, int sx, int sy, int width, int height) {
  if (const CSkinBitmap* bitmap = Bitmap(picture)) return bitmap->KeyedCopy(dc, x, y, sx, sy, width, height);
  const CxImage* decoded = Decoded(picture);
  return decoded && DrawDecoded(dc, *decoded, {x, y, x + width, y + height}, {sx, sy, sx + width, sy + height});
}

bool Draw9Grid(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom, int gl, int gt, int gr,
               int gb) {
  if (const CSkinBitmap* bitmap = Bitmap(picture)) return bitmap->Keyed9Grid(dc, left, top, right, bottom, gl, gt, gr, gb);
  const CxImage* decoded = Decoded(picture);
  if (!decoded || !dc) return false;
  return DrawDecodedGrid(dc, *decoded, CutNineGrid({left, top, right, bottom}, {gl, gt, gr, gb}, SizeOf(picture)));
}

bool DrawFill9Grid(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom, int gl, int gt,
                   int gr, int gb, int sl, int st, int sr, int sb) {
  if (const CSkinBitmap* bitmap = Bitmap(picture))
    return bitmap->Opaque9Grid(dc, RECT{left, top, right, bottom}, gl, gt, gr, gb, RECT{sl, st, sr, sb});
  const CxImage* decoded = Decoded(picture);
  if (!decoded || !dc) return true;  // nothing to draw is not a failure here
  return DrawDecodedGrid(dc, *decoded,
                         CutNineGrid({left, top, right, bottom}, {gl, gt, gr, gb}, {sl, st, sr, sb}, SizeOf(picture)));
}

bool DrawBitStretchBlt(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom, int c1, int c2,
                       bool vertical) {
  if (const CSkinBitmap* bitmap = Bitmap(picture)) {
    if (!dc) return false;
    const ThreePartPieces parts = CutThreePart({left, top, right, bottom}, c1, c2, vertical, SizeOf(picture));
    fw::UniqueMemDC source(::CreateCompatibleDC(dc));
    if (!source) return false;
    fw::ScopedSelectObject select(source.get(), bitmap->GetHandle());
    const auto keyed = [&](const std::optional<DrawPiece>& p) {
      if (p)
        ::TransparentBlt(dc, p->dest.left, p->dest.top, p->dest.Width(), p->dest.Height(), source.get(),
                         p->source.left, p->source.top, p->source.Width(), p->source.Height(), bitmap->KeyColor());
    };
    keyed(parts.first_cap);
    if (const auto& m = parts.middle)
      ::StretchBlt(dc, m->dest.left, m->dest.top, m->dest.Width(), m->dest.Height(), source.get(), m->source.left,
                   m->source.top, m->source.Width(), m->source.Height(), SRCCOPY);
    keyed(parts.second_cap);
    return true;
  }
  if (!Decoded(picture)) return false;
  const ThreePartGrid grid = ThreePartAsNineGrid({left, top, right, bottom}, c1, c2, vertical, SizeOf(picture));
  return Draw9Grid(dc, picture, grid.dest.left, grid.dest.top, grid.dest.right, grid.dest.bottom, grid.grid.left,
                   grid.grid.top, grid.grid.right, grid.grid.bottom);
}

bool DrawStretchWhole(HDC dc, CSkinDrawImage& picture, int left, int top, int right, int bottom) {
  picture.Realise();
  return DrawStretchBlt(dc, picture, left, top, right - left, bottom - top, 0, 0, static_cast<int>(picture.GetWidth()),
                        static_cast<int>(picture.GetHeight()));
}

}  // namespace skin
