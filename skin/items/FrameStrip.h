#pragma once
// Frame sequencing of a horizontal strip of equal frames: 1, 2, ..., n, then 1 again with the cycle flag, or
// staying on n without it. Platform-free.
#include <cstdint>

namespace skin {

class FrameStrip {
 public:
  void Reset(int32_t frame_count, bool cycle) {
    count_ = frame_count > 0 ? frame_count : 0;
    cycle_ = cycle;
    current_ = 1;
  }
  // Frames out of range are brought back to 1.
  void SetCurrent(int32_t frame) { current_ = frame >= 1 && frame <= count_ ? frame : 1; }
  // One tick; false when the strip stays where it is (no cycle, last frame reached, or no frames).
  bool Step();

  int32_t Current() const { return current_; }
  int32_t Count() const { return count_; }
  // The source x of the current frame in a strip `picture_width` wide, and the width of one frame.
  int32_t FrameWidth(int32_t picture_width) const { return count_ > 0 ? picture_width / count_ : 0; }
  int32_t FrameLeft(int32_t picture_width) const { return FrameWidth(picture_width) * (current_ - 1); }

 private:
  int32_t count_ = 0;
  int32_t current_ = 1;
  bool cycle_ = true;
};

}  // namespace skin
