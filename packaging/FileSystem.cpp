#include "packaging/FileSystem.h"

#include <atomic>

namespace packaging {
namespace {
std::atomic<uint64_t> g_test_size_limit{0};
}  // namespace

void SetFileSizeLimitForTesting(uint64_t bytes) { g_test_size_limit = bytes; }

bool WriteWithinTestLimit(uint64_t offset, size_t size) {
  const uint64_t limit = g_test_size_limit.load();
  return limit == 0 || (offset <= limit && size <= limit - offset);
}

bool ReadWholeFile(std::wstring_view path, uint64_t maxSize, std::string& bytes) {
  File file;
  FileInfo info;
  if (!file.Open(path, File::Mode::kRead) || !file.Stat(info)) return false;
  if ((info.attributes & kAttrDirectory) || info.size > maxSize) return false;
  bytes.resize(static_cast<size_t>(info.size));
  size_t done = 0;
  while (done < bytes.size()) {
    const int64_t n = file.Read(bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;  // failed, or shorter than it said it was
    done += static_cast<size_t>(n);
  }
  // A file that grew after Stat is read only up to its examined size; one extra byte tells.
  char probe;
  if (file.Read(&probe, 1) != 0) return false;
  return true;
}

bool WriteWholeFile(std::wstring_view path, const void* data, size_t size) {
  File file;
  if (!file.Open(path, File::Mode::kCreate)) return false;
  const bool ok = file.WriteAll(data, size);
  if (file.Close() && ok) return true;
  RemoveFile(path);
  return false;
}

}  // namespace packaging
