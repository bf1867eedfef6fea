#include "skin/ScrollState.h"

#include <algorithm>

namespace skin {
namespace {

int64_t LastPosition(const ScrollValues& v) {
  return static_cast<int64_t>(v.maximum) - (v.page > 0 ? static_cast<int64_t>(v.page) - 1 : 0);
}

}  // namespace

bool BarScrollState::Scrollable() const { return values.minimum < LastPosition(values); }

int32_t BarScrollState::SetInfo(uint32_t mask, const ScrollValues& in) {
  if (mask & kScrollRange) {
    const int64_t span = static_cast<int64_t>(in.maximum) - in.minimum;
    if (span < 0 || span >= 0x80000000LL) {
      values.minimum = values.maximum = 0;
    } else {
      values.minimum = in.minimum;
      values.maximum = in.maximum;
    }
  }
  if (mask & kScrollPage) values.page = in.page;
  if (mask & kScrollPosition) values.position = in.position;

  const int64_t count = static_cast<int64_t>(values.maximum) - values.minimum + 1;
  if (static_cast<int64_t>(values.page) > count) values.page = static_cast<uint32_t>(count);
  values.position = static_cast<int32_t>(
      std::clamp<int64_t>(values.position, values.minimum, std::max<int64_t>(values.minimum, LastPosition(values))));

  if (mask & (kScrollRange | kScrollPage | kScrollDisableNoScroll)) {
    if (Scrollable()) {
      visible = true;
      arrows_disabled = false;
    } else if (mask & kScrollDisableNoScroll) {
      visible = true;
      arrows_disabled = true;
    } else {
      visible = false;
    }
  }
  return values.position;
}

int32_t BarScrollState::SetPosition(int32_t position) {
  const int32_t previous = values.position;
  ScrollValues in;
  in.position = position;
  SetInfo(kScrollPosition, in);
  return previous;
}

void BarScrollState::SetRange(int32_t minimum, int32_t maximum) {
  ScrollValues in;
  in.minimum = minimum;
  in.maximum = maximum;
  SetInfo(kScrollRange, in);
}

void BarScrollState::GetInfo(uint32_t mask, ScrollValues& out) const {
  if (mask & kScrollRange) {
    out.minimum = values.minimum;
    out.maximum = values.maximum;
  }
  if (mask & kScrollPage) out.page = values.page;
  if (mask & kScrollPosition) out.position = values.position;
  if (mask & kScrollTrackPosition) out.track_position = tracking ? values.track_position : values.position;
}

}  // namespace skin
