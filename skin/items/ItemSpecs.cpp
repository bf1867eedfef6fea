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
  TextSpec spec;
  spec.text = a.Text(L"string");
  if (spec.text.size() > kMaxItemText) spec.text.resize(kMaxItemText);
  spec.font_id = a.Text(L"font");
  spec.color = theme.ResolveColor(a.Text(L"color"), 0);
  spec.format = TextFormat(a);
  spec.adjust = a.IsTrue(L"adjusthsb");
  return spec;
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
  ImageSpec spec;
  spec.grid = a.QuadValue(L"border9grid", spec.grid);
  spec.part_offset = a.PairValue(L"partOffset", spec.part_offset);
  spec.vertical = a.IsTrue(L"vertPaint");
  if (const std::wstring* style = a.Find(L"drawStyle")) spec.style_name = *style;
  spec.style = ImageStyleOf(spec.style_name);
  spec.picture_id = a.Text(L"picFile");
  spec.src_x = a.Int(L"xSrc");
  spec.src_y = a.Int(L"ySrc");
  spec.src_width = a.Int(L"srcWidth");
  spec.src_height = a.Int(L"srcHeight");
  return spec;
}

void CorrectSourceSize(ImageSpec& spec, int32_t picture_width, int32_t picture_height) {
  const auto rest = [](int32_t size, int32_t origin, int32_t whole) {
    if (size >= 1 && size < whole) return size;
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{whole} - origin, INT32_MIN, INT32_MAX));
  };
  spec.src_width = rest(spec.src_width, spec.src_x, picture_width);
  spec.src_height = rest(spec.src_height, spec.src_y, picture_height);
}

LineSpec ReadLineSpec(const ChildItem& record, const CSkinResourceManager& theme) {
  const Attributes& a = record.attrs;
  LineSpec spec;
  const std::wstring style = a.Text(L"penStyle");
  if (style == L"dash") {
    spec.pen_style = 1;
  } else if (style == L"dot") {
    spec.pen_style = 2;
  } else if (style == L"dashdot") {
    spec.pen_style = 3;
  } else if (style == L"dashdotdot") {
    spec.pen_style = 4;
  }
  spec.pen_width = a.Int(L"penWidth", 1);
  spec.color = theme.ResolveColor(a.Text(L"color"), 0);
  spec.adjust = !a.IsFalse(L"adjusthsb");
  return spec;
}

RectangleSpec ReadRectangleSpec(const ChildItem& record, const CSkinResourceManager& theme) {
  const Attributes& a = record.attrs;
  RectangleSpec spec;
  const std::wstring style = a.Text(L"drawStyle");
  if (style == L"horiz") {
    spec.style = RectangleStyle::kHorizontal;
  } else if (style == L"vert") {
    spec.style = RectangleStyle::kVertical;
  }
  spec.gradient_begin = theme.ResolveColor(a.Text(L"gradientBeginColor"), 0);
  spec.gradient_end = theme.ResolveColor(a.Text(L"gradientEndColor"), 0);
  spec.border = theme.ResolveColor(a.Text(L"borderColor"), 0);
  spec.fill = theme.ResolveColor(a.Text(L"fillColor"), 0);
  spec.round = a.PairValue(L"round", spec.round);
  spec.adjust = !a.IsFalse(L"adjusthsb");
  return spec;
}

AnimateSpec ReadAnimateSpec(const ChildItem& record) {
  const Attributes& a = record.attrs;
  AnimateSpec spec;
  spec.enable = !a.IsFalse(L"enablePlay");
  spec.cycle = !a.IsFalse(L"cycle");
  if (const int32_t n = a.Int(L"frameCount"); n > 0) spec.frame_count = n;
  spec.begin_frame = std::max(1, a.Int(L"beginFrame", 1));
  if (const int32_t d = a.Int(L"delayTime"); d > 0) spec.delay_ms = d;
  spec.picture_id = a.Text(L"picFile");
  return spec;
}

}  // namespace skin
