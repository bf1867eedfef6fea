// The write command in the real main window against simulated devices: the box it shows for every reply
// style, what the device installed, and a write without a device.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/AppFormMain.h"
#include "device/MobileDeviceFunctions.h"
#include "device/SimulatedDeviceFolder.h"
#include "packaging/CarrierTemplates.h"
#include "support/WinTestSupport.h"

namespace fs = std::filesystem;
using testing_support::Phone;
using testing_support::PumpUntil;
using testing_support::RecordingMessageBoxes;

namespace {

constexpr int kWriteButton = 1005;
constexpr int kCmccRadio = 1009;
const std::wstring kNotice = L"\u63d0\u793a";                              // 提示
const std::wstring kTool = L"Logosmith\u5de5\u5177";                        // Logosmith工具
const std::wstring kWritten = L"\u5df2\u7ecf\u5199\u5165!";                 // 已经写入!
const std::wstring kFailed = L"\u5199\u5165\u5931\u8d25!";                  // 写入失败!
const std::wstring kNoDevice = L"\u8bf7\u5148\u63d2\u5165\u8bbe\u5907";    // 请先插入设备
// 与设备的连接已断开,无法确认是否已经安装(设备被拔出?)
const std::wstring kConnectionLost =
    L"\u4e0e\u8bbe\u5907\u7684\u8fde\u63a5\u5df2\u65ad\u5f00,\u65e0\u6cd5\u786e\u8ba4\u662f\u5426"
    L"\u5df2\u7ecf\u5b89\u88c5(\u8bbe\u5907\u88ab\u62d4\u51fa?)";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<fs::path> TempFiles() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::set<fs::path> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(temp, ec)) out.insert(e.path());
  return out;
}

class WriteCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    AppFormMain::SetConnectTiming({20, 5, 20});
    ASSERT_TRUE(dialog.Create());
    hwnd = dialog.GetSafeHwnd();
  }
  void TearDown() override {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }

  // Plugs a device in and waits until the window made it its current device.
  bool PlugAndSelect(const std::string& folder, const sim::DeviceDescription& d) {
    if (!devices.Plug(folder, d)) return false;
    return PumpUntil([&] { return dialog.CurrentDevice() != nullptr; }, 10'000);
  }
  void Unplug(const std::string& folder) {
    devices.Unplug(folder);
    PumpUntil([&] { return dialog.CurrentDevice() == nullptr; }, 10'000);
  }
  void Write() {
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(kWriteButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, kWriteButton)));
  }
  // Plugs in a device described by `settings` ("key=value" each) and waits until it is current.
  bool PlugWith(const std::string& folder, const std::vector<std::string>& settings) {
    sim::DeviceDescription d = Phone(folder, "udid-" + folder);
    for (const std::string& s : settings) {
      const size_t eq = s.find('=');
      if (!sim::ApplySetting(d, s.substr(0, eq), s.substr(eq + 1))) return false;
    }
    return PlugAndSelect(folder, d);
  }
  bool BundleInstalled(const std::string& folder) const {
    std::error_code ec;
    return fs::exists(devices.root() / folder / "installed" / "CarrierBundles" / "Unicom_cn.bundle", ec);
  }
  // The staged names of every install request the device received, in order.
  std::vector<std::string> StagedNames(const std::string& folder) const {
    const std::string log = ReadAll(devices.root() / folder / "service.log");
    std::vector<std::string> names;
    const std::regex staged("/PublicStaging/([0-9]{8})<");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), staged); it != std::sregex_iterator(); ++it)
      names.push_back((*it)[1]);
    return names;
  }

  testing_support::SimulatedDeviceFolder devices;
  RecordingMessageBoxes boxes;
  AppFormMain dialog;
  HWND hwnd = nullptr;
};

TEST_F(WriteCommand, WithoutDeviceAsksForOneAndCreatesNothing) {
  const std::set<fs::path> before = TempFiles();
  Write();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kNoDevice);
  EXPECT_EQ(boxes.boxes[0].caption, kNotice);
  EXPECT_EQ(TempFiles(), before);
}

