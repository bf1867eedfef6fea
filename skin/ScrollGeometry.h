#pragma once
// Geometry of a skin-drawn scroll bar: where its arrows, track and thumb go, which sprite cell draws each
// part, and which part a point is on. Platform-free. A bar is described along its own axis: "along" is y for
// a vertical bar and x for a horizontal one, and every rectangle of a part is relative to the bar.
#include <cstdint>
#include <optional>

#include "skin/ThemeValues.h"

namespace skin {

constexpr int32_t kScrollBarSize = 16;   // strip thickness, arrow length and sprite cell size
constexpr int32_t kMinimumThumb = 20;    // the thumb is never drawn shorter
constexpr int32_t kRangeLessThumb = 16;  // the thumb of a bar without a range

// a × b / c with a 64-bit intermediate, rounded half away from zero; -1 when c is 0 or the result does not
// fit, as the platform's MulDiv.
int32_t MulDivRounded(int32_t a, int32_t b, int32_t c);

// The scroll information of one bar (the platform's minimum, maximum, page, position, track position).
struct ScrollValues {
  int32_t minimum = 0;
  int32_t maximum = 0;
  uint32_t page = 0;
  int32_t position = 0;
  int32_t track_position = 0;
};

// Whether a window's own bar shows disabled: its page exceeds the range, or the range is at most one step
// with no page. (A standalone scroll-bar control is disabled when the control is.)
bool IsOwnBarDisabled(const ScrollValues& values);

struct ThumbRequest {
  int32_t track_length = 0;
  ScrollValues values;
  bool disabled = false;
  bool no_scroll_style = false;  // child window with the list/tree no-scroll bit (0x40000000 | 0x2000)
  bool dragging = false;         // page 0 only: the thumb follows the position in steps of at least 20 px
  int32_t current_offset = 0;    // where the thumb is now, for that rule
};
// The thumb along the track (offset from the track's start); none when there is nothing to drag: no track,
// no free travel, a thumb filling the track, or a range-less bar that is disabled or has the no-scroll style.
struct Thumb {
  int32_t offset = 0;
  int32_t length = 0;
};
std::optional<Thumb> ComputeThumb(const ThumbRequest& request);

enum class BarAxis { kHorizontal, kVertical };

// The parts of a bar of `length` along its axis, relative to the bar. A bar shorter than its two arrows
// has an empty track (and so no thumb).
struct BarParts {
  BarAxis axis = BarAxis::kVertical;
  Rect first_arrow, second_arrow, track, thumb;
  bool has_thumb = false;
  int32_t TrackLength() const;
};
BarParts LayoutBar(BarAxis axis, int32_t length, const std::optional<Thumb>& thumb);

// Where the bars of a window go, in window coordinates, from its client rectangle (already narrowed by the
// bars). The size box is the square where both bars meet.
Rect VerticalBarRect(const Rect& client, bool left_scroll_bar);
Rect HorizontalBarRect(const Rect& client);
Rect SizeBoxRect(const Rect& vertical_bar, const Rect& client);

// A part of a bar, numbered as the hover state counts them.
enum class BarPart { kNone = 0, kFirstArrow = 1, kSecondArrow = 2, kTrack = 3, kThumb = 4 };
// The part at `point`, given relative to the bar; kNone outside the bar.
BarPart HitTestBar(const BarParts& parts, BarAxis axis, int32_t bar_length, int32_t x, int32_t y);

// What a press on a part does: the scroll code sent for a click (line up 0, line down 1, page up 2, page
// down 3) or a thumb drag (5). None for a point off the bar or on a track without a thumb.
enum class PressCode { kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kThumb = 5 };
std::optional<PressCode> PressCodeAt(const BarParts& parts, BarAxis axis, int32_t bar_length, int32_t x, int32_t y);

// Mouse state of a bar: 0 none, 1 hover, 2 pressed.
enum class MouseState { kNone = 0, kHover = 1, kPressed = 2 };
// The sprite cell (16 × 16, within the bar sprite) that draws `part`; `hot` tells whether it is the hovered
// part of the active bar.
Rect SpriteCell(BarAxis axis, BarPart part, MouseState mouse, bool hot);
Rect SizeBoxCell(bool left_scroll_bar);

}  // namespace skin
