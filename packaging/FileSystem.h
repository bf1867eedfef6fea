#pragma once
// The few file-system services the packaging code needs, behind one interface so that the zip writer and
// the package builder stay platform-free. FileSystem_win.cpp implements it with Win32 handles,
// FileSystem_posix.cpp with POSIX descriptors.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace packaging {

// Windows file attribute bits, as the zip formats carry them.
enum FileAttribute : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

struct FileInfo {
  uint32_t attributes = 0;  // FileAttribute bits
  uint64_t size = 0;
  // Seconds since 1 January 1970 UTC.
  int64_t accessTime = 0;
  int64_t modificationTime = 0;
  int64_t creationTime = 0;
};

// One open file. Move-only; the destructor closes it (without reporting a failed close: call Close for that).
class File {
 public:
  enum class Mode {
    kRead,    // existing file, reading, others may read too
    kCreate,  // create or truncate, writing, no sharing
  };

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool Open(std::wstring_view path, Mode mode);
  bool IsOpen() const;
  bool Stat(FileInfo& info) const;
  // Reads up to `size` bytes; gives the count read (0 at the end of the file) or -1 on failure.
  int64_t Read(void* buffer, size_t size);
  // Writes all `size` bytes or fails.
  bool WriteAll(const void* data, size_t size);
  bool Seek(uint64_t offset);
  // Cuts the file at the current position.
  bool Truncate();
  // Closes the file; false when the system reported a failure (lost buffered data, full disk, ...).
  bool Close();

 private:
  intptr_t handle_ = -1;
};

// Fault injection for tests, in both builds: while a limit is set, a write that would take a file beyond
// `bytes` fails and writes nothing, as on a full disk. 0 lifts the limit. Not for use by the program.
void SetFileSizeLimitForTesting(uint64_t bytes);
// True when a write of `size` bytes at `offset` stays within the test limit (always, without one).
bool WriteWithinTestLimit(uint64_t offset, size_t size);

bool RemoveFile(std::wstring_view path);
bool FileExists(std::wstring_view path);
// Makes `path` absolute against the current folder; gives it unchanged when that fails.
std::wstring AbsolutePath(std::wstring_view path);
// The system's temporary folder with its trailing separator.
std::wstring TempFolder();
// A freshly made GUID in registry form without braces: 36 upper-case hexadecimal digits and hyphens.
std::wstring NewGuidString();

// Reads a whole file of at most `maxSize` bytes; false when it cannot be opened or read, or is larger.
bool ReadWholeFile(std::wstring_view path, uint64_t maxSize, std::string& bytes);
// Creates (or truncates) `path` and writes `size` bytes; on any failure removes what was written.
bool WriteWholeFile(std::wstring_view path, const void* data, size_t size);

}  // namespace packaging
