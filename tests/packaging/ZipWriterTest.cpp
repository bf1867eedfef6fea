#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "packaging/ZipReader.h"
#include "packaging/ZipWriter.h"
#include "packaging/TestFiles.h"
#include "packaging/ZipFixture.h"

using packaging::ZipWriteResult;
using packaging::ZipWriterHandle;
using testfiles::Wide;

namespace {

struct Source {
  std::wstring entryName;
  std::string content;
};

// Writes an archive from `sources` (each first written to a file of its own) and gives the archive's bytes.
std::string WriteArchive(const testfiles::ScopedTempFolder& dir, const std::vector<Source>& sources,
                         int64_t mtime = 1600000000) {
  const auto archive = dir.path() / "out.zip";
  ZipWriterHandle writer;
  EXPECT_EQ(packaging::CreateZipFile(Wide(archive), writer), ZipWriteResult::kOk);
  int i = 0;
  for (const auto& s : sources) {
    const auto file = dir.path() / ("src" + std::to_string(i++));
    testfiles::WriteFile(file, s.content);
    testfiles::SetModificationTime(file, mtime);
    EXPECT_EQ(packaging::ZipAddFile(writer.get(), Wide(file), s.entryName), ZipWriteResult::kOk);
  }
  EXPECT_EQ(packaging::CloseZipWriter(writer), ZipWriteResult::kOk);
  EXPECT_FALSE(writer);
  return testfiles::ReadFile(archive);
}

TEST(ZipWriter, StoresForwardSlashNameAndUnixTimes) {
  testfiles::ScopedTempFolder dir;
  // 2021-03-04 13:45:58 UTC
  const std::string z = WriteArchive(dir, {{L"Payload\\CMCC_cn.bundle\\Info.plist", "plist"}}, 1614865558);
  const auto raw = testzip::ParseRaw(z);
  ASSERT_TRUE(raw.ok);
  ASSERT_EQ(raw.entries.size(), 1u);
  const auto& e = raw.entries[0];
  EXPECT_EQ(e.name, "Payload/CMCC_cn.bundle/Info.plist");
  EXPECT_EQ(e.name.size(), 33u);
  EXPECT_EQ(e.dosTime, (13 << 11) | (45 << 5) | 29);
  EXPECT_EQ(e.dosDate, ((2021 - 1980) << 9) | (3 << 5) | 4);
  EXPECT_EQ(e.versionMadeBy, 0x0B17);
  EXPECT_EQ(e.flags, 0);
  EXPECT_EQ(e.localFlags, 0);
  EXPECT_EQ(e.crc, testzip::Crc("plist"));
  EXPECT_EQ(e.externalAttributes & 0xFFFF0000u, 0x80000000u | 0x01000000u | 0x00800000u);
  // Local "UT": flags 7 and three times; central: flags 1 and the modification time.
  ASSERT_EQ(e.localExtra.size(), 17u);
  EXPECT_EQ(testzip::Get16(e.localExtra, 0), 0x5455);
  EXPECT_EQ(testzip::Get16(e.localExtra, 2), 13);
  EXPECT_EQ(e.localExtra[4], 7);
  EXPECT_EQ(testzip::Get32(e.localExtra, 5), 1614865558u);
  ASSERT_EQ(e.centralExtra.size(), 9u);
  EXPECT_EQ(testzip::Get16(e.centralExtra, 2), 5);
  EXPECT_EQ(e.centralExtra[4], 1);
  EXPECT_EQ(testzip::Get32(e.centralExtra, 5), 1614865558u);
}

TEST(ZipWriter, MethodFollowsTheNameSuffix) {
  struct Case {
    const char* name;
    bool stored;
  } const cases[] = {
      {"logo.png", false}, {"carrier.plist", false}, {"ARCHIVE.ZIP", true}, {"a.tgz", true},
      {"b.Gz", true},      {"c.z", true},            {"noext", false},      {"d.zip.png", false},
      {"e.arj", true},     {"f.lzh", true},          {"g.zoo", true},       {"h.arc", true},
      {"i.zipx", false},
  };
  for (const auto& c : cases) EXPECT_EQ(packaging::ZipStoresUncompressed(c.name), c.stored) << c.name;

  testfiles::ScopedTempFolder dir;
  const std::string picture = testzip::PngLike(4000);
  const auto raw = testzip::ParseRaw(WriteArchive(dir, {{L"logo.png", picture}, {L"ARCHIVE.ZIP", picture}}));
  ASSERT_EQ(raw.entries.size(), 2u);
  EXPECT_EQ(raw.entries[0].method, 8);
  EXPECT_LT(raw.entries[0].compressedSize, picture.size());
  EXPECT_EQ(raw.entries[1].method, 0);
  EXPECT_EQ(raw.entries[1].compressedSize, picture.size());
}

TEST(ZipWriter, EndRecordCountsEntriesAndPointsPastThem) {
  testfiles::ScopedTempFolder dir;
  const std::string z =
      WriteArchive(dir, {{L"a.png", testzip::PngLike(3000)}, {L"b\\c.plist", "xyz"}, {L"d.zip", "stored"}});
  const auto raw = testzip::ParseRaw(z);
  ASSERT_TRUE(raw.ok);
  EXPECT_EQ(raw.entriesOnDisk, 3);
  EXPECT_EQ(raw.entriesTotal, 3);
  uint32_t localBytes = 0;
  for (const auto& e : raw.entries) localBytes += 30 + static_cast<uint32_t>(e.name.size()) + 17 + e.compressedSize;
  EXPECT_EQ(raw.centralOffset, localBytes);
  EXPECT_EQ(raw.centralOffset + raw.centralSize + 22, z.size());
}

TEST(ZipWriter, MissingSourceAddsNothing) {
  testfiles::ScopedTempFolder dir;
  const auto archive = dir.path() / "out.zip";
  const auto present = dir.path() / "present.png";
  testfiles::WriteFile(present, "present");
  ZipWriterHandle writer;
  ASSERT_EQ(packaging::CreateZipFile(Wide(archive), writer), ZipWriteResult::kOk);
  EXPECT_EQ(packaging::ZipAddFile(writer.get(), Wide(dir.path() / "missing.png"), L"missing.png"),
            ZipWriteResult::kOpenFailed);
  EXPECT_EQ(packaging::ZipAddFile(writer.get(), Wide(present), L"present.png"), ZipWriteResult::kOk);
  EXPECT_EQ(packaging::ZipAddFile(writer.get(), L"", L"x"), ZipWriteResult::kInvalidArgument);
  EXPECT_EQ(packaging::ZipAddFile(writer.get(), Wide(present), std::wstring(260, L'n')),
            ZipWriteResult::kInvalidArgument);
  EXPECT_EQ(packaging::CloseZipWriter(writer), ZipWriteResult::kOk);

  const std::string z = testfiles::ReadFile(archive);
  packaging::ZipReaderHandle reader;
  ASSERT_EQ(packaging::OpenZipFromMemory(z.data(), z.size(), reader), packaging::ZipReadResult::kOk);
  packaging::ZipEntryInfo info;
  ASSERT_EQ(packaging::GetZipEntryAt(reader.get(), -1, info), packaging::ZipReadResult::kOk);
  EXPECT_EQ(info.index, 1);
  EXPECT_EQ(packaging::FindZipEntry(reader.get(), L"present.png", info), packaging::ZipReadResult::kOk);
}

TEST(ZipWriter, InvalidHandlesAndPaths) {
  EXPECT_EQ(packaging::ZipAddFile(nullptr, L"a", L"a"), ZipWriteResult::kInvalidArgument);
  ZipWriterHandle none;
  EXPECT_EQ(packaging::CloseZipWriter(none), ZipWriteResult::kInvalidArgument);
  testfiles::ScopedTempFolder dir;
  ZipWriterHandle writer;
  EXPECT_EQ(packaging::CreateZipFile(Wide(dir.path() / "no-such-folder" / "x.zip"), writer),
            ZipWriteResult::kOpenFailed);
  EXPECT_FALSE(writer);
}

TEST(ZipWriter, ReadsBackWithTheReader) {
  testfiles::ScopedTempFolder dir;
  const std::vector<Source> sources = {
      {L"Payload\\b\\big.png", testzip::PngLike(300000, 7)}, {L"empty.plist", ""}, {L"s.zip", "stored bytes"}};
  const std::string z = WriteArchive(dir, sources);
  packaging::ZipReaderHandle reader;
  ASSERT_EQ(packaging::OpenZipFromMemory(z.data(), z.size(), reader), packaging::ZipReadResult::kOk);
  for (const auto& s : sources) {
    packaging::ZipEntryInfo info;
    ASSERT_EQ(packaging::FindZipEntry(reader.get(), s.entryName, info), packaging::ZipReadResult::kOk);
    std::string out(static_cast<size_t>(info.uncompressedSize), '\0');
    EXPECT_EQ(packaging::UnzipEntryToMemory(reader.get(), info, out.data(), out.size()),
              packaging::ZipReadResult::kOk);
    EXPECT_EQ(out, s.content);
  }
}

TEST(ZipWriter, DosTimeOfUnixTimes) {
  struct Case {
    int64_t unix;
    uint16_t time, date;
  } const cases[] = {
      {1614865558, (13 << 11) | (45 << 5) | 29, (41 << 9) | (3 << 5) | 4},   // 2021-03-04 13:45:58
      {951782399, (23 << 11) | (59 << 5) | 29, (20 << 9) | (2 << 5) | 28},   // 2000-02-28 23:59:59
      {951868800, 0, (20 << 9) | (3 << 5) | 1},                              // 2000-03-01, after 29 Feb
      {0, 0, (1 << 5) | 1},                                                  // before 1980: clamped
  };
  for (const auto& c : cases) {
    uint16_t t = 0, d = 0;
    packaging::UnixToDosTime(c.unix, t, d);
    EXPECT_EQ(t, c.time) << c.unix;
    EXPECT_EQ(d, c.date) << c.unix;
  }
}

// A full disk half-way through an entry: the add fails and closing reports it instead of finishing; a later
// add cuts the partial entry off, so the archive stays whole.
TEST(ZipWriter, WriteFailureIsReportedAtClose) {
  testfiles::ScopedTempFolder dir;
  const auto big = dir.path() / "big.png", small = dir.path() / "small.png";
  const std::string smallContent = testzip::PngLike(1000, 5);
  testfiles::WriteFile(big, testzip::PngLike(400000));
  testfiles::WriteFile(small, smallContent);
  {
    ZipWriterHandle writer;
    ASSERT_EQ(packaging::CreateZipFile(Wide(dir.path() / "a.zip"), writer), ZipWriteResult::kOk);
    testfiles::ScopedFileSizeLimit limit(100000);
    EXPECT_EQ(packaging::ZipAddFile(writer.get(), Wide(big), L"big.png"), ZipWriteResult::kWriteFailed);
    EXPECT_EQ(packaging::CloseZipWriter(writer), ZipWriteResult::kWriteFailed);
  }
  ZipWriterHandle writer;
  ASSERT_EQ(packaging::CreateZipFile(Wide(dir.path() / "b.zip"), writer), ZipWriteResult::kOk);
  {
    testfiles::ScopedFileSizeLimit limit(100000);
    EXPECT_EQ(packaging::ZipAddFile(writer.get(), Wide(big), L"big.png"), ZipWriteResult::kWriteFailed);
  }
  EXPECT_EQ(packaging::ZipAddFile(writer.get(), Wide(small), L"small.png"), ZipWriteResult::kOk);
  EXPECT_EQ(packaging::CloseZipWriter(writer), ZipWriteResult::kOk);
  const std::string z = testfiles::ReadFile(dir.path() / "b.zip");
  const auto raw = testzip::ParseRaw(z);
  ASSERT_EQ(raw.entries.size(), 1u);
  EXPECT_EQ(raw.entries[0].name, "small.png");
  EXPECT_EQ(raw.entries[0].localHeaderOffset, 0u);
  EXPECT_LT(z.size(), 2000u);
}

}  // namespace
