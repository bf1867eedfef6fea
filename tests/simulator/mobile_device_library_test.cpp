// The simulated mobile-device library, bound as the program binds it, driving devices of a fresh devices
// folder: notifications, connection and pairing behaviours, the file service and the installation service
// over its real loopback socket.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "device/DeviceBinding.h"
#include "device/SimulatedDeviceFolder.h"
#include "simulator/core/ServiceLog.h"
#include "simulator/core/SimErrors.h"
#include "simulator/plist/BinaryPlist.h"
#include "support/WinTestSupport.h"
#include "tests/simulator/BundleFixtures.h"

namespace {

using testing_support::PumpUntil;

std::vector<AMDeviceNotificationInfo> g_notes;

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (WM_DEVICE_NOTIFY_MESSAGE != 0 && msg == WM_DEVICE_NOTIFY_MESSAGE) {
    g_notes.push_back(*reinterpret_cast<const AMDeviceNotificationInfo*>(lp));
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

const MobileDeviceFunctions& Md() { return MobileDeviceTable(); }
CFStringRef Str(const char* s) { return CoreFoundationTable().__CFStringMakeConstantString(s); }

std::string Text(CFTypeRef value) {
  const auto& cf = CoreFoundationValueTable();
  if (!value || cf.CFGetTypeID(value) != kCFStringTypeID) return "(none)";
  auto s = static_cast<CFStringRef>(value);
  std::u16string u(static_cast<size_t>(cf.CFStringGetLength(s)), u'\0');
  cf.CFStringGetCharacters(s, CFRange{0, static_cast<CFIndex>(u.size())}, reinterpret_cast<UniChar*>(u.data()));
  std::string out;
  for (char16_t c : u) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

class MobileDeviceLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    g_notes.clear();
    WNDCLASSW wc{};
    wc.lpfnWndProc = &SinkProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LogoraSimulatorSink";
    ::RegisterClassW(&wc);
    sink = ::CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(BindDeviceLibrary(sink));
    ASSERT_TRUE(BindCoreFoundation());
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
  }
  void TearDown() override { ::DestroyWindow(sink); }

  AMDeviceRef Plug(const std::string& settings, const std::string& name = "dev") {
    sim::DeviceDescription d;
    d.udid = "00008030-001A" + name;
    std::string why;
    size_t start = 0;
    while (start < settings.size()) {
      size_t nl = settings.find('\n', start);
      std::string line = settings.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
      size_t eq = line.find('=');
      EXPECT_TRUE(sim::ApplySetting(d, line.substr(0, eq), line.substr(eq + 1), &why)) << why;
      start = nl == std::string::npos ? settings.size() : nl + 1;
    }
    size_t before = g_notes.size();
    if (!devices.Plug(name, d)) return nullptr;
    if (!PumpUntil([&] { return g_notes.size() > before; })) return nullptr;
    EXPECT_EQ(g_notes.back().message, kAMDeviceAttached);
    return g_notes.back().device;
  }

  // Connected, paired and in a session.
  AMDeviceRef Ready(const std::string& settings = "", const std::string& name = "dev") {
    AMDeviceRef d = Plug(settings, name);
    EXPECT_NE(d, nullptr);
    EXPECT_EQ(Md().AMDeviceConnect(d), 0);
    EXPECT_EQ(Md().AMDeviceStartSession(d), 0);
    return d;
  }

  AFCConnectionRef OpenFiles(AMDeviceRef d) {
    AMDServiceHandle handle = 0;
    EXPECT_EQ(Md().AMDeviceStartService(d, Str("com.apple.afc"), &handle, nullptr), 0);
    AFCConnectionRef c = nullptr;
    EXPECT_EQ(Md().AFCConnectionOpen(handle, 0, &c), 0);
    return c;
  }

  std::filesystem::path Media(const std::string& name = "dev") { return devices.root() / name / "media"; }

  testing_support::SimulatedDeviceFolder devices;
  HWND sink = nullptr;
};

TEST_F(MobileDeviceLibrary, ConnectPairAndValuesFollowTheDescription) {
  AMDeviceRef d = Plug("connect_failures=1\npairing=UserDeniedPairing\npair_failures=1\nmissing=name\nname=x");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(Md().AMDeviceConnect(d), sim::kErrConnectFailed);
  ASSERT_EQ(Md().AMDeviceConnect(d), 0);
  EXPECT_EQ(Md().AMDeviceIsPaired(d), 0);
  EXPECT_EQ(Md().AMDeviceStartSession(d), sim::kErrNotPaired);
  EXPECT_EQ(Md().AMDevicePair(d), sim::kErrUserDeniedPairing);
  EXPECT_EQ(Md().AMDevicePair(d), 0);
  EXPECT_EQ(Md().AMDeviceValidatePairing(d), 0);
  ASSERT_EQ(Md().AMDeviceStartSession(d), 0);

  CFTypeRef id = Md().AMDeviceCopyValue(d, nullptr, Str("UniqueDeviceID"));
  EXPECT_EQ(Text(id), "00008030-001Adev");
  CoreFoundationTable().CFRelease(id);
  EXPECT_EQ(Md().AMDeviceCopyValue(d, nullptr, Str("DeviceName")), nullptr);
  CFTypeRef cls = Md().AMDeviceCopyValue(d, nullptr, Str("DeviceClass"));
  EXPECT_EQ(Text(cls), "iPhone");
  CoreFoundationTable().CFRelease(cls);
  CFStringRef copied = Md().AMDeviceCopyDeviceIdentifier(d);
  EXPECT_EQ(Text(copied), "00008030-001Adev");
  CoreFoundationTable().CFRelease(copied);
  EXPECT_EQ(Md().AMDeviceStopSession(d), 0);
  EXPECT_EQ(Md().AMDeviceDisconnect(d), 0);
}

TEST_F(MobileDeviceLibrary, RecoveryModeAndRefusedServices) {
  AMDeviceRef recovering = Plug("recovery=1", "rec");
  EXPECT_EQ(Md().AMDeviceConnect(recovering), kAMDRecoveryMode);

  AMDeviceRef d = Ready("fail_services=com.apple.mobile.installation_proxy\nsession_failures=0");
  AMDServiceHandle handle = 0;
  EXPECT_NE(Md().AMDeviceStartService(d, Str("com.apple.afc2"), &handle, nullptr), 0);  // not offered
  AMDServiceConnectionRef connection = nullptr;
  EXPECT_NE(Md().AMDeviceSecureStartService(d, Str("com.apple.mobile.installation_proxy"), nullptr, &connection), 0);
  EXPECT_EQ(Md().AMDServiceConnectionGetSocket(connection), -1);
  EXPECT_EQ(Md().AMDeviceStopSession(d), 0);
  EXPECT_NE(Md().AMDeviceStartService(d, Str("com.apple.afc"), &handle, nullptr), 0);  // no session now
}

TEST_F(MobileDeviceLibrary, FileServiceModesAndRefusals) {
  AFCConnectionRef c = OpenFiles(Ready());
  ASSERT_NE(c, nullptr);
  AFCDictionaryRef info = nullptr;
  EXPECT_NE(Md().AFCFileInfoOpen(c, "/PublicStaging/", &info), 0);
  ASSERT_EQ(Md().AFCDirectoryCreate(c, "/PublicStaging"), 0);
  ASSERT_EQ(Md().AFCFileInfoOpen(c, "/PublicStaging/", &info), 0);
  bool isDir = false;
  char *key = nullptr, *value = nullptr;
  while (Md().AFCKeyValueRead(info, &key, &value) == 0 && key) isDir |= std::string(key) == "st_ifmt" && std::string(value) == "S_IFDIR";
  EXPECT_TRUE(isDir);
  EXPECT_EQ(Md().AFCKeyValueClose(info), 0);
  EXPECT_NE(Md().AFCKeyValueClose(info), 0) << "closed information is refused";

  auto write = [&](uint64_t mode, const char* text, int64_t at) {
    AFCFileRef f = 0;
    EXPECT_EQ(Md().AFCFileRefOpen(c, "/PublicStaging/file", mode, &f), 0);
    EXPECT_EQ(Md().AFCFileRefSeek(c, f, at, 0, 0), 0);
    EXPECT_EQ(Md().AFCFileRefWrite(c, f, text, static_cast<uint32_t>(strlen(text))), 0);
    EXPECT_EQ(Md().AFCFileRefClose(c, f), 0);
  };
  auto content = [&] {
    AFCFileRef f = 0;
    EXPECT_EQ(Md().AFCFileRefOpen(c, "/PublicStaging/file", 1, &f), 0);
    char buf[64];
    uint32_t n = sizeof buf;
    EXPECT_EQ(Md().AFCFileRefRead(c, f, buf, &n), 0);
    Md().AFCFileRefClose(c, f);
    return std::string(buf, n);
  };
  write(3, "abcdef", 0);
  EXPECT_EQ(content(), "abcdef");
  write(2, "XY", 0);
  EXPECT_EQ(content(), "XYcdef") << "mode 2 does not truncate";
  write(2, "Z", 6);
  EXPECT_EQ(content(), "XYcdefZ");
  write(3, "w", 0);
  EXPECT_EQ(content(), "w") << "mode 3 truncates";

  AFCFileRef f = 0;
  EXPECT_NE(Md().AFCFileRefOpen(c, "/../outside", 3, &f), 0);
  EXPECT_NE(Md().AFCFileRefOpen(c, "/PublicStaging/../../outside", 2, &f), 0);
  EXPECT_NE(Md().AFCDirectoryCreate(c, "../up"), 0);
  EXPECT_FALSE(std::filesystem::exists(devices.root() / "dev" / "outside"));

  AFCDirectoryRef dir = nullptr;
  ASSERT_EQ(Md().AFCDirectoryOpen(c, "/PublicStaging", &dir), 0);
  std::vector<std::string> names;
  char* name = nullptr;
  while (Md().AFCDirectoryRead(c, dir, &name) == 0 && name) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "file"}));
  EXPECT_EQ(Md().AFCDirectoryClose(c, dir), 0);
  EXPECT_EQ(Md().AFCRenamePath(c, "/PublicStaging/file", "/PublicStaging/moved"), 0);
  EXPECT_EQ(Md().AFCRemovePath(c, "/PublicStaging/moved"), 0);
  EXPECT_TRUE(std::filesystem::is_empty(Media() / "PublicStaging"));
  EXPECT_EQ(Md().AFCConnectionClose(c), 0);
  EXPECT_NE(Md().AFCDirectoryCreate(c, "/again"), 0) << "a closed connection is refused";
  // ...also once newer connections exist: handles are never reused.
  std::vector<AFCConnectionRef> newer;
  for (int i = 0; i < 5; ++i) newer.push_back(OpenFiles(g_notes.back().device));
  for (AFCConnectionRef n : newer) EXPECT_NE(n, c);
  EXPECT_NE(Md().AFCConnectionClose(c), 0);
  for (AFCConnectionRef n : newer) EXPECT_EQ(Md().AFCConnectionClose(n), 0);
}

