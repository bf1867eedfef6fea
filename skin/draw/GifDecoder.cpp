#include "skin/draw/GifDecoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "skin/draw/ImageLimits.h"

namespace skin {
namespace {

constexpr uint8_t kImageDescriptor = 0x2C;
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9;

bool SignatureMatches(std::span<const uint8_t> b) {
  static const char* const kSignatures[] = {"gif87a", "gif89a"};
  for (const char* sig : kSignatures) {
    bool same = true;
    for (int i = 0; i < 6 && same; ++i) {
      same = std::tolower(b[i]) == sig[i];
    }
    if (same) return true;
  }
  return false;
}

}  // namespace

bool GifDecoder::Open(std::span<const uint8_t> bytes) {
  Close();
  if (bytes.size() < 13 || !SignatureMatches(bytes)) return false;
  const uint32_t w = bytes[6] | (bytes[7] << 8);
  const uint32_t h = bytes[8] | (bytes[9] << 8);
  if (!ImageSizeAllowed(w, h)) return false;
  bytes_ = bytes;
  version_ = bytes[4] == '7' ? 87 : 89;
  width_ = w;
  height_ = h;
  const uint8_t flags = bytes[10];
  background_ = bytes[11];
  pos_ = 13;
  palette_.fill(0);
  if (flags & 0x80) {
    if (!ReadColorTable(size_t{2} << (flags & 7))) {
      Close();
      return false;
    }
  }
  global_palette_ = palette_;
  first_frame_ = pos_;
  canvas_.assign(static_cast<size_t>(w) * h, background_);
  mask_.assign(canvas_.size(), 0);
  return true;
}

void GifDecoder::Close() {
  bytes_ = {};
  pos_ = first_frame_ = 0;
  width_ = height_ = 0;
  canvas_.clear();
  canvas_.shrink_to_fit();
  mask_.clear();
  mask_.shrink_to_fit();
  saved_.clear();
  previous_ = {};
  previous_disposal_ = next_disposal_ = 0;
  transparent_ = false;
  transparent_index_ = 0;
}

bool GifDecoder::ReadColorTable(size_t count) {
  if (pos_ + count * 3 > bytes_.size()) return false;
  for (size_t i = 0; i < count; ++i) {
    palette_[i * 4 + 0] = bytes_[pos_ + i * 3 + 2];
    palette_[i * 4 + 1] = bytes_[pos_ + i * 3 + 1];
    palette_[i * 4 + 2] = bytes_[pos_ + i * 3 + 0];
    palette_[i * 4 + 3] = 0;
  }
  pos_ += count * 3;
  return true;
}

bool GifDecoder::SkipSubBlocks() {
  while (pos_ < bytes_.size()) {
    const uint8_t n = bytes_[pos_++];
    if (n == 0) return true;
    if (n > bytes_.size() - pos_) {
      pos_ = bytes_.size();
      return false;
    }
    pos_ += n;
  }
  return false;
}

void GifDecoder::Rewind() {
  if (!IsOpen()) return;
  pos_ = first_frame_;
  palette_ = global_palette_;
  previous_ = {};
  previous_disposal_ = next_disposal_ = 0;
  saved_.clear();
  ClearCanvas();
}

void GifDecoder::ClearCanvas() {
  std::fill(canvas_.begin(), canvas_.end(), background_);
  std::fill(mask_.begin(), mask_.end(), 0);
}

GifDecoder::Rect GifDecoder::Clip(const Rect& r) const {
  Rect c;
  if (r.left >= width_ || r.top >= height_) return c;
  c.left = r.left;
  c.top = r.top;
  c.width = std::min(r.width, width_ - r.left);
  c.height = std::min(r.height, height_ - r.top);
  return c;
}

void GifDecoder::FillRect(const Rect& r, uint8_t index, bool clear_mask) {
  const Rect c = Clip(r);
  for (uint32_t y = c.top; y < c.top + c.height; ++y) {
    const size_t at = static_cast<size_t>(y) * width_ + c.left;
    std::fill_n(canvas_.begin() + at, c.width, index);
    if (clear_mask) std::fill_n(mask_.begin() + at, c.width, 0);
  }
}

GifDecoder::FrameResult GifDecoder::DecodeNextFrame() {
  if (!IsOpen()) return FrameResult::kEnd;
  while (pos_ < bytes_.size()) {
    const uint8_t block = bytes_[pos_++];
    if (block == kTrailer) return FrameResult::kEnd;
    if (block == kImageDescriptor) return DecodeImage();
    if (block != kExtension) return FrameResult::kError;
    if (pos_ >= bytes_.size()) return FrameResult::kEnd;
    const uint8_t label = bytes_[pos_++];
    if (label == kGraphicControl && pos_ + 5 <= bytes_.size() && bytes_[pos_] >= 4) {
      const uint8_t packed = bytes_[pos_ + 1];
      next_disposal_ = (packed >> 2) & 7;
      if (packed & 1) {
        transparent_ = true;
        transparent_index_ = bytes_[pos_ + 4];
      }
    }
    if (!SkipSubBlocks()) return FrameResult::kEnd;
  }
  return FrameResult::kEnd;
}

GifDecoder::FrameResult GifDecoder::DecodeImage() {
  if (pos_ + 9 > bytes_.size()) return FrameResult::kError;
  Rect frame;
  frame.left = bytes_[pos_] | (bytes_[pos_ + 1] << 8);
  frame.top = bytes_[pos_ + 2] | (bytes_[pos_ + 3] << 8);
  frame.width = bytes_[pos_ + 4] | (bytes_[pos_ + 5] << 8);
  frame.height = bytes_[pos_ + 6] | (bytes_[pos_ + 7] << 8);
  const uint8_t flags = bytes_[pos_ + 8];
  pos_ += 9;
  if (flags & 0x80) {
    if (!ReadColorTable(size_t{2} << (flags & 7))) return FrameResult::kError;
    ClearCanvas();
  }
  const bool interlaced = (flags & 0x40) != 0;

  // The previous frame's disposal.
  if (previous_disposal_ == 2) {
    ClearCanvas();
  } else if (previous_disposal_ == 3 && !saved_.empty()) {
    const Rect p = Clip(previous_);
    for (uint32_t y = 0; y < p.height; ++y) {
      std::memcpy(&canvas_[static_cast<size_t>(p.top + y) * width_ + p.left], &saved_[static_cast<size_t>(y) * p.width],
                  p.width);
    }
  }
  const Rect visible = Clip(frame);
  saved_.clear();
  if (next_disposal_ == 3) {
    saved_.resize(static_cast<size_t>(visible.width) * visible.height);
    for (uint32_t y = 0; y < visible.height; ++y) {
      std::memcpy(&saved_[static_cast<size_t>(y) * visible.width],
                  &canvas_[static_cast<size_t>(visible.top + y) * width_ + visible.left], visible.width);
    }
  }
  previous_ = frame;
  previous_disposal_ = next_disposal_;
  next_disposal_ = 0;

  const bool ok = DecodeLzw(frame, interlaced);
  if (transparent_) {
    palette_[transparent_index_ * 4 + 0] = 255;
    palette_[transparent_index_ * 4 + 1] = 255;
    palette_[transparent_index_ * 4 + 2] = 255;
  }
  return ok ? FrameResult::kFrame : FrameResult::kError;
}

bool GifDecoder::DecodeLzw(const Rect& frame, bool interlaced) {
  if (pos_ >= bytes_.size()) return false;
  const int min_size = bytes_[pos_++];
  if (min_size < 2 || min_size > 11) return false;
  const Rect visible = Clip(frame);
  const bool nothing_visible = visible.width == 0 || visible.height == 0 || frame.width == 0;
  if (nothing_visible) return SkipSubBlocks();

  // Pixel output position inside the frame, with the interlace passes.
  static constexpr uint32_t kPassStart[4] = {0, 4, 2, 1};
  static constexpr uint32_t kPassStep[4] = {8, 8, 4, 2};
  int pass = 0;
  uint32_t x = 0, y = 0;
  bool complete = false;
  auto put = [&](uint8_t index) {
    const uint32_t cx = frame.left + x, cy = frame.top + y;
    if (x < visible.width && cy < height_) {
      const size_t at = static_cast<size_t>(cy) * width_ + cx;
      if (!(transparent_ && index == transparent_index_)) {
        canvas_[at] = index;
        if (transparent_) mask_[at] = 1;
      }
    }
    if (++x < frame.width) return;
    x = 0;
    if (!interlaced) {
      ++y;
    } else {
      y += kPassStep[pass];
      while (y >= frame.height && pass < 3) {
        ++pass;
        y = kPassStart[pass];
      }
    }
    // Rows below the canvas are never seen; stop there instead of decoding them.
    if (y >= frame.height || (!interlaced && frame.top + y >= height_) ||
        (interlaced && pass == 3 && frame.top + y >= height_)) {
      complete = true;
    }
  };

  const uint32_t clear = 1u << min_size;
  const uint32_t end = clear + 1;
  uint32_t next = clear + 2;
  int code_size = min_size + 1;
  int old = -1;
  uint8_t first = 0;
  uint32_t bits = 0;
  int bit_count = 0;
  size_t block_left = 0;
  bool data_end = false;

  while (!complete) {
    while (bit_count < code_size) {
      if (block_left == 0) {
        if (pos_ >= bytes_.size()) return false;
        block_left = bytes_[pos_++];
        if (block_left == 0) {
          data_end = true;
          break;
        }
      }
      if (pos_ >= bytes_.size()) return false;
      bits |= static_cast<uint32_t>(bytes_[pos_++]) << bit_count;
      bit_count += 8;
      --block_left;
    }
    if (data_end) break;
    uint32_t code = bits & ((1u << code_size) - 1);
    bits >>= code_size;
    bit_count -= code_size;

    if (code == clear) {
      next = clear + 2;
      code_size = min_size + 1;
      old = -1;
      continue;
    }
    if (code == end) break;
    if (old < 0) {
      if (code >= clear) return false;
      first = static_cast<uint8_t>(code);
      put(first);
      old = static_cast<int>(code);
      continue;
    }
    if (code > next || (code == next && next >= 4096)) return false;
    const uint32_t in_code = code;
    size_t sp = 0;
    if (code == next) {
      stack_[sp++] = first;
      code = static_cast<uint32_t>(old);
    }
    while (code >= clear) {
      stack_[sp++] = suffix_[code];
      code = prefix_[code];
    }
    first = static_cast<uint8_t>(code);
    stack_[sp++] = first;
    if (next < 4096) {
      prefix_[next] = static_cast<uint16_t>(old);
      suffix_[next] = first;
      ++next;
      if (next == (1u << code_size) && code_size < 12) ++code_size;
    }
    old = static_cast<int>(in_code);
    while (sp > 0 && !complete) put(stack_[--sp]);
  }
  // Skip what is left of this block and the following sub-blocks up to the terminator.
  if (!data_end) {
    if (block_left > bytes_.size() - pos_) {
      pos_ = bytes_.size();
      return complete;
    }
    pos_ += block_left;
    SkipSubBlocks();
  }
  return true;
}

bool GifAnimation::Load(std::span<const uint8_t> bytes) {
  Clear();
  bytes_.assign(bytes.begin(), bytes.end());
  if (!decoder_.Open(bytes_)) {
    Clear();
    return false;
  }
  return true;
}

void GifAnimation::Clear() {
  decoder_.Close();
  bytes_.clear();
  bytes_.shrink_to_fit();
  frame_counter_ = 0;
  stopped_ = false;
}

bool GifAnimation::Step() {
  if (!decoder_.IsOpen() || stopped_) return false;
  if (decoder_.DecodeNextFrame() != GifDecoder::FrameResult::kFrame) {
    decoder_.Rewind();
    if (decoder_.DecodeNextFrame() != GifDecoder::FrameResult::kFrame) {
      stopped_ = true;
      return false;
    }
    if (frame_counter_ >= 0) frame_counter_ = -frame_counter_;
    if (frame_counter_ == -1) return false;
  }
  if (frame_counter_ >= 0) ++frame_counter_;
  return true;
}

}  // namespace skin
