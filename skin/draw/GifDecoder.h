#pragma once
// Frame-by-frame GIF decoding onto a canvas of the logical screen (one palette index per pixel, rows top-down)
// with a mask of drawn pixels. Frames are clipped to the canvas; LZW codes are checked against the table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace skin {

class GifDecoder {
 public:
  enum class FrameResult { kFrame, kEnd, kError };

  // Reads the header of `bytes`, which must stay alive and unchanged while the decoder uses them. Creates the
  // canvas filled with the background index. False (and nothing loaded) for a bad signature or size.
  bool Open(std::span<const uint8_t> bytes);
  void Close();
  bool IsOpen() const { return !canvas_.empty(); }

  // Decodes the next frame, skipping extensions. kEnd at the trailer or the end of the bytes; kError for a
  // frame that cannot be decoded (its pixels decoded so far stay on the canvas).
  FrameResult DecodeNextFrame();
  // Back to the first frame: disposal state reset, global palette restored, canvas and mask cleared.
  void Rewind();

  int Version() const { return version_; }
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  uint8_t BackgroundIndex() const { return background_; }
  bool Transparent() const { return transparent_; }
  uint8_t TransparentIndex() const { return transparent_index_; }
  // Palette entries as blue, green, red, 0 (the layout of a DIB colour table).
  const std::array<uint8_t, 256 * 4>& Palette() const { return palette_; }
  const std::vector<uint8_t>& Canvas() const { return canvas_; }
  // One byte per pixel: 1 where a frame drew the pixel.
  const std::vector<uint8_t>& Mask() const { return mask_; }

 private:
  struct Rect {
    uint32_t left = 0, top = 0, width = 0, height = 0;
  };
  bool ReadColorTable(size_t count);
  bool SkipSubBlocks();
  FrameResult DecodeImage();
  bool DecodeLzw(const Rect& frame, bool interlaced);
  void ClearCanvas();
  void FillRect(const Rect& r, uint8_t index, bool clear_mask);
  Rect Clip(const Rect& r) const;

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  size_t first_frame_ = 0;
  int version_ = 0;
  uint32_t width_ = 0, height_ = 0;
  uint8_t background_ = 0;
  std::array<uint8_t, 256 * 4> global_palette_{};
  std::array<uint8_t, 256 * 4> palette_{};
  std::vector<uint8_t> canvas_;
  std::vector<uint8_t> mask_;
  std::vector<uint8_t> saved_;
  Rect previous_;
  int previous_disposal_ = 0;
  int next_disposal_ = 0;
  bool transparent_ = false;
  uint8_t transparent_index_ = 0;
  // LZW tables: codes of up to 12 bits.
  std::array<uint16_t, 4096> prefix_{};
  std::array<uint8_t, 4096> suffix_{};
  std::array<uint8_t, 4097> stack_{};
};

// The step rule of an animated picture: one frame per tick, endless repetition, a one-frame picture is shown
// once and never repainted, and playing stops for good when no frame decodes.
class GifAnimation {
 public:
  // Keeps a private copy of the bytes. False when they are not a GIF (the animation is then empty).
  bool Load(std::span<const uint8_t> bytes);
  void Clear();
  // Advances one frame; true when the target should be repainted.
  bool Step();
  bool IsLoaded() const { return decoder_.IsOpen(); }
  bool Stopped() const { return stopped_; }
  int FrameCounter() const { return frame_counter_; }
  const GifDecoder& Decoder() const { return decoder_; }

 private:
  std::vector<uint8_t> bytes_;
  GifDecoder decoder_;
  int frame_counter_ = 0;
  bool stopped_ = false;
};

}  // namespace skin
