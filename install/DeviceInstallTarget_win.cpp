#include "install/DeviceInstallTarget_win.h"

#include <winsock2.h>

#include "device/iTunesDevice.h"
#include "install/SocketStream_win.h"

namespace install {

DeviceInstallTarget::DeviceInstallTarget(iTunesDevice& device, std::chrono::milliseconds reply_timeout)
    : device_(device), reply_timeout_(reply_timeout), decoder_(CoreFoundationValueTable()) {}

bool DeviceInstallTarget::OpenFileService() {
  if (!device_.connected()) {
    std::wstring ignored;
    device_.Connect(ignored);
  }
  return device_.OpenAfc() && device_.afc_connection() != nullptr;
}

RemoteFileService& DeviceInstallTarget::Files() {
  files_.emplace(MobileDeviceTable(), device_.afc_connection());
  return *files_;
}

ServiceStart DeviceInstallTarget::StartInstallService(bool persistent) {
  const InstallServiceConnection c = persistent ? device_.StartInstallProxyPersistent() : device_.StartInstallProxy();
  const MobileDeviceFunctions& md = MobileDeviceTable();
  if (!c) {
    if (c.connection) {
      if (auto release = CoreFoundationTable().CFRelease) release(c.connection);
    }
    return {};
  }
  auto stream = std::make_unique<SocketStream>(static_cast<SOCKET>(c.socket), c.connection, c.secure, md,
                                               reply_timeout_);
  // Plain bytes on a secure connection's socket cannot carry the protocol.
  if (!CanSpeak(c.secure, md)) return {nullptr, InstallFailure::kConnectionLost};
  return {std::move(stream), InstallFailure::kNone};
}

bool DeviceInstallTarget::DeviceStillAnswers() { return device_.StillAnswers(); }

}  // namespace install
