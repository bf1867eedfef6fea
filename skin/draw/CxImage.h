#pragma once
// A decoded picture: 24-bit pixels (blue, green, red; rows bottom-up, each row padded to 4 bytes as in a
// device-independent bitmap) with an optional alpha channel of one byte per pixel (rows bottom-up as well).
// Decoders for BMP, PNG (libpng), JPEG (libjpeg), ICO and still GIF fill it; every decoder checks its input and
// leaves an empty picture with an error text on failure. Drawing lives in CxImageDraw_win.h.
#include <cstddef>
#include <cstdint>
#include <span>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "skin/draw/CxFile.h"

// Picture kinds shared with the theme's picture objects.
enum CxImageKind : int {
  CXIMAGE_FORMAT_UNKNOWN = 0,
  CXIMAGE_FORMAT_BMP = 1,
  CXIMAGE_FORMAT_GIF = 2,
  CXIMAGE_FORMAT_JPG = 3,
  CXIMAGE_FORMAT_PNG = 4,
  CXIMAGE_FORMAT_ICO = 5,
};

// Byte buffers whose resize leaves new bytes uninitialised: decoders write every byte they allocate.
template <typename T>
struct CxDefaultInitAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = CxDefaultInitAllocator<U>;
  };
  using std::allocator<T>::allocator;
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using CxBuffer = std::vector<uint8_t, CxDefaultInitAllocator<uint8_t>>;

struct CxRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class CxImage {
 public:
  explicit CxImage(int kind = CXIMAGE_FORMAT_UNKNOWN) : kind_(kind) {}
  // Decodes `size` bytes at `data` as `kind` (0 detects); the bytes are not kept.
  CxImage(const uint8_t* data, size_t size, int kind);
  virtual ~CxImage() = default;
  CxImage(const CxImage&) = default;
  CxImage& operator=(const CxImage&) = default;
  CxImage(CxImage&&) noexcept = default;
  CxImage& operator=(CxImage&&) noexcept = default;

  // Decodes the file at `path`. A supported kind that fails is retried once with detection; when that fails
  // too, the first error text is kept.
  bool Load(const std::wstring& path, int kind);
  // Kind 0 tries BMP, JPEG, ICO, GIF, PNG in that order; kinds 1..5 use their decoder.
  bool Decode(CxFile& stream, int kind);
  bool Decode(std::span<const uint8_t> bytes, int kind);

  // Makes this picture a copy of `source`; without `copy_pixels` only the size and kind are taken (pixels zero).
  void Copy(const CxImage& source, bool copy_pixels = true, bool copy_selection = true, bool copy_alpha = true);
  // Keeps only the part inside `rect` (picture coordinates, top-down; clipped to the picture), alpha included.
  // An empty intersection leaves an empty picture and returns false.
  bool Crop(const CxRect& rect);

  bool IsValid() const { return width_ > 0 && height_ > 0; }
  uint32_t GetWidth() const { return width_; }
  uint32_t GetHeight() const { return height_; }
  int GetType() const { return kind_; }
  uint32_t GetEffWidth() const { return stride_; }
  bool HasAlpha() const { return !alpha_.empty(); }
  const std::string& GetLastError() const { return error_; }
  // Transparent colour as 0x00BBGGRR (red in the low byte), or -1 for none.
  int64_t GetTransColor() const { return trans_color_; }
  void SetTransColor(int64_t color) { trans_color_ = color; }
  uint8_t GetOpacity() const { return opacity_; }

  // Pixel data, rows bottom-up; GetEffWidth() bytes per row.
  const uint8_t* GetBits() const { return bits_.empty() ? nullptr : bits_.data(); }
  uint8_t* GetBits() { return bits_.empty() ? nullptr : bits_.data(); }
  // Alpha rows, bottom-up, GetWidth() bytes each; none without an alpha channel.
  const uint8_t* GetAlphaBits() const { return alpha_.empty() ? nullptr : alpha_.data(); }
  // Alpha byte of pixel (x, y) with y counted from the bottom row, as the pixel rows are stored; none without
  // an alpha channel or outside the picture.
  uint8_t* AlphaAddress(uint32_t x, uint32_t y);
  // Colour of pixel (x, y) counted from the top row, as 0x00BBGGRR; 0 outside.
  uint32_t GetPixelColor(uint32_t x, uint32_t y_top) const;
  // Alpha of pixel (x, y) counted from the top row; 255 without an alpha channel.
  uint8_t GetPixelAlpha(uint32_t x, uint32_t y_top) const;

  // For decoders: allocates an opaque black picture (and a zeroed alpha channel when asked). Fails, leaving an
  // empty picture, when the size is over the caps.
  bool Create(uint32_t width, uint32_t height, bool with_alpha);
  // Takes over pixel rows (bottom-up, GetEffWidth() bytes each) and an alpha channel (empty or one byte per
  // pixel) that a decoder filled itself. The sizes must already have passed the caps.
  void Adopt(uint32_t width, uint32_t height, CxBuffer bits, CxBuffer alpha);
  static uint32_t StrideFor(uint32_t width) { return (width * 3 + 3) & ~3u; }
  void Clear();
  void SetError(std::string text) { error_ = std::move(text); }
  // Row `y_top` counted from the top, for decoders that produce rows top-down.
  uint8_t* RowTop(uint32_t y_top) { return bits_.data() + static_cast<size_t>(height_ - 1 - y_top) * stride_; }
  uint8_t* AlphaRowTop(uint32_t y_top) { return alpha_.data() + static_cast<size_t>(height_ - 1 - y_top) * width_; }
  // Drops the alpha channel when every pixel is opaque.
  void DropOpaqueAlpha();


 protected:
  int kind_ = CXIMAGE_FORMAT_UNKNOWN;

 private:
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint32_t stride_ = 0;
  CxBuffer bits_;
  CxBuffer alpha_;
  int64_t trans_color_ = -1;
  uint8_t opacity_ = 255;
  std::string error_;
};

// The decoders. Each Decode fills the picture from the bytes, or empties it and sets the error text.
class CxImageBMP : public CxImage {
 public:
  CxImageBMP() : CxImage(CXIMAGE_FORMAT_BMP) {}
  bool Decode(std::span<const uint8_t> bytes);
  // Decodes a bitmap without its 14-byte file header (an info header first), as icons store them. With
  // `icon_mask` the height is doubled and an AND mask follows the colour data.
  bool DecodeDib(std::span<const uint8_t> bytes, bool icon_mask);

 private:
  // `pixel_offset` is where the pixel data starts inside `dib`; 0 means right after the colour table.
  bool DecodeDibAt(std::span<const uint8_t> dib, uint64_t pixel_offset, bool icon_mask);
};

class CxImagePNG : public CxImage {
 public:
  CxImagePNG() : CxImage(CXIMAGE_FORMAT_PNG) {}
  bool Decode(std::span<const uint8_t> bytes);
};

class CxImageJPG : public CxImage {
 public:
  CxImageJPG() : CxImage(CXIMAGE_FORMAT_JPG) {}
  bool Decode(std::span<const uint8_t> bytes);
};

class CxImageICO : public CxImage {
 public:
  CxImageICO() : CxImage(CXIMAGE_FORMAT_ICO) {}
  bool Decode(std::span<const uint8_t> bytes);
};

// First frame of a GIF, transparency as alpha 0.
class CxImageGIF : public CxImage {
 public:
  CxImageGIF() : CxImage(CXIMAGE_FORMAT_GIF) {}
  bool Decode(std::span<const uint8_t> bytes);
};
