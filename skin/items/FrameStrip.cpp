#include "skin/items/FrameStrip.h"

namespace skin {

bool FrameStrip::Step() {
  if (count_ <= 0) return false;
  if (!cycle_ && current_ == count_) return false;
  current_ = (current_ + 1) % (count_ + 1);
  if (current_ == 0) current_ = 1;
  return true;
}

}  // namespace skin
