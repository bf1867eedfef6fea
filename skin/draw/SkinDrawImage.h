#pragma once
// One theme picture: where it comes from (a file, or bytes of the theme archive), its kind, tint flag and key
// colour, and its decoded form. BMP pictures keep their raw bytes until first looked up and are then checked
// and decoded (the platform bitmap is built from the checked pixels); PNG, JPEG and ICO pictures of the
// archive arrive decoded. Drawing lives in SkinDrawImage_win.h, whose platform forms (the bitmap and the cached
// bitmap handle) the picture holds and releases without knowing them. Platform-free.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "skin/draw/CxImage.h"

// What the drawing layer builds from a picture on first draw; the picture owns it.
class CSkinPictureForms {
 public:
  virtual ~CSkinPictureForms() = default;
};

class CSkinDrawImage {
 public:
  static constexpr uint32_t kWhite = 0xFFFFFF;

  CSkinDrawImage() = default;
  virtual ~CSkinDrawImage() = default;
  CSkinDrawImage(const CSkinDrawImage&) = delete;
  CSkinDrawImage& operator=(const CSkinDrawImage&) = delete;

  // A picture of the theme archive: BMP bytes are copied, other kinds decoded now (a failure leaves an empty
  // picture).
  void SetFromBytes(std::span<const uint8_t> bytes, int kind);
  // A picture decoded from `path` when first realised.
  void SetFromFile(std::wstring path, int kind);
  // Empties the picture for reuse under the same key (tint and key colour back to their defaults).
  void Reset();
  // Decodes what is not decoded yet: file pictures from their file, BMP bytes after checking their headers.
  // Runs once; later calls do nothing.
  void Realise();

  int Kind() const { return kind_; }
  bool IsFromFile() const { return from_file_; }
  const std::wstring& Path() const { return path_; }
  bool Tint() const { return tint_; }
  void SetTint(bool on) { tint_ = on; }
  // The key colour set for the picture (default magenta), whatever its kind.
  uint32_t KeyColor() const { return key_color_; }
  // The key colour its drawing uses: that of a bitmap picture, white for decoded pictures and for a BMP that
  // does not decode.
  uint32_t GetKeyColor() const;
  void SetKeyColor(uint32_t color) { key_color_ = color; }
  // A BMP picture that draws as a bitmap: kind 1 with pixels (after Realise).
  bool HasBitmapForm() const { return kind_ == CXIMAGE_FORMAT_BMP && decoded_.IsValid(); }
  bool IsRealised() const { return realised_; }
  // Raw BMP bytes (archive bitmaps before and after realising; file bitmaps after).
  const std::vector<uint8_t>& RawBytes() const { return raw_; }
  // The decoded pixels; empty (size 0) when nothing could be decoded.
  const CxImage& Decoded() const { return decoded_; }
  uint32_t GetWidth() const { return decoded_.GetWidth(); }
  uint32_t GetHeight() const { return decoded_.GetHeight(); }

  // The drawing layer's forms, none until it made them; Reset drops them.
  CSkinPictureForms* Forms() const { return forms_.get(); }
  void SetForms(std::unique_ptr<CSkinPictureForms> forms) { forms_ = std::move(forms); }

 private:
  std::wstring path_;
  bool from_file_ = false;
  int kind_ = CXIMAGE_FORMAT_BMP;
  bool tint_ = true;
  uint32_t key_color_ = 0xFF00FF;
  bool realised_ = false;
  std::vector<uint8_t> raw_;
  CxImage decoded_;
  std::unique_ptr<CSkinPictureForms> forms_;
};
