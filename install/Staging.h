#pragma once
// Putting a package into the device's staging folder over the device file service.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>

namespace install {

inline constexpr char kStagingFolder[] = "/PublicStaging/";

// The device file service as the upload sees it. Paths are absolute UTF-8 paths on the device.
class RemoteFileService {
 public:
  virtual ~RemoteFileService() = default;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
  // Opens for writing, creating the file or truncating an existing one.
  virtual bool OpenForWriting(const std::string& path, uint64_t& file) = 0;
  // Writes `length` bytes at the absolute `offset`.
  virtual bool Write(uint64_t file, uint64_t offset, const uint8_t* data, uint32_t length) = 0;
  virtual bool Close(uint64_t file) = 0;
  virtual bool Remove(const std::string& path) = 0;
};

// A local file being read for upload.
class LocalFileReader {
 public:
  virtual ~LocalFileReader() = default;
  virtual uint64_t Size() = 0;
  // Reads at most `length` bytes. Returns how many were read (0 at the end of the file), < 0 on failure.
  virtual int64_t Read(uint8_t* buffer, size_t length) = 0;
};

struct TransferProgress {
  uint32_t total = 0;
  uint32_t done = 0;
};

// Sees a file upload as it goes.
class UploadObserver {
 public:
  virtual ~UploadObserver() = default;
  virtual void UploadBegin(const TransferProgress& progress) = 0;
  virtual void UploadProgress(const TransferProgress& progress) = 0;
  virtual void UploadEnd(bool all_written) = 0;
};

enum class UploadResult {
  kOk,
  kRemoteOpenFailed,
  kWriteFailed,
  kLocalReadFailed,  // a read failed, or the file ended before its size (it changed while being read)
  kLocalTooLarge,    // beyond the 32-bit sizes the progress reports carry
  kNoMemory,
};

// `path` joined to `base` when relative, with empty and "." segments dropped and ".." resolved; always
// absolute, without a trailing "/".
std::string NormalizeRemotePath(std::string_view base, std::string_view path);

// Eight decimal digits from a generator seeded once per process from the system's entropy and the clock;
// never the same as the name drawn just before in this process.
std::string MakeStagingName();
// Eight decimal digits drawn from `generator`.
std::string MakeStagingName(std::mt19937_64& generator);
// A generator as MakeStagingName seeds its own, once per process: from the system's entropy, the clocks
// and the thread, so that two program starts draw different names.
std::mt19937_64 NewStagingGenerator();

// Block size for a file upload of `file_size` bytes; `force_largest` always gives the largest.
uint32_t ChooseChunkSize(uint64_t file_size, bool force_largest);

// Creates the staging folder when it is missing.
void PrepareStagingFolder(RemoteFileService& files);

// Writes `data` to `path` (created or truncated). On failure the partial remote file is removed.
UploadResult UploadFromMemory(RemoteFileService& files, const std::string& path, const uint8_t* data,
                              size_t length);

// Writes the local file to `path` block by block, telling `observer` (may be null) about the start, every
// written block and the end. Succeeds only when all of the file's bytes were written; on failure the
// partial remote file is removed. The remote file is opened before anything is reported.
UploadResult UploadFromFile(RemoteFileService& files, LocalFileReader& local, const std::string& path,
                            UploadObserver* observer);

}  // namespace install
