// The binding as the program performs it, in this build's Wine prefix, whose registry names the simulated
// libraries exactly where the real ones are registered on Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "device/DeviceBinding.h"
#include "device/SimulatedDeviceFolder.h"
#include "support/WinTestSupport.h"

namespace {

using testing_support::PumpUntil;

struct Received {
  HWND window;
  AMDeviceRef device;
  uint32_t message;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (WM_DEVICE_NOTIFY_MESSAGE != 0 && msg == WM_DEVICE_NOTIFY_MESSAGE) {
    EXPECT_EQ(wp, 0u);
    const auto* info = reinterpret_cast<const AMDeviceNotificationInfo*>(lp);
    g_received.push_back({hwnd, info->device, info->message});
    return 42;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

HWND NewWindow() {
  static bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &RecordingProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LogoraBindingTarget";
    return ::RegisterClassW(&wc) != 0;
  }();
  EXPECT_TRUE(registered);
  return ::CreateWindowW(L"LogoraBindingTarget", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

std::wstring EnvPath() {
  std::wstring v(32768, L'\0');
  v.resize(::GetEnvironmentVariableW(L"PATH", v.data(), 32768));
  return v;
}

std::wstring RegistryText(const wchar_t* key, const wchar_t* value) {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return {};
  return buf;
}

class Binding : public ::testing::Test {
 protected:
  void SetUp() override { g_received.clear(); }
  testing_support::SimulatedDeviceFolder devices;
};

TEST_F(Binding, FindsTheLibrariesThroughTheRegistryAndDeliversAttachAndDetach) {
  const std::wstring library = RegistryText(L"SOFTWARE\\Apple Inc.\\Apple Mobile Device Support\\Shared",
                                            L"iTunesMobileDeviceDLL");
  ASSERT_FALSE(library.empty()) << "the prefix does not register the simulated library (tools/build.sh windows)";
  const std::wstring folder = library.substr(0, library.rfind(L'\\'));
  const std::wstring oldPath = EnvPath();

  HWND window = NewWindow();
  ASSERT_TRUE(BindDeviceLibrary(window));
  EXPECT_EQ(WM_DEVICE_NOTIFY_MESSAGE, ::RegisterWindowMessageW(L"WM_DEVICE_NOTIFY_MESSAGE"));
  EXPECT_EQ(BoundDeviceWindow(), window);
  // Both registry values name the same folder here: "PATH" is that folder twice, then the old value.
  EXPECT_EQ(EnvPath(), folder + L";" + folder + L";" + oldPath);
  EXPECT_NE(MobileDeviceTable().AMDeviceConnect, nullptr);
  EXPECT_NE(MobileDeviceTable().AMDeviceCopyValue, nullptr);
  EXPECT_NE(CoreFoundationTable().CFPropertyListCreateXMLData, nullptr);
  EXPECT_EQ(CoreFoundationValueTable().CFNumberGetValue, nullptr);
  ASSERT_TRUE(BindCoreFoundation());
  EXPECT_NE(CoreFoundationValueTable().CFNumberGetValue, nullptr);
  EXPECT_EQ(CoreFoundationValueTable().CFRelease, CoreFoundationTable().CFRelease);

  ASSERT_TRUE(devices.Plug("phone", testing_support::Phone("Test iPhone", "0123456789abcdef")));
  ASSERT_TRUE(PumpUntil([] { return g_received.size() >= 1; }));
  ASSERT_EQ(g_received[0].message, kAMDeviceAttached);
  EXPECT_EQ(g_received[0].window, window);
  AMDeviceRef device = g_received[0].device;
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(MobileDeviceTable().AMDeviceConnect(device), 0);

  ASSERT_TRUE(devices.Unplug("phone"));
  ASSERT_TRUE(PumpUntil([] { return g_received.size() >= 2; }));
  EXPECT_EQ(g_received[1].message, kAMDeviceDetached);
  EXPECT_EQ(g_received[1].device, device);
  EXPECT_NE(MobileDeviceTable().AMDeviceConnect(device), 0) << "an unplugged device cannot connect";
  ::DestroyWindow(window);
}

TEST_F(Binding, ASecondBindingRetargetsTheOneSubscription) {
  HWND first = NewWindow(), second = NewWindow();
  ASSERT_TRUE(BindDeviceLibrary(first));
  const std::wstring pathAfterFirst = EnvPath();
  ASSERT_TRUE(BindDeviceLibrary(second));
  EXPECT_EQ(EnvPath(), pathAfterFirst) << "PATH is prefixed once";
  EXPECT_EQ(BoundDeviceWindow(), second);

  ASSERT_TRUE(devices.Plug("pad", testing_support::Phone("Test iPad", "fedcba", "iPad")));
  ASSERT_TRUE(PumpUntil([] { return !g_received.empty(); }));
  testing_support::PumpFor(200);  // several looks at the devices folder: a second subscription would show now
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].window, second);
  EXPECT_EQ(g_received[0].message, kAMDeviceAttached);
  ::DestroyWindow(first);
  ::DestroyWindow(second);
}

TEST_F(Binding, NotificationIsSentSynchronouslyAndReturnsTheWindowsAnswer) {
  HWND window = NewWindow();
  ASSERT_TRUE(BindDeviceLibrary(window));
  AMDeviceNotificationInfo info{reinterpret_cast<AMDeviceRef>(0x1234), kAMDeviceAttached};
  EXPECT_EQ(OnDeviceNotification(&info), 42);
  ASSERT_EQ(g_received.size(), 1u);  // handled before the call returned
  EXPECT_EQ(g_received[0].device, info.device);
  EXPECT_EQ(OnDeviceNotification(nullptr), 0);
  ::DestroyWindow(window);
}

}  // namespace
