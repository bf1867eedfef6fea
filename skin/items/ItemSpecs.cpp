#include "skin/items/ItemSpecs.h"

#include <algorithm>

#include "skin/SkinResourceManager.h"

namespace skin {

ItemKind ItemKindOf(ChildKind kind) {
  switch (kind) {
    case ChildKind::kText:
      return ItemKind::kText;
    case ChildKind::kImage:
      return ItemKind::kImage;
    case ChildKind::kLine:
      return ItemKind::kLine;
    case ChildKind::kRectangle:
      return ItemKind::kRectangle;
    case ChildKind::kAnimate:
      return ItemKind::kAnimate;
    case ChildKind::kEventItem:
      return ItemKind::kEventItem;
    case ChildKind::kDrawItem:
      return ItemKind::kDrawItem;
  }
  return ItemKind::kText;
}

bool ItemBuiltIn(std::optional<ChildKind> owner, ChildKind kind) {
  const int code = static_cast<int>(ItemKindOf(kind));
  if (!owner) return true;
  if (*owner == ChildKind::kDrawItem) return code <= static_cast<int>(ItemKind::kEventItem);
  if (*owner == ChildKind::kEventItem) return code <= static_cast<int>(ItemKind::kAnimate);
  return false;
}

std::vector<const ChildItem*> ItemRecords(const std::vector<ChildItem>& children, std::optional<ChildKind> owner) {
  std::vector<const ChildItem*> out;
  for (const ChildItem& child : children)
    if (ItemBuiltIn(owner, child.kind)) out.push_back(&child);
  return out;
}

uint32_t TextFormat(const Attributes& a) {
  uint32_t format = 0;
  const std::wstring vert = a.Text(L"vertAlign");
  if (vert == L"bottom") {
    format |= kTextBottom;
  } else if (vert != L"top") {
    format |= kTextVCenter;
  }
  const std::wstring horiz = a.Text(L"horizAlign");
  if (horiz == L"right") {
    format |= kTextRight;
  } else if (horiz == L"center") {
    format |= kTextCenter;
  }
  format |= a.IsFalse(L"singleLine") ? kTextWordBreakEdit : kTextSingleLine;
  if (a.IsTrue(L"ellipsis")) format |= kTextEllipsisNoPrefix;
  return format;
}

TextSpec ReadTextSpec(const ChildItem& record, const CSkinResourceManager& theme) {
  const Attributes& a = record.attrs;
  TextSpec settings;
  settings.text = a.Text(L"string");
  if (settings.text.size() > kMaxItemText) settings.text.resize(kMaxItemText);
  settings.font_id = a.Text(L"font");
  settings.color = theme.ResolveColor(a.Text(L"color"), 0);
  settings.format = TextFormat(a);
  settings.adjust = a.IsTrue(L"adjusthsb");
  return settings;
}

std::wstring TextToDraw(std::wstring_view display, std::wstring_view host_text) {
  std::wstring_view text = display.empty() ? host_text : display;
  return std::wstring(text.substr(0, std::min(text.size(), kMaxItemText)));
}

ImageStyle ImageStyleOf(std::wstring_view name) {
  if (name == L"stretchBlt") return ImageStyle::kStretchBlt;
  if (name == L"draw9grid") return ImageStyle::kDraw9Grid;
  if (name == L"fill9grid") return ImageStyle::kFill9Grid;
  if (name == L"bitStretchBlt") return ImageStyle::kBitStretchBlt;
  if (name == L"transparentBlt") return ImageStyle::kTransparentBlt;
  return ImageStyle::kBitBlt;
}

ImageSpec ReadImageSpec(const ChildItem& record) {
  const Attributes& a = record.attrs;
  ImageSpec settings;
  settings.grid = a.QuadValue(L"border9grid", settings.grid);
  settings.part_offset = a.PairValue(L"partOffset", settings.part_offset);
  settings.vertical = a.IsTrue(L"vertPaint");
  if (const std::wstring* style = a.Find(L"drawStyle")) settings.style_name = *style;
  settings.style = ImageStyleOf(settings.style_name);
  settings.picture_id = a.Text(L"picFile");
  settings.src_x = a.Int(L"xSrc");
  settings.src_y = a.Int(L"ySrc");
  settings.src_width = a.Int(L"srcWidth");
  settings.src_height = a.Int(L"srcHeight");
  return settings;
}

void CorrectSourceSize(ImageSpec& settings, int32_t picture_width, int32_t picture_height) {
  const auto rest = [](int32_t size, int32_t origin, int32_t whole) {
    if (size >= 1 && size < whole) return size;
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{whole} - origin, INT32_MIN, INT32_MAX));
  };
  settings.src_width = rest(settings.src_width, settings.src_x, picture_width);
  settings.src_height = rest(settings.src_height, settings.src_y, picture_height);
}

LineSpec ReadLineSpec(const ChildItem& record, const CSkinResourceManager& theme) {
  const Attributes& a = record.attrs;
  LineSpec settings;
  const std::wstring style = a.Text(L"penStyle");
  if (style == L"dash") {
    settings.pen_style = 1;
  } else if (style == L"dot") {
    settings.pen_style = 2;
  } else if (style == L"dashdot") {
    settings.pen_style = 3;
  } else if (style == L"dashdotdot") {
    settings.pen_style = 4;
  }
  settings.pen_width = a.Int(L"penWidth", 1);
  settings.color = theme.ResolveColor(a.Text(L"color"), 0);
  settings.adjust = !a.IsFalse(L"adjusthsb");
  return settings;
}

RectangleSpec ReadRectangleSpec(const ChildItem& record, const CSkinResourceManager& theme) {
  const Attributes& a = record.attrs;
  RectangleSpec settings;
  const std::wstring style = a.Text(L"drawStyle");
  if (style == L"horiz") {
    settings.style = RectangleStyle::kHorizontal;
  } else if (style == L"vert") {
    settings.style = RectangleStyle::kVertical;
  }
  settings.gradient_begin = theme.ResolveColor(a.Text(L"gradientBeginColor"), 0);
  settings.gradient_end = theme.ResolveColor(a.Text(L"gradientEndColor"), 0);
  settings.border = theme.ResolveColor(a.Text(L"borderColor"), 0);
  settings.fill = theme.ResolveColor(a.Text(L"fillColor"), 0);
  settings.round = a.PairValue(L"round", settings.round);
  settings.adjust = !a.IsFalse(L"adjusthsb");
  return settings;
}

AnimateSpec ReadAnimateSpec(const ChildItem& record) {
  const Attributes& a = record.attrs;
  AnimateSpec settings;
  settings.enable = !a.IsFalse(L"enablePlay");
  settings.cycle = !a.IsFalse(L"cycle");
  if (const int32_t n = a.Int(L"frameCount"); n > 0) settings.frame_count = n;
  settings.begin_frame = std::max(1, a.Int(L"beginFrame", 1));
  if (const int32_t d = a.Int(L"delayTime"); d > 0) settings.delay_ms = d;
  settings.picture_id = a.Text(L"picFile");
  return settings;
}

}  // namespace skin
