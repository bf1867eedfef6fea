#include "packaging/ZipWriter.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "packaging/FileSystem.h"
#include "packaging/Utf8.h"

namespace packaging {

namespace {

constexpr uint16_t kVersionMadeBy = 0x0B17;
constexpr uint16_t kVersionNeeded = 20;
constexpr uint16_t kFlagDataDescriptor = 8;
constexpr uint16_t kLocalExtraLength = 17;
constexpr uint16_t kCentralExtraLength = 9;
constexpr int kDeflateLevel = 8;
constexpr size_t kChunk = 64 * 1024;
constexpr uint64_t kMax32 = 0xFFFFFFFFull;

struct EntryRecord {
  uint16_t flags = kFlagDataDescriptor;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
  int64_t modificationTime = 0;
  int64_t accessTime = 0;
  int64_t creationTime = 0;
  std::string name;
};

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The fixed 30 bytes of a local header (the name and the extra field follow it).
std::string LocalHeaderFixedPart(const EntryRecord& r) {
  std::string h;
  Put32(h, 0x04034B50);
  Put16(h, kVersionNeeded);
  Put16(h, r.flags);
  Put16(h, r.method);
  Put16(h, r.dosTime);
  Put16(h, r.dosDate);
  Put32(h, r.crc);
  Put32(h, r.compressedSize);
  Put32(h, r.uncompressedSize);
  Put16(h, static_cast<uint32_t>(r.name.size()));
  Put16(h, kLocalExtraLength);
  return h;
}

uint32_t ExternalAttributes(uint32_t attributes) {
  uint32_t ext = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
  ext |= (attributes & kAttrDirectory) ? 0x40000000u : 0x80000000u;
  ext |= 0x01000000u;
  if (!(attributes & kAttrReadOnly)) ext |= 0x00800000u;
  return ext;
}

}  // namespace

class ZipWriter {
 public:
  ~ZipWriter() {
    if (deflating_) deflateEnd(&stream_);
  }

  ZipWriteResult Create(std::wstring_view path) {
    return file_.Open(path, File::Mode::kCreate) ? ZipWriteResult::kOk : ZipWriteResult::kOpenFailed;
  }
  ZipWriteResult Add(std::wstring_view sourcePath, std::wstring_view entryName);
  ZipWriteResult Close();

 private:
  ZipWriteResult WriteData(File& source, EntryRecord& record, uint64_t expectedSize);
  ZipWriteResult Emit(const void* data, size_t size) {
    if (!file_.WriteAll(data, size)) return ZipWriteResult::kWriteFailed;
    written_ += size;
    return ZipWriteResult::kOk;
  }
  ZipWriteResult EmitDeflated(int flush, bool& done);

