#include "skin/ScrollDrag.h"

#include <algorithm>

namespace skin {
namespace {

int64_t LastPosition(const ScrollValues& v) {
  return static_cast<int64_t>(v.maximum) - (v.page > 0 ? static_cast<int64_t>(v.page) - 1 : 0);
}

}  // namespace

int32_t PositionForThumb(int32_t thumb_offset, const DragTrack& track, const ScrollValues& values) {
  const int32_t travel = track.track_length - track.thumb_length;
  const int64_t steps = LastPosition(values) - values.minimum;
  if (travel <= 0 || steps <= 0 || steps > INT32_MAX) return values.minimum;
  const int32_t offset = std::clamp(thumb_offset, 0, travel);
  const int64_t position = static_cast<int64_t>(values.minimum) +
                           MulDivRounded(offset, static_cast<int32_t>(steps), travel);
  return static_cast<int32_t>(std::clamp<int64_t>(position, values.minimum, LastPosition(values)));
}

std::optional<ThumbDrag> BeginThumbDrag(int32_t cursor_along, int32_t thumb_offset, const DragTrack& track,
                                        const ScrollValues& values) {
  if (track.track_length <= 0 || track.track_length - track.thumb_length <= 0) return std::nullopt;
  return ThumbDrag{cursor_along, thumb_offset, values.track_position};
}

std::optional<int32_t> MoveThumb(ThumbDrag& drag, const DragTrack& track, const ScrollValues& values,
                                 int32_t cursor_along, int32_t cursor_across) {
  const int32_t travel = track.track_length - track.thumb_length;
  if (track.track_length <= 0 || travel <= 0) return std::nullopt;
  const bool along_track = cursor_along >= track.track_start && cursor_along < track.track_start + track.track_length;
  const bool near_bar =
      cursor_across >= -kDragAcrossTolerance && cursor_across < track.thickness + kDragAcrossTolerance;
  if (!along_track || !near_bar) return std::nullopt;
  drag.thumb_offset = std::clamp(drag.thumb_offset + (cursor_along - drag.anchor), 0, travel);
  drag.anchor = cursor_along;
  const int32_t position = PositionForThumb(drag.thumb_offset, track, values);
  if (position == drag.last_position) return std::nullopt;
  drag.last_position = position;
  return position;
}

}  // namespace skin
