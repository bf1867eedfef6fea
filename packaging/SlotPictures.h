#pragma once
// Pictures that can fill a carrier's logo slots: the check a user's file passes before it is accepted, and
// the set of temporary logo copies the program made (removed once no slot names them, and at the latest
// when the set is destroyed).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace packaging {

inline constexpr uint64_t kMaxSlotPictureSize = 10ull << 20;

enum class PictureCheck {
  kOk,
  kUnreadable,  // missing, a folder, or cannot be opened or read
  kTooLarge,    // over kMaxSlotPictureSize
  kNotPng,      // does not start with the PNG signature
};

PictureCheck CheckSlotPicture(std::wstring_view path);

class TempPictureFiles {
 public:
  TempPictureFiles() = default;
  ~TempPictureFiles();  // removes every file still held
  TempPictureFiles(const TempPictureFiles&) = delete;
  TempPictureFiles& operator=(const TempPictureFiles&) = delete;

  void Add(const std::wstring& path);
  bool Holds(const std::wstring& path) const;
  // Removes `path` from disk when it is one of ours; gives false for files the set does not hold.
  bool Release(const std::wstring& path);

 private:
  std::vector<std::wstring> paths_;
};

}  // namespace packaging
