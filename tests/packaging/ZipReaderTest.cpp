#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "packaging/FileSystem.h"
#include "packaging/ZipReader.h"
#include "packaging/ZipFixture.h"

using packaging::ZipEntryInfo;
using packaging::ZipReaderHandle;
using packaging::ZipReadResult;

namespace {

const std::string kInfoName = "Payload/CMCC_cn.bundle/Info.plist";

struct Opened {
  std::string bytes;
  ZipReaderHandle reader;
  ZipReadResult openResult;
  explicit Opened(std::string b) : bytes(std::move(b)) {
    openResult = packaging::OpenZipFromMemory(bytes.data(), bytes.size(), reader);
  }
};

// Looks `name` up and extracts it whole; gives the extraction result (or the look-up's when that failed).
ZipReadResult Extract(packaging::ZipReader* reader, const std::wstring& name, std::string& out) {
  ZipEntryInfo info;
  if (auto r = packaging::FindZipEntry(reader, name, info); r != ZipReadResult::kOk) return r;
  out.assign(static_cast<size_t>(info.uncompressedSize), '\0');
  return packaging::UnzipEntryToMemory(reader, info, out.data(), out.size());
}

TEST(ZipReader, LookUpByName) {
  testzip::Entry info{kInfoName, "info bytes"};
  testzip::Entry logo{"Payload/CMCC_cn.bundle/logo.png", testzip::PngLike(300), 0};
  Opened zip(testzip::Build({info, logo}));
  ASSERT_EQ(zip.openResult, ZipReadResult::kOk);
  struct Case {
    std::wstring name;
    ZipReadResult result;
    int64_t index;
  } const cases[] = {
      {L"Payload/CMCC_cn.bundle/Info.plist", ZipReadResult::kOk, 0},
      {L"Payload\\CMCC_cn.bundle\\Info.plist", ZipReadResult::kOk, 0},
      {L"payload/cmcc_cn.bundle/info.plist", ZipReadResult::kOk, 0},
      {L"PAYLOAD\\CMCC_CN.BUNDLE\\LOGO.PNG", ZipReadResult::kOk, 1},
      {L"Payload/CMCC_cn.bundle/Info.plis", ZipReadResult::kNotFound, -1},
      {L"Payload/CMCC_cn.bundle/Info.plist2", ZipReadResult::kNotFound, -1},
      {std::wstring(255, L'a'), ZipReadResult::kNotFound, -1},
      {std::wstring(256, L'a'), ZipReadResult::kInvalidArgument, -1},
      {std::wstring(86, L'\u4e2d'), ZipReadResult::kInvalidArgument, -1},  // 258 bytes in UTF-8
  };
  for (const auto& c : cases) {
    ZipEntryInfo entry;
    EXPECT_EQ(packaging::FindZipEntry(zip.reader.get(), c.name, entry), c.result) << c.name.size();
    if (c.result == ZipReadResult::kOk) {
      EXPECT_EQ(entry.index, c.index);
    }
  }
}

TEST(ZipReader, StoredAndDeflatedExtractToTheSameBytes) {
  const std::string picture = testzip::PngLike(50000);
  Opened zip(testzip::Build({{"stored.png", picture, 0}, {"deflated.png", picture, 8}}));
  ASSERT_EQ(zip.openResult, ZipReadResult::kOk);
  for (const wchar_t* name : {L"stored.png", L"deflated.png"}) {
    std::string out;
    EXPECT_EQ(Extract(zip.reader.get(), name, out), ZipReadResult::kOk) << name;
    EXPECT_EQ(out, picture) << name;
  }
}

TEST(ZipReader, ArchiveAfterLeadingBytesAndWithCommentOpens) {
  Opened zip(testzip::Build({{kInfoName, "abc"}, {"b.txt", std::string(5000, 'b'), 0}},
                            std::string(777, '\x90'), "a comment"));
  ASSERT_EQ(zip.openResult, ZipReadResult::kOk);
  std::string out;
  EXPECT_EQ(Extract(zip.reader.get(), L"b.txt", out), ZipReadResult::kOk);
  EXPECT_EQ(out, std::string(5000, 'b'));
  EXPECT_EQ(Extract(zip.reader.get(), L"Payload\\CMCC_cn.bundle\\Info.plist", out), ZipReadResult::kOk);
  EXPECT_EQ(out, "abc");
}

TEST(ZipReader, OpenRefusesWhatIsNotAnArchive) {
  const std::string good = testzip::Build({{"a", "a"}});
  std::string multiDisk = good;
  multiDisk[multiDisk.size() - 22 + 4] = 1;  // this disk's number
  std::string countsDiffer = good;
  countsDiffer[countsDiffer.size() - 22 + 8] = 2;  // entries on this disk
  std::string directoryPastRecord = good;
  directoryPastRecord[directoryPastRecord.size() - 22 + 16] = 0x7F;  // central directory offset
  struct Case {
    const char* what;
    std::string bytes;
    ZipReadResult result;
  } const cases[] = {
      {"no end record", std::string(4000, 'x'), ZipReadResult::kBadArchive},
      {"empty", std::string(), ZipReadResult::kBadArchive},
      {"cut inside the end record", good.substr(0, good.size() - 3), ZipReadResult::kBadArchive},
      {"end record too far back", good + std::string(70000, '\0'), ZipReadResult::kBadArchive},
      {"several disks", multiDisk, ZipReadResult::kUnsupported},
      {"entry counts differ", countsDiffer, ZipReadResult::kUnsupported},
      {"directory beyond its end record", directoryPastRecord, ZipReadResult::kBadArchive},
  };
  for (const auto& c : cases) {
    ZipReaderHandle reader;
    EXPECT_EQ(packaging::OpenZipFromMemory(c.bytes.data(), c.bytes.size(), reader), c.result) << c.what;
    EXPECT_EQ(reader == nullptr, c.result != ZipReadResult::kOk) << c.what;
  }
}

TEST(ZipReader, UnsupportedMethodLeavesNoCurrentEntry) {
  testzip::Entry bzip2{"b.bin", "BZh91AY&SY", 12};
  testzip::Entry encrypted{"e.bin", "secret", 0};
  encrypted.flags = 1;
  Opened zip(testzip::Build({bzip2, encrypted}));
  ASSERT_EQ(zip.openResult, ZipReadResult::kOk);
  for (const wchar_t* name : {L"b.bin", L"e.bin"}) {
    ZipEntryInfo info;
    EXPECT_EQ(packaging::FindZipEntry(zip.reader.get(), name, info), ZipReadResult::kUnsupported) << name;
    char buffer[16];
    EXPECT_EQ(packaging::UnzipEntryToMemory(zip.reader.get(), info, buffer, sizeof buffer),
              ZipReadResult::kInvalidArgument)
        << name;
  }
}

TEST(ZipReader, WrongStoredCrcStillExtracts) {
  testzip::Entry e{"a.txt", "payload"};
  e.crc = 0x12345678;
  Opened zip(testzip::Build({e}));
  std::string out;
  EXPECT_EQ(Extract(zip.reader.get(), L"a.txt", out), ZipReadResult::kOk);
  EXPECT_EQ(out, "payload");
}

// Entries whose data do not match what the directory declares are errors, never silent short reads.
TEST(ZipReader, DamagedEntriesAreErrors) {
  const std::string content = testzip::PngLike(20000);
  const std::string deflated = testzip::RawDeflate(content);
  auto entry = [&](auto change) {
    testzip::Entry e{"x.png", content, 8};
    change(e);
    return e;
  };
  struct Case {
    const char* what;
    testzip::Entry entry;
    ZipReadResult find, extract;
  } const cases[] = {
      {"declared larger than the stream", entry([](auto& e) { e.declaredSize = 20001; }), ZipReadResult::kOk,
       ZipReadResult::kBadArchive},
      {"declared smaller than the stream", entry([](auto& e) { e.declaredSize = 19999; }), ZipReadResult::kOk,
       ZipReadResult::kCorruptData},
      {"deflate stream cut off",
       entry([&](auto& e) {
         e.overrideCompressed = true;
         e.compressed = deflated.substr(0, deflated.size() / 2);
       }),
       ZipReadResult::kOk, ZipReadResult::kBadArchive},
      {"garbage instead of deflate data",
       entry([](auto& e) {
         e.overrideCompressed = true;
         e.compressed = std::string(300, '\xff');
       }),
       ZipReadResult::kOk, ZipReadResult::kCorruptData},
      {"stored with sizes that differ",
       entry([](auto& e) {
         e.method = 0;
         e.declaredSize = 30000;
       }),
       ZipReadResult::kOk, ZipReadResult::kBadArchive},
      {"larger than the size cap", entry([](auto& e) { e.declaredSize = (64 << 20) + 1; }),
       ZipReadResult::kNoMemory, ZipReadResult::kInvalidArgument},
  };
  for (const auto& c : cases) {
    Opened zip(testzip::Build({c.entry}));
    ASSERT_EQ(zip.openResult, ZipReadResult::kOk) << c.what;
    ZipEntryInfo info;
    EXPECT_EQ(packaging::FindZipEntry(zip.reader.get(), L"x.png", info), c.find) << c.what;
    std::vector<char> buffer(c.find == ZipReadResult::kOk ? static_cast<size_t>(info.uncompressedSize) : 16);
    EXPECT_EQ(packaging::UnzipEntryToMemory(zip.reader.get(), info, buffer.data(), buffer.size()), c.extract)
        << c.what;
  }
}

// Offsets and lengths that point outside the buffer are caught before they are used.
TEST(ZipReader, OutOfBoundsStructureIsBadArchive) {
  const std::string good = testzip::Build({{"a.txt", std::string(100, 'a')}});
  const size_t central = good.size() - 22 - (46 + 5);
  auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    std::string s = good;
    for (uint8_t b : bytes) s[at++] = static_cast<char>(b);
    return s;
  };
  struct Case {
    const char* what;
    std::string bytes;
    ZipReadResult find, extract;
  } const cases[] = {
      {"central signature", patched(central, {'X'}), ZipReadResult::kBadArchive, ZipReadResult::kInvalidArgument},
      {"name length", patched(central + 28, {0xFF, 0xFF}), ZipReadResult::kBadArchive,
       ZipReadResult::kInvalidArgument},
      {"extra length", patched(central + 30, {0x00, 0x40}), ZipReadResult::kBadArchive,
       ZipReadResult::kInvalidArgument},
      {"local header offset", patched(central + 42, {0xF0, 0xFF, 0xFF, 0xFF}), ZipReadResult::kOk,
       ZipReadResult::kBadArchive},
      {"compressed size", patched(central + 20, {0xF0, 0xFF, 0xFF, 0x7F}), ZipReadResult::kOk,
       ZipReadResult::kBadArchive},
      {"local extra length", patched(28, {0xFF, 0xFF}), ZipReadResult::kOk, ZipReadResult::kBadArchive},
      {"local signature", patched(0, {'X'}), ZipReadResult::kOk, ZipReadResult::kBadArchive},
  };
  for (const auto& c : cases) {
    Opened zip(c.bytes);
    ASSERT_EQ(zip.openResult, ZipReadResult::kOk) << c.what;
    ZipEntryInfo info;
    EXPECT_EQ(packaging::FindZipEntry(zip.reader.get(), L"a.txt", info), c.find) << c.what;
    std::vector<char> buffer(100);
    EXPECT_EQ(packaging::UnzipEntryToMemory(zip.reader.get(), info, buffer.data(), buffer.size()), c.extract)
        << c.what;
  }
}