// Sends one framed request on `s` and reads framed replies until the service closes the connection or
// says it is done; returns each reply's Status or Error.
std::vector<std::string> Exchange(SOCKET s, const std::string& request, std::vector<bool>* binary = nullptr) {
  uint32_t n = htonl(static_cast<uint32_t>(request.size()));
  EXPECT_EQ(::send(s, reinterpret_cast<const char*>(&n), 4, 0), 4);
  EXPECT_EQ(::send(s, request.data(), static_cast<int>(request.size()), 0), static_cast<int>(request.size()));
  std::vector<std::string> out;
  for (;;) {
    uint32_t len = 0;
    int got = ::recv(s, reinterpret_cast<char*>(&len), 4, MSG_WAITALL);
    if (got != 4) break;
    std::string payload(ntohl(len), '\0');
    if (!payload.empty() && ::recv(s, payload.data(), static_cast<int>(payload.size()), MSG_WAITALL) != static_cast<int>(payload.size())) break;
    auto v = plist::ParseAny(reinterpret_cast<const uint8_t*>(payload.data()), payload.size());
    EXPECT_TRUE(v);
    if (!v) break;
    if (binary) binary->push_back(plist::IsBinaryPlist(reinterpret_cast<const uint8_t*>(payload.data()), payload.size()));
    out.push_back(v->Find("Error") ? "Error:" + v->StringAt("Error") : v->StringAt("Status"));
    if (out.back() == "Complete" || v->Find("Error")) break;
  }
  return out;
}