TEST_F(WriteCommand, BoxForEveryReplyStyle) {
  struct Case {
    const char* name;
    std::vector<std::string> settings;
    std::wstring text;
    std::wstring caption;
  } cases[] = {
      {"modern binary", {}, kWritten, kTool},
      {"streamed", {"install.style=streamed"}, kWritten, kTool},
      {"xml replies", {"install.style=streamed", "install.format=xml"}, kWritten, kTool},
      {"not for this device", {"install.error=DeviceFamilyNotSupported"},
       kFailed + L"\u5e73\u53f0\u4e0d\u9002\u7528", kNotice},
      {"internal error", {"install.error=APIInternalError"},
       kFailed + L"\u63a5\u53e3\u5185\u90e8\u9519\u8bef(\u662f\u5378\u8f7d\u6ca1\u5b89\u88c5\u7684\u7a0b\u5e8f\u5417?)",
       kNotice},
      {"closed mid-install", {"install.style=streamed", "install.close_after=4"}, kFailed + kConnectionLost, kNotice},
      {"secure connection", {"install.secure=1"}, kWritten, kTool},
      {"secure and streamed", {"install.secure=1", "install.style=streamed"}, kWritten, kTool},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string folder = "style" + std::to_string(n++);
    sim::DeviceDescription d = Phone(c.name, "udid-" + folder);
    for (const std::string& s : c.settings) {
      const size_t eq = s.find('=');
      ASSERT_TRUE(sim::ApplySetting(d, s.substr(0, eq), s.substr(eq + 1))) << s;
    }
    ASSERT_TRUE(PlugAndSelect(folder, d)) << c.name;
    boxes.boxes.clear();
    Write();
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.name;
    EXPECT_EQ(boxes.boxes[0].text, c.text) << c.name;
    EXPECT_EQ(boxes.boxes[0].caption, c.caption) << c.name;
    Unplug(folder);
  }
}

TEST_F(WriteCommand, LockedDeviceNeverBecomesCurrent) {
  sim::DeviceDescription d = Phone("Locked", "locked1");
  d.pairing = "PasswordProtected";
  ASSERT_TRUE(devices.Plug("locked", d));
  testing_support::PumpFor(1500);
  boxes.boxes.clear();
  Write();
  ASSERT_FALSE(boxes.boxes.empty());
  EXPECT_EQ(boxes.boxes.back().text, kNoDevice);
}

TEST_F(WriteCommand, InstallsTheSlotPicturesForBothCarriers) {
  ASSERT_TRUE(PlugAndSelect("phone", Phone("Phone", "p1")));
  struct Case {
    packaging::Carrier carrier;
    const char* bundle;
  } cases[] = {{packaging::Carrier::kUnicom, "Unicom_cn.bundle"}, {packaging::Carrier::kCmcc, "CMCC_cn.bundle"}};
  for (const Case& c : cases) {
    if (c.carrier == packaging::Carrier::kCmcc) {
      ::SendMessageW(::GetDlgItem(hwnd, kCmccRadio), BM_CLICK, 0, 0);
      testing_support::PumpFor(100);
    }
    boxes.boxes.clear();
    Write();
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.bundle;
    EXPECT_EQ(boxes.boxes[0].text, kWritten) << c.bundle;
    const fs::path installed = devices.root() / "phone" / "installed" / "CarrierBundles" / c.bundle;
    for (size_t slot = 0; slot < 3; ++slot) {
      const std::string entry = packaging::LogoEntryName(c.carrier, packaging::kLogoVariants[slot]);
      const fs::path logo = installed / entry.substr(entry.find('/', entry.find('/') + 1) + 1);
      const std::string expected = ReadAll(dialog.PicturePaths()[slot]);
      EXPECT_FALSE(expected.empty()) << c.bundle << " slot " << slot;
      EXPECT_EQ(ReadAll(logo), expected) << c.bundle << " " << logo.string();
    }
  }
}

TEST_F(WriteCommand, PackageThatCannotBeBuiltIsAnUnknownError) {
  ASSERT_TRUE(PlugAndSelect("missing", Phone("Missing", "m1")));
  for (bool cmcc : {false, true}) {
    if (cmcc) {
      ::SendMessageW(::GetDlgItem(hwnd, kCmccRadio), BM_CLICK, 0, 0);
      testing_support::PumpFor(100);
    }
    std::error_code ec;
    fs::remove(dialog.PicturePaths()[1], ec);
    boxes.boxes.clear();
    Write();
    ASSERT_EQ(boxes.boxes.size(), 1u) << cmcc;
    EXPECT_EQ(boxes.boxes[0].text, L"\u51fa\u73b0\u4e86\u672a\u77e5\u9519\u8bef!") << cmcc;  // 出现了未知错误!
    EXPECT_EQ(boxes.boxes[0].caption, kNotice);
  }
  EXPECT_TRUE(StagedNames("missing").empty()) << "nothing was sent";
}