TEST(ZipReader, SmallBufferContinuesWhereItStopped) {
  const std::string content = testzip::PngLike(100000);
  for (uint16_t method : {0, 8}) {
    Opened zip(testzip::Build({{"p.png", content, method}}));
    ZipEntryInfo info;
    ASSERT_EQ(packaging::FindZipEntry(zip.reader.get(), L"p.png", info), ZipReadResult::kOk);
    std::string out(content.size(), '\0');
    EXPECT_EQ(packaging::UnzipEntryToMemory(zip.reader.get(), info, out.data(), 30000), ZipReadResult::kMoreData);
    EXPECT_EQ(packaging::UnzipEntryToMemory(zip.reader.get(), info, out.data() + 30000, 70000), ZipReadResult::kOk);
    EXPECT_EQ(out, content) << method;
    // The entry is no longer current once it is out.
    EXPECT_EQ(packaging::UnzipEntryToMemory(zip.reader.get(), info, out.data(), 10), ZipReadResult::kInvalidArgument);
  }
}

TEST(ZipReader, WalksEntriesByPosition) {
  Opened zip(testzip::Build({{"a", "1"}, {"b", "22", 0}, {"c", "333"}}));
  ZipEntryInfo info;
  ASSERT_EQ(packaging::GetZipEntryAt(zip.reader.get(), -1, info), ZipReadResult::kOk);
  EXPECT_EQ(info.index, 3);
  const char* names[] = {"a", "b", "c"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(packaging::GetZipEntryAt(zip.reader.get(), i, info), ZipReadResult::kOk);
    EXPECT_EQ(info.name, names[i]);
    std::string out(static_cast<size_t>(info.uncompressedSize), '\0');
    EXPECT_EQ(packaging::UnzipEntryToMemory(zip.reader.get(), info, out.data(), out.size()), ZipReadResult::kOk);
    EXPECT_EQ(out, std::string(static_cast<size_t>(i + 1), static_cast<char>('1' + i)));
  }
  EXPECT_NE(packaging::GetZipEntryAt(zip.reader.get(), 3, info), ZipReadResult::kOk);
  EXPECT_NE(packaging::GetZipEntryAt(zip.reader.get(), -2, info), ZipReadResult::kOk);
  Opened empty(testzip::Build({}));
  ASSERT_EQ(empty.openResult, ZipReadResult::kOk);
  EXPECT_EQ(packaging::FindZipEntry(empty.reader.get(), L"a", info), ZipReadResult::kNotFound);
}

