#pragma once
// One theme picture: where it comes from (a file, or bytes of the theme archive), its kind, tint flag and key
// colour, and its decoded form. BMP pictures keep their raw bytes until first looked up and are then checked
// and decoded (the platform bitmap is built from the checked pixels); PNG, JPEG and ICO pictures of the
// archive arrive decoded. Drawing belongs to the drawing primitives. Platform-free.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "skin/draw/CxImage.h"

class CSkinDrawImage {
 public:
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
  uint32_t KeyColor() const { return key_color_; }
  void SetKeyColor(uint32_t color) { key_color_ = color; }
  bool IsRealised() const { return realised_; }
  // Raw BMP bytes (archive bitmaps before and after realising; file bitmaps after).
  const std::vector<uint8_t>& RawBytes() const { return raw_; }
  // The decoded pixels; empty (size 0) when nothing could be decoded.
  const CxImage& Decoded() const { return decoded_; }
  uint32_t GetWidth() const { return decoded_.GetWidth(); }
  uint32_t GetHeight() const { return decoded_.GetHeight(); }

 private:
  std::wstring path_;
  bool from_file_ = false;
  int kind_ = CXIMAGE_FORMAT_BMP;
  bool tint_ = true;
  uint32_t key_color_ = 0xFF00FF;
  bool realised_ = false;
  std::vector<uint8_t> raw_;
  CxImage decoded_;
};
