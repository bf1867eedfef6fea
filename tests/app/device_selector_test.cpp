// The device selector in the real main window, against simulated devices plugged and unplugged while it
// runs: the connect workers, the device button, the device menu and the device manager's list.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/AppFormMain.h"
#include "device/DeviceMgr.h"
#include "device/SimulatedDeviceFolder.h"
#include "device/iTunesDevice.h"
#include "framework/WorkerThread.h"
#include "support/WinTestSupport.h"

using testing_support::Phone;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::TextOf;

namespace {

constexpr int kDeviceButton = 1018;
constexpr int kIpadBitmap = 131, kIphoneBitmap = 132;
const wchar_t kNoDeviceText[] = L"没有插入设备";
const wchar_t kConnectFailed[] = L"连接到设备失败!";

std::vector<uint32_t> Pixels(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info)) return {};
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = info.bmWidth;
  bi.bmiHeader.biHeight = -info.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  HDC dc = ::GetDC(nullptr);
  ::GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, dc);
  return pixels;
}

std::vector<uint32_t> ResourcePixels(int id, UINT flags) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags));
  std::vector<uint32_t> pixels = Pixels(bitmap);
  ::DeleteObject(bitmap);
  return pixels;
}

// Watches the window's next pop-up menu: records its items, then closes it or picks an item with the
// keyboard, as a user would.
class MenuSpy {
 public:
  struct Item {
    UINT id;
    std::wstring text;
    std::vector<uint32_t> checked, unchecked;
  };
  explicit MenuSpy(int choose = -1) : choose_(choose) {
    current_ = this;
    hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, &Proc, nullptr, ::GetCurrentThreadId());
  }
  ~MenuSpy() {
    ::UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  bool seen = false;
  std::vector<Item> items;

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && current_ && !current_->seen && cwp->message == WM_INITMENUPOPUP) {
      current_->Record(reinterpret_cast<HMENU>(cwp->wParam), cwp->hwnd);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
  }
  void Record(HMENU menu, HWND owner) {
    seen = true;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      wchar_t text[256] = {};
      MENUITEMINFOW mii{};
      mii.cbSize = sizeof mii;
      mii.fMask = MIIM_ID | MIIM_CHECKMARKS | MIIM_STRING;
      mii.dwTypeData = text;
      mii.cch = 256;
      ::GetMenuItemInfoW(menu, i, TRUE, &mii);
      items.push_back({mii.wID, text, Pixels(mii.hbmpChecked), Pixels(mii.hbmpUnchecked)});
    }
    if (choose_ < 0) {
      ::PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
      for (int i = 0; i <= choose_; ++i) ::PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
      ::PostMessageW(owner, WM_KEYDOWN, VK_RETURN, 0);
    }
  }
  static inline MenuSpy* current_ = nullptr;
  HHOOK hook_ = nullptr;
  int choose_;
};

class DeviceSelector : public ::testing::Test {
 protected:
  void SetUp() override { StartWindow({20, 5, 20}); }
  void StartWindow(const AppFormMain::ConnectTiming& timing) {
    AppFormMain::SetConnectTiming(timing);
    ASSERT_TRUE(dialog.Create());
    hwnd = dialog.GetSafeHwnd();
    button = ::GetDlgItem(hwnd, kDeviceButton);
    ASSERT_FALSE(::IsWindowEnabled(button));
  }
  void TearDown() override {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }

