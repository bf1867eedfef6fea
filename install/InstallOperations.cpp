#include "install/InstallOperations.h"

#include <exception>

#include "install/Framing.h"
#include "install/Requests.h"
#include "xml/Utf8.h"

namespace install {
namespace {

// Abort texts of the package install.
constexpr wchar_t kInstallNoFileService[] = L"\u5b89\u88c5\u5931\u8d25,\u6253\u5f00AFC\u670d\u52a1\u5931\u8d25!";
constexpr wchar_t kInstallNoSocket[] =
    L"\u5b89\u88c5\u5931\u8d25,\u4e0d\u80fd\u6253\u5f00\u4e0e\u8bbe\u5907\u7684\u8fde\u63a5\u53e5\u67c4!";
constexpr wchar_t kInstallNoLocalFile[] =
    L"\u5b89\u88c5\u5931\u8d25,\u4e0d\u80fd\u6253\u5f00\u6307\u5b9a\u5b89\u88c5\u5305\u6216\u8005\u5b89\u88c5\u5305"
    L"\u4e0d\u5b58\u5728!";
constexpr wchar_t kInstallNoRemoteFile[] =
    L"\u5b89\u88c5\u5931\u8d25,\u4e0d\u80fd\u6253\u5f00\u8bbe\u5907\u4e0a\u6307\u5b9a\u7684\u6587\u4ef6!";
constexpr wchar_t kInstallNoMemory[] = L"\u5b89\u88c5\u5931\u8d25,\u5185\u5b58\u5206\u914d\u5931\u8d25!";
constexpr wchar_t kInstallUploadFailed[] =
    L"\u4e0a\u4f20\u6587\u4ef6\u8fc7\u7a0b\u4e2d\u9047\u5230\u9519\u8bef\uff0c\u5b89\u88c5\u7ec8\u6b62!";
constexpr wchar_t kInstallNotSent[] = L"\u5b89\u88c5\u5931\u8d25,\u670d\u52a1\u6ca1\u6709\u6b63\u786e\u54cd\u5e94!";
constexpr wchar_t kInstallConnectionLost[] = L"\u5b89\u88c5\u5931\u8d25,\u4e0e\u8bbe\u5907\u7684\u8fde\u63a5\u4e2d\u65ad!";
constexpr wchar_t kInstallException[] =
    L"\u5b89\u88c5\u5931\u8d25,\u5b89\u88c5\u8fc7\u7a0b\u53d1\u751f\u4e86\u5f02\u5e38!";

// Abort texts of the uninstall.
constexpr wchar_t kUninstallNoFileService[] =
    L"\u5378\u8f7d\u5931\u8d25,\u65e0\u6cd5\u6b63\u5e38\u542f\u52a8AFC\u670d\u52a1!";
constexpr wchar_t kUninstallNoResponse[] = L"\u5378\u8f7d\u5931\u8d25,\u670d\u52a1\u6ca1\u6709\u6b63\u786e\u54cd\u5e94!";
constexpr wchar_t kUninstallErrorPrefix[] = L"\u5378\u8f7d\u8f7d\u5931\u8d25:";
constexpr wchar_t kUninstallConnectionLost[] =
    L"\u5378\u8f7d\u5931\u8d25,\u4e0e\u8bbe\u5907\u7684\u8fde\u63a5\u4e2d\u65ad!";
constexpr wchar_t kUninstallException[] =
    L"\u5378\u8f7d\u5931\u8d25,\u5378\u8f7d\u8fc7\u7a0b\u53d1\u751f\u4e86\u5f02\u5e38!";

// 与设备的连接已断开,无法确认是否已经安装(设备被拔出?)
constexpr wchar_t kConnectionLostText[] =
    L"\u4e0e\u8bbe\u5907\u7684\u8fde\u63a5\u5df2\u65ad\u5f00,\u65e0\u6cd5\u786e\u8ba4\u662f\u5426"
    L"\u5df2\u7ecf\u5b89\u88c5(\u8bbe\u5907\u88ab\u62d4\u51fa?)";

std::string StagedPath(const std::string& name) { return std::string(kStagingFolder) + name; }

bool SendRequest(ByteStream& stream, const std::string& request) {
  return SendFrame(stream, request.data(), request.size());
}

// Fails every call once the clock has passed the deadline, so that a peer that keeps talking cannot hold
// the caller beyond it.
class DeadlineStream : public ByteStream {
 public:
  DeadlineStream(ByteStream& inner, InstallTarget& clock, std::chrono::steady_clock::time_point deadline)
      : inner_(inner), clock_(clock), deadline_(deadline) {}
  int64_t Send(const uint8_t* data, size_t length) override {
    return Expired() ? -1 : inner_.Send(data, length);
  }
  int64_t Receive(uint8_t* buffer, size_t length) override {
    return Expired() ? -1 : inner_.Receive(buffer, length);
  }

