// The simulated device: its description, state machine, folder watching and file service.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "simulator/core/DeviceFolder.h"
#include "simulator/core/DeviceWatcher.h"
#include "simulator/core/MediaFileService.h"
#include "simulator/core/SimDevice.h"
#include "simulator/core/SimErrors.h"
#include "tests/simulator/TempFolder.h"

namespace {

using namespace sim;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteAll(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

TEST(DeviceDescriptionFile, ReadsWritesAndRefuses) {
  std::string why;
  auto d = ParseDescription(
      "# a locked iPad\n"
      "name = 张三的 iPad\r\n"
      "class=iPad\n"
      "pairing = PasswordProtected\n"
      "pair_failures = 2\n"
      "missing = name, udid\n"
      "fail_services = com.apple.afc2\n"
      "install.style = streamed\n"
      "install.format = xml\n"
      "install.close_after = 3\n",
      &why);
  ASSERT_TRUE(d) << why;
  EXPECT_EQ(d->name, "张三的 iPad");
  EXPECT_EQ(d->deviceClass, "iPad");
  EXPECT_EQ(d->pairing, "PasswordProtected");
  EXPECT_EQ(d->pairFailures, 2);
  EXPECT_EQ(d->missing, (std::set<std::string>{"DeviceName", "UniqueDeviceID"}));
  EXPECT_EQ(d->install.style, InstallBehaviour::Style::Streamed);
  EXPECT_TRUE(d->install.xmlReplies);
  EXPECT_EQ(d->install.closeAfter, 3);

  auto again = ParseDescription(WriteDescription(*d), &why);
  ASSERT_TRUE(again) << why;
  EXPECT_EQ(WriteDescription(*again), WriteDescription(*d));

  for (const char* bad : {"name", "colour = red", "pairing = maybe", "connect_failures = -1",
                          "connect_failures = 2x", "recovery = perhaps", "install.style = slow"}) {
    EXPECT_FALSE(ParseDescription(bad, &why)) << bad;
    EXPECT_NE(why.find("line 1"), std::string::npos) << bad;
  }
}

SimDevice Device(const std::string& settings) {
  auto d = ParseDescription(settings);
  EXPECT_TRUE(d) << settings;
  return SimDevice("dev", DeviceLayout{"unused"}, d ? *d : DeviceDescription());
}

TEST(SimulatedDevice, ConnectFailsThenSucceedsAndRecoveryModeAnswersOne) {
  SimDevice flaky = Device("connect_failures = 2");
  EXPECT_EQ(flaky.Connect(), kErrConnectFailed);
  EXPECT_EQ(flaky.Connect(), kErrConnectFailed);
  EXPECT_EQ(flaky.Connect(), kOk);
  SimDevice recovery = Device("recovery = 1");
  EXPECT_EQ(recovery.Connect(), kRecoveryMode);
  EXPECT_FALSE(recovery.Connected());
}

TEST(SimulatedDevice, PairingStates) {
  struct Case {
    const char* settings;
    int32_t isPaired;
    std::vector<int32_t> pairs;  // successive AMDevicePair results
    int32_t validateAfter;
  };
  const Case cases[] = {
      {"pairing = paired", 1, {kOk}, kOk},
      {"pairing = unpaired", 0, {kOk}, kOk},
      {"pairing = UserDeniedPairing\npair_failures = 1", 0, {kErrUserDeniedPairing, kOk}, kOk},
      {"pairing = PasswordProtected", 0, {kErrPasswordProtected, kErrPasswordProtected}, kErrNotPaired},
      {"pairing = PairingDialogResponsePending\npair_failures = 0", 0, {kOk}, kOk},
      {"pairing = InvalidHostID\npair_failures = 1", 0, {kErrNotPaired, kOk}, kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    SimDevice d = Device(c.settings);
    EXPECT_EQ(d.Pair(), kErrNotConnected);
    ASSERT_EQ(d.Connect(), kOk);
    EXPECT_EQ(d.IsPaired(), c.isPaired);
    for (int32_t expected : c.pairs) EXPECT_EQ(d.Pair(), expected);
    EXPECT_EQ(d.ValidatePairing(), c.validateAfter);
  }
}

TEST(SimulatedDevice, SessionsAndServices) {
  SimDevice d = Device("session_failures = 1\nfail_services = com.apple.mobile.installation_proxy");
  EXPECT_EQ(d.StartSession(), kErrNotConnected);
  ASSERT_EQ(d.Connect(), kOk);
  EXPECT_EQ(d.CheckServiceStart(kFileService), kErrSessionInactive);
  EXPECT_EQ(d.StartSession(), kErrSessionFailed);
  ASSERT_EQ(d.StartSession(), kOk);
  EXPECT_EQ(d.CheckServiceStart(kFileService), kOk);
  EXPECT_EQ(d.CheckServiceStart(kFileService2), kErrServiceFailed);  // not offered
  EXPECT_EQ(d.CheckServiceStart(kInstallationService), kErrServiceFailed);
  EXPECT_EQ(d.CheckServiceStart("com.apple.unknown"), kErrServiceFailed);
  EXPECT_EQ(d.StopSession(), kOk);
  EXPECT_EQ(d.StopSession(), kErrSessionInactive);

  SimDevice unpaired = Device("pairing = unpaired\nafc2 = 1");
  ASSERT_EQ(unpaired.Connect(), kOk);
  EXPECT_EQ(unpaired.StartSession(), kErrNotPaired);
  ASSERT_EQ(unpaired.Pair(), kOk);
  ASSERT_EQ(unpaired.StartSession(), kOk);
  EXPECT_EQ(unpaired.CheckServiceStart(kFileService2), kOk);
}

TEST(SimulatedDevice, ValuesNeedAConnectionAndCanBeMissing) {
  SimDevice d = Device("name = 我的 iPhone\nudid = abc\nmissing = class");
  EXPECT_FALSE(d.Value("", "DeviceName"));
  EXPECT_EQ(d.Identifier(), "abc");  // the identifier is known before connecting
  ASSERT_EQ(d.Connect(), kOk);
  EXPECT_EQ(d.Value("", "DeviceName"), "我的 iPhone");
  EXPECT_EQ(d.Value("", "UniqueDeviceID"), "abc");
  EXPECT_FALSE(d.Value("", "DeviceClass"));
  EXPECT_FALSE(d.Value("com.apple.other", "DeviceName"));
  EXPECT_FALSE(d.Value("", "NoSuchKey"));
  d.MarkDetached();
  EXPECT_EQ(d.Connect(), kErrDeviceDetached);
  EXPECT_FALSE(d.Value("", "DeviceName"));
}

TEST(DevicesFolder, WatcherReportsPlugAndUnplugInOrder) {
  testing_support::TempFolder root;
  std::vector<std::string> reports;
  DeviceWatcher watcher(root.path(), std::chrono::milliseconds(10),
                        [&](const std::string& name, bool attached) { reports.push_back((attached ? "+" : "-") + name); });
  DeviceDescription d;
  ASSERT_TRUE(PlugDevice(root.path(), "b", d, false));
  ASSERT_TRUE(PlugDevice(root.path(), "a", d, false));
  fs::create_directories(root.path() / "no-description");
  fs::create_directories(root.path() / ".hidden");
  WriteAll(root.path() / ".hidden" / "device.txt", "");
  watcher.ScanOnce();
  EXPECT_EQ(reports, (std::vector<std::string>{"+a", "+b"}));
  watcher.ScanOnce();
  EXPECT_EQ(reports.size(), 2u);

  ASSERT_TRUE(UnplugDevice(root.path(), "a", false));  // flag file
  ASSERT_TRUE(UnplugDevice(root.path(), "b", true));   // folder removed
  watcher.ScanOnce();
  EXPECT_EQ(reports, (std::vector<std::string>{"+a", "+b", "-a", "-b"}));
  ASSERT_TRUE(PlugDevice(root.path(), "a", d, false));  // plugged in again: the flag goes
  watcher.ScanOnce();
  EXPECT_EQ(reports.back(), "+a");
  EXPECT_FALSE(PlugDevice(root.path(), "../escape", d, false));
  EXPECT_FALSE(PlugDevice(root.path(), ".dot", d, false));
}

// ---- file service ----------------------------------------------------------------------------------------

class FileService : public ::testing::Test {
 protected:
  testing_support::TempFolder root;
  MediaFileService files{root.path()};
};

TEST_F(FileService, OpenModesTruncateOnlyWhereTheyShould) {
  struct Case {
    uint64_t mode;
    bool existing;
    int32_t openResult;
    std::string afterWrite;  // content after writing "XY" at the start ("" when nothing is written)
    bool readable;
  };
  const Case cases[] = {
      {1, true, kOk, "", true},                 // r: no writes
      {1, false, kAfcObjectNotFound, "", false},
      {2, true, kOk, "XYcdef", true},           // r+: keeps the rest
      {2, false, kOk, "XY", true},              // r+: creates
      {3, true, kOk, "XY", false},              // w: truncates
      {4, true, kOk, "XY", true},               // w+: truncates
      {5, true, kOk, "abcdefXY", false},        // a: appends wherever the position is
      {6, true, kOk, "abcdefXY", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.existing ? " existing" : " new"));
    fs::remove(root.path() / "f.bin");
    if (c.existing) WriteAll(root.path() / "f.bin", "abcdef");
    uint64_t ref = 0;
    ASSERT_EQ(files.Open("/f.bin", c.mode, ref), c.openResult);
    if (c.openResult != kOk) continue;
    int32_t w = files.Write(ref, "XY", 2);
    EXPECT_EQ(w == kOk, !c.afterWrite.empty());
    char buf[16] = {};
    uint32_t n = sizeof buf;
    ASSERT_EQ(files.Seek(ref, 0, 0), kOk);
    int32_t r = files.Read(ref, buf, n);
    EXPECT_EQ(r == kOk, c.readable);
    ASSERT_EQ(files.Close(ref), kOk);
    EXPECT_EQ(ReadAll(root.path() / "f.bin"), c.afterWrite.empty() ? "abcdef" : c.afterWrite);
    if (c.readable) {
      EXPECT_EQ(std::string(buf, n), ReadAll(root.path() / "f.bin"));
    }
  }
  uint64_t unused;
  EXPECT_EQ(files.Open("/f.bin", 7, unused), kAfcInvalidArgument);
  EXPECT_EQ(files.OpenFileCount(), 0u);
}

TEST_F(FileService, SeekWriteAndReadPositions) {
  uint64_t ref;
  ASSERT_EQ(files.Open("PublicStaging/../data.bin", 2, ref), kOk);  // relative paths start at "/"
  ASSERT_EQ(files.Write(ref, "0123456789", 10), kOk);
  ASSERT_EQ(files.Seek(ref, 4, 0), kOk);
  ASSERT_EQ(files.Write(ref, "ab", 2), kOk);
  ASSERT_EQ(files.Seek(ref, -3, 2), kOk);
  char buf[8];
  uint32_t n = 8;
  ASSERT_EQ(files.Read(ref, buf, n), kOk);
  EXPECT_EQ(std::string(buf, n), "789");
  n = 8;
  ASSERT_EQ(files.Read(ref, buf, n), kOk);
  EXPECT_EQ(n, 0u);  // end of file
  EXPECT_EQ(files.Seek(ref, -20, 1), kAfcInvalidArgument);
  EXPECT_EQ(files.Seek(ref, 0, 3), kAfcInvalidArgument);
  ASSERT_EQ(files.Close(ref), kOk);
  EXPECT_EQ(files.Close(ref), kAfcInvalidArgument);
  EXPECT_EQ(files.Write(ref, "x", 1), kAfcInvalidArgument);
  EXPECT_EQ(ReadAll(root.path() / "data.bin"), "0123ab6789");
}

TEST_F(FileService, PathsThatLeaveTheMediaFolderAreRefused) {
  const char* escapes[] = {"..", "/../x", "a/../../x", "/PublicStaging/../../x", "C:\\Windows\\x", "a\\..\\..\\x",
                           "c:x", "x:stream"};
  fs::create_directories(root.path() / "a");
  for (const char* p : escapes) {
    SCOPED_TRACE(p);
    uint64_t ref;
    MediaFileService::Pairs info;
    EXPECT_FALSE(files.Resolve(p));
    EXPECT_EQ(files.Open(p, 3, ref), kAfcPermissionDenied);
    EXPECT_EQ(files.FileInfo(p, info), kAfcPermissionDenied);
    EXPECT_EQ(files.MakeDirectory(p), kAfcPermissionDenied);
    EXPECT_EQ(files.Remove(p), kAfcPermissionDenied);
    EXPECT_EQ(files.Rename("/a", p), kAfcPermissionDenied);
  }
  EXPECT_EQ(files.Resolve("/a/./b/../c"), root.path() / "a" / "c");
  EXPECT_EQ(files.Remove("/"), kAfcPermissionDenied);
  EXPECT_TRUE(fs::exists(root.path()));
}

TEST_F(FileService, FoldersInformationRemoveAndRename) {
  MediaFileService::Pairs info;
  EXPECT_EQ(files.FileInfo("/PublicStaging/", info), kAfcObjectNotFound);
  ASSERT_EQ(files.MakeDirectory("/PublicStaging/"), kOk);
  ASSERT_EQ(files.FileInfo("/PublicStaging/", info), kOk);
  EXPECT_NE(std::find(info.begin(), info.end(), std::make_pair(std::string("st_ifmt"), std::string("S_IFDIR"))),
            info.end());
  uint64_t ref;
  EXPECT_EQ(files.Open("/missing/file", 3, ref), kAfcObjectNotFound);  // no parent folder
  ASSERT_EQ(files.Open("/PublicStaging/12345678", 3, ref), kOk);
  ASSERT_EQ(files.Write(ref, "abc", 3), kOk);
  ASSERT_EQ(files.Close(ref), kOk);
  ASSERT_EQ(files.FileInfo("/PublicStaging/12345678", info), kOk);
  EXPECT_EQ(info[0], std::make_pair(std::string("st_size"), std::string("3")));
  std::vector<std::string> names;
  ASSERT_EQ(files.ReadDirectory("/PublicStaging", names), kOk);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "12345678"}));
  EXPECT_EQ(files.Remove("/PublicStaging"), kAfcDirectoryNotEmpty);
  ASSERT_EQ(files.Rename("/PublicStaging/12345678", "/PublicStaging/renamed"), kOk);
  ASSERT_EQ(files.Remove("/PublicStaging/renamed"), kOk);
  ASSERT_EQ(files.Remove("/PublicStaging"), kOk);
  EXPECT_EQ(files.Remove("/PublicStaging"), kAfcObjectNotFound);
}

}  // namespace
