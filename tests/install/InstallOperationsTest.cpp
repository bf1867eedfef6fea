#include "install/InstallOperations.h"

#include <gtest/gtest.h>

#include "install/Framing.h"
#include "install/Requests.h"
#include "tests/install/Fakes.h"

namespace install {
namespace {

using fakes::ErrorReply;
using fakes::FakeTarget;
using fakes::MemoryLocalFile;
using fakes::PlistReply;
using fakes::RecordingReporter;
using fakes::StatusReply;

const std::string kPackage = "PK\x03\x04 carrier bundle bytes";

// The payload of the first frame the operation sent.
std::string SentRequest(const FakeTarget& target) {
  const std::string& sent = target.peer->sent;
  if (sent.size() < 4) return {};
  const size_t n = (size_t{static_cast<uint8_t>(sent[0])} << 24) | (size_t{static_cast<uint8_t>(sent[1])} << 16) |
                   (size_t{static_cast<uint8_t>(sent[2])} << 8) | size_t{static_cast<uint8_t>(sent[3])};
  return sent.substr(4, n);
}

// The staged path the request names.
std::string StagedPathIn(const std::string& request) {
  const size_t at = request.find("/PublicStaging/");
  if (at == std::string::npos) return {};
  return request.substr(at, request.find('<', at) - at);
}

InstallOutcome Install(FakeTarget& target) {
  return InstallCarrierBundle(target, reinterpret_cast<const uint8_t*>(kPackage.data()), kPackage.size());
}

TEST(InstallCarrierBundle, InstallsAndRemovesTheStagedFile) {
  for (bool streamed : {false, true}) {
    FakeTarget target;
    if (streamed) {
      for (auto [s, p] : {std::pair{"TakingInstallLock", 5}, {"InstallingApplication", 60}})
        target.peer->AddFrame(StatusReply(s, p));
    }
    target.peer->AddFrame(StatusReply("Complete"));
    const InstallOutcome outcome = Install(target);
    EXPECT_TRUE(outcome) << streamed;
    EXPECT_TRUE(target.persistent_asked);
    EXPECT_TRUE(target.stream_closed);
    const std::string request = SentRequest(target);
    EXPECT_EQ(request.size(), 497u);
    const std::string staged = StagedPathIn(request);
    ASSERT_EQ(staged.size(), std::string("/PublicStaging/12345678").size()) << request;
    EXPECT_EQ(request, CarrierBundleInstallRequest(staged.substr(15)));
    EXPECT_EQ(target.files.closed[staged], kPackage) << "uploaded whole before the request";
    EXPECT_EQ(target.files.files.count(staged), 0u) << "removed once the service answered";
  }
}

TEST(InstallCarrierBundle, Failures) {
  struct Case {
    const char* name;
    bool file_service_ok;
    bool socket_ok;
    bool fail_open;
    int fail_write_at;
    std::vector<std::string> replies;
    int64_t end;
    InstallFailure failure;
    std::wstring text;
    bool request_sent;
  } cases[] = {
      {"no file service", false, true, false, -1, {}, 0, InstallFailure::kFileService, L"", false},
      {"no socket", true, false, false, -1, {}, 0, InstallFailure::kNoSocket, L"", false},
      {"staging file not opened", true, true, true, -1, {}, 0, InstallFailure::kRemoteOpen, L"", false},
      {"staging file not written", true, true, false, 0, {}, 0, InstallFailure::kRemoteWrite, L"", false},
      {"not for this device", true, true, false, -1, {ErrorReply("DeviceFamilyNotSupported")}, 0,
       InstallFailure::kServiceError, L"\u5e73\u53f0\u4e0d\u9002\u7528", true},
      {"internal error", true, true, false, -1, {PlistReply("<key>Error</key><string>APIInternalError</string>")}, 0,
       InstallFailure::kServiceError,
       L"\u63a5\u53e3\u5185\u90e8\u9519\u8bef(\u662f\u5378\u8f7d\u6ca1\u5b89\u88c5\u7684\u7a0b\u5e8f\u5417?)", true},
      {"closed mid-install", true, true, false, -1, {StatusReply("ExtractingPackage", 15)}, 0,
       InstallFailure::kConnectionLost, L"", true},
      {"device stops answering", true, true, false, -1, {}, -1, InstallFailure::kConnectionLost, L"", true},
  };
  for (const Case& c : cases) {
    FakeTarget target;
    target.file_service_ok = c.file_service_ok;
    target.socket_ok = c.socket_ok;
    target.files.fail_open = c.fail_open;
    target.files.fail_write_at = c.fail_write_at;
    for (const std::string& r : c.replies) target.peer->AddFrame(r);
    target.peer->end_result = c.end;
    const InstallOutcome outcome = Install(target);
    EXPECT_FALSE(outcome) << c.name;
    EXPECT_EQ(outcome.failure, c.failure) << c.name;
    EXPECT_EQ(outcome.text, c.text) << c.name;
    EXPECT_EQ(!target.peer->sent.empty(), c.request_sent) << c.name;
    EXPECT_TRUE(target.files.files.empty()) << c.name << ": no staged file is left behind";
    EXPECT_FALSE(DescribeFailure(outcome).empty()) << c.name;
    if (c.failure == InstallFailure::kServiceError) {
      EXPECT_EQ(DescribeFailure(outcome), c.text) << c.name;
    }
  }
}

// A device that keeps streaming progress is given up on once the whole install has taken too long.
TEST(InstallCarrierBundle, EndlessProgressEndsAtTheDeadline) {
  FakeTarget target;
  target.tick = std::chrono::seconds(1);  // every look at the clock is one second later
  for (int i = 0; i < 1000; ++i) target.peer->AddFrame(StatusReply("InstallingApplication", 60));
  target.peer->AddFrame(StatusReply("Complete"));
  const InstallOutcome outcome = InstallCarrierBundle(
      target, reinterpret_cast<const uint8_t*>(kPackage.data()), kPackage.size(), std::chrono::seconds(120));
  EXPECT_EQ(outcome.failure, InstallFailure::kConnectionLost);
  EXPECT_LT(target.peer->receive_calls, 200) << "the loop stopped near the deadline";
  EXPECT_FALSE(target.peer->incoming.empty());
  EXPECT_TRUE(target.stream_closed);
  EXPECT_TRUE(target.files.files.empty()) << "the staged file is removed";

  FakeTarget quick;
  quick.tick = std::chrono::seconds(1);
  quick.peer->AddFrame(StatusReply("Complete"));
  EXPECT_TRUE(InstallCarrierBundle(quick, reinterpret_cast<const uint8_t*>(kPackage.data()), kPackage.size(),
                                   std::chrono::seconds(120)));
}

// A step that fails because the device was unplugged says the connection was lost; the same failure on a
// device that still answers keeps its own reason.
TEST(InstallCarrierBundle, FailuresOfAGoneDeviceAreALostConnection) {
  struct Case {
    const char* name;
    void (*set_up)(FakeTarget&);
    InstallFailure while_present;
  } cases[] = {
      {"file service", [](FakeTarget& t) { t.file_service_ok = false; }, InstallFailure::kFileService},
      {"service start", [](FakeTarget& t) { t.socket_ok = false; }, InstallFailure::kNoSocket},
      {"staging open", [](FakeTarget& t) { t.files.fail_open = true; }, InstallFailure::kRemoteOpen},
      {"staging write", [](FakeTarget& t) { t.files.fail_write_at = 0; }, InstallFailure::kRemoteWrite},
      {"request", [](FakeTarget& t) { t.peer->fail_send_after = 0; }, InstallFailure::kRequestNotSent},
      {"secure connection without its calls",
       [](FakeTarget& t) {
         t.socket_ok = false;
         t.start_failure = InstallFailure::kConnectionLost;
       },
       InstallFailure::kConnectionLost},
  };
  for (const Case& c : cases) {
    for (bool present : {true, false}) {
      FakeTarget target;
      c.set_up(target);
      target.still_answers = present;
      const InstallOutcome outcome = Install(target);
      EXPECT_EQ(outcome.failure, present ? c.while_present : InstallFailure::kConnectionLost)
          << c.name << (present ? " (present)" : " (gone)");
    }
  }
  FakeTarget refused;
  refused.still_answers = false;
  refused.peer->AddFrame(ErrorReply("DeviceFamilyNotSupported"));
  EXPECT_EQ(Install(refused).failure, InstallFailure::kServiceError) << "the device's own answer stands";
}

// The lost-connection text claims neither outcome: the device may have installed the bundle first.
TEST(InstallCarrierBundle, LostConnectionTextClaimsNoOutcome) {
  const std::wstring text = DescribeFailure({InstallFailure::kConnectionLost, {}});
  EXPECT_NE(text.find(L"\u8fde\u63a5\u5df2\u65ad\u5f00"), std::wstring::npos);  // 连接已断开
  EXPECT_EQ(text.find(L"\u5b8c\u6210\u524d"), std::wstring::npos);              // 完成前
  EXPECT_EQ(text.find(L"\u5931\u8d25"), std::wstring::npos);                     // 失败
}

TEST(InstallCarrierBundle, TwoInstallsUseDifferentNames) {
  std::string first;
  for (int i = 0; i < 2; ++i) {
    FakeTarget target;
    target.peer->AddFrame(StatusReply("Complete"));
    ASSERT_TRUE(Install(target));
    const std::string staged = StagedPathIn(SentRequest(target));
    EXPECT_NE(staged, first);
    first = staged;
  }
}

TEST(InstallPackageFile, ReportsEveryStepInOrder) {
  FakeTarget target;
  for (auto [s, p] : {std::pair{"CreatingStagingDirectory", 5}, {"InstallingApplication", 60}})
    target.peer->AddFrame(StatusReply(s, p));
  target.peer->AddFrame(StatusReply("Complete"));
  RecordingReporter reporter;
  const std::string content(5000, 'z');
  std::wstring opened;
  const int result = InstallPackageFile(target, reporter, L"C:\\pkg.ipa", [&](const std::wstring& path) {
    opened = path;
    return std::make_unique<MemoryLocalFile>(content);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(opened, L"C:\\pkg.ipa");
  EXPECT_EQ(reporter.events,
            (std::vector<std::string>{"upload-begin 5000 0", "upload-progress 5000 5000", "upload-end 1",
                                      "install-begin", "install-progress 5 正在创建文件夹..",
                                      "install-progress 60 正在执行安装..", "install-end"}));
  const std::string request = SentRequest(target);
  EXPECT_EQ(request.size(), 299u);
  const std::string staged = StagedPathIn(request);
  EXPECT_EQ(staged.size(), std::string("/PublicStaging/12345678.ipa").size());
  EXPECT_EQ(target.files.closed[staged], content);
  EXPECT_FALSE(target.persistent_asked);
  EXPECT_TRUE(target.stream_closed);
}

TEST(InstallPackageFile, EachFailureIsReportedOnceByOneAbort) {
  struct Case {
    const char* name;
    bool file_service_ok;
    bool socket_ok;
    bool local_ok;
    int fail_write_at;
    std::vector<std::string> replies;
    std::vector<std::string> events;
  } cases[] = {
      {"no file service", false, true, true, -1, {}, {"install-abort 安装失败,打开AFC服务失败!"}},
      {"no socket", true, false, true, -1, {}, {"install-abort 安装失败,不能打开与设备的连接句柄!"}},
      {"missing package", true, true, false, -1, {}, {"install-abort 安装失败,不能打开指定安装包或者安装包不存在!"}},
      {"write fails", true, true, true, 0, {},
       {"upload-begin 3000 0", "upload-end 0", "install-abort 上传文件过程中遇到错误，安装终止!"}},
      {"service error", true, true, true, -1, {ErrorReply("DeviceFamilyNotSupported")},
       {"upload-begin 3000 0", "upload-progress 3000 3000", "upload-end 1", "install-begin",
        "install-abort 平台不适用"}},
      {"connection lost", true, true, true, -1, {StatusReply("InstallingApplication", 60)},
       {"upload-begin 3000 0", "upload-progress 3000 3000", "upload-end 1", "install-begin",
        "install-progress 60 正在执行安装..", "install-abort 安装失败,与设备的连接中断!"}},
  };
  for (const Case& c : cases) {
    FakeTarget target;
    target.file_service_ok = c.file_service_ok;
    target.socket_ok = c.socket_ok;
    target.files.fail_write_at = c.fail_write_at;
    for (const std::string& r : c.replies) target.peer->AddFrame(r);
    RecordingReporter reporter;
    const int result = InstallPackageFile(target, reporter, L"pkg.ipa", [&](const std::wstring&) {
      return c.local_ok ? std::make_unique<MemoryLocalFile>(std::string(3000, 'a')) : nullptr;
    });
    EXPECT_EQ(result, 0) << c.name;
    EXPECT_EQ(reporter.events, c.events) << c.name;
    EXPECT_TRUE(target.files.files.empty()) << c.name;
    if (c.socket_ok && c.file_service_ok) {
      EXPECT_TRUE(target.stream_closed) << c.name;
    }
  }
}

TEST(UninstallApplication, Outcomes) {
  struct Case {
    const char* name;
    bool file_service_ok;
    bool socket_ok;
    std::vector<std::string> replies;
    int result;
    std::vector<std::string> events;
  } cases[] = {
      {"removed", true, true, {StatusReply("RemovingApplication", 50), StatusReply("Complete")}, 1,
       {"uninstall-begin", "uninstall-progress 50 移除安装", "uninstall-end"}},
      {"not installed", true, true, {ErrorReply("APIInternalError")}, 0,
       {"uninstall-begin", "uninstall-abort 卸载载失败:接口内部错误(是卸载没安装的程序吗?)"}},
      {"no file service", false, true, {}, 0, {"uninstall-abort 卸载失败,无法正常启动AFC服务!"}},
      {"no socket", true, false, {}, 0, {"uninstall-abort 卸载失败,服务没有正确响应!"}},
      {"connection lost", true, true, {}, 0, {"uninstall-begin", "uninstall-abort 卸载失败,与设备的连接中断!"}},
  };
  for (const Case& c : cases) {
    FakeTarget target;
    target.file_service_ok = c.file_service_ok;
    target.socket_ok = c.socket_ok;
    for (const std::string& r : c.replies) target.peer->AddFrame(r);
    RecordingReporter reporter;
    EXPECT_EQ(UninstallApplication(target, reporter, L"com.example.<app>"), c.result) << c.name;
    EXPECT_EQ(reporter.events, c.events) << c.name;
    if (c.socket_ok && c.file_service_ok) {
      EXPECT_EQ(SentRequest(target), UninstallRequest("com.example.<app>"));
    }
  }
}

}  // namespace
}  // namespace install
