// The installation code against the simulated device libraries, bound as the program binds them: the
// carrier-bundle install of the write command for every reply style, the package install and uninstall
// workers with their messages, and binary replies written by an independent writer.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "device/DeviceBinding.h"
#include "device/DeviceMgr.h"
#include "device/FakeDeviceLibrary.h"
#include "framework/WorkerThread.h"
#include "device/SimulatedDeviceFolder.h"
#include "device/iTunesDevice.h"
#include "install/CoreFoundationValues.h"
#include "install/DeviceInstallTarget_win.h"
#include "install/InstallMessages_win.h"
#include "install/InstallOperations.h"
#include "install/InstallWorkers_win.h"
#include "install/SocketStream_win.h"
#include "packaging/CarrierTemplates.h"
#include "packaging/ZipWriter.h"
#include "xml/Utf8.h"
#include "support/WinTestSupport.h"

namespace fs = std::filesystem;
using testing_support::Phone;
using testing_support::PumpUntil;

namespace {

std::vector<AMDeviceRef> g_attached;
// Every install-family message the window saw, as text ("upload-begin 3000 0", "install-end 1", ...).
std::vector<std::string> g_events;
std::vector<install::AsyncRequest*> g_finished;

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return s;
}

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  using namespace install;
  if (WM_DEVICE_NOTIFY_MESSAGE != 0 && msg == WM_DEVICE_NOTIFY_MESSAGE) {
    const auto* info = reinterpret_cast<const AMDeviceNotificationInfo*>(lp);
    if (info->message == kAMDeviceAttached) g_attached.push_back(info->device);
    return 0;
  }
  auto progress = [&](const char* what) {
    const auto* p = reinterpret_cast<const TransferProgress*>(lp);
    g_events.push_back(std::string(what) + " " + std::to_string(p->total) + " " + std::to_string(p->done));
  };
  auto status = [&](const char* what) {
    g_events.push_back(std::string(what) + " " + std::to_string(reinterpret_cast<const InstallStatus*>(lp)->percent));
  };
  auto flag = [&](const char* what) { g_events.push_back(std::string(what) + " " + std::to_string(lp)); };
  auto text = [&](const char* what) {
    g_events.push_back(std::string(what) + " " + Narrow(reinterpret_cast<const wchar_t*>(lp)));
  };
  if (msg == WM_APP_UPDATE_BEGIN_MESSAGE) return progress("upload-begin"), 0;
  if (msg == WM_APP_UPDATE_PROGRESS_MESSAGE) return progress("upload-progress"), 0;
  if (msg == WM_APP_UPDATE_END_MESSAGE) return flag("upload-end"), 0;
  if (msg == WM_INSTALL_BEGIN_MESSAGE) return flag("install-begin"), 0;
  if (msg == WM_INSTALL_PROGRESS_MESSAGE) return status("install-progress"), 0;
  if (msg == WM_INSTALL_END_MESSAGE) return flag("install-end"), 0;
  if (msg == WM_INSTALL_ABORT_MESSAGE) return text("install-abort"), 0;
  if (msg == WM_UNINSTALL_BEGIN_MESSAGE) return flag("uninstall-begin"), 0;
  if (msg == WM_UNINSTALL_PROGRESS_MESSAGE) return status("uninstall-progress"), 0;
  if (msg == WM_UNINSTALL_END_MESSAGE) return flag("uninstall-end"), 0;
  if (msg == WM_UNINSTALL_ABORT_MESSAGE) return text("uninstall-abort"), 0;
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void OnFinished(install::AsyncRequest* request) { g_finished.push_back(request); }

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class InstallOnSimulatedDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &SinkProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LogoraInstallSink";
    ::RegisterClassW(&wc);
    sink = ::CreateWindowW(L"LogoraInstallSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(sink, nullptr);
    ASSERT_TRUE(BindDeviceLibrary(sink));
    ASSERT_TRUE(BindCoreFoundation());
    packaging::LoadTemplates();
    g_events.clear();
    g_finished.clear();
  }
  void TearDown() override { ::DestroyWindow(sink); }

  // Plugs a device in under `folder` and waits for its attach notification.
  std::unique_ptr<iTunesDevice> Plug(const std::string& folder, const sim::DeviceDescription& description) {
    const size_t before = g_attached.size();
    if (!devices.Plug(folder, description)) return nullptr;
    if (!PumpUntil([&] { return g_attached.size() > before; })) return nullptr;
    return std::make_unique<iTunesDevice>(g_attached.back());
  }
  fs::path Root(const std::string& folder) const { return devices.root() / folder; }
  std::vector<fs::path> StagedFiles(const std::string& folder) const {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(Root(folder) / "media" / "PublicStaging", ec)) out.push_back(e.path());
    return out;
  }

  testing_support::SimulatedDeviceFolder devices;
  HWND sink = nullptr;
};

