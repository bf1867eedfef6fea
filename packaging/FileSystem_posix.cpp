#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>

#include "packaging/FileSystem.h"
#include "packaging/Utf8.h"

namespace packaging {

namespace {
bool ToNative(std::wstring_view path, std::string& out) { return WideToUtf8(path, out); }
}  // namespace

File::~File() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

bool File::Open(std::wstring_view path, Mode mode) {
  if (handle_ >= 0) return false;
  std::string native;
  if (!ToNative(path, native)) return false;
  const int flags = mode == Mode::kRead ? O_RDONLY : (O_WRONLY | O_CREAT | O_TRUNC);
  int fd;
  do {
    fd = ::open(native.c_str(), flags | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

bool File::IsOpen() const { return handle_ >= 0; }

bool File::Stat(FileInfo& info) const {
  struct stat st {};
  if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &st) != 0) return false;
  info = FileInfo{};
  if (S_ISDIR(st.st_mode)) {
    info.attributes |= kAttrDirectory;
  } else {
    info.attributes |= kAttrArchive;
  }
  if (!(st.st_mode & S_IWUSR)) info.attributes |= kAttrReadOnly;
  info.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  info.accessTime = st.st_atime;
  info.modificationTime = st.st_mtime;
  info.creationTime = st.st_ctime;
  return true;
}

int64_t File::Read(void* buffer, size_t size) {
  if (handle_ < 0) return -1;
  ssize_t n;
  do {
    n = ::read(static_cast<int>(handle_), buffer, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

bool File::WriteAll(const void* data, size_t size) {
  if (handle_ < 0) return false;
  const off_t at = ::lseek(static_cast<int>(handle_), 0, SEEK_CUR);
  if (at >= 0 && !WriteWithinTestLimit(static_cast<uint64_t>(at), size)) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(static_cast<int>(handle_), p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool File::Seek(uint64_t offset) {
  return handle_ >= 0 && ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool File::Truncate() {
  if (handle_ < 0) return false;
  const off_t at = ::lseek(static_cast<int>(handle_), 0, SEEK_CUR);
  return at >= 0 && ::ftruncate(static_cast<int>(handle_), at) == 0;
}

bool File::Close() {
  if (handle_ < 0) return false;
  const int fd = static_cast<int>(handle_);
  handle_ = -1;
  return ::close(fd) == 0;
}

bool RemoveFile(std::wstring_view path) {
  std::string native;
  return ToNative(path, native) && ::unlink(native.c_str()) == 0;
}

bool FileExists(std::wstring_view path) {
  std::string native;
  struct stat st {};
  return ToNative(path, native) && ::stat(native.c_str(), &st) == 0;
}

std::wstring AbsolutePath(std::wstring_view path) {
  if (!path.empty() && path.front() == L'/') return std::wstring(path);
  char cwd[4096];
  if (!::getcwd(cwd, sizeof cwd)) return std::wstring(path);
  std::wstring out = Utf8ToWide(cwd);
  if (out.empty() || out.back() != L'/') out.push_back(L'/');
  return out.append(path);
}

std::wstring TempFolder() {
  const char* dir = std::getenv("TMPDIR");
  std::wstring out = Utf8ToWide(dir && *dir ? dir : "/tmp");
  if (out.back() != L'/') out.push_back(L'/');
  return out;
}

std::wstring NewGuidString() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring out;
  for (int i = 0; i < 32; ++i) {
    if (i == 8 || i == 12 || i == 16 || i == 20) out.push_back(L'-');
    unsigned digit = static_cast<unsigned>(engine() & 0xF);
    if (i == 12) digit = 4;                       // version 4 (random)
    if (i == 16) digit = 0x8 | (digit & 0x3);     // RFC 4122 variant
    out.push_back(kHex[digit]);
  }
  return out;
}

}  // namespace packaging
