#pragma once
// Builds small zip archives in memory, field by field, so reader tests can show one fault each.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testzip {

inline void Put16(std::string& o, uint32_t v) {
  o.push_back(static_cast<char>(v & 0xFF));
  o.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void Put32(std::string& o, uint32_t v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

inline uint32_t Crc(const std::string& data) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// Raw deflate (no zlib header), as zip entries hold it.
inline std::string RawDeflate(const std::string& data, int level = 8) {
  z_stream s{};
  deflateInit2(&s, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&s, static_cast<uLong>(data.size())) + 16, '\0');
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

struct Entry {
  std::string name;
  std::string data;            // uncompressed content
  uint16_t method = 8;         // 0 stored, 8 deflated, anything else is written as stored bytes
  std::string compressed;      // overrides the computed compressed bytes when set
  bool overrideCompressed = false;
  int64_t crc = -1;            // -1: the real CRC
  int64_t declaredSize = -1;   // -1: the real uncompressed size
  uint16_t versionMadeBy = 20; // host 0 (MS-DOS)
  uint32_t externalAttributes = 0x20;
  uint16_t dosTime = (13 << 11) | (45 << 5) | 29;
  uint16_t dosDate = ((2020 - 1980) << 9) | (5 << 5) | 17;
  std::string centralExtra;
  std::string localExtra;
  uint16_t flags = 0;
};

// The whole archive; `prefix` goes before it (self-extractor style).
inline std::string Build(const std::vector<Entry>& entries, const std::string& prefix = {},
                         const std::string& comment = {}) {
  std::string body, central;
  for (const Entry& e : entries) {
    const std::string packed = e.overrideCompressed ? e.compressed : (e.method == 8 ? RawDeflate(e.data) : e.data);
    const uint32_t crc = e.crc >= 0 ? static_cast<uint32_t>(e.crc) : Crc(e.data);
    const uint32_t size = e.declaredSize >= 0 ? static_cast<uint32_t>(e.declaredSize) : static_cast<uint32_t>(e.data.size());
    const uint32_t offset = static_cast<uint32_t>(body.size());
    Put32(body, 0x04034B50);
    Put16(body, 20);
    Put16(body, e.flags);
    Put16(body, e.method);
    Put16(body, e.dosTime);
    Put16(body, e.dosDate);
    Put32(body, crc);
    Put32(body, static_cast<uint32_t>(packed.size()));
    Put32(body, size);
    Put16(body, static_cast<uint32_t>(e.name.size()));
    Put16(body, static_cast<uint32_t>(e.localExtra.size()));
    body += e.name + e.localExtra + packed;

    Put32(central, 0x02014B50);
    Put16(central, e.versionMadeBy);
    Put16(central, 20);
    Put16(central, e.flags);
    Put16(central, e.method);
    Put16(central, e.dosTime);
    Put16(central, e.dosDate);
    Put32(central, crc);
    Put32(central, static_cast<uint32_t>(packed.size()));
    Put32(central, size);
    Put16(central, static_cast<uint32_t>(e.name.size()));
    Put16(central, static_cast<uint32_t>(e.centralExtra.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, e.externalAttributes);
    Put32(central, offset);
    central += e.name + e.centralExtra;
  }
  std::string out = prefix + body + central;
  Put32(out, 0x06054B50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put16(out, static_cast<uint32_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, static_cast<uint32_t>(body.size()));
  Put16(out, static_cast<uint32_t>(comment.size()));
  return out + comment;
}

// Picture-like bytes: a PNG signature and chunks of mixed, partly repetitive content.
inline std::string PngLike(size_t size, uint32_t seed = 1) {
  std::string out = "\x89PNG\r\n\x1a\n";
  uint32_t x = seed;
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    const char c = static_cast<char>((x >> 16) & 0xFF);
    const size_t run = ((x >> 8) & 7) + 1;  // short runs keep it compressible, as image rows are
    out.append(run, c);
  }
  out.resize(size);
  return out;
}

inline uint16_t Get16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | (static_cast<uint8_t>(s[at + 1]) << 8));
}
inline uint32_t Get32(const std::string& s, size_t at) { return Get16(s, at) | (uint32_t{Get16(s, at + 2)} << 16); }

// The raw central directory of an archive without a comment, as written, for checks of the writer's layout.
struct RawEntry {
  uint16_t versionMadeBy, flags, method, dosTime, dosDate;
  uint32_t crc, compressedSize, uncompressedSize, externalAttributes, localHeaderOffset;
  std::string name, centralExtra, localExtra;
  uint16_t localFlags;
};
struct RawArchive {
  bool ok = false;
  uint16_t entriesOnDisk = 0, entriesTotal = 0;
  uint32_t centralSize = 0, centralOffset = 0;
  std::vector<RawEntry> entries;
};
inline RawArchive ParseRaw(const std::string& z) {
  RawArchive a;
  if (z.size() < 22 || Get32(z, z.size() - 22) != 0x06054B50) return a;
  const size_t end = z.size() - 22;
  a.entriesOnDisk = Get16(z, end + 8);
  a.entriesTotal = Get16(z, end + 10);
  a.centralSize = Get32(z, end + 12);
  a.centralOffset = Get32(z, end + 16);
  size_t p = a.centralOffset;
  for (int i = 0; i < a.entriesTotal; ++i) {
    if (p + 46 > z.size() || Get32(z, p) != 0x02014B50) return a;
    RawEntry e{};
    e.versionMadeBy = Get16(z, p + 4);
    e.flags = Get16(z, p + 8);
    e.method = Get16(z, p + 10);
    e.dosTime = Get16(z, p + 12);
    e.dosDate = Get16(z, p + 14);
    e.crc = Get32(z, p + 16);
    e.compressedSize = Get32(z, p + 20);
    e.uncompressedSize = Get32(z, p + 24);
    const uint16_t n = Get16(z, p + 28), x = Get16(z, p + 30), c = Get16(z, p + 32);
    e.externalAttributes = Get32(z, p + 38);
    e.localHeaderOffset = Get32(z, p + 42);
    e.name = z.substr(p + 46, n);
    e.centralExtra = z.substr(p + 46 + n, x);
    const size_t l = e.localHeaderOffset;
    e.localFlags = Get16(z, l + 6);
    e.localExtra = z.substr(l + 30 + Get16(z, l + 26), Get16(z, l + 28));
    a.entries.push_back(e);
    p += 46 + n + x + c;
  }
  a.ok = true;
  return a;
}

}  // namespace testzip
