#include "skin/items/DirectUI_Rectangle_win.h"

DirectUI_Rectangle::DirectUI_Rectangle(const skin::ChildItem& record, const skin::ItemContext& context)
    : DirectUI_Base(skin::ItemKind::kRectangle, record, context.host),
      settings_(skin::ReadRectangleSpec(record, *context.theme)),
      visible_(record.visible) {
  ApplyColorAdjust(context.shift.hue, context.shift.saturation, context.shift.brightness);
}

void DirectUI_Rectangle::Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  DirectUI_Base::Draw(dc, owner, left, top, right, bottom);
  if (settings_.style != skin::RectangleStyle::kFill) {
    DrawGradient(dc);
    return;
  }
  if (!pen_) return;
  // A fill colour of 0 means no fill: black cannot be asked for.
  HGDIOBJ brush = brush_ ? static_cast<HGDIOBJ>(brush_.get()) : ::GetStockObject(HOLLOW_BRUSH);
  fw::ScopedSelectObject select_pen(dc, pen_.get());
  fw::ScopedSelectObject select_brush(dc, brush);
  ::RoundRect(dc, rect_.left, rect_.top, rect_.right, rect_.bottom, settings_.round[0], settings_.round[1]);
}

void DirectUI_Rectangle::DrawGradient(HDC dc) const {
  const auto vertex = [](LONG x, LONG y, COLORREF c) {
    TRIVERTEX v{};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(c) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(c) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(c) << 8);
    v.Alpha = 0;
    return v;
  };
  TRIVERTEX vertices[2] = {vertex(rect_.left, rect_.top, begin_), vertex(rect_.right, rect_.bottom, end_)};
  GRADIENT_RECT mesh{0, 1};
  const ULONG mode = settings_.style == skin::RectangleStyle::kVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H;
  ::GradientFill(dc, vertices, 2, &mesh, 1, mode);
}

void DirectUI_Rectangle::ApplyColorAdjust(int hue, int saturation, int brightness) {
  const skin::HsbShift shift{hue, saturation, brightness};
  begin_ = skin::EffectiveColor(settings_.gradient_begin, settings_.adjust, shift);
  end_ = skin::EffectiveColor(settings_.gradient_end, settings_.adjust, shift);
  border_ = skin::EffectiveColor(settings_.border, settings_.adjust, shift);
  fill_ = skin::EffectiveColor(settings_.fill, settings_.adjust, shift);
  pen_.reset();
  brush_.reset();
  pen_.reset(::CreatePen(PS_SOLID, 1, border_));
  if (fill_ != 0) brush_.reset(::CreateSolidBrush(fill_));
}
