#pragma once
// A reader of zip archives that lie whole in memory. The archive bytes are not copied: they belong to the
// caller and must outlive the reader. Pattern of use: open, then pairs of look-up (by name or position) and
// extraction into a buffer of the caller's, then close.
//
// Every length and offset read from the archive is checked against the buffer before use, so arbitrary
// bytes can be handed to it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace packaging {

enum class ZipReadResult : int {
  kOk = 0,
  kNoMemory = 2,         // an allocation failed, or the entry is larger than kMaxZipEntrySize
  kNotFound = 4,         // the archive has no entries, or no entry has the sought name
  kMoreData = 5,         // the buffer is full and the entry has bytes left; a further call continues
  kBadArchive = 6,       // no end record, an inconsistent structure, or data that ends short
  kReadError = 7,        // a read or position change failed
  kUnsupported = 8,      // a method other than stored or deflated, encryption, or a multi-disk archive
  kInvalidArgument = 9,  // invalid handle, no current entry, or a sought name of 256 bytes or more
  kCorruptData = 18,     // the deflate data is corrupt
};

// Entries whose uncompressed size is above this are refused at look-up rather than extracted.
inline constexpr uint64_t kMaxZipEntrySize = 64ull << 20;

struct ZipEntryInfo {
  int64_t index = -1;      // position in the central directory; from GetZipEntryAt(-1), the entry count
  std::string name;        // as stored (UTF-8)
  uint32_t attributes = 0;  // Windows file attribute bits (FileAttribute in FileSystem.h)
  // Unix seconds: the DOS time read as local time, replaced by an extended time-stamp field's values.
  int64_t modificationTime = 0;
  int64_t accessTime = 0;
  int64_t creationTime = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
};

class ZipReader;
struct ZipReaderCloser {
  void operator()(ZipReader* reader) const;
};
using ZipReaderHandle = std::unique_ptr<ZipReader, ZipReaderCloser>;

// Opens the archive in data[0, size). `password` is accepted for callers that pass one; encrypted entries
// are refused at look-up. On success `reader` owns the new reader.
ZipReadResult OpenZipFromMemory(const void* data, size_t size, const char* password, ZipReaderHandle& reader);
inline ZipReadResult OpenZipFromMemory(const void* data, size_t size, ZipReaderHandle& reader) {
  return OpenZipFromMemory(data, size, "", reader);
}

// Looks an entry up by name (back-slashes match forward slashes, ASCII letters match in either case) and
// makes it current.
ZipReadResult FindZipEntry(ZipReader* reader, std::wstring_view name, ZipEntryInfo& entry);

// Index -1 gives the entry count in entry.index; 0 .. count-1 makes that entry current as FindZipEntry does.
ZipReadResult GetZipEntryAt(ZipReader* reader, int64_t index, ZipEntryInfo& entry);

// Extracts the current entry into buffer[0, length). With length below the entry's size, gives kMoreData
// and keeps the entry open so that the next call continues where this one stopped. Once the whole entry is
// out (or on failure) the entry stops being current.
ZipReadResult UnzipEntryToMemory(ZipReader* reader, const ZipEntryInfo& entry, void* buffer, size_t length);
inline ZipReadResult UnzipEntryToMemory(ZipReader* reader, const ZipEntryInfo& entry, void* buffer) {
  return UnzipEntryToMemory(reader, entry, buffer, static_cast<size_t>(entry.uncompressedSize));
}

// Releases the reader and any extraction state (never the archive bytes). Resets `reader`.
ZipReadResult CloseZipReader(ZipReaderHandle& reader);

}  // namespace packaging
