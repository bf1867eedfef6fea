#pragma once
// The file service of a simulated device: device paths (UTF-8, "/" separated, absolute or relative to "/")
// mapped into the device's media folder. A path that would leave the folder is refused. Thread-safe.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

class MediaFileService {
 public:
  using Pairs = std::vector<std::pair<std::string, std::string>>;

  explicit MediaFileService(std::filesystem::path root);
  ~MediaFileService();

  // The host path for a device path; nothing when the path escapes the media folder or is malformed.
  std::optional<std::filesystem::path> Resolve(std::string_view devicePath) const;

  // Results are 0 or an AfcError.
  int32_t FileInfo(std::string_view path, Pairs& info) const;  // st_size, st_nlink, st_ifmt, st_mtime...
  int32_t DeviceInfo(Pairs& info) const;
  int32_t MakeDirectory(std::string_view path);  // with missing parents
  int32_t ReadDirectory(std::string_view path, std::vector<std::string>& names) const;  // ".", "..", entries
  int32_t Remove(std::string_view path);  // a file or an empty folder
  int32_t Rename(std::string_view from, std::string_view to);

  // Modes: 1 r, 2 r+ (created when missing, never truncated), 3 w (created or truncated), 4 w+, 5 a, 6 a+.
  int32_t Open(std::string_view path, uint64_t mode, uint64_t& file);
  int32_t Read(uint64_t file, void* buffer, uint32_t& length);
  int32_t Write(uint64_t file, const void* data, uint32_t length);
  int32_t Seek(uint64_t file, int64_t offset, uint32_t whence);
  int32_t Tell(uint64_t file, uint64_t& position);
  int32_t Close(uint64_t file);
  size_t OpenFileCount() const;

  const std::filesystem::path& Root() const { return root_; }

 private:
  struct OpenFile {
    std::fstream stream;
    bool canRead = false, canWrite = false, append = false;
    uint64_t position = 0;
  };
  std::filesystem::path root_;
  mutable std::mutex mutex_;
  std::map<uint64_t, std::unique_ptr<OpenFile>> files_;
  uint64_t nextFile_ = 1;
};

}  // namespace sim
