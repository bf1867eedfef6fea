// The device object against the simulated device library, bound as the program binds it.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "device/DeviceBinding.h"
#include "device/SimulatedDeviceFolder.h"
#include "device/iTunesDevice.h"
#include "support/WinTestSupport.h"

using testing_support::Phone;
using testing_support::PumpUntil;

namespace {

std::vector<AMDeviceRef> g_attached;

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (WM_DEVICE_NOTIFY_MESSAGE != 0 && msg == WM_DEVICE_NOTIFY_MESSAGE) {
    const auto* info = reinterpret_cast<const AMDeviceNotificationInfo*>(lp);
    if (info->message == kAMDeviceAttached) g_attached.push_back(info->device);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

class SimulatedDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &SinkProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LogoraDeviceSink";
    ::RegisterClassW(&wc);
    sink = ::CreateWindowW(L"LogoraDeviceSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(sink, nullptr);
    ASSERT_TRUE(BindDeviceLibrary(sink));
    ASSERT_TRUE(BindCoreFoundation());
  }
  void TearDown() override { ::DestroyWindow(sink); }

  // Plugs one device in and waits for its attach notification.
  AMDeviceRef PlugOne(const sim::DeviceDescription& description) {
    const size_t before = g_attached.size();
    if (!devices.Plug("device" + std::to_string(before), description)) return nullptr;
    if (!PumpUntil([&] { return g_attached.size() > before; })) return nullptr;
    return g_attached.back();
  }

  testing_support::SimulatedDeviceFolder devices;
  HWND sink = nullptr;
};

TEST_F(SimulatedDevice, PairedPhoneConnectsAndShowsItsValues) {
  AMDeviceRef handle = PlugOne(Phone("Kate's iPhone", "a1b2c3"));
  ASSERT_NE(handle, nullptr);
  iTunesDevice device(handle);
  std::wstring error;
  EXPECT_TRUE(device.Connect(error));
  EXPECT_EQ(device.GetUniqueDeviceId(), L"a1b2c3");
  EXPECT_EQ(device.GetDeviceName(), L"Kate's iPhone");
  EXPECT_EQ(device.GetDeviceClass(), L"iPhone");
  EXPECT_EQ(device.GetDeviceKind(), iTunesDevice::kKindIphone);
}

TEST_F(SimulatedDevice, NonAsciiNameAndIpadClass) {
  AMDeviceRef handle = PlugOne(Phone("\xE5\xB0\x8F\xE6\x98\x8E\xE7\x9A\x84 iPad", "ffee", "iPad"));
  ASSERT_NE(handle, nullptr);
  iTunesDevice device(handle);
  EXPECT_EQ(device.GetUniqueDeviceId(), L"ffee");  // connects on the way
  EXPECT_EQ(device.GetDeviceName(), L"\u5C0F\u660E\u7684 iPad");
  EXPECT_EQ(device.GetDeviceKind(), iTunesDevice::kKindIpad);
}

TEST_F(SimulatedDevice, ConnectOutcomes) {
  struct Case {
    const char* name;
    bool recovery;
    const char* pairing;
    int pair_failures;
    bool connected;
  } const cases[] = {
      {"recovery", true, "paired", -1, false},
      {"unpaired", false, "unpaired", -1, true},
      {"trust tapped on the second pass", false, "PairingDialogResponsePending", 1, true},
      {"locked", false, "PasswordProtected", -1, false},
      {"user denied", false, "UserDeniedPairing", -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::DeviceDescription d = Phone(c.name, std::string("id-") + c.name);
    d.recovery = c.recovery;
    d.pairing = c.pairing;
    d.pairFailures = c.pair_failures;
    AMDeviceRef handle = PlugOne(d);
    ASSERT_NE(handle, nullptr);
    iTunesDevice device(handle);
    std::wstring error;
    EXPECT_EQ(device.Connect(error), c.connected);  // returns: every refusal is bounded
    EXPECT_EQ(device.connected(), c.connected);
    if (c.recovery) {
      EXPECT_EQ(error, L"Phone in recovery mode, support not yet implemented");
    }
  }
}

TEST_F(SimulatedDevice, ReopeningTheFileServiceClosesTheEarlierConnection) {
  AMDeviceRef handle = PlugOne(Phone("Files", "f00d"));
  ASSERT_NE(handle, nullptr);
  iTunesDevice device(handle);
  AFCConnectionRef previous = nullptr;
  for (int write = 0; write < 10; ++write) {
    ASSERT_TRUE(device.OpenAfc());
    ASSERT_NE(device.afc_connection(), nullptr);
    // The library refuses to close a connection that is already closed: the earlier one must be.
    if (previous) {
      EXPECT_NE(MobileDeviceTable().AFCConnectionClose(previous), kAMDSuccess);
    }
    previous = device.afc_connection();
  }
  AFCDictionaryRef info = nullptr;
  ASSERT_EQ(MobileDeviceTable().AFCFileInfoOpen(device.afc_connection(), "/", &info), kAMDSuccess);
  MobileDeviceTable().AFCKeyValueClose(info);
}

TEST_F(SimulatedDevice, SecondFileServiceOnlyWhereOffered) {
  sim::DeviceDescription offering = Phone("Offers afc2", "afc2yes");
  offering.offerAfc2 = true;
  iTunesDevice with(PlugOne(offering));
  EXPECT_TRUE(with.OpenAfc2());
  EXPECT_TRUE(with.afc2());

  iTunesDevice without(PlugOne(Phone("Plain", "afc2no")));
  EXPECT_FALSE(without.OpenAfc2());
  EXPECT_EQ(without.afc_connection(), nullptr);
  EXPECT_TRUE(without.OpenAfc());  // the plain service still opens after the refusal
}

TEST_F(SimulatedDevice, InstallServiceGivesASocketOrGivesUp) {
  iTunesDevice device(PlugOne(Phone("Installer", "1157")));
  const InstallServiceConnection c = device.StartInstallProxy();
  EXPECT_TRUE(c);
  EXPECT_FALSE(c.secure);
  if (c) ::closesocket(static_cast<SOCKET>(c.socket));

  sim::DeviceDescription broken = Phone("No installer", "dead");
  broken.failServices.insert("com.apple.mobile.installation_proxy");
  iTunesDevice refused(PlugOne(broken));
  ASSERT_TRUE(refused.OpenAfc());
  EXPECT_FALSE(refused.StartInstallProxy());
  EXPECT_NE(refused.afc_connection(), nullptr);  // opened again after every reconnect
}

TEST_F(SimulatedDevice, MissingNameIsEmpty) {
  sim::DeviceDescription nameless = Phone("", "n0name");
  nameless.missing.insert("DeviceName");
  iTunesDevice device(PlugOne(nameless));
  EXPECT_EQ(device.GetUniqueDeviceId(), L"n0name");
  EXPECT_EQ(device.GetDeviceName(), L"");
}

}  // namespace
