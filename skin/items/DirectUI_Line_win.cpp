#include "skin/items/DirectUI_Line_win.h"

DirectUI_Line::DirectUI_Line(const skin::ChildItem& record, const skin::ItemContext& context)
    : DirectUI_Base(skin::ItemKind::kLine, record, context.host),
      settings_(skin::ReadLineSpec(record, *context.theme)),
      visible_(record.visible),
      color_(settings_.color) {
  ApplyColorAdjust(context.shift.hue, context.shift.saturation, context.shift.brightness);
}

void DirectUI_Line::Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  DirectUI_Base::Draw(dc, owner, left, top, right, bottom);
  if (!pen_) return;
  fw::ScopedSelectObject select(dc, pen_.get());
  ::MoveToEx(dc, rect_.left, rect_.top, nullptr);
  ::LineTo(dc, rect_.right, rect_.bottom);
}

void DirectUI_Line::ApplyColorAdjust(int hue, int saturation, int brightness) {
  color_ = skin::EffectiveColor(settings_.color, settings_.adjust, {hue, saturation, brightness});
  pen_.reset();
  pen_.reset(::CreatePen(settings_.pen_style, settings_.pen_width, color_));
}
