#pragma once
// One plugged-in simulated device as the mobile-device library sees it: connection, pairing and session
// state, the behaviours its description asks for, and its values. Thread-safe: the program calls in from
// its window thread and from worker threads.
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "simulator/core/DeviceDescription.h"
#include "simulator/core/DeviceFolder.h"

namespace sim {

inline constexpr char kFileService[] = "com.apple.afc";
inline constexpr char kFileService2[] = "com.apple.afc2";
inline constexpr char kInstallationService[] = "com.apple.mobile.installation_proxy";

class SimDevice {
 public:
  SimDevice(std::string folderName, DeviceLayout layout, DeviceDescription description);

  const std::string& FolderName() const { return folderName_; }
  const DeviceLayout& Layout() const { return layout_; }
  // The description as read when the device was plugged in.
  DeviceDescription Description() const;
  // The installation behaviour as the description on disk says now (so a test may change it between
  // requests); the plug-time one when the file cannot be read.
  InstallBehaviour CurrentInstallBehaviour() const;

  int32_t Connect();
  int32_t Disconnect();
  int32_t IsPaired() const;  // non-zero when paired
  int32_t Pair();
  int32_t ValidatePairing();
  int32_t Unpair();
  int32_t StartSession();
  int32_t StopSession();
  // 0 when `service` may start now: connected, in a session, offered and not failing.
  int32_t CheckServiceStart(std::string_view service);

  // The value of a key in the default domain (domain empty); nothing when the device has none for it or
  // is not connected. Texts are UTF-8.
  std::optional<std::string> Value(std::string_view domain, std::string_view key) const;
  // The unique identifier, connected or not (nothing when the description hides it).
  std::optional<std::string> Identifier() const;

  // The device is gone: every later call on it fails, and what was registered with OnDetach runs (once).
  void MarkDetached();
  // The device pulls its own cable: marks itself detached now and sets its unplugged flag, so that the
  // devices folder says so too and the library announces the detach.
  void Unplug();
  // True when the description asks the device to unplug itself at `at` (for Reply: after `replies`).
  bool UnplugsAt(UnplugPoint::At at, int replies = 0) const;
  // Runs `action` when the device is detached (at once when it already is); the returned key forgets it.
  int OnDetach(std::function<void()> action);
  void ForgetOnDetach(int key);
  bool Detached() const;
  bool Connected() const;
  bool InSession() const;

 private:
  std::string folderName_;
  DeviceLayout layout_;
  DeviceDescription description_;
  mutable std::mutex mutex_;
  bool detached_ = false;
  bool connected_ = false;
  bool paired_ = false;
  bool inSession_ = false;
  int connectFailuresLeft_ = 0;
  int pairRefusalsLeft_ = 0;  // -1: always
  int sessionFailuresLeft_ = 0;
  int sessionsBeforeFailures_ = 0;
  std::map<int, std::function<void()>> onDetach_;
  int nextDetachKey_ = 0;
};

}  // namespace sim
