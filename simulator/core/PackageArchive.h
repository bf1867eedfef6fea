#pragma once
// Packages the installation service is asked to install: reading a zip archive into memory (bounded, every
// entry checked), checking that it is a well-formed carrier bundle or application package, and putting the
// bundle in place.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "simulator/plist/PlistValue.h"

namespace sim {

inline constexpr uint64_t kMaxPackageBytes = 64ull << 20;
inline constexpr uint64_t kMaxUnpackedBytes = 256ull << 20;
inline constexpr size_t kMaxPackageEntries = 10000;

struct ArchiveEntry {
  std::string name;  // as stored, "/" separated
  bool directory = false;
  std::vector<uint8_t> bytes;
};

enum class ArchiveStatus { Ok, NotFound, TooLarge, NotZip, Corrupt, UnsafeName };

struct ArchiveReadResult {
  ArchiveStatus status = ArchiveStatus::Ok;
  std::string detail;
  std::vector<ArchiveEntry> entries;
  explicit operator bool() const { return status == ArchiveStatus::Ok; }
};

ArchiveReadResult ReadArchive(const std::filesystem::path& file);
ArchiveReadResult ReadArchive(const uint8_t* data, size_t size);

struct PackageCheck {
  bool ok = false;
  std::string problem;     // why not, for the reply's ErrorDescription
  std::string folder;      // "Payload/<name>.bundle/" or "Payload/<name>.app/"
  std::string bundleName;  // "<name>.bundle" or "<name>.app"
  std::string identifier;  // CFBundleIdentifier of Info.plist (may be empty for a carrier bundle)
};

// A carrier bundle: one "Payload/<name>.bundle/" folder holding Info.plist, carrier.plist and version.plist
// (each a property list with a dictionary at its root) and every logo that carrier.plist's
// StatusBarImages name; every PNG in the bundle must carry the PNG signature.
PackageCheck CheckCarrierBundle(const std::vector<ArchiveEntry>& entries);

// An application package: one "Payload/<name>.app/" folder whose Info.plist names a CFBundleIdentifier.
PackageCheck CheckAppPackage(const std::vector<ArchiveEntry>& entries);

// Writes the entries under `check.folder` into `destination` (replacing what was there). False with a
// reason on failure.
bool ExtractBundle(const std::vector<ArchiveEntry>& entries, const PackageCheck& check,
                   const std::filesystem::path& destination, std::string* error);

}  // namespace sim
