#include "simulator/core/SimDevice.h"

#include <fstream>

#include "simulator/core/SimErrors.h"

namespace sim {
namespace {

int32_t RefusalCode(const std::string& pairing) {
  if (pairing == "PasswordProtected") return kErrPasswordProtected;
  if (pairing == "PairingDialogResponsePending") return kErrPairingDialogResponsePending;
  if (pairing == "UserDeniedPairing") return kErrUserDeniedPairing;
  return kErrNotPaired;  // InvalidHostID
}

}  // namespace

SimDevice::SimDevice(std::string folderName, DeviceLayout layout, DeviceDescription description)
    : folderName_(std::move(folderName)), layout_(std::move(layout)), description_(std::move(description)) {
  paired_ = description_.pairing == "paired";
  connectFailuresLeft_ = description_.connectFailures;
  pairRefusalsLeft_ = IsPairingRefusal(description_.pairing) ? description_.pairFailures : 0;
  sessionFailuresLeft_ = description_.sessionFailures;
  sessionsBeforeFailures_ = description_.sessionFailuresAfter;
}

DeviceDescription SimDevice::Description() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return description_;
}

InstallBehaviour SimDevice::CurrentInstallBehaviour() const {
  if (auto d = LoadDescription(layout_)) return d->install;
  std::lock_guard<std::mutex> lock(mutex_);
  return description_.install;
}

int32_t SimDevice::Connect() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_) return kErrDeviceDetached;
  if (description_.recovery) return kRecoveryMode;
  if (connectFailuresLeft_ > 0) {
    --connectFailuresLeft_;
    return kErrConnectFailed;
  }
  connected_ = true;
  return kOk;
}

int32_t SimDevice::Disconnect() {
  std::lock_guard<std::mutex> lock(mutex_);
  connected_ = false;
  inSession_ = false;
  return detached_ ? kErrDeviceDetached : kOk;
}

int32_t SimDevice::IsPaired() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !detached_ && paired_ ? 1 : 0;
}

int32_t SimDevice::Pair() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_) return kErrDeviceDetached;
  if (!connected_) return kErrNotConnected;
  if (pairRefusalsLeft_ != 0) {
    if (pairRefusalsLeft_ > 0) --pairRefusalsLeft_;
    return RefusalCode(description_.pairing);
  }
  paired_ = true;
  return kOk;
}

int32_t SimDevice::ValidatePairing() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_) return kErrDeviceDetached;
  if (!connected_) return kErrNotConnected;
  return paired_ ? kOk : kErrNotPaired;
}

int32_t SimDevice::Unpair() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_) return kErrDeviceDetached;
  if (!connected_) return kErrNotConnected;
  paired_ = false;
  return kOk;
}

int32_t SimDevice::StartSession() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_) return kErrDeviceDetached;
  if (!connected_) return kErrNotConnected;
  if (!paired_) return kErrNotPaired;
  if (sessionsBeforeFailures_ > 0) {
    --sessionsBeforeFailures_;
  } else if (sessionFailuresLeft_ > 0) {
    --sessionFailuresLeft_;
    return kErrSessionFailed;
  }
  inSession_ = true;
  return kOk;
}

int32_t SimDevice::StopSession() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_) return kErrDeviceDetached;
  if (!inSession_) return kErrSessionInactive;
  inSession_ = false;
  return kOk;
}

int32_t SimDevice::CheckServiceStart(std::string_view service) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_) return kErrDeviceDetached;
  if (!connected_) return kErrNotConnected;
  if (!inSession_) return kErrSessionInactive;
  std::string name(service);
  if (description_.failServices.count(name)) return kErrServiceFailed;
  if (name == kFileService || name == kInstallationService) return kOk;
  if (name == kFileService2 && description_.offerAfc2) return kOk;
  return kErrServiceFailed;
}

std::optional<std::string> SimDevice::Value(std::string_view domain, std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (detached_ || !connected_ || !domain.empty()) return std::nullopt;
  std::string k(key);
  if (description_.missing.count(k)) return std::nullopt;
  if (k == "DeviceName") return description_.name;
  if (k == "DeviceClass") return description_.deviceClass;
  if (k == "UniqueDeviceID") return description_.udid.empty() ? folderName_ : description_.udid;
  if (k == "ProductType") return description_.productType;
  if (k == "ProductVersion") return description_.productVersion;
  if (k == "CPUArchitecture") return std::string("arm64");
  if (k == "ActivationState") return std::string("Activated");
  return std::nullopt;
}

std::optional<std::string> SimDevice::Identifier() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (description_.missing.count("UniqueDeviceID")) return std::nullopt;
  return description_.udid.empty() ? folderName_ : description_.udid;
}

void SimDevice::MarkDetached() {
  std::map<int, std::function<void()>> actions;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    detached_ = true;
    connected_ = false;
    inSession_ = false;
    actions.swap(onDetach_);
  }
  for (auto& [key, action] : actions) action();
}

void SimDevice::Unplug() {
  MarkDetached();
  std::ofstream flag(layout_.UnplugFlag());
}

bool SimDevice::UnplugsAt(UnplugPoint::At at, int replies) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return description_.unplugAt.at == at && (at != UnplugPoint::At::Reply || description_.unplugAt.replies == replies);
}

int SimDevice::OnDetach(std::function<void()> action) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!detached_) {
      onDetach_[++nextDetachKey_] = std::move(action);
      return nextDetachKey_;
    }
  }
  action();
  return 0;
}

void SimDevice::ForgetOnDetach(int key) {
  std::lock_guard<std::mutex> lock(mutex_);
  onDetach_.erase(key);
}

bool SimDevice::Detached() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return detached_;
}
bool SimDevice::Connected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connected_;
}
bool SimDevice::InSession() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return inSession_;
}

}  // namespace sim
