#include "packaging/ZipReader.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <new>

#include "packaging/FileSystem.h"
#include "packaging/Utf8.h"

namespace packaging {

namespace {

constexpr uint32_t kEndRecordSignature = 0x06054B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint64_t kEndRecordSize = 22;
constexpr uint64_t kCentralHeaderSize = 46;
constexpr uint64_t kLocalHeaderSize = 30;
constexpr uint64_t kEndRecordSearchSpan = 65535;
constexpr size_t kMaxSoughtName = 255;
constexpr size_t kComparedNameBytes = 259;
constexpr uint16_t kExtendedTimestampId = 0x5455;
constexpr uInt kMaxInflateInput = 1u << 30;  // input is fed straight from the archive bytes

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

struct CentralHeader {
  uint64_t position = 0;  // of the header within the buffer
  uint16_t versionMadeBy = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint32_t externalAttributes = 0;
  uint64_t localHeaderOffset = 0;
};

int64_t DosTimeToUnix(uint16_t dosDate, uint16_t dosTime) {
  std::tm tm{};
  tm.tm_year = ((dosDate >> 9) & 0x7F) + 80;
  tm.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
  tm.tm_mday = dosDate & 0x1F;
  tm.tm_hour = (dosTime >> 11) & 0x1F;
  tm.tm_min = (dosTime >> 5) & 0x3F;
  tm.tm_sec = (dosTime & 0x1F) * 2;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  return t == static_cast<std::time_t>(-1) ? 0 : static_cast<int64_t>(t);
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

class ZipReader {
 public:
  ZipReader(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}
  ~ZipReader() { EndExtraction(); }

  ZipReadResult Open();
  ZipReadResult Find(std::wstring_view name, ZipEntryInfo& entry);
  ZipReadResult At(int64_t index, ZipEntryInfo& entry);
  ZipReadResult Extract(void* buffer, size_t length);

 private:
  // True when [pos, pos + count) lies inside the buffer.
  bool Has(uint64_t pos, uint64_t count) const { return pos <= size_ && size_ - pos >= count; }
  ZipReadResult ReadCentralHeader(uint64_t pos, CentralHeader& header) const;
  ZipReadResult MakeCurrent(const CentralHeader& header, int64_t index, ZipEntryInfo& entry);
  void FillTimes(const CentralHeader& header, ZipEntryInfo& entry) const;
  ZipReadResult BeginExtraction();
  ZipReadResult ExtractStored(uint8_t* out, size_t length);
  ZipReadResult ExtractDeflated(uint8_t* out, size_t length);
  ZipReadResult FinishInflate();
  void EndExtraction() {
    if (inflating_) inflateEnd(&stream_);
    inflating_ = false;
    extracting_ = false;
  }
  ZipReadResult Fail(ZipReadResult result) {
    EndExtraction();
    hasCurrent_ = false;
    return result;
  }

  const uint8_t* data_;
  uint64_t size_;
  uint64_t bytesBefore_ = 0;
  uint64_t entryCount_ = 0;
  uint64_t centralOffset_ = 0;  // as recorded, without bytesBefore_

  bool hasCurrent_ = false;
  CentralHeader current_;

  bool extracting_ = false;
  bool inflating_ = false;
  bool streamEnded_ = false;
  z_stream stream_{};
  uint64_t inputPos_ = 0;
  uint64_t compressedLeft_ = 0;
  uint64_t uncompressedLeft_ = 0;
};

ZipReadResult ZipReader::Open() {
  if (size_ < kEndRecordSize) return ZipReadResult::kBadArchive;
  // The end record is searched backwards from the end; the one nearest the end wins.
  const uint64_t lowest = size_ > kEndRecordSearchSpan ? size_ - kEndRecordSearchSpan : 0;
  uint64_t pos = size_ - kEndRecordSize;
  bool found = false;
  for (;;) {
    if (Le32(data_ + pos) == kEndRecordSignature) {
      found = true;
      break;
    }
    if (pos == lowest || pos == 0) break;
    --pos;
  }
  if (!found) return ZipReadResult::kBadArchive;

  const uint8_t* r = data_ + pos;
  const uint16_t thisDisk = Le16(r + 4), centralDisk = Le16(r + 6);
  const uint16_t entriesHere = Le16(r + 8), entriesTotal = Le16(r + 10);
  const uint64_t centralSize = Le32(r + 12);
  const uint64_t centralOffset = Le32(r + 16);
  if (thisDisk != 0 || centralDisk != 0 || entriesHere != entriesTotal) return ZipReadResult::kUnsupported;
  if (pos < centralOffset + centralSize) return ZipReadResult::kBadArchive;
  bytesBefore_ = pos - (centralOffset + centralSize);
  entryCount_ = entriesTotal;
  centralOffset_ = centralOffset;
  return ZipReadResult::kOk;
}

ZipReadResult ZipReader::ReadCentralHeader(uint64_t pos, CentralHeader& h) const {
  if (!Has(pos, kCentralHeaderSize)) return ZipReadResult::kBadArchive;
  const uint8_t* p = data_ + pos;
  if (Le32(p) != kCentralSignature) return ZipReadResult::kBadArchive;
  h.position = pos;
  h.versionMadeBy = Le16(p + 4);
  h.flags = Le16(p + 8);
  h.method = Le16(p + 10);
  h.dosTime = Le16(p + 12);
  h.dosDate = Le16(p + 14);
  h.crc = Le32(p + 16);
  h.compressedSize = Le32(p + 20);
  h.uncompressedSize = Le32(p + 24);
  h.nameLength = Le16(p + 28);
  h.extraLength = Le16(p + 30);
  h.commentLength = Le16(p + 32);
  h.externalAttributes = Le32(p + 38);
  h.localHeaderOffset = Le32(p + 42);
  const uint64_t variable = uint64_t{h.nameLength} + h.extraLength + h.commentLength;
  if (!Has(pos + kCentralHeaderSize, variable)) return ZipReadResult::kBadArchive;
  return ZipReadResult::kOk;
}

void ZipReader::FillTimes(const CentralHeader& h, ZipEntryInfo& entry) const {
  const int64_t dos = DosTimeToUnix(h.dosDate, h.dosTime);
  entry.modificationTime = entry.accessTime = entry.creationTime = dos;
  // Extra fields are walked strictly inside the declared extra length (ReadCentralHeader checked it).
  const uint8_t* extra = data_ + h.position + kCentralHeaderSize + h.nameLength;
  uint32_t off = 0;
  while (off + 4 <= h.extraLength) {
    const uint16_t id = Le16(extra + off);
    const uint16_t len = Le16(extra + off + 2);
    if (off + 4u + len > h.extraLength) break;
    const uint8_t* field = extra + off + 4;
    if (id == kExtendedTimestampId && len >= 1) {
      const uint8_t flags = field[0];
      uint32_t at = 1;
      int64_t* targets[3] = {&entry.modificationTime, &entry.accessTime, &entry.creationTime};
      for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1u << bit))) continue;
        if (at + 4 > len) break;
        *targets[bit] = static_cast<int32_t>(Le32(field + at));
        at += 4;
      }
    }
    off += 4u + len;
  }
}