  static size_t Registered() { return GetDeviceMgr()->GetDevices().size(); }
  static iTunesDevice* Registered(const std::string& udid) { return GetDeviceMgr()->GetDevice(udid); }
  bool WaitRegistered(size_t n, int timeout_ms = 5000) {
    return PumpUntil([n] { return Registered() == n; }, timeout_ms);
  }
  bool WaitLive(long n, int timeout_ms = 5000) {
    return PumpUntil([n] { return iTunesDevice::LiveCount() == n; }, timeout_ms);
  }
  // Opens the device menu and lets `spy` handle it; then delivers the command a choice posted.
  void OpenMenu(MenuSpy& spy) {
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(kDeviceButton, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    PumpFor(50);
  }
  void Choose(UINT command) { ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

  testing_support::SimulatedDeviceFolder devices;  // before the window binds the library
  testing_support::RecordingMessageBoxes boxes;
  AppFormMain dialog;
  HWND hwnd = nullptr;
  HWND button = nullptr;
};

TEST_F(DeviceSelector, FirstDeviceToConnectIsCurrentTheSecondOnlyListed) {
  ASSERT_TRUE(devices.Plug("one", Phone("Alpha", "0001")));
  ASSERT_TRUE(devices.Plug("two", Phone("Bravo", "0002")));
  ASSERT_TRUE(WaitRegistered(2));
  iTunesDevice* current = dialog.CurrentDevice();
  ASSERT_TRUE(current == Registered("0001") || current == Registered("0002"));
  EXPECT_EQ(TextOf(button), current->GetDeviceName());
  EXPECT_TRUE(::IsWindowEnabled(button));
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DeviceSelector, MenuListsDevicesByIdentifierWithFittedNamesAndKindBitmaps) {
  // Plugged in the reverse order of their identifiers, one after the other.
  ASSERT_TRUE(devices.Plug("c", Phone("ABCDEFGHIJKLMNOP", "cc")));  // 16 characters
  ASSERT_TRUE(WaitRegistered(1));
  ASSERT_TRUE(devices.Plug("b", Phone("Fourteen chars", "bb", "iPad")));
  ASSERT_TRUE(WaitRegistered(2));
  ASSERT_TRUE(devices.Plug("a", Phone("Phone6", "aa", "iPad Pro")));
  ASSERT_TRUE(WaitRegistered(3));
  EXPECT_EQ(TextOf(button), L"ABCDEFGHIJKLMNOP");  // the first to connect stays current

  MenuSpy spy;
  OpenMenu(spy);
  ASSERT_TRUE(spy.seen);
  ASSERT_EQ(spy.items.size(), 3u);
  const std::vector<uint32_t> ipad = ResourcePixels(kIpadBitmap, LR_DEFAULTCOLOR);
  const std::vector<uint32_t> iphone = ResourcePixels(kIphoneBitmap, LR_DEFAULTCOLOR);
  ASSERT_NE(ipad, iphone);
  const struct {
    UINT id;
    const wchar_t* text;
    const std::vector<uint32_t>* bitmap;
  } expected[] = {
      {40000, L"Phone6                ", &ipad},
      {40001, L"Fourteen chars", &ipad},
      {40002, L"ABCDEFGHIJKL..  ", &iphone},
  };
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(spy.items[i].id, expected[i].id);
    EXPECT_EQ(spy.items[i].text, expected[i].text);
    EXPECT_TRUE(spy.items[i].checked == *expected[i].bitmap);
    EXPECT_TRUE(spy.items[i].unchecked == *expected[i].bitmap);
  }
}

TEST_F(DeviceSelector, ChoosingFromTheMenuMakesThatDeviceCurrent) {
  ASSERT_TRUE(devices.Plug("phone", Phone("Phone", "01")));
  ASSERT_TRUE(WaitRegistered(1));
  ASSERT_TRUE(devices.Plug("tablet", Phone("Tablet", "02", "iPad")));
  ASSERT_TRUE(WaitRegistered(2));
  ASSERT_EQ(dialog.CurrentDevice(), Registered("01"));

  MenuSpy spy(1);
  OpenMenu(spy);
  ASSERT_TRUE(spy.seen);
  ASSERT_TRUE(PumpUntil([&] { return dialog.CurrentDevice() == Registered("02"); }));
  EXPECT_EQ(TextOf(button), L"Tablet");
  // The button shows the tablet's glyph, as the presentation loads it.
  const HBITMAP glyph = reinterpret_cast<HBITMAP>(::SendMessageW(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
  EXPECT_TRUE(Pixels(glyph) == ResourcePixels(kIpadBitmap, LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS));
}

TEST_F(DeviceSelector, MenuChoiceMeansTheDeviceListedWhenTheMenuWasBuilt) {
  ASSERT_TRUE(devices.Plug("b", Phone("Bravo", "bb")));
  ASSERT_TRUE(WaitRegistered(1));
  ASSERT_TRUE(devices.Plug("c", Phone("Charlie", "cc")));
  ASSERT_TRUE(WaitRegistered(2));
  MenuSpy spy;
  OpenMenu(spy);
  ASSERT_EQ(spy.items.size(), 2u);

  // A device that sorts first arrives before the choice is handled.
  ASSERT_TRUE(devices.Plug("a", Phone("Alpha", "aa")));
  ASSERT_TRUE(WaitRegistered(3));
  Choose(40001);
  EXPECT_EQ(dialog.CurrentDevice(), Registered("cc"));
  EXPECT_EQ(TextOf(button), L"Charlie");

  // A device gone since the menu was built is not chosen; nothing changes.
  ASSERT_TRUE(devices.Unplug("b"));
  ASSERT_TRUE(WaitRegistered(2));
  Choose(40000);
  EXPECT_EQ(dialog.CurrentDevice(), Registered("cc"));
  Choose(40002);  // never listed
  EXPECT_EQ(dialog.CurrentDevice(), Registered("cc"));
}

TEST_F(DeviceSelector, UnpluggingKeepsTheButtonUntilTheLastDeviceGoes) {
  ASSERT_TRUE(devices.Plug("one", Phone("One", "1")));
  ASSERT_TRUE(WaitRegistered(1));
  ASSERT_TRUE(devices.Plug("two", Phone("Two", "2")));
  ASSERT_TRUE(WaitRegistered(2));
  ASSERT_EQ(dialog.CurrentDevice(), Registered("1"));

  ASSERT_TRUE(devices.Unplug("one"));
  ASSERT_TRUE(WaitRegistered(1));
  EXPECT_EQ(dialog.CurrentDevice(), nullptr);
  EXPECT_TRUE(::IsWindowEnabled(button));
  EXPECT_EQ(iTunesDevice::LiveCount(), 1);

  ASSERT_TRUE(devices.Unplug("two"));
  ASSERT_TRUE(WaitRegistered(0));
  EXPECT_FALSE(::IsWindowEnabled(button));
  EXPECT_EQ(TextOf(button), kNoDeviceText);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
}

TEST_F(DeviceSelector, ReplugOfTheSameIdentifierReplacesTheDevice) {
  ASSERT_TRUE(devices.Plug("first", Phone("First", "same")));
  ASSERT_TRUE(WaitRegistered(1));
  iTunesDevice* first = dialog.CurrentDevice();
  ASSERT_NE(first, nullptr);

  // The library announces the device again before it reports the old handle gone.
  ASSERT_TRUE(devices.Plug("second", Phone("Second", "same")));
  ASSERT_TRUE(PumpUntil([&] { return Registered("same") != first; }));
  EXPECT_EQ(dialog.CurrentDevice(), Registered("same"));
  EXPECT_EQ(TextOf(button), L"Second");
  EXPECT_EQ(iTunesDevice::LiveCount(), 1);  // the earlier object is gone

  ASSERT_TRUE(devices.Unplug("first"));  // its handle is no longer listed: ignored
  PumpFor(200);
  EXPECT_EQ(Registered(), 1u);
  EXPECT_EQ(dialog.CurrentDevice(), Registered("same"));
  ASSERT_TRUE(devices.Unplug("second"));
  ASSERT_TRUE(WaitRegistered(0));
  EXPECT_EQ(dialog.CurrentDevice(), nullptr);
  EXPECT_FALSE(::IsWindowEnabled(button));
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
}

TEST_F(DeviceSelector, DevicesWithMissingValues) {
  // No identifier: dropped without a word. No name: shown and listed under its identifier.
  sim::DeviceDescription anonymous = Phone("Anonymous", "");
  anonymous.missing.insert("UniqueDeviceID");
  sim::DeviceDescription nameless = Phone("", "0123456789abcdef");
  nameless.missing.insert("DeviceName");
  ASSERT_TRUE(devices.Plug("anonymous", anonymous));
  ASSERT_TRUE(devices.Plug("nameless", nameless));
  ASSERT_TRUE(PumpUntil([] { return Registered() == 1 && iTunesDevice::LiveCount() == 1; }));
  EXPECT_EQ(dialog.CurrentDevice(), Registered("0123456789abcdef"));
  EXPECT_EQ(TextOf(button), L"0123456789abcdef");
  MenuSpy spy;
  OpenMenu(spy);
  ASSERT_EQ(spy.items.size(), 1u);
  EXPECT_EQ(spy.items[0].text, L"0123456789ab..  ");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DeviceSelector, LockedDeviceGivesUpWithOneBox) {
  // A locked phone refuses pairing for as long as it stays locked; its worker still comes to an end.
  sim::DeviceDescription locked = Phone("Locked", "10c4ed");
  locked.pairing = "PasswordProtected";
  ASSERT_TRUE(devices.Plug("locked", locked));
  ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }, 20000));
  PumpFor(200);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kConnectFailed);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
  EXPECT_EQ(Registered(), 0u);
  EXPECT_FALSE(::IsWindowEnabled(button));
}

