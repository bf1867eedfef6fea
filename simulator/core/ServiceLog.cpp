#include "simulator/core/ServiceLog.h"

#include <fstream>
#include <iterator>

namespace sim {

std::mutex ServiceLog::mutex_;

bool ServiceLog::Append(char direction, const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  std::ofstream out(file_, std::ios::binary | std::ios::app);
  if (!out) return false;
  uint8_t head[5] = {static_cast<uint8_t>(direction), static_cast<uint8_t>(size >> 24),
                     static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
  out.write(reinterpret_cast<const char*>(head), 5);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out.flush());
}

std::optional<std::vector<LogRecord>> ReadServiceLog(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<LogRecord> out;
  size_t pos = 0;
  while (pos < bytes.size()) {
    if (bytes.size() - pos < 5) return std::nullopt;
    LogRecord r;
    r.direction = static_cast<char>(bytes[pos]);
    uint32_t len = (uint32_t(bytes[pos + 1]) << 24) | (uint32_t(bytes[pos + 2]) << 16) |
                   (uint32_t(bytes[pos + 3]) << 8) | bytes[pos + 4];
    pos += 5;
    if (bytes.size() - pos < len) return std::nullopt;
    r.payload.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                     bytes.begin() + static_cast<std::ptrdiff_t>(pos + len));
    pos += len;
    out.push_back(std::move(r));
  }
  return out;
}

}  // namespace sim