TEST_F(MobileDeviceLibrary, InstallationServiceExchangeForEachReplyStyle) {
  struct Case {
    const char* settings;
    size_t replies;
    std::string last;
    bool binary;
    bool installed;
  };
  const Case cases[] = {
      {"install.style=modern", 1, "Complete", true, true},
      {"install.style=modern\ninstall.format=xml", 1, "Complete", false, true},
      {"install.style=streamed", 12, "Complete", true, true},
      {"install.style=modern\ninstall.error=DeviceFamilyNotSupported", 1, "Error:DeviceFamilyNotSupported", true, false},
      {"install.style=streamed\ninstall.error=DeviceFamilyNotSupported", 4, "Error:DeviceFamilyNotSupported", true, false},
      {"install.style=streamed\ninstall.close_after=2", 2, "ExtractingPackage", true, true},  // only the replies are cut
      {"install.style=modern\ninstall.reply_delay_ms=30", 1, "Complete", true, true},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    std::string name = "dev" + std::to_string(index++);
    AMDeviceRef d = Ready(c.settings, name);
    AFCConnectionRef files = OpenFiles(d);
    ASSERT_EQ(Md().AFCDirectoryCreate(files, "/PublicStaging/"), 0);
    AFCFileRef f = 0;
    ASSERT_EQ(Md().AFCFileRefOpen(files, "/PublicStaging/12345678", 2, &f), 0);
    std::string zip = fixtures::Zip(fixtures::CarrierBundle());
    ASSERT_EQ(Md().AFCFileRefWrite(files, f, zip.data(), static_cast<uint32_t>(zip.size())), 0);
    ASSERT_EQ(Md().AFCFileRefClose(files, f), 0);

    AMDServiceConnectionRef connection = nullptr;
    ASSERT_EQ(Md().AMDeviceSecureStartService(d, Str("com.apple.mobile.installation_proxy"), nullptr, &connection), 0);
    int32_t socket = Md().AMDServiceConnectionGetSocket(connection);
    ASSERT_NE(socket, 0);
    ASSERT_NE(socket, -1);
    const std::string request = fixtures::CarrierInstallRequest("/PublicStaging/12345678");
    std::vector<bool> binary;
    auto started = std::chrono::steady_clock::now();
    auto replies = Exchange(static_cast<SOCKET>(socket), request, &binary);
    auto elapsed = std::chrono::steady_clock::now() - started;
    ::closesocket(static_cast<SOCKET>(socket));
    ASSERT_EQ(replies.size(), c.replies);
    EXPECT_EQ(replies.back(), c.last);
    for (bool b : binary) EXPECT_EQ(b, c.binary);
    EXPECT_EQ(std::filesystem::exists(devices.root() / name / "installed" / "CarrierBundles" / "Unicom_cn.bundle" /
                                      "Info.plist"),
              c.installed);
    if (std::string(c.settings).find("delay") != std::string::npos) {
      EXPECT_GE(elapsed, std::chrono::milliseconds(30));
    }
    // The log holds the request exactly as sent, then the replies.
    ASSERT_TRUE(PumpUntil([&] {
      auto log = sim::ReadServiceLog(devices.root() / name / "service.log");
      return log && log->size() == 1 + c.replies;
    }));
    auto log = sim::ReadServiceLog(devices.root() / name / "service.log");
    EXPECT_EQ((*log)[0].direction, 'Q');
    EXPECT_EQ(std::string((*log)[0].payload.begin(), (*log)[0].payload.end()), request);
    Md().AFCConnectionClose(files);
  }
}