// A connect worker that cannot be set running leaves nothing behind: no pending device, no worker-set
// entry, no device object; the user is told once, and the next device connects as usual.
TEST_F(DeviceSelector, WorkerThatCannotStartIsReportedAndFreed) {
  fw::WorkerThread::FailResumesForTesting(1);
  ASSERT_TRUE(devices.Plug("unlucky", Phone("Unlucky", "u1")));
  ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }));
  EXPECT_EQ(boxes.boxes[0].text, kConnectFailed);
  EXPECT_EQ(dialog.ConnectWorkerCount(), 0u);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0) << "the worker's function and its device were freed";
  ASSERT_TRUE(devices.Unplug("unlucky"));
  PumpFor(100);
  ASSERT_TRUE(devices.Plug("lucky", Phone("Lucky", "l1")));
  ASSERT_TRUE(WaitRegistered(1));
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(PumpUntil([&] { return dialog.ConnectWorkerCount() == 0; }));
}

class DeviceSelectorSlowStart : public DeviceSelector {
 protected:
  void SetUp() override { StartWindow({5000, 5, 20}); }
};

TEST_F(DeviceSelectorSlowStart, UnplugWhileConnectingDestroysTheDevice) {
  ASSERT_TRUE(devices.Plug("early", Phone("Early", "ea")));
  ASSERT_TRUE(WaitLive(1));  // announced, its worker waiting
  const auto unplugged = std::chrono::steady_clock::now();
  ASSERT_TRUE(devices.Unplug("early"));
  // The worker stops long before its first attempt was due, and the device is destroyed, not listed.
  ASSERT_TRUE(WaitLive(0, 3000));
  EXPECT_LT(std::chrono::steady_clock::now() - unplugged, std::chrono::milliseconds(3000));
  PumpFor(100);
  EXPECT_EQ(Registered(), 0u);
  EXPECT_EQ(dialog.CurrentDevice(), nullptr);
  EXPECT_FALSE(::IsWindowEnabled(button));
  EXPECT_TRUE(boxes.boxes.empty());
}

