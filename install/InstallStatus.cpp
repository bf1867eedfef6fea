#include "install/InstallStatus.h"

#include <climits>

#include "xml/Utf8.h"
#include "xml/XmlDocument.h"

namespace install {
namespace {

struct Mapping {
  std::wstring_view key;
  const wchar_t* text;
};

constexpr Mapping kStatusTexts[] = {
    {L"TakingInstallLock", L"\u9501\u5b9a\u5b89\u88c5\u5305.."},            // 锁定安装包..
    {L"CreatingStagingDirectory", L"\u6b63\u5728\u521b\u5efa\u6587\u4ef6\u5939.."},  // 正在创建文件夹..
    {L"ExtractingPackage", L"\u6b63\u5728\u89e3\u538b\u5b89\u88c5\u5305.."},        // 正在解压安装包..
    {L"InspectingPackage", L"\u6b63\u5728\u68c0\u67e5\u5b89\u88c5\u5305.."},        // 正在检查安装包..
    {L"PreflightingApplication", L"\u6b63\u5728\u68c0\u67e5\u5b89\u88c5\u5305.."},  // 正在检查安装包..
    {L"VerifyingApplication", L"\u6b63\u5728\u9a8c\u8bc1\u7a0b\u5e8f.."},           // 正在验证程序..
    {L"CreatingContainer", L"\u6b63\u5728\u521b\u5efa\u5bb9\u5668.."},              // 正在创建容器..
    {L"InstallingApplication", L"\u6b63\u5728\u6267\u884c\u5b89\u88c5.."},          // 正在执行安装..
    {L"PostflightingApplication", L"\u6b63\u5728\u914d\u7f6e\u5e94\u7528.."},       // 正在配置应用..
    {L"SandboxingApplication", L"\u6b63\u5728\u914d\u7f6e\u5e94\u7528.."},
    {L"GeneratingApplicationMap", L"\u6b63\u5728\u914d\u7f6e\u5e94\u7528.."},
    {L"Complete", L"\u5b8c\u6210!"},                                                // 完成!
    {L"RemovingApplication", L"\u79fb\u9664\u5b89\u88c5"},                          // 移除安装
};

constexpr Mapping kErrorTexts[] = {
    {L"DeviceFamilyNotSupported", L"\u5e73\u53f0\u4e0d\u9002\u7528"},  // 平台不适用
    // 接口内部错误(是卸载没安装的程序吗?)
    {L"APIInternalError", L"\u63a5\u53e3\u5185\u90e8\u9519\u8bef(\u662f\u5378\u8f7d\u6ca1\u5b89\u88c5\u7684\u7a0b\u5e8f\u5417?)"},
};

// Leading white space, an optional sign and the leading digits of the UTF-8 text; 0 without digits.
// Values beyond 32 bits are clamped.
int32_t ParsePercent(const std::wstring& text) {
  const std::string s = xml::WideToUtf8(text);
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > INT32_MAX) value = int64_t{INT32_MAX} + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

const wchar_t* StatusText(std::wstring_view status) {
  for (const Mapping& m : kStatusTexts) {
    if (m.key == status) return m.text;
  }
  return nullptr;
}

std::wstring ErrorText(std::wstring_view error) {
  for (const Mapping& m : kErrorTexts) {
    if (m.key == error) return m.text;
  }
  return std::wstring(error);
}

int ParseInstallStatus(std::wstring_view reply, InstallStatus& status) {
  if (reply.size() > kMaxReplyTextLength) return 0;
  xml::XmlDocument doc;
  doc.LoadText(std::wstring(reply));
  if (!doc.FindNextElement() || !doc.EnterElement() || !doc.FindNextElement(L"dict") || !doc.EnterElement())
    return 0;
  while (doc.FindNextElement(L"key")) {
    const std::wstring key = doc.ElementData();
    if (key == L"Request") {
      if (doc.FindNextElement(L"string")) {
        status.text = doc.ElementData();
        if (status.text == L"Goodbye") status.percent = 100;
      }
    } else if (key == L"PercentComplete") {
      if (doc.FindNextElement(L"integer")) status.percent = ParsePercent(doc.ElementData());
    } else if (key == L"Error") {
      status.error = true;
      if (doc.FindNextElement(L"string")) status.text = ErrorText(doc.ElementData());
      return 0;
    } else if (key == L"Status") {
      if (doc.FindNextElement(L"string")) {
        const std::wstring value = doc.ElementData();
        if (const wchar_t* text = StatusText(value)) status.text = text;
        if (value == L"Complete") status.percent = 100;
      }
    }
  }
  return 1;
}

LoopEnd ReplyLoop(ByteStream& stream, BinaryPlistDecoder* decoder, InstallStatus& status,
                  const std::function<void(const InstallStatus&)>& on_reply) {
  std::wstring received;
  for (;;) {
    status.percent = -1;
    const ReplyRead read = ReceiveReply(stream, decoder, received);
    const std::wstring last = TrimReply(received);
    received.clear();
    if (read == ReplyRead::kMore) ParseInstallStatus(last, status);
    if (on_reply) on_reply(status);
    // The error flag is tested first: a reply carrying both an error and a percent is an error.
    if (status.error) return LoopEnd::kServiceError;
    if (read == ReplyRead::kComplete || status.percent == 100) return LoopEnd::kFinished;
    if (read == ReplyRead::kFailed) return LoopEnd::kConnectionLost;
  }
}

}  // namespace install
