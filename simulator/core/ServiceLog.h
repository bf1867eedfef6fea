#pragma once
// The installation service's log in a device's folder: every request received and every reply sent, as
// raw bytes. Record format: one direction byte ('Q' request to the device, 'A' answer from it), the
// payload length as 4 bytes big-endian, then the payload exactly as framed on the wire.
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

namespace sim {

struct LogRecord {
  char direction = 0;  // 'Q' or 'A'
  std::vector<uint8_t> payload;
};

class ServiceLog {
 public:
  explicit ServiceLog(std::filesystem::path file) : file_(std::move(file)) {}
  bool Append(char direction, const uint8_t* data, size_t size);

 private:
  std::filesystem::path file_;
  static std::mutex mutex_;  // one lock for every log: several connections may write the same file
};

// Reads a whole log; nothing when the file is missing or a record is cut short.
std::optional<std::vector<LogRecord>> ReadServiceLog(const std::filesystem::path& file);

}  // namespace sim