// Closing the window cancels the workers still connecting and waits for them: none goes on calling the
// device library after the window is gone, and their devices are destroyed by the time it has closed.
TEST_F(DeviceSelectorSlowStart, ClosingTheWindowStopsTheConnectWorkers) {
  ASSERT_TRUE(devices.Plug("one", Phone("One", "w1")));
  ASSERT_TRUE(devices.Plug("two", Phone("Two", "w2")));
  ASSERT_TRUE(WaitLive(2));  // announced, both workers waiting for their first attempt
  ASSERT_EQ(dialog.ConnectWorkerCount(), 2u);
  const auto closing = std::chrono::steady_clock::now();
  ::DestroyWindow(hwnd);
  EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::milliseconds(2000));
  EXPECT_EQ(dialog.ConnectWorkerCount(), 0u);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
  EXPECT_TRUE(boxes.boxes.empty());
}

class DeviceSelectorRealTiming : public DeviceSelector {
 protected:
  void SetUp() override { StartWindow(AppFormMain::ConnectTiming()); }
};

TEST_F(DeviceSelectorRealTiming, DeviceThatNeverConnectsIsReportedOnceAfterItsAttempts) {
  sim::DeviceDescription stuck = Phone("Stuck", "57");
  stuck.recovery = true;
  ASSERT_TRUE(devices.Plug("stuck", stuck));
  ASSERT_TRUE(WaitLive(1));
  const auto attached = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return !boxes.boxes.empty(); }, 15000));
  // 2 s before the first attempt, then five attempts each followed by 1 s.
  EXPECT_GE(std::chrono::steady_clock::now() - attached, std::chrono::milliseconds(6500));
  PumpFor(300);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kConnectFailed);
  EXPECT_EQ(boxes.boxes[0].caption, fw::ExecutableName());
  EXPECT_EQ(boxes.boxes[0].type & 0xF, static_cast<UINT>(MB_OK));
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
  EXPECT_EQ(Registered(), 0u);
  EXPECT_FALSE(::IsWindowEnabled(button));
}

// Three devices plugged and unplugged a hundred times, half of the cycles before they finished connecting:
// nothing crashes, no device object outlives its device, and the button ends disabled.
TEST_F(DeviceSelector, SoakOfPlugAndUnplugCycles) {
  const char* names[] = {"x", "y", "z"};
  for (int cycle = 0; cycle < 100; ++cycle) {
    SCOPED_TRACE(cycle);
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(devices.Plug(names[i], Phone(std::string("Device ") + names[i], std::string("id-") + names[i],
                                               i == 1 ? "iPad" : "iPhone")));
    }
    if (cycle % 2 == 0) {
      ASSERT_TRUE(WaitRegistered(3));
      ASSERT_NE(dialog.CurrentDevice(), nullptr);
      ASSERT_TRUE(::IsWindowEnabled(button));
    } else {
      ASSERT_TRUE(PumpUntil([] { return iTunesDevice::LiveCount() >= 3; }));  // announced, maybe connected
    }
    for (const char* name : names) ASSERT_TRUE(devices.Unplug(name));
    ASSERT_TRUE(WaitLive(0));
    ASSERT_EQ(Registered(), 0u);
  }
  PumpFor(100);
  EXPECT_EQ(iTunesDevice::LiveCount(), 0);
  EXPECT_EQ(dialog.CurrentDevice(), nullptr);
  EXPECT_FALSE(::IsWindowEnabled(button));
  EXPECT_EQ(TextOf(button), kNoDeviceText);
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
