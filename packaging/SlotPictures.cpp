#include "packaging/SlotPictures.h"

#include <algorithm>
#include <cstring>

#include "packaging/FileSystem.h"

namespace packaging {

PictureCheck CheckSlotPicture(std::wstring_view path) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  File file;
  FileInfo info;
  if (path.empty() || !file.Open(path, File::Mode::kRead) || !file.Stat(info) || (info.attributes & kAttrDirectory)) {
    return PictureCheck::kUnreadable;
  }
  if (info.size > kMaxSlotPictureSize) return PictureCheck::kTooLarge;
  unsigned char head[8];
  size_t got = 0;
  while (got < sizeof head) {
    const int64_t n = file.Read(head + got, sizeof head - got);
    if (n < 0) return PictureCheck::kUnreadable;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return got == sizeof head && std::memcmp(head, kSignature, sizeof head) == 0 ? PictureCheck::kOk
                                                                               : PictureCheck::kNotPng;
}

TempPictureFiles::~TempPictureFiles() {
  for (const auto& p : paths_) RemoveFile(p);
}

void TempPictureFiles::Add(const std::wstring& path) {
  if (!Holds(path)) paths_.push_back(path);
}

bool TempPictureFiles::Holds(const std::wstring& path) const {
  return std::find(paths_.begin(), paths_.end(), path) != paths_.end();
}

bool TempPictureFiles::Release(const std::wstring& path) {
  const auto it = std::find(paths_.begin(), paths_.end(), path);
  if (it == paths_.end()) return false;
  RemoveFile(path);
  paths_.erase(it);
  return true;
}

}  // namespace packaging
