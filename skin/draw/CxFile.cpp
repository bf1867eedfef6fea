#include "skin/draw/CxFile.h"

#include <cstring>

#include "skin/Utf8.h"

bool CxFile::ReadRest(std::vector<uint8_t>& out, uint64_t cap) {
  const uint64_t size = Size();
  const uint64_t pos = Tell();
  if (pos > size || size - pos > cap) return false;
  const size_t rest = static_cast<size_t>(size - pos);
  out.resize(rest);
  return rest == 0 || Read(out.data(), rest) == rest;
}

size_t CxMemFile::Read(void* buffer, size_t size) {
  const size_t n = std::min(size, size_ - pos_);
  if (n) std::memcpy(buffer, data_ + pos_, n);
  pos_ += n;
  return n;
}

bool CxMemFile::Seek(uint64_t offset) {
  if (offset > size_) return false;
  pos_ = static_cast<size_t>(offset);
  return true;
}

bool CxIOFile::Open(const std::wstring& path) {
  Close();
#ifdef _WIN32
  file_ = _wfopen(path.c_str(), L"rb");
#else
  file_ = std::fopen(skin::WideToUtf8(path).c_str(), "rb");
#endif
  if (!file_) return false;
  if (std::fseek(file_, 0, SEEK_END) != 0) {
    Close();
    return false;
  }
#ifdef _WIN32
  const long long end = _ftelli64(file_);
#else
  const long long end = ftello(file_);
#endif
  if (end < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    Close();
    return false;
  }
  size_ = static_cast<uint64_t>(end);
  return true;
}

void CxIOFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  size_ = 0;
}

size_t CxIOFile::Read(void* buffer, size_t size) { return file_ ? std::fread(buffer, 1, size, file_) : 0; }

bool CxIOFile::Seek(uint64_t offset) {
  if (!file_ || offset > size_) return false;
#ifdef _WIN32
  return _fseeki64(file_, static_cast<long long>(offset), SEEK_SET) == 0;
#else
  return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

uint64_t CxIOFile::Tell() const {
  if (!file_) return 0;
#ifdef _WIN32
  const long long p = _ftelli64(file_);
#else
  const long long p = ftello(file_);
#endif
  return p < 0 ? 0 : static_cast<uint64_t>(p);
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out, uint64_t cap) {
  CxIOFile f;
  return f.Open(path) && f.ReadRest(out, cap);
}