const std::wstring kNotForDevice = L"\u5e73\u53f0\u4e0d\u9002\u7528";
const std::wstring kApiError =
    L"\u63a5\u53e3\u5185\u90e8\u9519\u8bef(\u662f\u5378\u8f7d\u6ca1\u5b89\u88c5\u7684\u7a0b\u5e8f\u5417?)";

TEST_F(InstallOnSimulatedDevice, CarrierBundleForEveryReplyStyle) {
  struct Case {
    const char* name;
    std::vector<std::string> settings;
    install::InstallFailure failure;
    std::wstring text;
  } cases[] = {
      {"modern binary", {}, install::InstallFailure::kNone, L""},
      {"modern xml", {"install.format=xml"}, install::InstallFailure::kNone, L""},
      {"streamed binary", {"install.style=streamed"}, install::InstallFailure::kNone, L""},
      {"streamed xml", {"install.style=streamed", "install.format=xml"}, install::InstallFailure::kNone, L""},
      {"not for this device", {"install.style=streamed", "install.error=DeviceFamilyNotSupported"},
       install::InstallFailure::kServiceError, kNotForDevice},
      {"internal error", {"install.error=APIInternalError"}, install::InstallFailure::kServiceError, kApiError},
      {"closed mid-install", {"install.style=streamed", "install.close_after=3"},
       install::InstallFailure::kConnectionLost, L""},
      {"locked device", {"pairing=PasswordProtected"}, install::InstallFailure::kFileService, L""},
  };
  const packaging::TemplateBytes bundle = packaging::CachedTemplate(packaging::Carrier::kUnicom);
  ASSERT_FALSE(bundle.empty());
  int n = 0;
  for (const Case& c : cases) {
    const std::string folder = "phone" + std::to_string(n++);
    sim::DeviceDescription d = Phone(c.name, "udid" + folder);
    for (const std::string& s : c.settings) {
      const size_t eq = s.find('=');
      ASSERT_TRUE(sim::ApplySetting(d, s.substr(0, eq), s.substr(eq + 1))) << s;
    }
    d.install.keepStaged = true;  // the program removes what it staged itself
    std::unique_ptr<iTunesDevice> device = Plug(folder, d);
    ASSERT_NE(device, nullptr) << c.name;
    install::DeviceInstallTarget target(*device);
    const install::InstallOutcome outcome = install::InstallCarrierBundle(target, bundle.data, bundle.size);
    EXPECT_EQ(outcome.failure, c.failure) << c.name;
    EXPECT_EQ(outcome.text, c.text) << c.name;
    const fs::path installed = Root(folder) / "installed" / "CarrierBundles" / "Unicom_cn.bundle";
    if (c.failure == install::InstallFailure::kNone || c.failure == install::InstallFailure::kServiceError) {
      EXPECT_EQ(fs::exists(installed), c.failure == install::InstallFailure::kNone) << c.name;
    }
    EXPECT_TRUE(StagedFiles(folder).empty()) << c.name << ": the staged package is removed";
  }
}