TEST_F(MobileDeviceLibrary, UnpluggedDeviceIsAnnouncedAndItsHandleRefused) {
  AMDeviceRef d = Ready();
  AFCConnectionRef files = OpenFiles(d);
  ASSERT_TRUE(devices.Unplug("dev"));
  ASSERT_TRUE(PumpUntil([] { return g_notes.size() >= 2; }));
  EXPECT_EQ(g_notes.back().message, kAMDeviceDetached);
  EXPECT_EQ(g_notes.back().device, d);
  EXPECT_NE(Md().AMDeviceConnect(d), 0);
  EXPECT_NE(Md().AMDeviceStartSession(d), 0);
  EXPECT_EQ(Md().AMDeviceCopyValue(d, nullptr, Str("DeviceName")), nullptr);
  EXPECT_NE(Md().AFCDirectoryCreate(files, "/x"), 0);

  // Plugged in again, the device is announced with a fresh handle.
  AMDeviceRef again = Plug("");
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, d);
  EXPECT_EQ(Md().AMDeviceConnect(again), 0);

  // Handles the library never made are refused without being followed.
  int local = 0;
  auto* bogus = reinterpret_cast<AMDeviceRef>(&local);
  EXPECT_NE(Md().AMDeviceConnect(bogus), 0);
  EXPECT_EQ(Md().AMDeviceIsPaired(bogus), 0);
  EXPECT_EQ(Md().AMDeviceCopyValue(bogus, nullptr, Str("DeviceName")), nullptr);
  AFCConnectionRef none = nullptr;
  EXPECT_NE(Md().AFCConnectionOpen(reinterpret_cast<AMDServiceHandle>(&local), 0, &none), 0);
  EXPECT_EQ(Md().AMDServiceConnectionGetSocket(reinterpret_cast<AMDServiceConnectionRef>(&local)), -1);
}

}  // namespace