  File file_;
  uint64_t written_ = 0;
  bool ended_ = false;
  std::vector<EntryRecord> records_;
  ZipWriteResult pending_ = ZipWriteResult::kOk;  // failure of an entry that was being written
  uint64_t pendingStart_ = 0;                     // where that entry's local header began
  bool deflating_ = false;
  z_stream stream_{};
  std::vector<uint8_t> in_, out_;
};

ZipWriteResult ZipWriter::EmitDeflated(int flush, bool& done) {
  int rc;
  do {
    stream_.next_out = out_.data();
    stream_.avail_out = static_cast<uInt>(out_.size());
    rc = deflate(&stream_, flush);
    if (rc == Z_STREAM_ERROR) return ZipWriteResult::kInconsistent;
    const size_t produced = out_.size() - stream_.avail_out;
    if (produced) {
      if (const auto r = Emit(out_.data(), produced); r != ZipWriteResult::kOk) return r;
    }
  } while (stream_.avail_out == 0);
  done = rc == Z_STREAM_END;
  return ZipWriteResult::kOk;
}

ZipWriteResult ZipWriter::WriteData(File& source, EntryRecord& record, uint64_t expectedSize) {
  const uint64_t dataStart = written_;
  uint64_t total = 0;
  uint32_t crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
  if (record.method == Z_DEFLATED) {
    if (!deflating_) {
      stream_ = z_stream{};
      const int rc = deflateInit2(&stream_, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
      if (rc != Z_OK) return ZipWriteResult::kNoMemory;
      deflating_ = true;
    } else if (deflateReset(&stream_) != Z_OK) {
      return ZipWriteResult::kNoMemory;
    }
  }
  for (;;) {
    const int64_t n = (record.externalAttributes & 0x40000000u) ? 0 : source.Read(in_.data(), in_.size());
    if (n < 0) return ZipWriteResult::kReadFailed;
    total += static_cast<uint64_t>(n);
    if (total > kMax32) return ZipWriteResult::kInconsistent;
    crc = static_cast<uint32_t>(crc32(crc, in_.data(), static_cast<uInt>(n)));
    if (record.method == Z_DEFLATED) {
      stream_.next_in = in_.data();
      stream_.avail_in = static_cast<uInt>(n);
      bool done = false;
      if (const auto r = EmitDeflated(n == 0 ? Z_FINISH : Z_NO_FLUSH, done); r != ZipWriteResult::kOk) return r;
      if (n == 0 && !done) return ZipWriteResult::kInconsistent;
    } else if (n > 0) {
      if (const auto r = Emit(in_.data(), static_cast<size_t>(n)); r != ZipWriteResult::kOk) return r;
    }
    if (n == 0) break;
  }
  const uint64_t compressed = written_ - dataStart;
  if (total != expectedSize || compressed > kMax32) return ZipWriteResult::kInconsistent;
  record.crc = crc;
  record.compressedSize = static_cast<uint32_t>(compressed);
  record.uncompressedSize = static_cast<uint32_t>(total);
  return ZipWriteResult::kOk;
}

ZipWriteResult ZipWriter::Add(std::wstring_view sourcePath, std::wstring_view entryName) {
  if (ended_) return ZipWriteResult::kAlreadyEnded;
  if (sourcePath.empty()) return ZipWriteResult::kInvalidArgument;
  if (pending_ != ZipWriteResult::kOk) {
    // Cut off the entry that failed half-way, so the archive continues from the last whole entry.
    if (!file_.Seek(pendingStart_) || !file_.Truncate()) return ZipWriteResult::kSeekFailed;
    written_ = pendingStart_;
    pending_ = ZipWriteResult::kOk;
  }

  EntryRecord record;
  if (!WideToUtf8(entryName, record.name) || record.name.empty() || record.name.size() > kMaxZipEntryName) {
    return ZipWriteResult::kInvalidArgument;
  }
  std::replace(record.name.begin(), record.name.end(), '\\', '/');

  File source;
  FileInfo info;
  if (!source.Open(sourcePath, File::Mode::kRead) || !source.Stat(info)) return ZipWriteResult::kOpenFailed;
  if (info.size > kMax32) return ZipWriteResult::kInconsistent;
  if (written_ > kMax32 || records_.size() >= 0xFFFF) return ZipWriteResult::kInconsistent;
  try {
    if (in_.empty()) {
      in_.resize(kChunk);
      out_.resize(kChunk);
    }
    records_.reserve(records_.size() + 1);
  } catch (const std::bad_alloc&) {
    return ZipWriteResult::kNoMemory;
  }

  record.method = ZipStoresUncompressed(record.name) ? 0 : Z_DEFLATED;
  UnixToDosTime(info.modificationTime, record.dosTime, record.dosDate);
  record.modificationTime = info.modificationTime;
  record.accessTime = info.accessTime;
  record.creationTime = info.creationTime;
  record.externalAttributes = ExternalAttributes(info.attributes);
  record.localHeaderOffset = static_cast<uint32_t>(written_);
  record.uncompressedSize = static_cast<uint32_t>(info.size);
  record.compressedSize = record.method == 0 ? static_cast<uint32_t>(info.size) : 0;

  const auto fail = [&](ZipWriteResult r) {
    pending_ = r;
    pendingStart_ = record.localHeaderOffset;
    return r;
  };

  std::string header = LocalHeaderFixedPart(record);
  header += record.name;
  Put16(header, 0x5455);
  Put16(header, 13);
  header.push_back(7);
  Put32(header, static_cast<uint32_t>(record.modificationTime));
  Put32(header, static_cast<uint32_t>(record.accessTime));
  Put32(header, static_cast<uint32_t>(record.creationTime));
  if (const auto r = Emit(header.data(), header.size()); r != ZipWriteResult::kOk) return fail(r);
  if (const auto r = WriteData(source, record, info.size); r != ZipWriteResult::kOk) return fail(r);

  // The output is seekable: put the final CRC and sizes into the local header instead of a data descriptor.
  record.flags = 0;
  const std::string fixed = LocalHeaderFixedPart(record);
  if (!file_.Seek(record.localHeaderOffset)) return fail(ZipWriteResult::kSeekFailed);
  if (!file_.WriteAll(fixed.data(), fixed.size())) return fail(ZipWriteResult::kWriteFailed);
  if (!file_.Seek(written_)) return fail(ZipWriteResult::kSeekFailed);
  records_.push_back(std::move(record));
  return ZipWriteResult::kOk;
}

ZipWriteResult ZipWriter::Close() {
  if (ended_) return ZipWriteResult::kAlreadyEnded;
  if (pending_ != ZipWriteResult::kOk) {
    file_.Close();
    return pending_;
  }
  std::string central;
  const uint64_t centralOffset = written_;
  for (const EntryRecord& r : records_) {
    Put32(central, 0x02014B50);
    Put16(central, kVersionMadeBy);
    Put16(central, kVersionNeeded);
    Put16(central, r.flags);
    Put16(central, r.method);
    Put16(central, r.dosTime);
    Put16(central, r.dosDate);
    Put32(central, r.crc);
    Put32(central, r.compressedSize);
    Put32(central, r.uncompressedSize);
    Put16(central, static_cast<uint32_t>(r.name.size()));
    Put16(central, kCentralExtraLength);
    Put16(central, 0);  // comment length
    Put16(central, 0);  // disk number
    Put16(central, 0);  // internal attributes
    Put32(central, r.externalAttributes);
    Put32(central, r.localHeaderOffset);
    central += r.name;
    Put16(central, 0x5455);
    Put16(central, 5);
    central.push_back(1);
    Put32(central, static_cast<uint32_t>(r.modificationTime));
  }
  if (centralOffset + central.size() > kMax32) {
    file_.Close();
    return ZipWriteResult::kInconsistent;
  }
  const auto count = static_cast<uint32_t>(records_.size());
  const auto centralSize = static_cast<uint32_t>(central.size());
  Put32(central, 0x06054B50);
  Put16(central, 0);
  Put16(central, 0);
  Put16(central, count);
  Put16(central, count);
  Put32(central, centralSize);
  Put32(central, static_cast<uint32_t>(centralOffset));
  Put16(central, 0);
  records_.clear();
  ended_ = true;
  const bool wrote = file_.WriteAll(central.data(), central.size());
  const bool closed = file_.Close();
  return wrote && closed ? ZipWriteResult::kOk : ZipWriteResult::kWriteFailed;
}

void ZipWriterCloser::operator()(ZipWriter* writer) const { delete writer; }

ZipWriteResult CreateZipFile(std::wstring_view path, ZipWriterHandle& writer) {
  writer.reset();
  if (path.empty()) return ZipWriteResult::kInvalidArgument;
  ZipWriterHandle made(new (std::nothrow) ZipWriter);
  if (!made) return ZipWriteResult::kNoMemory;
  const ZipWriteResult r = made->Create(path);
  if (r == ZipWriteResult::kOk) writer = std::move(made);
  return r;
}

ZipWriteResult ZipAddFile(ZipWriter* writer, std::wstring_view sourcePath, std::wstring_view entryName) {
  return writer ? writer->Add(sourcePath, entryName) : ZipWriteResult::kInvalidArgument;
}

ZipWriteResult CloseZipWriter(ZipWriterHandle& writer) {
  if (!writer) return ZipWriteResult::kInvalidArgument;
  const ZipWriteResult r = writer->Close();
  writer.reset();
  return r;
}

bool ZipStoresUncompressed(std::string_view name) {
  static constexpr std::string_view kStored[] = {".z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view suffix = name.substr(dot);
  for (std::string_view s : kStored) {
    if (s.size() != suffix.size()) continue;
    bool same = true;
    for (size_t i = 0; i < s.size() && same; ++i) {
      char c = suffix[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      same = c == s[i];
    }
    if (same) return true;
  }
  return false;
}

void UnixToDosTime(int64_t t, uint16_t& dosTime, uint16_t& dosDate) {
  int64_t days = t >= 0 ? t / 86400 : (t - 86399) / 86400;
  int64_t secs = t - days * 86400;
  // Civil date from days since 1970-01-01 (H. Hinnant's algorithm).
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t year = yoe + era * 400;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  if (month <= 2) ++year;
  if (year < 1980) {
    dosTime = 0;
    dosDate = (1 << 5) | 1;
    return;
  }
  if (year > 2107) {
    dosTime = (23 << 11) | (59 << 5) | 29;
    dosDate = static_cast<uint16_t>((127 << 9) | (12 << 5) | 31);
    return;
  }
  const int64_t hour = secs / 3600, minute = (secs % 3600) / 60, second = secs % 60;
  dosTime = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
  dosDate = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}

}  // namespace packaging
