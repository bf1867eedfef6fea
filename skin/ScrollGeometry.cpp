#include "skin/ScrollGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace skin {
namespace {

int64_t Range(const ScrollValues& v) { return static_cast<int64_t>(v.maximum) - v.minimum; }

int32_t ClampToInt(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool Inside(const Rect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// A rectangle given along and across the bar's axis.
Rect AlongAxis(BarAxis axis, int32_t along_start, int32_t along_end) {
  if (axis == BarAxis::kVertical) return {0, along_start, kScrollBarSize, along_end};
  return {along_start, 0, along_end, kScrollBarSize};
}

int32_t AlongStart(BarAxis axis, const Rect& r) { return axis == BarAxis::kVertical ? r.top : r.left; }

}  // namespace

int32_t MulDivRounded(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t multiplicand = a;
  int64_t divisor = c;
  if (divisor < 0) {
    multiplicand = -multiplicand;
    divisor = -divisor;
  }
  const int64_t product = multiplicand * b;
  const int64_t result = product >= 0 ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
  if (result > std::numeric_limits<int32_t>::max() || result < -std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(result);
}

bool IsOwnBarDisabled(const ScrollValues& values) {
  const int64_t range = Range(values);
  return static_cast<int64_t>(values.page) > range || (range <= 1 && values.page == 0);
}

std::optional<Thumb> ComputeThumb(const ThumbRequest& request) {
  const int32_t track = request.track_length;
  if (track <= 0) return std::nullopt;
  const ScrollValues& v = request.values;
  const int64_t range64 = Range(v);
  Thumb thumb;
  if (range64 <= 0) {
    if (request.disabled || request.no_scroll_style) return std::nullopt;
    thumb = {0, kRangeLessThumb};
  } else {
    const int32_t range = ClampToInt(range64);
    const int32_t from_minimum = ClampToInt(static_cast<int64_t>(v.position) - v.minimum);
    if (v.page > 0) {
      if (range64 < static_cast<int64_t>(v.page)) {
        thumb = {0, track};
      } else {
        const int32_t length = MulDivRounded(ClampToInt(static_cast<int64_t>(v.page) - 1), track, range);
        thumb = {MulDivRounded(from_minimum, track, range), length};
        if (length < kMinimumThumb) {
          thumb.length = kMinimumThumb;
          thumb.offset = std::clamp(MulDivRounded(from_minimum, track - kMinimumThumb + length, range), 0,
                                    std::max(0, track - kMinimumThumb));
        }
      }
    } else {
      thumb = {MulDivRounded(from_minimum, track - kMinimumThumb, range), kMinimumThumb};
      thumb.offset = std::clamp(thumb.offset, 0, std::max(0, track - kMinimumThumb));
      if (request.dragging && std::abs(thumb.offset - request.current_offset) < kMinimumThumb)
        thumb.offset = request.current_offset;
    }
  }
  thumb.length = std::min(thumb.length, track);
  // Nothing to drag when the thumb fills the track: the bar shows none.
  if (track - thumb.length <= 0) return std::nullopt;
  thumb.offset = std::clamp(thumb.offset, 0, track - thumb.length);
  return thumb;
}

int32_t BarParts::TrackLength() const {
  return axis == BarAxis::kVertical ? track.bottom - track.top : track.right - track.left;
}

BarParts LayoutBar(BarAxis axis, int32_t length, const std::optional<Thumb>& thumb) {
  length = std::max(0, length);
  BarParts parts;
  parts.axis = axis;
  parts.first_arrow = AlongAxis(axis, 0, kScrollBarSize);
  parts.second_arrow = AlongAxis(axis, length - kScrollBarSize, length);
  const int32_t track_end = std::max(kScrollBarSize, length - kScrollBarSize);
  parts.track = AlongAxis(axis, kScrollBarSize, track_end);
  if (thumb && thumb->length > 0 && thumb->offset + thumb->length <= track_end - kScrollBarSize) {
    const int32_t start = kScrollBarSize + thumb->offset;
    parts.thumb = AlongAxis(axis, start, start + thumb->length);
    parts.has_thumb = true;
  }
  return parts;
}

Rect VerticalBarRect(const Rect& client, bool left_scroll_bar) {
  if (left_scroll_bar) return {client.left - kScrollBarSize, client.top, client.left, client.bottom};
  return {client.right, client.top, client.right + kScrollBarSize, client.bottom};
}

Rect HorizontalBarRect(const Rect& client) {
  return {client.left, client.bottom, client.right, client.bottom + kScrollBarSize};
}

Rect SizeBoxRect(const Rect& vertical_bar, const Rect& client) {
  return {vertical_bar.left, client.bottom, vertical_bar.left + kScrollBarSize, client.bottom + kScrollBarSize};
}

BarPart HitTestBar(const BarParts& parts, BarAxis axis, int32_t bar_length, int32_t x, int32_t y) {
  const Rect bar = AlongAxis(axis, 0, bar_length);
  if (!Inside(bar, x, y)) return BarPart::kNone;
  if (Inside(parts.first_arrow, x, y)) return BarPart::kFirstArrow;
  if (parts.has_thumb && Inside(parts.thumb, x, y)) return BarPart::kThumb;
  if (Inside(parts.second_arrow, x, y)) return BarPart::kSecondArrow;
  return BarPart::kTrack;
}

std::optional<PressCode> PressCodeAt(const BarParts& parts, BarAxis axis, int32_t bar_length, int32_t x, int32_t y) {
  switch (HitTestBar(parts, axis, bar_length, x, y)) {
    case BarPart::kFirstArrow:
      return PressCode::kLineUp;
    case BarPart::kSecondArrow:
      return PressCode::kLineDown;
    case BarPart::kThumb:
      return PressCode::kThumb;
    case BarPart::kTrack: {
      if (!parts.has_thumb) return std::nullopt;
      const int32_t along = axis == BarAxis::kVertical ? y : x;
      return along < AlongStart(axis, parts.thumb) ? PressCode::kPageUp : PressCode::kPageDown;
    }
    case BarPart::kNone:
      break;
  }
  return std::nullopt;
}

Rect SpriteCell(BarAxis axis, BarPart part, MouseState mouse, bool hot) {
  const int32_t row = axis == BarAxis::kVertical ? 0 : kScrollBarSize;
  int32_t column = 14;  // the track: the same cell in every state
  const int32_t state = hot && mouse != MouseState::kNone ? static_cast<int32_t>(mouse) : 0;
  switch (part) {
    case BarPart::kFirstArrow:
      column = state;
      break;
    case BarPart::kSecondArrow:
      column = 4 + state;
      break;
    case BarPart::kThumb:
      column = 8 + state;
      break;
    case BarPart::kTrack:
    case BarPart::kNone:
      break;
  }
  const int32_t x = column * kScrollBarSize;
  return {x, row, x + kScrollBarSize, row + kScrollBarSize};
}

Rect SizeBoxCell(bool left_scroll_bar) {
  const int32_t x = left_scroll_bar ? kScrollBarSize : 0;
  return {x, 2 * kScrollBarSize, x + kScrollBarSize, 3 * kScrollBarSize};
}

}  // namespace skin