// A slot file replaced after it was picked is checked again by the write: what is no PNG file goes
// nowhere, and the user is told what the slot needs.
TEST_F(WriteCommand, SlotPictureChangedSincePickIsRefused) {
  ASSERT_TRUE(PlugAndSelect("changed", Phone("Changed", "c1")));
  for (bool cmcc : {false, true}) {
    if (cmcc) {
      ::SendMessageW(::GetDlgItem(hwnd, kCmccRadio), BM_CLICK, 0, 0);
      testing_support::PumpFor(100);
    }
    {
      std::ofstream replaced(fs::path(dialog.PicturePaths()[2]), std::ios::binary | std::ios::trunc);
      replaced << "GIF89a not a PNG picture";
    }
    boxes.boxes.clear();
    Write();
    ASSERT_EQ(boxes.boxes.size(), 1u) << cmcc;
    EXPECT_EQ(boxes.boxes[0].text, app::kNotAPictureText) << cmcc;
    EXPECT_EQ(boxes.boxes[0].caption, kNotice) << cmcc;
  }
  EXPECT_TRUE(StagedNames("changed").empty()) << "nothing was sent";
}

TEST_F(WriteCommand, TwoWritesInstallTwiceUnderDifferentNames) {
  ASSERT_TRUE(PlugAndSelect("twice", Phone("Twice", "t1")));
  Write();
  Write();
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].text, kWritten);
  EXPECT_EQ(boxes.boxes[1].text, kWritten);
  const std::vector<std::string> names = StagedNames("twice");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_NE(names[0], names[1]);
  std::error_code ec;
  EXPECT_TRUE(fs::is_empty(devices.root() / "twice" / "media" / "PublicStaging", ec)) << "no staged file is left";
}

// A session that fails in the middle of the write reconnects the device; the write goes on with the file
// connection it had opened and installs the bundle, whichever of its sessions failed.
TEST_F(WriteCommand, FailedSessionDuringTheWriteIsRetried) {
  for (int ok_before : {1, 2, 3}) {
    const std::string folder = "session" + std::to_string(ok_before);
    ASSERT_TRUE(PlugWith(folder, {"session_failures=1", "session_failures_after=" + std::to_string(ok_before)}));
    boxes.boxes.clear();
    Write();
    ASSERT_EQ(boxes.boxes.size(), 1u) << ok_before;
    EXPECT_EQ(boxes.boxes[0].text, kWritten) << "sessions before the failure: " << ok_before;
    EXPECT_TRUE(BundleInstalled(folder)) << ok_before;
    Unplug(folder);
  }
}

// A phone unplugged during the write drops every connection at once. Whenever it goes, the write says the
// connection was lost (never that it was written), and the window goes on working.
TEST_F(WriteCommand, UnpluggedDuringTheWriteSaysTheConnectionWasLost) {
  const struct {
    const char* when;
    std::vector<std::string> settings;
  } cases[] = {
      {"before the upload", {"unplug_at=service"}},
      {"during the upload", {"unplug_at=upload"}},
      {"during the replies", {"install.style=streamed", "install.reply_delay_ms=20", "unplug_at=reply:3"}},
      {"during the replies, xml", {"install.style=streamed", "install.format=xml", "unplug_at=reply:1"}},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string folder = "unplug" + std::to_string(n++);
    ASSERT_TRUE(PlugWith(folder, c.settings)) << c.when;
    boxes.boxes.clear();
    Write();
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.when;
    EXPECT_EQ(boxes.boxes[0].text, kFailed + kConnectionLost) << c.when;
    EXPECT_EQ(boxes.boxes[0].caption, kNotice) << c.when;
    // The unplug reaches the window once the write is over.
    EXPECT_TRUE(PumpUntil([&] { return dialog.CurrentDevice() == nullptr; }, 10'000)) << c.when;
  }
  EXPECT_TRUE(::IsWindowEnabled(hwnd));
  ASSERT_TRUE(PlugWith("after", {}));
  boxes.boxes.clear();
  Write();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kWritten);
  EXPECT_TRUE(BundleInstalled("after"));
}

// A connection that reports a secure context cannot be spoken over its raw socket: without the library's
// own send and receive calls the write fails with the lost-connection text and sends nothing.
TEST_F(WriteCommand, SecureConnectionWithoutTheLibraryCallsFails) {
  ASSERT_TRUE(PlugWith("secure", {"install.secure=1"}));
  MobileDeviceFunctions& md = MobileDeviceTable();
  const MobileDeviceFunctions bound = md;
  md.AMDServiceConnectionSend = nullptr;
  md.AMDServiceConnectionReceive = nullptr;
  Write();
  md = bound;
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, kFailed + kConnectionLost);
  EXPECT_TRUE(StagedNames("secure").empty());
  EXPECT_FALSE(BundleInstalled("secure"));
}

}  // namespace