TEST(ZipReader, AttributesAndTimeStamps) {
  auto ut = [](std::initializer_list<uint32_t> words, uint8_t flags, int declared) {
    std::string f;
    testzip::Put16(f, 0x5455);
    testzip::Put16(f, static_cast<uint32_t>(declared));
    f.push_back(static_cast<char>(flags));
    for (uint32_t w : words) testzip::Put32(f, w);
    return f;
  };
  struct Case {
    const char* what;
    uint16_t versionMadeBy;
    uint32_t external;
    std::string extra;
    uint32_t attributes;
    int64_t mtime, atime;  // -1: the DOS time
  } const cases[] = {
      {"MS-DOS host keeps the low attribute bits", 0x0014, 0xFFFFFF3F, "", 0x37, -1, -1},
      {"NTFS host", 0x0A14, 0x21, "", 0x21, -1, -1},
      {"Unix directory", 0x0314, 040755u << 16, "", 0x30, -1, -1},
      {"Unix read-only file", 0x0314, 0100444u << 16, "", 0x21, -1, -1},
      {"UT with all three times", 0x0014, 0x20, ut({1000, 2000, 3000}, 7, 13), 0x20, 1000, 2000},
      {"UT flags more times than it holds", 0x0014, 0x20, ut({1000}, 7, 5), 0x20, 1000, -1},
      {"UT longer than the extra field", 0x0014, 0x20, ut({1000}, 1, 9), 0x20, -1, -1},
  };
  for (const auto& c : cases) {
    testzip::Entry e{"f", "x"};
    e.versionMadeBy = c.versionMadeBy;
    e.externalAttributes = c.external;
    e.centralExtra = c.extra;
    Opened zip(testzip::Build({e}));
    ZipEntryInfo info;
    ASSERT_EQ(packaging::FindZipEntry(zip.reader.get(), L"f", info), ZipReadResult::kOk) << c.what;
    EXPECT_EQ(info.attributes, c.attributes) << c.what;
    std::tm tm{};
    tm.tm_year = 120, tm.tm_mon = 4, tm.tm_mday = 17, tm.tm_hour = 13, tm.tm_min = 45, tm.tm_sec = 58;
    tm.tm_isdst = -1;
    const int64_t dos = std::mktime(&tm);
    EXPECT_EQ(info.modificationTime, c.mtime < 0 ? dos : c.mtime) << c.what;
    EXPECT_EQ(info.accessTime, c.atime < 0 ? dos : c.atime) << c.what;
  }
}

TEST(ZipReader, NullHandleIsInvalid) {
  ZipEntryInfo info;
  EXPECT_EQ(packaging::FindZipEntry(nullptr, L"a", info), ZipReadResult::kInvalidArgument);
  EXPECT_EQ(packaging::UnzipEntryToMemory(nullptr, info, nullptr, 0), ZipReadResult::kInvalidArgument);
  ZipReaderHandle none;
  EXPECT_EQ(packaging::CloseZipReader(none), ZipReadResult::kInvalidArgument);
}

}  // namespace