 private:
  bool Expired() { return clock_.Now() >= deadline_; }
  ByteStream& inner_;
  InstallTarget& clock_;
  std::chrono::steady_clock::time_point deadline_;
};

InstallOutcome RunCarrierBundleInstall(InstallTarget& target, const uint8_t* data, size_t length,
                                       std::chrono::steady_clock::duration deadline) {
  const std::chrono::steady_clock::time_point until = target.Now() + deadline;
  if (!target.OpenFileService()) return {InstallFailure::kFileService, {}};
  ServiceStart started = target.StartInstallService(true);
  if (!started.stream) return {started.failure, {}};
  DeadlineStream stream_until(*started.stream, target, until);
  ByteStream* stream = &stream_until;

  const std::string name = MakeStagingName();
  const std::string path = StagedPath(name);
  const std::string request = CarrierBundleInstallRequest(name);
  RemoteFileService& files = target.Files();
  switch (UploadFromMemory(files, path, data, length)) {
    case UploadResult::kOk:
      break;
    case UploadResult::kRemoteOpenFailed:
      return {InstallFailure::kRemoteOpen, {}};
    default:
      return {InstallFailure::kRemoteWrite, {}};
  }
  if (!SendRequest(*stream, request)) {
    files.Remove(path);
    return {InstallFailure::kRequestNotSent, {}};
  }
  InstallStatus status;
  const LoopEnd end = ReplyLoop(*stream, target.Decoder(), status, nullptr);
  files.Remove(path);
  switch (end) {
    case LoopEnd::kFinished:
      return {};
    case LoopEnd::kServiceError:
      return {InstallFailure::kServiceError, status.text};
    default:
      return {InstallFailure::kConnectionLost, {}};
  }
}

int RunPackageInstall(InstallTarget& target, InstallReporter& reporter, const std::wstring& path,
                      const LocalFileOpener& open_local) {
  auto abort = [&](const std::wstring& text) {
    reporter.InstallAbort(text);
    return 0;
  };
  if (!target.OpenFileService()) return abort(kInstallNoFileService);
  ServiceStart started = target.StartInstallService(false);
  if (!started.stream) {
    return abort(started.failure == InstallFailure::kConnectionLost ? kInstallConnectionLost : kInstallNoSocket);
  }
  std::unique_ptr<ByteStream> stream = std::move(started.stream);

  const std::string name = MakeStagingName() + ".ipa";
  const std::string staged = StagedPath(name);
  const std::string request = PackageInstallRequest(name);
  RemoteFileService& files = target.Files();
  std::unique_ptr<LocalFileReader> local = open_local ? open_local(path) : nullptr;
  if (!local) return abort(kInstallNoLocalFile);
  switch (UploadFromFile(files, *local, staged, &reporter)) {
    case UploadResult::kOk:
      break;
    case UploadResult::kRemoteOpenFailed:
      return abort(kInstallNoRemoteFile);
    case UploadResult::kNoMemory:
      return abort(kInstallNoMemory);
    default:
      return abort(kInstallUploadFailed);
  }
  local.reset();

  reporter.InstallBegin();
  if (!SendRequest(*stream, request)) {
    files.Remove(staged);
    return abort(kInstallNotSent);
  }
  InstallStatus status;
  const LoopEnd end = ReplyLoop(*stream, target.Decoder(), status, [&](const InstallStatus& s) {
    if (s.percent != -1) reporter.InstallProgress(s);
  });
  files.Remove(staged);
  if (end == LoopEnd::kServiceError) return abort(status.text);
  if (end == LoopEnd::kConnectionLost) return abort(kInstallConnectionLost);
  reporter.InstallEnd();
  return 1;
}

int RunUninstall(InstallTarget& target, InstallReporter& reporter, const std::wstring& app_id) {
  auto abort = [&](const std::wstring& text) {
    reporter.UninstallAbort(text);
    return 0;
  };
  if (!target.OpenFileService()) return abort(kUninstallNoFileService);
  ServiceStart started = target.StartInstallService(false);
  if (!started.stream) {
    return abort(started.failure == InstallFailure::kConnectionLost ? kUninstallConnectionLost
                                                                      : kUninstallNoResponse);
  }
  std::unique_ptr<ByteStream> stream = std::move(started.stream);
  if (!SendRequest(*stream, UninstallRequest(xml::WideToUtf8(app_id)))) return abort(kUninstallNoResponse);
  reporter.UninstallBegin();
  InstallStatus status;
  const LoopEnd end = ReplyLoop(*stream, target.Decoder(), status, [&](const InstallStatus& s) {
    if (s.percent != -1) reporter.UninstallProgress(s);
  });
  if (end == LoopEnd::kServiceError) return abort(kUninstallErrorPrefix + status.text);
  if (end == LoopEnd::kConnectionLost) return abort(kUninstallConnectionLost);
  reporter.UninstallEnd();
  return 1;
}

}  // namespace

std::wstring DescribeFailure(const InstallOutcome& outcome) {
  switch (outcome.failure) {
    case InstallFailure::kNone:
      return {};
    case InstallFailure::kFileService:
      return L"\u65e0\u6cd5\u6253\u5f00\u8bbe\u5907\u7684\u6587\u4ef6\u670d\u52a1";  // 无法打开设备的文件服务
    case InstallFailure::kNoSocket:
      return L"\u65e0\u6cd5\u8fde\u63a5\u8bbe\u5907\u7684\u5b89\u88c5\u670d\u52a1";  // 无法连接设备的安装服务
    case InstallFailure::kRemoteOpen:
      return L"\u65e0\u6cd5\u5728\u8bbe\u5907\u4e0a\u521b\u5efa\u6587\u4ef6";  // 无法在设备上创建文件
    case InstallFailure::kRemoteWrite:
      return L"\u6587\u4ef6\u6ca1\u6709\u5b8c\u6574\u5199\u5165\u8bbe\u5907";  // 文件没有完整写入设备
    case InstallFailure::kRequestNotSent:
      return L"\u5b89\u88c5\u8bf7\u6c42\u6ca1\u6709\u53d1\u51fa";  // 安装请求没有发出
    case InstallFailure::kServiceError:
      if (!outcome.text.empty()) return outcome.text;
      return L"\u8bbe\u5907\u62d2\u7edd\u4e86\u5b89\u88c5";  // 设备拒绝了安装
    case InstallFailure::kConnectionLost:
      // 与设备的连接已断开,无法确认是否已经安装(设备被拔出?): the device may or may not have installed
      // the bundle before the connection went.
      return kConnectionLostText;
    case InstallFailure::kUnexpected:
    default:
      return L"\u51fa\u73b0\u4e86\u672a\u77e5\u9519\u8bef";  // 出现了未知错误
  }
}

InstallOutcome InstallCarrierBundle(InstallTarget& target, const uint8_t* data, size_t length,
                                    std::chrono::steady_clock::duration deadline) {
  InstallOutcome outcome;
  try {
    outcome = RunCarrierBundleInstall(target, data, length, deadline);
  } catch (const std::exception&) {
    return {InstallFailure::kUnexpected, {}};
  }
  // A step that failed because the device went away is told as what it is.
  const bool could_be_unplug = outcome.failure != InstallFailure::kNone &&
                               outcome.failure != InstallFailure::kServiceError &&
                               outcome.failure != InstallFailure::kConnectionLost;
  if (could_be_unplug && !target.DeviceStillAnswers()) outcome = {InstallFailure::kConnectionLost, {}};
  return outcome;
}

int InstallPackageFile(InstallTarget& target, InstallReporter& reporter, const std::wstring& path,
                       const LocalFileOpener& open_local) {
  try {
    return RunPackageInstall(target, reporter, path, open_local);
  } catch (...) {
    reporter.InstallAbort(kInstallException);
    return 0;
  }
}

int UninstallApplication(InstallTarget& target, InstallReporter& reporter, const std::wstring& app_id) {
  try {
    return RunUninstall(target, reporter, app_id);
  } catch (...) {
    reporter.UninstallAbort(kUninstallException);
    return 0;
  }
}

}  // namespace install
