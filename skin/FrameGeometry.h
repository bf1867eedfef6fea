#pragma once
// The arithmetic of a skinned frame that needs no window system: its kind from the window's styles, the
// client rectangle inside the border and caption, the tiles of the cached frame rendering, and the pixels a
// rounded-corner shape cuts away. Platform-free.
#include <cstdint>
#include <functional>
#include <vector>

#include "skin/ThemeValues.h"
#include "skin/draw/PixelRect.h"

namespace skin {

// 0 no frame, 1 normal caption, 2 tool-window caption, 3 border only.
enum FrameKind : int { kFrameNone = 0, kFrameCaption = 1, kFrameToolCaption = 2, kFrameBorderOnly = 3 };

// The platform's style bits the kind depends on, as plain values.
struct FrameStyles {
  bool maximised_mdi_child = false;
  bool full_caption = false;  // WS_CAPTION, both of its bits
  bool tool_window = false;
  bool any_border = false;    // thick frame, border, modal frame, or a client, static or window edge
};
FrameKind ComputeFrameKind(const FrameStyles& styles);

// The client rectangle of a framed window (kind not 0): the window rectangle less the border on left, right
// and bottom and, at the top, less the border, the caption height (when the window has the full caption) and
// the menu bar height. A window smaller than its frame gets an empty rectangle at its clamped position, never
// an inverted one.
Rect FramedClientRect(const Rect& window, const Quad& border, int32_t caption_height, int32_t menu_height);
// The client rectangle for scroll-bar styles: 16 pixels off the right (left with `left_scroll`) for a
// vertical bar and off the bottom for a horizontal one, clamped to empty.
Rect LessScrollBars(const Rect& client, bool vertical, bool horizontal, bool left_scroll);

// One block copy of the frame rendering: `dest` in the window, from `source` in the frame picture (same
// size: the picture is never scaled except the caption band's middle).
struct FrameTile {
  PixelRect dest;
  PixelRect source;
};
// The border strips, corners and caption band of a W x H rendering of a pw x ph picture, in drawing order.
// Strips repeat the picture's matching strip (the last tile cut); every tile lies inside both the window and
// the picture, so odd theme values and tiny windows or pictures never read or write outside. The caption
// band's middle, when the caption height is not 0, is the last tile and is stretched (its source and dest
// sizes differ).
std::vector<FrameTile> FrameRenderTiles(int32_t W, int32_t H, int32_t pw, int32_t ph, const Quad& border,
                                        const Quad& offset, int32_t caption_height, const Pair& caption_offset);

// The pixels a "framebitmapround" shape cuts from a W x H window: in each of the four corner blocks (border
// offset left x top, right x top, left x bottom, right x bottom, clamped to the picture's and the window's
// sizes) every pixel whose colour in the matching corner of the pw x ph picture equals `key`. Returned as
// one-pixel-high runs in window coordinates. `pixel(x, y)` reads the picture, y from the top.
std::vector<PixelRect> RoundCornerCuts(int32_t W, int32_t H, int32_t pw, int32_t ph, const Quad& offset,
                                       uint32_t key, const std::function<uint32_t(int32_t, int32_t)>& pixel);

}  // namespace skin
