// The device object against a scripted library: connecting and pairing, bounded retries, the file and
// installation services, and the cached values.
#include <gtest/gtest.h>

#include <thread>

#include "FakeDeviceLibrary.h"
#include "device/iTunesDevice.h"

namespace {

constexpr int kPasses = iTunesDevice::kMaxPasses;

struct ConnectCase {
  const char* name;
  fake::Behaviour behaviour;
  bool connected;
  const wchar_t* error;
  int connects, is_paired, pairs, validates, disconnects;
};

fake::Behaviour Unpaired(int pair_failures, bool validate_ok) {
  fake::Behaviour b;
  b.paired = false;
  b.pair_failures = pair_failures;
  b.validate_ok = validate_ok;
  return b;
}

fake::Behaviour Recovery() {
  fake::Behaviour b;
  b.connect_result = kAMDRecoveryMode;
  return b;
}

const ConnectCase kConnectCases[] = {
    {"recovery mode", Recovery(), false, L"Phone in recovery mode, support not yet implemented", 1, 0, 0, 0, 0},
    {"paired", fake::Behaviour(), true, L"", 1, 1, 0, 0, 0},
    {"pairs and validates", Unpaired(0, true), true, L"", 1, 1, 1, 1, 0},
    {"validation fails, second pair holds", Unpaired(0, false), true, L"", 1, 1, 2, 1, 0},
    {"first pass refused, second pairs", Unpaired(1, true), true, L"", 2, 2, 2, 1, 1},
    // A locked phone refuses pairing for as long as it stays locked: the attempt gives up.
    {"refused every pass", Unpaired(1000, true), false, L"The device refused pairing", kPasses, kPasses, kPasses,
     0, kPasses},
};

void PrintTo(const ConnectCase& c, std::ostream* os) { *os << c.name; }

class ConnectTest : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectTest, MakesTheExpectedCalls) {
  const ConnectCase& c = GetParam();
  fake::Install(c.behaviour);
  {
    iTunesDevice device(fake::Handle(1));
    std::wstring error;
    EXPECT_EQ(device.Connect(error), c.connected);
    EXPECT_EQ(device.connected(), c.connected);
    EXPECT_EQ(error, c.error);
    const fake::Calls& calls = fake::Counted();
    EXPECT_EQ(calls.connect, c.connects);
    EXPECT_EQ(calls.is_paired, c.is_paired);
    EXPECT_EQ(calls.pair, c.pairs);
    EXPECT_EQ(calls.validate, c.validates);
    EXPECT_EQ(calls.disconnect, c.disconnects);
  }
  // Destroying a connected device disconnects it; an unconnected one is left alone.
  EXPECT_EQ(fake::Counted().disconnect, c.disconnects + (c.connected ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(Cases, ConnectTest, ::testing::ValuesIn(kConnectCases),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST(DeviceCancel, StopsRetriesOfALockedDevice) {
  fake::Install(Unpaired(1000, true));
  iTunesDevice device(fake::Handle(1));
  device.Cancel();
  std::wstring error;
  EXPECT_FALSE(device.Connect(error));
  EXPECT_EQ(fake::Counted().connect, 0);
  EXPECT_FALSE(device.WaitUnlessCancelled(std::chrono::hours(1)));
}

TEST(DeviceCancel, WakesAWaitingThread) {
  fake::Install();
  iTunesDevice device(fake::Handle(1));
  bool waited_fully = true;
  std::thread waiter([&] { waited_fully = device.WaitUnlessCancelled(std::chrono::hours(1)); });
  device.Cancel();
  waiter.join();
  EXPECT_FALSE(waited_fully);
  EXPECT_TRUE(device.IsCancelled());
}

TEST(DeviceFileService, RepeatedOpensKeepOneConnection) {
  fake::Install();
  {
    iTunesDevice device(fake::Handle(1));
    for (int i = 0; i < 10; ++i) {
      ASSERT_TRUE(device.OpenAfc());
      EXPECT_NE(device.afc_connection(), nullptr);
      EXPECT_FALSE(device.afc2());
    }
    EXPECT_EQ(fake::Counted().afc_open - fake::Counted().afc_close, 1);
    EXPECT_EQ(fake::Counted().start_session, fake::Counted().stop_session);
  }
  EXPECT_EQ(fake::Counted().afc_open, fake::Counted().afc_close);
}

struct OpenCase {
  const char* name;
  bool second;  // OpenAfc2 instead of OpenAfc
  fake::Behaviour behaviour;
  bool opened;
  int sessions;  // AMDeviceStartSession calls
};

fake::Behaviour Sessions(int failures) {
  fake::Behaviour b;
  b.session_failures = failures;
  b.afc2_service_ok = true;
  return b;
}
fake::Behaviour NoService() {
  fake::Behaviour b;
  b.afc_service_ok = false;
  return b;
}

const OpenCase kOpenCases[] = {
    {"afc", false, fake::Behaviour(), true, 1},
    {"afc service refused", false, NoService(), false, 1},
    {"afc after one failed session", false, Sessions(1), true, 2},
    {"afc session never starts", false, Sessions(-1), false, kPasses},
    {"afc2 offered", true, Sessions(0), true, 1},
    {"afc2 not offered", true, fake::Behaviour(), false, 1},
    {"afc2 session never starts", true, Sessions(-1), false, kPasses},
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class OpenTest : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenTest, OpensOrGivesUp) {
  const OpenCase& c = GetParam();
  fake::Install(c.behaviour);
  iTunesDevice device(fake::Handle(1));
  const bool opened = c.second ? device.OpenAfc2() : device.OpenAfc();
  EXPECT_EQ(opened, c.opened);
  EXPECT_EQ(device.afc_connection() != nullptr, c.opened);
  EXPECT_EQ(device.afc2(), c.opened && c.second);
  EXPECT_EQ(fake::Counted().start_session, c.sessions);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenTest, ::testing::ValuesIn(kOpenCases), [](const auto& info) {
  std::string n = info.param.name;
  for (char& ch : n) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

TEST(DeviceInstallService, ReturnsTheServiceSocketAndItsConnection) {
  for (bool secure : {false, true}) {
    fake::Behaviour b;
    b.secure_context = secure;
    fake::Install(b);
    iTunesDevice device(fake::Handle(1));
    const InstallServiceConnection c = device.StartInstallProxy();
    EXPECT_EQ(c.socket, 1234);
    EXPECT_NE(c.connection, nullptr) << "handed to the caller, who releases it";
    EXPECT_EQ(c.secure, secure);
    EXPECT_TRUE(device.connected());
    EXPECT_EQ(fake::Counted().start_session, fake::Counted().stop_session);
  }
}

TEST(DeviceInstallService, GivesUpAndKeepsTheFileConnection) {
  fake::Install();
  iTunesDevice device(fake::Handle(1));
  ASSERT_TRUE(device.OpenAfc());
  fake::Current().install_service_ok = false;
  EXPECT_FALSE(device.StartInstallProxy());
  EXPECT_EQ(fake::Counted().secure_start, kPasses);
  // Each failed pass reconnects, which closes the file connection; it is opened again each time.
  EXPECT_NE(device.afc_connection(), nullptr);
  EXPECT_EQ(fake::Counted().afc_open - fake::Counted().afc_close, 1);
}

// The write opens the file service, then starts the installation service; a failed session on the way
// reconnects, and the upload that follows must still find its file connection open.
TEST(DeviceInstallService, BothFormsPutBackTheFileConnectionAfterARetry) {
  for (bool persistent : {false, true}) {
    fake::Install();
    iTunesDevice device(fake::Handle(1));
    ASSERT_TRUE(device.OpenAfc());
    fake::Current().session_failures = 1;
    const InstallServiceConnection c = persistent ? device.StartInstallProxyPersistent() : device.StartInstallProxy();
    EXPECT_TRUE(c) << persistent;
    EXPECT_NE(device.afc_connection(), nullptr) << persistent;
    EXPECT_FALSE(device.afc2()) << persistent;
    EXPECT_EQ(fake::Counted().afc_open - fake::Counted().afc_close, 1) << persistent;
  }
}

TEST(DeviceInstallService, StillAnswersUntilItIsGone) {
  fake::Behaviour b;
  b.values = {{"UniqueDeviceID", L"00008030-1"}};
  fake::Install(b);
  iTunesDevice device(fake::Handle(1));
  std::wstring error;
  ASSERT_TRUE(device.Connect(error));
  EXPECT_TRUE(device.StillAnswers());
  fake::Current().values.clear();  // what an unplugged device answers
  EXPECT_FALSE(device.StillAnswers());

  // Not connected (a locked phone): it still takes a connection, which is undone.
  fake::Install(b);
  iTunesDevice locked(fake::Handle(2));
  EXPECT_TRUE(locked.StillAnswers());
  EXPECT_EQ(fake::Counted().connect, 1);
  EXPECT_EQ(fake::Counted().disconnect, 1);
  EXPECT_FALSE(locked.connected());
  fake::Current().connect_result = -1;
  EXPECT_FALSE(locked.StillAnswers());

  fake::Install(b);
  iTunesDevice cancelled(fake::Handle(3));
  cancelled.Cancel();
  EXPECT_FALSE(cancelled.StillAnswers());
}

TEST(DeviceValues, AreReadOnceAndReleased) {
  fake::Behaviour b;
  b.values = {{"DeviceName", L"Test iPhone"}, {"DeviceClass", L"iPhone"}, {"UniqueDeviceID", L"00008030-1"}};
  fake::Install(b);
  iTunesDevice device(fake::Handle(1));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(device.GetDeviceName(), L"Test iPhone");
    EXPECT_EQ(device.GetDeviceClass(), L"iPhone");
    EXPECT_EQ(device.GetUniqueDeviceId(), L"00008030-1");
  }
  const fake::Calls& calls = fake::Counted();
  EXPECT_EQ(calls.copy_value_keys.at("DeviceName"), 1);
  EXPECT_EQ(calls.copy_value_keys.at("DeviceClass"), 1);
  EXPECT_EQ(calls.copy_value_keys.at("UniqueDeviceID"), 1);
  EXPECT_EQ(calls.values_made, calls.values_released);
  EXPECT_TRUE(device.connected());  // reading the identifier connects
  EXPECT_EQ(calls.start_session, calls.stop_session);
}

TEST(DeviceValues, MissingValueIsAskedForAgain) {
  fake::Install();
  iTunesDevice device(fake::Handle(1));
  EXPECT_EQ(device.GetDeviceName(), L"");
  fake::Current().values["DeviceName"] = L"Later";
  EXPECT_EQ(device.GetDeviceName(), L"Later");
  EXPECT_EQ(fake::Counted().copy_value_keys.at("DeviceName"), 2);
}

TEST(DeviceValues, NoCopyValueEntryGivesEmptyText) {
  fake::Install();
  MobileDeviceTable().AMDeviceCopyValue = nullptr;
  iTunesDevice device(fake::Handle(1));
  EXPECT_EQ(device.CopyValueText("DeviceName"), L"");
}

TEST(DeviceValues, KindFollowsTheClass) {
  const struct {
    const wchar_t* device_class;  // null: no class value
    int kind;
  } cases[] = {
      {L"iPad", 2}, {L"SuperiPadPro", 2}, {L"iPhone", 1}, {L"ipad", 1}, {L"IPAD", 1}, {L"", 1}, {nullptr, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device_class ? c.device_class : L"(none)");
    fake::Behaviour b;
    if (c.device_class) b.values["DeviceClass"] = c.device_class;
    fake::Install(b);
    iTunesDevice device(fake::Handle(1));
    EXPECT_EQ(device.GetDeviceKind(), c.kind);
  }
}

TEST(DeviceObjects, AreCounted) {
  fake::Install();
  const long before = iTunesDevice::LiveCount();
  {
    iTunesDevice a(fake::Handle(1)), b(fake::Handle(2));
    EXPECT_EQ(iTunesDevice::LiveCount(), before + 2);
  }
  EXPECT_EQ(iTunesDevice::LiveCount(), before);
}

}  // namespace
