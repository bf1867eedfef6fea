#include <objbase.h>
#include <windows.h>

#include <cwchar>

#include "packaging/FileSystem.h"

namespace packaging {

namespace {
HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
constexpr intptr_t kInvalid = -1;  // INVALID_HANDLE_VALUE

int64_t ToUnixSeconds(const FILETIME& ft) {
  const int64_t ticks = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return (ticks - 116444736000000000LL) / 10000000LL;
}

std::wstring Terminated(std::wstring_view path) { return std::wstring(path); }
}  // namespace

File::~File() {
  if (handle_ != kInvalid) ::CloseHandle(AsHandle(handle_));
}

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kInvalid; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (handle_ != kInvalid) ::CloseHandle(AsHandle(handle_));
    handle_ = other.handle_;
    other.handle_ = kInvalid;
  }
  return *this;
}

bool File::Open(std::wstring_view path, Mode mode) {
  if (handle_ != kInvalid) return false;
  const std::wstring p = Terminated(path);
  HANDLE h = mode == Mode::kRead
                 ? ::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                 : ::CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<intptr_t>(h);
  return true;
}

bool File::IsOpen() const { return handle_ != kInvalid; }

bool File::Stat(FileInfo& info) const {
  BY_HANDLE_FILE_INFORMATION fi{};
  if (handle_ == kInvalid || !::GetFileInformationByHandle(AsHandle(handle_), &fi)) return false;
  info = FileInfo{};
  info.attributes = fi.dwFileAttributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
  info.size = (static_cast<uint64_t>(fi.nFileSizeHigh) << 32) | fi.nFileSizeLow;
  info.accessTime = ToUnixSeconds(fi.ftLastAccessTime);
  info.modificationTime = ToUnixSeconds(fi.ftLastWriteTime);
  info.creationTime = ToUnixSeconds(fi.ftCreationTime);
  return true;
}

int64_t File::Read(void* buffer, size_t size) {
  if (handle_ == kInvalid) return -1;
  DWORD got = 0;
  const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  if (!::ReadFile(AsHandle(handle_), buffer, want, &got, nullptr)) return -1;
  return got;
}

bool File::WriteAll(const void* data, size_t size) {
  if (handle_ == kInvalid) return false;
  LARGE_INTEGER at{};
  if (::SetFilePointerEx(AsHandle(handle_), LARGE_INTEGER{}, &at, FILE_CURRENT) &&
      !WriteWithinTestLimit(static_cast<uint64_t>(at.QuadPart), size)) {
    return false;
  }
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD done = 0;
    if (!::WriteFile(AsHandle(handle_), p, want, &done, nullptr) || done == 0) return false;
    p += done;
    size -= done;
  }
  return true;
}

bool File::Seek(uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return handle_ != kInvalid && ::SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN);
}

bool File::Truncate() { return handle_ != kInvalid && ::SetEndOfFile(AsHandle(handle_)); }

bool File::Close() {
  if (handle_ == kInvalid) return false;
  HANDLE h = AsHandle(handle_);
  handle_ = kInvalid;
  return ::CloseHandle(h) != 0;
}

bool RemoveFile(std::wstring_view path) { return ::DeleteFileW(Terminated(path).c_str()) != 0; }

bool FileExists(std::wstring_view path) {
  return ::GetFileAttributesW(Terminated(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring AbsolutePath(std::wstring_view path) {
  const std::wstring p = Terminated(path);
  const DWORD need = ::GetFullPathNameW(p.c_str(), 0, nullptr, nullptr);
  if (need == 0) return p;
  std::wstring out(need, L'\0');
  const DWORD got = ::GetFullPathNameW(p.c_str(), need, out.data(), nullptr);
  if (got == 0 || got >= need) return p;
  out.resize(got);
  return out;
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 2] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH + 1) return L".\\";
  return std::wstring(buffer, n);
}

std::wstring NewGuidString() {
  GUID g{};
  if (FAILED(::CoCreateGuid(&g))) return {};
  wchar_t text[40] = {};
  std::swprintf(text, 40, L"%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", static_cast<unsigned long>(g.Data1),
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
  return text;
}

}  // namespace packaging