ZipReadResult ZipReader::MakeCurrent(const CentralHeader& h, int64_t index, ZipEntryInfo& entry) {
  EndExtraction();
  hasCurrent_ = false;
  if (h.method != 0 && h.method != Z_DEFLATED) return ZipReadResult::kUnsupported;
  if (h.flags & 1) return ZipReadResult::kUnsupported;  // encrypted
  if (h.uncompressedSize > kMaxZipEntrySize) return ZipReadResult::kNoMemory;

  entry = ZipEntryInfo{};
  entry.index = index;
  entry.name.assign(reinterpret_cast<const char*>(data_ + h.position + kCentralHeaderSize), h.nameLength);
  const unsigned host = h.versionMadeBy >> 8;
  if (host == 0 || host == 6 || host == 10 || host == 14) {
    entry.attributes = h.externalAttributes & 0x37;
  } else {
    const uint32_t mode = h.externalAttributes >> 16;
    entry.attributes = kAttrArchive;
    if ((mode & 0170000) == 0040000) entry.attributes |= kAttrDirectory;
    if (!(mode & 0200)) entry.attributes |= kAttrReadOnly;
  }
  FillTimes(h, entry);
  entry.compressedSize = h.compressedSize;
  entry.uncompressedSize = h.uncompressedSize;
  current_ = h;
  hasCurrent_ = true;
  return ZipReadResult::kOk;
}

