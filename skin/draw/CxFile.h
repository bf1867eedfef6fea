#pragma once
// Input streams for the picture decoders: an open file or a byte range in memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CxFile {
 public:
  virtual ~CxFile() = default;
  // Reads up to `size` bytes; returns the number read.
  virtual size_t Read(void* buffer, size_t size) = 0;
  virtual bool Seek(uint64_t offset) = 0;
  virtual uint64_t Tell() const = 0;
  virtual uint64_t Size() const = 0;

  // Reads from the current position to the end into `out`; false when the rest exceeds `cap` bytes or a read
  // comes up short.
  bool ReadRest(std::vector<uint8_t>& out, uint64_t cap);
};

// A byte range owned by the caller; it must outlive the stream.
class CxMemFile final : public CxFile {
 public:
  CxMemFile(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}
  size_t Read(void* buffer, size_t size) override;
  bool Seek(uint64_t offset) override;
  uint64_t Tell() const override { return pos_; }
  uint64_t Size() const override { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// A file opened for binary reading; closed by the destructor.
class CxIOFile final : public CxFile {
 public:
  CxIOFile() = default;
  ~CxIOFile() override { Close(); }
  CxIOFile(const CxIOFile&) = delete;
  CxIOFile& operator=(const CxIOFile&) = delete;

  bool Open(const std::wstring& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  size_t Read(void* buffer, size_t size) override;
  bool Seek(uint64_t offset) override;
  uint64_t Tell() const override;
  uint64_t Size() const override { return size_; }

 private:
  FILE* file_ = nullptr;
  uint64_t size_ = 0;
};

// Reads a whole file into `out`; false when it cannot be opened, is larger than `cap`, or a read fails.
bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out, uint64_t cap);