TEST_F(InstallOnSimulatedDevice, DeviceThatStopsAnsweringTimesOut) {
  sim::DeviceDescription d = Phone("Slow", "slow1");
  d.install.replyDelayMs = 20'000;
  std::unique_ptr<iTunesDevice> device = Plug("slow", d);
  ASSERT_NE(device, nullptr);
  const packaging::TemplateBytes bundle = packaging::CachedTemplate(packaging::Carrier::kCmcc);
  install::DeviceInstallTarget target(*device, std::chrono::milliseconds(1500));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(install::InstallCarrierBundle(target, bundle.data, bundle.size).failure,
            install::InstallFailure::kConnectionLost);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(InstallOnSimulatedDevice, UnpluggedDeviceFailsWithoutHanging) {
  std::unique_ptr<iTunesDevice> device = Plug("leaving", Phone("Leaving", "gone1"));
  ASSERT_NE(device, nullptr);
  std::wstring error;
  ASSERT_TRUE(device->Connect(error));
  ASSERT_TRUE(devices.Unplug("leaving"));
  testing_support::PumpFor(300);  // the library notices within its polling period
  const packaging::TemplateBytes bundle = packaging::CachedTemplate(packaging::Carrier::kUnicom);
  install::DeviceInstallTarget target(*device);
  const auto start = std::chrono::steady_clock::now();
  const install::InstallOutcome outcome = install::InstallCarrierBundle(target, bundle.data, bundle.size);
  EXPECT_EQ(outcome.failure, install::InstallFailure::kConnectionLost) << "the device has gone";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// An application package of about `size` bytes: Info.plist naming `id`, and incompressible padding.
fs::path MakeIpa(const fs::path& folder, const std::string& id, size_t padding) {
  fs::create_directories(folder);
  const fs::path plist = folder / "Info.plist";
  WriteAll(plist, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier"
                  "</key><string>" + id + "</string></dict></plist>");
  std::string noise(padding, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  const fs::path pad = folder / "padding.png";
  WriteAll(pad, noise);
  const fs::path ipa = folder / (id + ".ipa");
  packaging::ZipWriterHandle writer;
  EXPECT_EQ(packaging::CreateZipFile(ipa.wstring(), writer), packaging::ZipWriteResult{});
  EXPECT_EQ(packaging::ZipAddFile(writer.get(), plist.wstring(), L"Payload/App.app/Info.plist"),
            packaging::ZipWriteResult{});
  EXPECT_EQ(packaging::ZipAddFile(writer.get(), pad.wstring(), L"Payload/App.app/padding.png"),
            packaging::ZipWriteResult{});
  EXPECT_EQ(packaging::CloseZipWriter(writer), packaging::ZipWriteResult{});
  return ipa;
}

TEST_F(InstallOnSimulatedDevice, PackageWorkerReportsInOrder) {
  iTunesDeviceMgr manager;
  std::unique_ptr<iTunesDevice> device = Plug("worker", Phone("Worker", "w1"));
  ASSERT_NE(device, nullptr);
  for (size_t padding : {size_t{2'700}, size_t{2'000'000}}) {
    const fs::path ipa = MakeIpa(devices.root() / "packages", "com.example.app" + std::to_string(padding), padding);
    const uint64_t size = fs::file_size(ipa);
    g_events.clear();
    g_finished.clear();
    install::AsyncRequest* request = install::InstallAsync(manager, device.get(), ipa.wstring(), sink, 5, OnFinished);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->device_id, L"w1");
    ASSERT_TRUE(PumpUntil([] { return !g_finished.empty(); }, 30'000)) << padding;
    EXPECT_EQ(g_finished[0], request);
    EXPECT_EQ(request->result, 1);
    EXPECT_EQ(request->user_value, 5u);
    EXPECT_EQ(install::ReleaseInstallRequest(request), 1);
    EXPECT_TRUE(PumpUntil([&] { return manager.WorkerCount() == 0; }));

    // Upload: begin, one progress per block (4,096 or 2,048,000 bytes), end; then the install.
    const uint32_t block = install::ChooseChunkSize(size, false);
    std::vector<std::string> expected{"upload-begin " + std::to_string(size) + " 0"};
    for (uint64_t done = block; done < size + block; done += block)
      expected.push_back("upload-progress " + std::to_string(size) + " " + std::to_string(std::min(done, size)));
    expected.push_back("upload-end 1");
    expected.push_back("install-begin 0");
    for (int percent : {5, 15, 20, 20, 30, 40, 50, 60, 70, 80, 90})
      expected.push_back("install-progress " + std::to_string(percent));
    expected.push_back("install-progress 100");
    expected.push_back("install-end 1");
    EXPECT_EQ(g_events, expected) << padding;
    EXPECT_TRUE(fs::exists(Root("worker") / "installed" / "Applications" /
                           ("com.example.app" + std::to_string(padding))));
  }
}

TEST_F(InstallOnSimulatedDevice, WorkersAbortOnceAndFreeTheirRequest) {
  iTunesDeviceMgr manager;
  std::unique_ptr<iTunesDevice> device = Plug("aborts", Phone("Aborts", "a1"));
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(install::InstallAsync(manager, nullptr, L"x.ipa", sink, 0, nullptr), nullptr);
  EXPECT_EQ(install::UninstallAsyncById(manager, L"unknown", L"com.x", sink, 0, nullptr), nullptr);

  // Missing package: one abort, no upload messages; no callback, so the worker frees the request.
  ASSERT_NE(install::InstallAsync(manager, device.get(), L"C:\\no\\such.ipa", sink, 0, nullptr), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return !g_events.empty() && manager.WorkerCount() == 0; }, 10'000));
  EXPECT_EQ(g_events, (std::vector<std::string>{
                          "install-abort " +
                          Narrow(L"\u5b89\u88c5\u5931\u8d25,\u4e0d\u80fd\u6253\u5f00\u6307\u5b9a\u5b89\u88c5"
                                 L"\u5305\u6216\u8005\u5b89\u88c5\u5305\u4e0d\u5b58\u5728!")}));

  // Uninstall of what is not installed: the service's error in the uninstall format.
  g_events.clear();
  install::AsyncRequest* request = install::UninstallAsync(manager, device.get(), L"com.not.there", sink, 0, OnFinished);
  ASSERT_NE(request, nullptr);
  ASSERT_TRUE(PumpUntil([] { return !g_finished.empty(); }, 10'000));
  EXPECT_EQ(install::ReleaseUninstallRequest(request), 0);
  ASSERT_EQ(g_events.size(), 2u);
  EXPECT_EQ(g_events[0], "uninstall-begin 1");
  EXPECT_EQ(g_events[1].rfind("uninstall-abort ", 0), 0u);
}

// Replies written by Python's plistlib (FMT_BINARY), read back through the bound core-foundation library.
TEST_F(InstallOnSimulatedDevice, BinaryRepliesFromAnIndependentWriter) {
  struct Case {
    std::string bplist;
    int32_t percent;
    std::wstring text;
    bool error;
  } cases[] = {
      {std::string("\x62\x70\x6C\x69\x73\x74\x30\x30\xD2\x01\x02\x03\x04\x5F\x10\x0F\x50\x65\x72\x63\x65\x6E\x74\x43"
                   "\x6F\x6D\x70\x6C\x65\x74\x65\x56\x53\x74\x61\x74\x75\x73\x10\x64\x58\x43\x6F\x6D\x70\x6C\x65\x74"
                   "\x65\x08\x0D\x1F\x26\x28\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x05\x00\x00"
                   "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x31", 86),
       100, L"\u5b8c\u6210!", false},
      {std::string("\x62\x70\x6C\x69\x73\x74\x30\x30\xD2\x01\x02\x03\x04\x5F\x10\x0F\x50\x65\x72\x63\x65\x6E\x74\x43"
                   "\x6F\x6D\x70\x6C\x65\x74\x65\x56\x53\x74\x61\x74\x75\x73\x10\x3C\x5F\x10\x15\x49\x6E\x73\x74\x61"
                   "\x6C\x6C\x69\x6E\x67\x41\x70\x70\x6C\x69\x63\x61\x74\x69\x6F\x6E\x08\x0D\x1F\x26\x28\x00\x00\x00"
                   "\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                   "\x00\x00\x00\x00\x40", 101),
       60, L"\u6b63\u5728\u6267\u884c\u5b89\u88c5..", false},
      {std::string("\x62\x70\x6C\x69\x73\x74\x30\x30\xD2\x01\x02\x03\x04\x55\x45\x72\x72\x6F\x72\x5F\x10\x10\x45\x72"
                   "\x72\x6F\x72\x44\x65\x73\x63\x72\x69\x70\x74\x69\x6F\x6E\x5F\x10\x18\x44\x65\x76\x69\x63\x65\x46"
                   "\x61\x6D\x69\x6C\x79\x4E\x6F\x74\x53\x75\x70\x70\x6F\x72\x74\x65\x64\x68\x5E\x73\x53\xF0\x00\x20"
                   "\x00\x26\x00\x20\x00\x3C\x00\x78\x00\x3E\x08\x0D\x13\x26\x41\x00\x00\x00\x00\x00\x00\x01\x01\x00"
                   "\x00\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x52", 119),
       -1, kNotForDevice, true},
      {std::string("\x62\x70\x6C\x69\x73\x74\x30\x30\xD4\x01\x02\x03\x04\x05\x06\x09\x0A\x54\x46\x6C\x61\x67\x54\x4C"
                   "\x69\x73\x74\x5F\x10\x0F\x50\x65\x72\x63\x65\x6E\x74\x43\x6F\x6D\x70\x6C\x65\x74\x65\x56\x53\x74"
                   "\x61\x74\x75\x73\x09\xA2\x07\x08\x10\x01\x58\x43\x6F\x6D\x70\x6C\x65\x74\x65\x10\x32\x5F\x10\x11"
                   "\x43\x72\x65\x61\x74\x69\x6E\x67\x43\x6F\x6E\x74\x61\x69\x6E\x65\x72\x08\x11\x16\x1B\x2D\x34\x35"
                   "\x38\x3A\x43\x45\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x0B\x00\x00\x00\x00"
                   "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x59", 132),
       50, L"\u6b63\u5728\u521b\u5efa\u5bb9\u5668..", false},
  };
  install::CoreFoundationPlistDecoder decoder(CoreFoundationValueTable());
  for (const Case& c : cases) {
    std::string xml;
    ASSERT_TRUE(decoder.ToXml(reinterpret_cast<const uint8_t*>(c.bplist.data()), c.bplist.size(), xml));
    install::InstallStatus status;
    install::ParseInstallStatus(xml::Utf8ToWide(xml), status);
    EXPECT_EQ(status.percent, c.percent) << xml;
    EXPECT_EQ(status.text, c.text) << xml;
    EXPECT_EQ(status.error, c.error) << xml;
  }
}

// The installation service's connection is released once its socket is closed, as the device's copied
// values are; with a secure context the bytes go through the library's own calls, not the raw socket.
std::vector<std::pair<const void*, bool>> g_released;  // the connection, and whether its socket was closed
SOCKET g_socket = INVALID_SOCKET;
void RecordRelease(CFTypeRef value) {
  int type = 0, size = sizeof type;
  const bool closed = ::getsockopt(g_socket, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size) != 0;
  g_released.push_back({value, closed});
}
std::string g_secure_sent;
int32_t RecordSecureSend(AMDServiceConnectionRef, const void* data, size_t length) {
  g_secure_sent.append(static_cast<const char*>(data), length);
  return static_cast<int32_t>(length);
}
int32_t SecureReceiveNothing(AMDServiceConnectionRef, void*, size_t) { return 0; }

TEST(ServiceConnection, IsReleasedAfterItsSocketAndSecureBytesUseTheLibraryCalls) {
  WSADATA wsa;
  ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  CoreFoundationFunctions& cf = CoreFoundationTable();
  const CoreFoundationFunctions saved = cf;
  cf.CFRelease = &RecordRelease;
  MobileDeviceFunctions md;
  md.AMDServiceConnectionSend = &RecordSecureSend;
  md.AMDServiceConnectionReceive = &SecureReceiveNothing;
  const auto connection = reinterpret_cast<AMDServiceConnectionRef>(0x5C0);
  for (bool secure : {false, true}) {
    g_released.clear();
    g_secure_sent.clear();
    g_socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(g_socket, INVALID_SOCKET);
    {
      install::SocketStream stream(g_socket, connection, secure, md, std::chrono::milliseconds(1000));
      const uint8_t bytes[3] = {1, 2, 3};
      if (secure) {
        EXPECT_EQ(stream.Send(bytes, 3), 3);
        uint8_t in[4];
        EXPECT_EQ(stream.Receive(in, 4), 0);
      } else {
        EXPECT_LT(stream.Send(bytes, 3), 0) << "an unconnected socket: the raw socket was used";
      }
      EXPECT_TRUE(g_released.empty());
    }
    ASSERT_EQ(g_released.size(), 1u) << secure;
    EXPECT_EQ(g_released[0].first, connection);
    EXPECT_TRUE(g_released[0].second) << "released after its socket was closed";
    EXPECT_EQ(g_secure_sent, secure ? std::string("\x01\x02\x03", 3) : std::string()) << secure;
  }
  cf = saved;
  ::WSACleanup();
}

// The install workers held inside a scripted library: a worker is in the manager's set for as long as it
// runs (it was put there before it could run) and leaves it when it ends; it reports its failure once and
// frees its request. Without the start delay nothing hides an order of events.
TEST(InstallWorkers, AreInTheSetWhileTheyRunAndReportOnce) {
  install::SetWorkerStartDelayForTesting(0);
  fake::Behaviour b;
  b.values = {{"UniqueDeviceID", L"gated"}};
  b.install_service_ok = false;
  fake::Install(b);
  WNDCLASSW wc{};
  wc.lpfnWndProc = &SinkProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LogoraGatedSink";
  ::RegisterClassW(&wc);
  HWND sink = ::CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  iTunesDeviceMgr manager;
  iTunesDevice device(fake::Handle(7));
  ASSERT_EQ(device.GetUniqueDeviceId(), L"gated");  // read (and connected) before the gate closes
  g_events.clear();

  fake::CloseGate();
  install::AsyncRequest* request = install::UninstallAsync(manager, &device, L"com.x", sink, 3, OnFinished);
  ASSERT_NE(request, nullptr);
  ASSERT_TRUE(fake::WaitUntilHeld(1, 5000));
  EXPECT_EQ(manager.WorkerCount(), 1u) << "in the set while it runs";
  fake::OpenGate();
  ASSERT_TRUE(PumpUntil([&] { return manager.WorkerCount() == 0 && !g_finished.empty(); }));
  EXPECT_EQ(g_finished.back(), request);
  EXPECT_EQ(install::ReleaseUninstallRequest(request), 0);
  ASSERT_EQ(g_events.size(), 1u);
  EXPECT_EQ(g_events[0].rfind("uninstall-abort ", 0), 0u);

  // A worker that cannot be set running is freed at once and leaves nothing in the set.
  fw::WorkerThread::FailResumesForTesting(1);
  EXPECT_EQ(install::InstallAsync(manager, &device, L"x.ipa", sink, 0, nullptr), nullptr);
  EXPECT_EQ(manager.WorkerCount(), 0u);

  // Many workers that end at once: none is left behind in the set.
  g_events.clear();
  for (int i = 0; i < 10; ++i) {
    ASSERT_NE(install::InstallAsync(manager, &device, L"C:\\no\\such.ipa", sink, 0, nullptr), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return manager.WorkerCount() == 0; }));
  }
  testing_support::PumpFor(50);
  EXPECT_EQ(g_events.size(), 10u) << "one abort per worker";
  ::DestroyWindow(sink);
  install::SetWorkerStartDelayForTesting(100);
}

}  // namespace
