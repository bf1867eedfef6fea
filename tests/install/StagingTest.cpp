#include "install/Staging.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "install/AfcFileService.h"
#include "tests/install/Fakes.h"

namespace install {
namespace {

using fakes::MemoryFileService;
using fakes::MemoryLocalFile;
using fakes::RecordingReporter;

TEST(Staging, NormalizeRemotePath) {
  struct Case {
    const char* base;
    const char* path;
    const char* expected;
  } cases[] = {
      {"/", "/PublicStaging/", "/PublicStaging"},
      {"/", "a/./b/../c", "/a/c"},
      {"/", "../..", "/"},
      {"", "", "/"},
      {"base", "x", "/base/x"},
      {"/base/", "x//y/", "/base/x/y"},
      {"/base", "/abs/../z", "/z"},
      {"/a/b", "../../../c", "/c"},
      {"/", "...", "/..."},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeRemotePath(c.base, c.path), c.expected) << c.base << " " << c.path;
}

TEST(Staging, ChooseChunkSize) {
  struct Case {
    uint64_t size;
    bool force;
    uint32_t chunk;
  } cases[] = {
      {0, false, 4096},         {3000, false, 4096},        {4096, false, 4096},
      {4097, false, 40960},     {40960, false, 40960},      {40961, false, 81920},
      {81920, false, 81920},    {163840, false, 163840},    {163841, false, 819200},
      {819200, false, 819200},  {1638400, false, 1638400},  {1638401, false, 2048000},
      {uint64_t{1} << 40, false, 2048000}, {1, true, 2048000},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseChunkSize(c.size, c.force), c.chunk) << c.size;
}

TEST(Staging, NamesAreEightDigitsAndDoNotRepeatInARow) {
  std::set<std::string> seen;
  std::string previous;
  for (int i = 0; i < 200; ++i) {
    const std::string name = MakeStagingName();
    ASSERT_EQ(name.size(), 8u);
    EXPECT_EQ(name.find_first_not_of("0123456789"), std::string::npos) << name;
    EXPECT_NE(name, previous);
    previous = name;
    seen.insert(name);
  }
  EXPECT_GT(seen.size(), 190u) << "names should be spread over the eight digits";
}

// Each program start seeds its own generator: two fresh ones (as two starts would make) do not draw the
// same names, as two unseeded ones would.
TEST(Staging, FreshGeneratorsOfTwoStartsDrawDifferentNames) {
  std::mt19937_64 first = NewStagingGenerator();
  std::mt19937_64 second = NewStagingGenerator();
  std::string a, b;
  for (int i = 0; i < 3; ++i) {
    a += MakeStagingName(first);
    b += MakeStagingName(second);
  }
  EXPECT_NE(a, b);
}

// Through the device file service's own calls, whose open modes the fake honours as the simulated device
// does (2 keeps what the file holds, 3 cuts it off): a smaller package over an older file of the same name
// keeps none of the old bytes.
TEST(Staging, UploadFromMemoryTruncatesAnOlderFile) {
  fakes::MemoryAfc afc;
  afc.files["/PublicStaging/12345678"] = std::string(100, 'o');
  AfcFileService files(afc.Table(), afc.Connection());
  const std::string data = "new package";
  ASSERT_EQ(UploadFromMemory(files, "/PublicStaging/12345678", reinterpret_cast<const uint8_t*>(data.data()),
                             data.size()),
            UploadResult::kOk);
  EXPECT_EQ(afc.files["/PublicStaging/12345678"], data);
  EXPECT_EQ(afc.folders.count("/PublicStaging"), 1u);
  EXPECT_EQ(afc.open_files, 0) << "the remote file is closed";
}

TEST(Staging, UploadFromMemoryFailures) {
  const std::string data = "bytes";
  {
    MemoryFileService files;
    files.folders["/PublicStaging/"] = true;
    files.fail_open = true;
    EXPECT_EQ(UploadFromMemory(files, "/PublicStaging/1", reinterpret_cast<const uint8_t*>(data.data()), 5),
              UploadResult::kRemoteOpenFailed);
    EXPECT_EQ(files.log, (std::vector<std::string>{"open /PublicStaging/1"}));
  }
  {
    MemoryFileService files;
    files.folders["/PublicStaging/"] = true;
    files.fail_write_at = 0;
    EXPECT_EQ(UploadFromMemory(files, "/PublicStaging/1", reinterpret_cast<const uint8_t*>(data.data()), 5),
              UploadResult::kWriteFailed);
    EXPECT_EQ(files.files.count("/PublicStaging/1"), 0u) << "the partial file is removed";
  }
}

TEST(Staging, UploadFromFileBlocksAndReports) {
  struct Case {
    size_t size;
    std::vector<std::string> writes;
    std::vector<std::string> events;
  } cases[] = {
      {3000, {"write 0 3000"}, {"upload-begin 3000 0", "upload-progress 3000 3000", "upload-end 1"}},
      {5000, {"write 0 5000"}, {"upload-begin 5000 0", "upload-progress 5000 5000", "upload-end 1"}},
      {0, {}, {"upload-begin 0 0", "upload-end 1"}},
      {1638400, {"write 0 1638400"}, {"upload-begin 1638400 0", "upload-progress 1638400 1638400", "upload-end 1"}},
      {1638401, {"write 0 1638401"}, {"upload-begin 1638401 0", "upload-progress 1638401 1638401", "upload-end 1"}},
      {4100000, {"write 0 2048000", "write 2048000 2048000", "write 4096000 4000"},
       {"upload-begin 4100000 0", "upload-progress 4100000 2048000", "upload-progress 4100000 4096000",
        "upload-progress 4100000 4100000", "upload-end 1"}},
  };
  for (const Case& c : cases) {
    std::string content(c.size, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    MemoryFileService files;
    files.folders["/PublicStaging/"] = true;
    MemoryLocalFile local(content);
    RecordingReporter reporter;
    ASSERT_EQ(UploadFromFile(files, local, "/PublicStaging/x.ipa", &reporter), UploadResult::kOk) << c.size;
    std::vector<std::string> writes;
    for (const std::string& l : files.log)
      if (l.rfind("write", 0) == 0) writes.push_back(l);
    EXPECT_EQ(writes, c.writes) << c.size;
    EXPECT_EQ(reporter.events, c.events) << c.size;
    EXPECT_EQ(files.files["/PublicStaging/x.ipa"], content) << c.size;
  }
}

TEST(Staging, UploadFromFileFailuresRemoveThePartialFile) {
  struct Case {
    const char* name;
    uint64_t claimed;  // size the file claims; the content has 5000 bytes
    int fail_read_at;
    int fail_write_at;
    UploadResult result;
    std::vector<std::string> events;
  } cases[] = {
      {"file shorter than its size", 6000, -1, -1, UploadResult::kLocalReadFailed,
       {"upload-begin 6000 0", "upload-progress 6000 5000", "upload-end 0"}},
      {"file longer than its size", 4000, -1, -1, UploadResult::kLocalReadFailed,
       {"upload-begin 4000 0", "upload-end 0"}},
      {"read error", 5000, 0, -1, UploadResult::kLocalReadFailed, {"upload-begin 5000 0", "upload-end 0"}},
      {"write error", 5000, -1, 0, UploadResult::kWriteFailed, {"upload-begin 5000 0", "upload-end 0"}},
  };
  for (const Case& c : cases) {
    MemoryFileService files;
    files.folders["/PublicStaging/"] = true;
    files.fail_write_at = c.fail_write_at;
    MemoryLocalFile local(std::string(5000, 'x'));
    local.claimed_size = c.claimed;
    local.fail_read_at = c.fail_read_at;
    RecordingReporter reporter;
    EXPECT_EQ(UploadFromFile(files, local, "/PublicStaging/x.ipa", &reporter), c.result) << c.name;
    EXPECT_EQ(reporter.events, c.events) << c.name;
    EXPECT_EQ(files.files.count("/PublicStaging/x.ipa"), 0u) << c.name;
  }
}

TEST(Staging, UploadFromFileWithoutRemoteFileReportsNothing) {
  MemoryFileService files;
  files.fail_open = true;
  MemoryLocalFile local("abc");
  RecordingReporter reporter;
  EXPECT_EQ(UploadFromFile(files, local, "/PublicStaging/x.ipa", &reporter), UploadResult::kRemoteOpenFailed);
  EXPECT_TRUE(reporter.events.empty());
}

}  // namespace
}  // namespace install
