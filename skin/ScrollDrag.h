#pragma once
// The arithmetic of dragging a scroll bar's thumb: from cursor movement to thumb offset and scroll position.
// Platform-free; coordinates are relative to the bar, "along" and "across" its axis.
#include <cstdint>
#include <optional>

#include "skin/ScrollGeometry.h"

namespace skin {

// A cursor farther than this across the bar leaves the thumb where it is until it comes back.
constexpr int32_t kDragAcrossTolerance = 96;

struct ThumbDrag {
  int32_t anchor = 0;         // cursor along the bar at the last move
  int32_t thumb_offset = 0;   // thumb start, from the track's start
  int32_t last_position = 0;  // last position sent as thumb-track
};

struct DragTrack {
  int32_t track_start = 0;   // along the bar
  int32_t track_length = 0;
  int32_t thumb_length = 0;
  int32_t thickness = kScrollBarSize;  // the bar's extent across
};

// The scroll position for a thumb at `thumb_offset`: the minimum at the track's start, the last position
// the page allows (maximum - page + 1, or the maximum without a page) at its end.
int32_t PositionForThumb(int32_t thumb_offset, const DragTrack& track, const ScrollValues& values);

// Starts a drag: none when there is no free travel (a track or thumb that leaves the thumb nowhere to go).
std::optional<ThumbDrag> BeginThumbDrag(int32_t cursor_along, int32_t thumb_offset, const DragTrack& track,
                                        const ScrollValues& values);

// One cursor move during a drag. The thumb follows only while the cursor is along the track and within the
// tolerance across the bar. Returns the new position when it differs from the last one sent (and records it
// as sent), otherwise none.
std::optional<int32_t> MoveThumb(ThumbDrag& drag, const DragTrack& track, const ScrollValues& values,
                                 int32_t cursor_along, int32_t cursor_across);

}  // namespace skin
