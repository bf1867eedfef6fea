// The connect workers of the main window, each held at an exact point inside the device library (a gate
// in the scripted library) while the window does something else: every order of a worker's result, a
// detach and the window's close. Each worker gives one result, touches nothing once it has posted it, and
// is in the window's worker set for as long as it runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "app/AppFormMain.h"
#include "device/DeviceBinding.h"
#include "device/DeviceMgr.h"
#include "device/FakeDeviceLibrary.h"
#include "device/SimulatedDeviceFolder.h"
#include "device/iTunesDevice.h"
#include "support/WinTestSupport.h"

using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

const wchar_t kConnectFailed[] = L"连接到设备失败!";

// Waits without handling messages, so that what a worker posts stays queued.
bool WaitQuietly(const std::function<bool()>& done, int timeout_ms = 5000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class ConnectWorkers : public ::testing::Test {
 protected:
  void SetUp() override {
    AppFormMain::SetConnectTiming({0, 2, 10});
    ASSERT_TRUE(dialog.Create());  // binds the simulated library, which has no device to announce
    hwnd = dialog.GetSafeHwnd();
    fake::Behaviour b;
    b.values = {{"UniqueDeviceID", L"fake-udid"}, {"DeviceName", L"Fake"}, {"DeviceClass", L"iPhone"}};
    fake::Install(b);  // from here on the window's device calls reach the scripted library
  }
  void TearDown() override {
    fake::OpenGate();
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    WaitQuietly([] { return iTunesDevice::LiveCount() == 0; });
  }
  void Notify(uint32_t message) {
    AMDeviceNotificationInfo info{fake::Handle(1), message};
    ::SendMessageW(hwnd, WM_DEVICE_NOTIFY_MESSAGE, 0, reinterpret_cast<LPARAM>(&info));
  }
  static size_t Registered() { return GetDeviceMgr()->GetDevices().size(); }

  testing_support::SimulatedDeviceFolder devices;  // empty: the simulated library stays quiet
  testing_support::RecordingMessageBoxes boxes;
  AppFormMain dialog;
  HWND hwnd = nullptr;
};

TEST_F(ConnectWorkers, IsInTheWorkerSetWhileItRunsAndGivesOneResult) {
  fake::CloseGate();
  Notify(kAMDeviceAttached);
  ASSERT_TRUE(fake::WaitUntilHeld(1, 5000));
  EXPECT_EQ(dialog.ConnectWorkerCount(), 1u);
  EXPECT_EQ(iTunesDevice::LiveCount(), 1);
  fake::OpenGate();
  ASSERT_TRUE(PumpUntil([&] { return dialog.CurrentDevice() != nullptr; }));
  EXPECT_TRUE(PumpUntil([&] { return dialog.ConnectWorkerCount() == 0; }));
  PumpFor(100);
  EXPECT_EQ(Registered(), 1u);
  EXPECT_EQ(iTunesDevice::LiveCount(), 1);
  EXPECT_TRUE(boxes.boxes.empty());
  Notify(kAMDeviceDetached);
  EXPECT_EQ(Registered(), 0u);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
}

TEST_F(ConnectWorkers, DetachWhileTheWorkerIsInTheLibrary) {
  fake::CloseGate();
  Notify(kAMDeviceAttached);
  ASSERT_TRUE(fake::WaitUntilHeld(1, 5000));
  Notify(kAMDeviceDetached);  // the worker is cancelled; its device is not the window's yet
  fake::OpenGate();
  ASSERT_TRUE(PumpUntil([&] { return dialog.ConnectWorkerCount() == 0 && iTunesDevice::LiveCount() == 0; }));
  PumpFor(100);
  EXPECT_EQ(Registered(), 0u);
  EXPECT_EQ(dialog.CurrentDevice(), nullptr);
  EXPECT_TRUE(boxes.boxes.empty()) << "a device unplugged while connecting is no failure to report";
}

TEST_F(ConnectWorkers, DetachBetweenTheResultAndItsHandling) {
  Notify(kAMDeviceAttached);
  // The worker connects, posts its result and ends; the result waits in the queue.
  ASSERT_TRUE(WaitQuietly([&] { return dialog.ConnectWorkerCount() == 0; }));
  EXPECT_EQ(iTunesDevice::LiveCount(), 1);
  Notify(kAMDeviceDetached);
  PumpFor(100);  // now the result arrives, for a device that has gone
  EXPECT_EQ(Registered(), 0u);
  EXPECT_EQ(dialog.CurrentDevice(), nullptr);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ConnectWorkers, FailedConnectGivesOneBox) {
  fake::Current().connect_result = kAMDRecoveryMode;
  Notify(kAMDeviceAttached);
  ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty() && dialog.ConnectWorkerCount() == 0; }));
  PumpFor(100);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kConnectFailed);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
  EXPECT_EQ(Registered(), 0u);
}

TEST_F(ConnectWorkers, WindowClosedWhileTheWorkerIsInTheLibrary) {
  fake::CloseGate();
  Notify(kAMDeviceAttached);
  ASSERT_TRUE(fake::WaitUntilHeld(1, 5000));
  const auto closing = std::chrono::steady_clock::now();
  ::DestroyWindow(hwnd);  // cancels the worker and waits a short while: it stays held
  EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::milliseconds(3000));
  EXPECT_EQ(iTunesDevice::LiveCount(), 1) << "the held worker still has its device";
  fake::OpenGate();
  // Its result reaches no window; the worker destroys the device itself and leaves the set.
  EXPECT_TRUE(WaitQuietly([&] { return iTunesDevice::LiveCount() == 0 && dialog.ConnectWorkerCount() == 0; }));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(Registered(), 0u);
}

}  // namespace