ZipReadResult ZipReader::Find(std::wstring_view name, ZipEntryInfo& entry) {
  EndExtraction();
  hasCurrent_ = false;
  std::string sought;
  if (!WideToUtf8(name, sought) || sought.size() > kMaxSoughtName) return ZipReadResult::kInvalidArgument;
  std::replace(sought.begin(), sought.end(), '\\', '/');
  if (entryCount_ == 0) return ZipReadResult::kNotFound;

  uint64_t pos = bytesBefore_ + centralOffset_;
  for (uint64_t i = 0; i < entryCount_; ++i) {
    CentralHeader h;
    if (const auto r = ReadCentralHeader(pos, h); r != ZipReadResult::kOk) return r;
    const size_t compared = std::min<size_t>(h.nameLength, kComparedNameBytes);
    const std::string_view stored(reinterpret_cast<const char*>(data_ + pos + kCentralHeaderSize), compared);
    if (AsciiEqualNoCase(stored, sought)) return MakeCurrent(h, static_cast<int64_t>(i), entry);
    pos += kCentralHeaderSize + h.nameLength + h.extraLength + h.commentLength;
  }
  return ZipReadResult::kNotFound;
}

ZipReadResult ZipReader::At(int64_t index, ZipEntryInfo& entry) {
  EndExtraction();
  hasCurrent_ = false;
  if (index == -1) {
    entry = ZipEntryInfo{};
    entry.index = static_cast<int64_t>(entryCount_);
    return ZipReadResult::kOk;
  }
  if (index < 0 || static_cast<uint64_t>(index) >= entryCount_) return ZipReadResult::kInvalidArgument;
  uint64_t pos = bytesBefore_ + centralOffset_;
  CentralHeader h;
  for (int64_t i = 0;; ++i) {
    if (const auto r = ReadCentralHeader(pos, h); r != ZipReadResult::kOk) return r;
    if (i == index) break;
    pos += kCentralHeaderSize + h.nameLength + h.extraLength + h.commentLength;
  }
  return MakeCurrent(h, index, entry);
}

ZipReadResult ZipReader::BeginExtraction() {
  const uint64_t local = bytesBefore_ + current_.localHeaderOffset;
  if (!Has(local, kLocalHeaderSize) || Le32(data_ + local) != kLocalSignature) return ZipReadResult::kBadArchive;
  const uint64_t dataStart = local + kLocalHeaderSize + current_.nameLength + Le16(data_ + local + 28);
  if (!Has(dataStart, current_.compressedSize)) return ZipReadResult::kBadArchive;
  if (current_.method == 0 && current_.compressedSize != current_.uncompressedSize) {
    return ZipReadResult::kBadArchive;
  }
  inputPos_ = dataStart;
  compressedLeft_ = current_.compressedSize;
  uncompressedLeft_ = current_.uncompressedSize;
  streamEnded_ = false;
  if (current_.method == Z_DEFLATED) {
    stream_ = z_stream{};
    const int rc = inflateInit2(&stream_, -MAX_WBITS);
    if (rc == Z_MEM_ERROR) return ZipReadResult::kNoMemory;
    if (rc != Z_OK) return ZipReadResult::kCorruptData;
    inflating_ = true;
  }
  extracting_ = true;
  return ZipReadResult::kOk;
}

ZipReadResult ZipReader::ExtractStored(uint8_t* out, size_t length) {
  const uint64_t n = std::min<uint64_t>(length, uncompressedLeft_);
  if (n) std::memcpy(out, data_ + inputPos_, static_cast<size_t>(n));
  inputPos_ += n;
  compressedLeft_ -= n;
  uncompressedLeft_ -= n;
  return uncompressedLeft_ > 0 ? ZipReadResult::kMoreData : ZipReadResult::kOk;
}

