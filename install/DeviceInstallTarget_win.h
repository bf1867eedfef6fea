#pragma once
// An attached device as the installation code sees it: its file service and installation service through
// the bound device library.
#include <chrono>
#include <memory>
#include <optional>

#include "install/AfcFileService.h"
#include "install/CoreFoundationValues.h"
#include "install/InstallOperations.h"

class iTunesDevice;

namespace install {

// How long a reply may take before the installation counts as failed. A carrier bundle installs in about
// two seconds; an application package takes longer but reports progress well within this.
inline constexpr std::chrono::milliseconds kDefaultReplyTimeout{60'000};

// Uses `device` (not owned; it must outlive this object) on the calling thread.
class DeviceInstallTarget : public InstallTarget {
 public:
  explicit DeviceInstallTarget(iTunesDevice& device, std::chrono::milliseconds reply_timeout = kDefaultReplyTimeout);

  bool OpenFileService() override;
  RemoteFileService& Files() override;
  ServiceStart StartInstallService(bool persistent) override;
  BinaryPlistDecoder* Decoder() override { return &decoder_; }
  bool DeviceStillAnswers() override;

 private:
  iTunesDevice& device_;
  std::chrono::milliseconds reply_timeout_;
  // Rebuilt on every Files(): starting the installation service may reopen the device's file connection.
  std::optional<AfcFileService> files_;
  CoreFoundationPlistDecoder decoder_;
};

}  // namespace install
