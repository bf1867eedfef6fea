#pragma once
// A writer of zip archives: creates the archive file, adds entries one at a time from source files (stored
// or deflated at level 8, chosen by the entry name's suffix) and finishes it with the central directory.
// Entries go straight to the file as they are compressed.
#include <cstdint>
#include <memory>
#include <string_view>

namespace packaging {

enum class ZipWriteResult : int {
  kOk = 0,
  kOpenFailed = 1,       // creating the archive, or opening or examining a source file, failed
  kNoMemory = 2,
  kWriteFailed = 3,      // a write to (or the closing of) the archive file failed
  kReadFailed = 7,       // a read from a source file failed
  kInvalidArgument = 9,  // invalid handle, no source given, a name that cannot be UTF-8 or is too long
  kAlreadyEnded = 13,
  kSeekFailed = 16,
  kInconsistent = 17,    // the source changed size while it was read, or the entry does not fit 32 bits
};

// Longest entry name, in UTF-8 bytes, that the writer accepts.
inline constexpr size_t kMaxZipEntryName = 259;

class ZipWriter;
struct ZipWriterCloser {
  void operator()(ZipWriter* writer) const;  // closes the file without finishing the archive
};
using ZipWriterHandle = std::unique_ptr<ZipWriter, ZipWriterCloser>;

// Creates (or truncates) the archive file at `path`, with no sharing. On success `writer` owns it.
ZipWriteResult CreateZipFile(std::wstring_view path, ZipWriterHandle& writer);

// Adds one entry named `entryName` (back-slashes are stored as forward slashes) holding the bytes of the
// file at `sourcePath`. A source that cannot be opened adds nothing and leaves the archive valid. A failure
// while the entry is written stays recorded until the next add, which first cuts the partial entry off.
ZipWriteResult ZipAddFile(ZipWriter* writer, std::wstring_view sourcePath, std::wstring_view entryName);

// Writes the central directory and the end record, closes the file and frees the writer (`writer` is reset
// whatever happens). Gives the recorded failure of the last add instead when there is one: the file is then
// not a finished archive, and the caller should remove it.
ZipWriteResult CloseZipWriter(ZipWriterHandle& writer);

// The method the writer uses for a name: true when the name's suffix marks already compressed data.
bool ZipStoresUncompressed(std::string_view utf8Name);

// MS-DOS time and date of a Unix time, read as UTC (years clamped to 1980..2107).
void UnixToDosTime(int64_t unixSeconds, uint16_t& dosTime, uint16_t& dosDate);

}  // namespace packaging
