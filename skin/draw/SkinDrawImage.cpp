#include "skin/draw/SkinDrawImage.h"

#include "skin/draw/ImageLimits.h"

void CSkinDrawImage::SetFromBytes(std::span<const uint8_t> bytes, int kind) {
  Reset();
  kind_ = kind;
  from_file_ = false;
  if (kind == CXIMAGE_FORMAT_BMP) {
    raw_.assign(bytes.begin(), bytes.end());
    return;
  }
  decoded_.Decode(bytes, kind);
  realised_ = true;
}

void CSkinDrawImage::SetFromFile(std::wstring path, int kind) {
  Reset();
  path_ = std::move(path);
  kind_ = kind;
  from_file_ = true;
}

void CSkinDrawImage::Reset() {
  path_.clear();
  from_file_ = false;
  kind_ = CXIMAGE_FORMAT_BMP;
  tint_ = true;
  key_color_ = 0xFF00FF;
  realised_ = false;
  raw_.clear();
  raw_.shrink_to_fit();
  decoded_ = CxImage();
  forms_.reset();
}

uint32_t CSkinDrawImage::GetKeyColor() const {
  if (kind_ != CXIMAGE_FORMAT_BMP) return kWhite;
  return realised_ && !decoded_.IsValid() ? kWhite : key_color_;
}

void CSkinDrawImage::Realise() {
  if (realised_) return;
  realised_ = true;
  if (kind_ == CXIMAGE_FORMAT_BMP) {
    if (from_file_ && !ReadWholeFile(path_, raw_, skin::kMaxImageFileBytes)) raw_.clear();
    CxImageBMP bmp;
    bmp.Decode(raw_);
    decoded_ = std::move(bmp);
    return;
  }
  if (from_file_) decoded_.Load(path_, kind_);
}
