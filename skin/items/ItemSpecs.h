#pragma once
// What each DirectUI item kind reads from its theme record, parsed once when the item is built. Colours are
// resolved through the theme's colour table. Platform-free.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/ThemeItem.h"

namespace skin {

class CSkinResourceManager;

// Item kind codes, in the order the engine numbers them.
enum class ItemKind : int {
  kText = 0,
  kImage = 1,
  kLine = 2,
  kRectangle = 3,
  kAnimate = 4,
  kEventItem = 5,
  kDrawItem = 6
};
ItemKind ItemKindOf(ChildKind kind);
// Whether a child record of `kind` becomes an item inside an owner of `owner` kind (none: a theme item).
// Draw items hold kinds 0 to 5, event items 0 to 4; a theme item holds every kind.
bool ItemBuiltIn(std::optional<ChildKind> owner, ChildKind kind);
// The records of `children` that become items, in record order.
std::vector<const ChildItem*> ItemRecords(const std::vector<ChildItem>& children, std::optional<ChildKind> owner);

// Text drawing flags (the platform's values).
enum TextFormatFlags : uint32_t {
  kTextTop = 0,
  kTextCenter = 1,
  kTextRight = 2,
  kTextVCenter = 4,
  kTextBottom = 8,
  kTextSingleLine = 32,
  kTextWordBreakEdit = 8208,     // word break and edit-control line breaking
  kTextEllipsisNoPrefix = 34816  // end ellipsis and no prefix processing
};
// Longest text an item draws.
inline constexpr size_t kMaxItemText = 511;

struct TextSpec {
  std::wstring text;
  std::wstring font_id;
  uint32_t color = 0;
  uint32_t format = 0;
  bool adjust = false;
};
uint32_t TextFormat(const Attributes& attrs);
TextSpec ReadTextSpec(const ChildItem& record, const CSkinResourceManager& theme);
// The text an item draws: its display text, else the host's text; at most kMaxItemText characters.
std::wstring TextToDraw(std::wstring_view display, std::wstring_view host_text);

enum class ImageStyle { kBitBlt, kStretchBlt, kDraw9Grid, kFill9Grid, kBitStretchBlt, kTransparentBlt };
// Exact, case-sensitive names; anything else (the theme's "bitbltblt" included) draws at natural size.
ImageStyle ImageStyleOf(std::wstring_view name);

struct ImageSpec {
  Quad grid{2, 2, 2, 2};
  Pair part_offset{2, 2};
  bool vertical = false;
  std::wstring style_name = L"bitBlt";
  ImageStyle style = ImageStyle::kBitBlt;
  std::wstring picture_id;
  int32_t src_x = 0, src_y = 0, src_width = 0, src_height = 0;
};
ImageSpec ReadImageSpec(const ChildItem& record);
// A source width below 1 or not less than the picture's width becomes the rest of the picture from the source
// x (likewise for the height).
void CorrectSourceSize(ImageSpec& settings, int32_t picture_width, int32_t picture_height);

struct LineSpec {
  int pen_style = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
  int32_t pen_width = 1;
  uint32_t color = 0;
  bool adjust = true;
};
LineSpec ReadLineSpec(const ChildItem& record, const CSkinResourceManager& theme);

enum class RectangleStyle { kFill, kHorizontal, kVertical };
struct RectangleSpec {
  RectangleStyle style = RectangleStyle::kFill;
  uint32_t gradient_begin = 0, gradient_end = 0, border = 0, fill = 0;
  Pair round{0, 0};
  bool adjust = true;
};
RectangleSpec ReadRectangleSpec(const ChildItem& record, const CSkinResourceManager& theme);

struct AnimateSpec {
  bool enable = true;
  bool cycle = true;
  int32_t frame_count = 1;
  int32_t begin_frame = 1;
  int32_t delay_ms = 200;
  std::wstring picture_id;
};
AnimateSpec ReadAnimateSpec(const ChildItem& record);

}  // namespace skin
