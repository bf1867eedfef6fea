#pragma once
// The three operations on the installation service: installing a carrier bundle from memory (the write
// command), installing a package file and uninstalling an application (the install workers). Platform-free:
// the device is reached through InstallTarget, progress is told to an InstallReporter.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "install/ByteStream.h"
#include "install/InstallStatus.h"
#include "install/Replies.h"
#include "install/Staging.h"

namespace install {

enum class InstallFailure {
  kNone,
  kFileService,     // the file service could not be opened
  kNoSocket,        // the installation service could not be started
  kRemoteOpen,      // the staging file could not be created
  kRemoteWrite,     // the staging file was not written whole
  kRequestNotSent,
  kServiceError,    // the service answered with an error; `text` holds it
  kConnectionLost,  // the connection ended before the service finished
  kUnexpected,      // out of memory or another exception on the way
};

// The installation service as started: a stream that owns the connection and closes it when destroyed,
// or null and the reason.
struct ServiceStart {
  std::unique_ptr<ByteStream> stream;
  InstallFailure failure = InstallFailure::kNoSocket;  // when `stream` is null
};

// One device as the installation code sees it.
class InstallTarget {
 public:
  virtual ~InstallTarget() = default;
  // Connects when needed and opens the device file service. False when it could not be opened.
  virtual bool OpenFileService() = 0;
  // The file service opened by the last successful OpenFileService.
  virtual RemoteFileService& Files() = 0;
  // Starts the installation service. `persistent` is the form the write command uses.
  virtual ServiceStart StartInstallService(bool persistent) = 0;
  // Decodes binary replies; may be null (binary replies then fail).
  virtual BinaryPlistDecoder* Decoder() = 0;
  // False when the device no longer answers (unplugged): a failure on the way is then a lost connection.
  virtual bool DeviceStillAnswers() = 0;
  virtual std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
};

// How long a whole carrier-bundle install may take, from the start of the upload to the last reply. A
// bundle installs in a few seconds; a device that keeps streaming progress beyond this is given up on.
inline constexpr std::chrono::minutes kCarrierBundleInstallDeadline{3};

struct InstallOutcome {
  InstallFailure failure = InstallFailure::kNone;
  std::wstring text;  // the service's (translated) error text for kServiceError
  explicit operator bool() const { return failure == InstallFailure::kNone; }
};

// A short reason for a failed install, as shown to the user: the service's own text when it gave one.
std::wstring DescribeFailure(const InstallOutcome& outcome);

// Uploads the carrier-bundle package to a fresh staging name and has the service install it. Succeeds
// only when the upload was whole and the service finished without an error, within `deadline` (after it
// the install counts as a lost connection). A failure while the device no longer answers is a lost
// connection too. The staged file is removed once the service has answered. Does not keep `data`.
InstallOutcome InstallCarrierBundle(InstallTarget& target, const uint8_t* data, size_t length,
                                    std::chrono::steady_clock::duration deadline = kCarrierBundleInstallDeadline);

// Receives the steps of the package install and of the uninstall. Every failure is reported exactly once,
// by one abort; the end is reported only on success.
class InstallReporter : public UploadObserver {
 public:
  virtual void InstallBegin() = 0;
  virtual void InstallProgress(const InstallStatus& status) = 0;
  virtual void InstallEnd() = 0;
  virtual void InstallAbort(const std::wstring& text) = 0;
  virtual void UninstallBegin() = 0;
  virtual void UninstallProgress(const InstallStatus& status) = 0;
  virtual void UninstallEnd() = 0;
  virtual void UninstallAbort(const std::wstring& text) = 0;
};

// Opens a local package for reading; null when it cannot be opened.
using LocalFileOpener = std::function<std::unique_ptr<LocalFileReader>(const std::wstring& path)>;

// Uploads the package file at `path` and installs it. Returns 1 on success, 0 on failure.
int InstallPackageFile(InstallTarget& target, InstallReporter& reporter, const std::wstring& path,
                       const LocalFileOpener& open_local);

// Uninstalls the application `app_id`. Returns 1 on success, 0 on failure.
int UninstallApplication(InstallTarget& target, InstallReporter& reporter, const std::wstring& app_id);

}  // namespace install
