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

std::unique_ptr<ByteStream> DeviceInstallTarget::StartInstallService(bool persistent) {
  const intptr_t socket = persistent ? device_.StartInstallProxyPersistent() : device_.StartInstallProxy();
  if (socket == 0 || socket == -1) return nullptr;
  return std::make_unique<SocketStream>(static_cast<SOCKET>(socket), reply_timeout_);
}

}  // namespace install
