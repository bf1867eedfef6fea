#pragma once
// Builds a carrier-bundle package from the three slot pictures (Default, FSO, TS):
//   China Unicom: a copy of the template whose three logo entries the zip library replaces;
//   China Mobile: a new archive from the program's own zip writer, with the pictures and the template's
//                 three property lists.
// Both need the template cache filled (LoadTemplates). Neither throws.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "packaging/ZipReader.h"

namespace packaging {

enum class BuildError {
  kNone = 0,
  kNoTemplate,          // the carrier's template is not in the cache, or cannot be opened
  kPictureUnreadable,   // a slot picture cannot be opened or read (user-visible: the package would be broken)
  kPictureRejected,     // a slot picture is no longer a PNG file within the size cap (changed since it was picked)
  kCreatePackage,       // the package file cannot be created
  kWritePackage,        // writing the package failed (full disk, ...)
  kExtractEntry,        // a template entry cannot be extracted to its temporary file
  kZipLibrary,          // the zip library failed while editing the package (user-visible)
};

struct BuildResult {
  BuildError error = BuildError::kNone;
  // On success: the finished package in the temporary folder. The caller owns the file and removes it
  // (TakePackageFile does both).
  std::wstring packagePath;
  // For kZipLibrary: the library's own message (not meant for the user).
  std::string detail;
  explicit operator bool() const { return error == BuildError::kNone; }
};

using PicturePaths = std::array<std::wstring, 3>;

BuildResult BuildUnicomPackage(const PicturePaths& pictures);
BuildResult BuildCmccPackage(const PicturePaths& pictures);

// Extracts `entryName` from an open template into "<temp folder><MD5 of its bytes, upper-case hex>.a".
// Equal contents give the same file. The caller owns the file.
bool ExtractEntryToTemp(ZipReader* reader, std::wstring_view entryName, std::wstring& path);

// "<temp folder><new GUID>.a" / "<temp folder><new GUID>.png"; nothing is created.
std::wstring MakeTempPackagePath();
std::wstring MakeTempPicturePath();

// Largest package TakePackageFile reads back.
inline constexpr uint64_t kMaxPackageSize = 256ull << 20;

// Reads a finished package into `bytes` and removes the file (also when it cannot be read). False when the
// file cannot be opened or read in full, or is empty.
bool TakePackageFile(const std::wstring& packagePath, std::vector<uint8_t>& bytes);

}  // namespace packaging
