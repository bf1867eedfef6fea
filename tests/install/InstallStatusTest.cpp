#include "install/InstallStatus.h"

#include <gtest/gtest.h>

#include "tests/install/Fakes.h"

namespace install {
namespace {

using fakes::ErrorReply;
using fakes::PlistReply;
using fakes::ScriptedStream;
using fakes::StatusReply;

const std::wstring kInstalling = L"\u6b63\u5728\u6267\u884c\u5b89\u88c5..";  // 正在执行安装..
const std::wstring kDone = L"\u5b8c\u6210!";                                // 完成!
const std::wstring kNotForDevice = L"\u5e73\u53f0\u4e0d\u9002\u7528";     // 平台不适用
const std::wstring kApiError =
    L"\u63a5\u53e3\u5185\u90e8\u9519\u8bef(\u662f\u5378\u8f7d\u6ca1\u5b89\u88c5\u7684\u7a0b\u5e8f\u5417?)";

TEST(InstallStatus, ParsesReplies) {
  struct Case {
    const char* name;
    std::string reply;
    int result;
    int32_t percent;
    std::wstring text;
    bool error;
  } cases[] = {
      {"progress", StatusReply("InstallingApplication", 60), 1, 60, kInstalling, false},
      {"complete", StatusReply("Complete"), 1, 100, kDone, false},
      {"unknown status keeps text", StatusReply("Frobnicating", 10), 1, 10, L"prev", false},
      {"goodbye", PlistReply("<key>Request</key><string>Goodbye</string>"), 1, 100, L"Goodbye", false},
      {"other request", PlistReply("<key>Request</key><string>Hello</string>"), 1, -1, L"Hello", false},
      {"known error", ErrorReply("DeviceFamilyNotSupported"), 0, -1, kNotForDevice, true},
      {"api error", ErrorReply("APIInternalError"), 0, -1, kApiError, true},
      {"unknown error", ErrorReply("PackageExtractionFailed"), 0, -1, L"PackageExtractionFailed", true},
      {"error without string", PlistReply("<key>Error</key><integer>3</integer>"), 0, -1, L"prev", true},
      {"error before percent", PlistReply("<key>Error</key><string>X</string><key>PercentComplete</key>"
                                          "<integer>40</integer>"), 0, -1, L"X", true},
      {"percent with junk", PlistReply("<key>PercentComplete</key><integer> 42abc</integer>"), 1, 42, L"prev", false},
      {"percent without digits", PlistReply("<key>PercentComplete</key><integer>abc</integer>"), 1, 0, L"prev",
       false},
      {"negative percent", PlistReply("<key>PercentComplete</key><integer>-5</integer>"), 1, -5, L"prev", false},
      {"huge percent", PlistReply("<key>PercentComplete</key><integer>99999999999</integer>"), 1, INT32_MAX,
       L"prev", false},
      {"other value types skipped",
       PlistReply("<key>Flag</key><true/><key>List</key><array><string>Complete</string></array>"
                  "<key>Status</key><string>CreatingContainer</string>"),
       1, -1, L"\u6b63\u5728\u521b\u5efa\u5bb9\u5668..", false},
      {"not a plist dict", "<plist><array/></plist>", 0, -1, L"prev", false},
      {"empty", "", 0, -1, L"prev", false},
  };
  for (const Case& c : cases) {
    InstallStatus status;
    status.text = L"prev";
    EXPECT_EQ(ParseInstallStatus(xml::Utf8ToWide(c.reply), status), c.result) << c.name;
    EXPECT_EQ(status.percent, c.percent) << c.name;
    EXPECT_EQ(status.text, c.text) << c.name;
    EXPECT_EQ(status.error, c.error) << c.name;
  }
}

class BinaryAsXml : public BinaryPlistDecoder {
 public:
  bool ToXml(const uint8_t* data, size_t length, std::string& xml) override {
    xml.assign(reinterpret_cast<const char*>(data) + 8, length - 8);
    return true;
  }
};

TEST(InstallStatus, ReplyLoopSequences) {
  struct Case {
    const char* name;
    std::vector<std::string> replies;
    int64_t end;  // after the replies: 0 closed, -1 failed
    LoopEnd expected;
    int replies_seen;
    int32_t percent;
    std::wstring text;
  } cases[] = {
      {"streamed then xml complete",
       {StatusReply("TakingInstallLock", 5), StatusReply("InstallingApplication", 60), StatusReply("Complete")}, 0,
       LoopEnd::kFinished, 3, -1, kInstalling},
      {"binary complete with percent", {"bplist00" + StatusReply("Complete", 100)}, 0, LoopEnd::kFinished, 1, 100,
       kDone},
      {"binary complete", {"bplist00" + StatusReply("Complete")}, 0, LoopEnd::kFinished, 1, 100, kDone},
      {"error", {ErrorReply("DeviceFamilyNotSupported"), StatusReply("Complete")}, 0, LoopEnd::kServiceError, 1, -1,
       kNotForDevice},
      {"unknown error", {ErrorReply("MissingPackagePath")}, 0, LoopEnd::kServiceError, 1, -1, L"MissingPackagePath"},
      {"error and percent", {PlistReply("<key>PercentComplete</key><integer>30</integer><key>Error</key>"
                                        "<string>APIInternalError</string>")},
       -1, LoopEnd::kServiceError, 1, 30, kApiError},
      {"goodbye", {PlistReply("<key>Request</key><string>Goodbye</string>"), StatusReply("Complete")}, 0,
       LoopEnd::kFinished, 1, 100, L"Goodbye"},
      {"closed mid-install", {StatusReply("InstallingApplication", 60)}, 0, LoopEnd::kConnectionLost, 2, -1,
       kInstalling},
      {"time-out", {StatusReply("InstallingApplication", 60)}, -1, LoopEnd::kConnectionLost, 2, -1, kInstalling},
      {"junk keeps reading", {"not xml", PlistReply("<key>Foo</key><string>x</string>"), StatusReply("Complete")}, 0,
       LoopEnd::kFinished, 3, -1, L""},
  };
  BinaryAsXml decoder;
  for (const Case& c : cases) {
    ScriptedStream stream;
    for (const std::string& r : c.replies) stream.AddFrame(r);
    stream.end_result = c.end;
    InstallStatus status;
    int seen = 0;
    EXPECT_EQ(ReplyLoop(stream, &decoder, status, [&](const InstallStatus&) { ++seen; }), c.expected) << c.name;
    EXPECT_EQ(seen, c.replies_seen) << c.name;
    EXPECT_EQ(status.percent, c.percent) << c.name;
    EXPECT_EQ(status.text, c.text) << c.name;
  }
}

}  // namespace
}  // namespace install