ZipReadResult ZipReader::ExtractDeflated(uint8_t* out, size_t length) {
  // Output is never asked beyond the declared size; whether the stream really ends there is checked after.
  uint64_t room = std::min<uint64_t>(length, uncompressedLeft_);
  while (room > 0) {
    if (streamEnded_) return ZipReadResult::kBadArchive;  // ended short of its declared size
    const uInt in = static_cast<uInt>(std::min<uint64_t>(compressedLeft_, kMaxInflateInput));
    const uInt outChunk = static_cast<uInt>(std::min<uint64_t>(room, UINT_MAX));
    stream_.next_in = const_cast<Bytef*>(data_ + inputPos_);
    stream_.avail_in = in;
    stream_.next_out = out;
    stream_.avail_out = outChunk;
    const int rc = inflate(&stream_, Z_NO_FLUSH);
    const uInt consumed = in - stream_.avail_in;
    const uInt produced = outChunk - stream_.avail_out;
    inputPos_ += consumed;
    compressedLeft_ -= consumed;
    uncompressedLeft_ -= produced;
    room -= produced;
    out += produced;
    if (rc == Z_STREAM_END) {
      streamEnded_ = true;
    } else if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR) {
      return ZipReadResult::kCorruptData;
    } else if (rc == Z_MEM_ERROR) {
      return ZipReadResult::kNoMemory;
    } else if (consumed == 0 && produced == 0) {
      // No progress: the compressed bytes ran out before the declared size was reached.
      return ZipReadResult::kBadArchive;
    }
  }
  if (uncompressedLeft_ > 0) return ZipReadResult::kMoreData;
  return FinishInflate();
}

// The declared size is out; the stream must end here and not hold more data than declared.
ZipReadResult ZipReader::FinishInflate() {
  // Some writers give an empty file the deflate method and no compressed bytes at all.
  if (current_.compressedSize == 0 && current_.uncompressedSize == 0) return ZipReadResult::kOk;
  uint8_t probe;
  while (!streamEnded_) {
    const uInt in = static_cast<uInt>(std::min<uint64_t>(compressedLeft_, kMaxInflateInput));
    stream_.next_in = const_cast<Bytef*>(data_ + inputPos_);
    stream_.avail_in = in;
    stream_.next_out = &probe;
    stream_.avail_out = 1;
    const int rc = inflate(&stream_, Z_NO_FLUSH);
    const uInt consumed = in - stream_.avail_in;
    inputPos_ += consumed;
    compressedLeft_ -= consumed;
    if (stream_.avail_out == 0) return ZipReadResult::kCorruptData;  // longer than declared
    if (rc == Z_STREAM_END) {
      streamEnded_ = true;
    } else if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR) {
      return ZipReadResult::kCorruptData;
    } else if (rc == Z_MEM_ERROR) {
      return ZipReadResult::kNoMemory;
    } else if (consumed == 0) {
      return ZipReadResult::kBadArchive;  // the stream is cut off
    }
  }
  return ZipReadResult::kOk;
}

ZipReadResult ZipReader::Extract(void* buffer, size_t length) {
  if (!hasCurrent_) return ZipReadResult::kInvalidArgument;
  if (!buffer && length > 0) return Fail(ZipReadResult::kInvalidArgument);
  if (!extracting_) {
    if (const auto r = BeginExtraction(); r != ZipReadResult::kOk) return Fail(r);
  }
  auto* out = static_cast<uint8_t*>(buffer);
  const ZipReadResult r = inflating_ ? ExtractDeflated(out, length) : ExtractStored(out, length);
  if (r == ZipReadResult::kMoreData) return r;
  EndExtraction();
  hasCurrent_ = false;
  return r;
}

void ZipReaderCloser::operator()(ZipReader* reader) const { delete reader; }

ZipReadResult OpenZipFromMemory(const void* data, size_t size, const char* password, ZipReaderHandle& reader) {
  reader.reset();
  if (!data && size > 0) return ZipReadResult::kInvalidArgument;
  ZipReaderHandle made(new (std::nothrow) ZipReader(static_cast<const uint8_t*>(data), size));
  if (!made) return ZipReadResult::kNoMemory;
  const ZipReadResult r = made->Open();
  if (r == ZipReadResult::kOk) reader = std::move(made);
  return r;
}

ZipReadResult FindZipEntry(ZipReader* reader, std::wstring_view name, ZipEntryInfo& entry) {
  return reader ? reader->Find(name, entry) : ZipReadResult::kInvalidArgument;
}

ZipReadResult GetZipEntryAt(ZipReader* reader, int64_t index, ZipEntryInfo& entry) {
  return reader ? reader->At(index, entry) : ZipReadResult::kInvalidArgument;
}

ZipReadResult UnzipEntryToMemory(ZipReader* reader, const ZipEntryInfo&, void* buffer, size_t length) {
  return reader ? reader->Extract(buffer, length) : ZipReadResult::kInvalidArgument;
}

ZipReadResult CloseZipReader(ZipReaderHandle& reader) {
  if (!reader) return ZipReadResult::kInvalidArgument;
  reader.reset();
  return ZipReadResult::kOk;
}

}  // namespace packaging
