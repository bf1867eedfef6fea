#include "skin/items/DirectUI_Text_win.h"

#include "framework/Handles.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeGdi.h"

DirectUI_Text::DirectUI_Text(const skin::ChildItem& record, const skin::ItemContext& context)
    : DirectUI_Base(skin::ItemKind::kText, record, context.host),
      settings_(skin::ReadTextSpec(record, *context.theme)),
      visible_(record.visible),
      display_(settings_.text),
      color_(settings_.color) {
  font_ = skin::ThemeFont(*context.theme, settings_.font_id);
  ApplyColorAdjust(context.shift.hue, context.shift.saturation, context.shift.brightness);
}

void DirectUI_Text::Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom) {
  DirectUI_Base::Draw(dc, owner, left, top, right, bottom);
  // The host's text is only read when the item has none of its own.
  const std::wstring text = skin::TextToDraw(display_, display_.empty() && owner ? owner->HostText() : std::wstring());
  if (text.empty()) return;
  HFONT font = font_ ? font_ : static_cast<HFONT>(owner ? owner->HostFont() : nullptr);
  fw::ScopedSelectObject select(dc, font);
  ::SetTextColor(dc, color_);
  ::SetBkMode(dc, TRANSPARENT);
  RECT rc{rect_.left, rect_.top, rect_.right, rect_.bottom};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, settings_.format);
}

void DirectUI_Text::ApplyColorAdjust(int hue, int saturation, int brightness) {
  color_ = skin::EffectiveColor(settings_.color, settings_.adjust, {hue, saturation, brightness});
  display_ = settings_.text;
}

void DirectUI_Text::SetText(const std::wstring& text) {
  settings_.text = text.substr(0, skin::kMaxItemText);
  display_ = settings_.text;
}
