#pragma once
// The device file service through the bound mobile-device table.
#include "device/MobileDeviceFunctions.h"
#include "install/Staging.h"

namespace install {

// Calls the AFC entry points of `md` on `connection`. Neither is owned: both must outlive this object.
class AfcFileService : public RemoteFileService {
 public:
  AfcFileService(const MobileDeviceFunctions& md, AFCConnectionRef connection) : md_(md), connection_(connection) {}

  bool Exists(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool OpenForWriting(const std::string& path, uint64_t& file) override;
  bool Write(uint64_t file, uint64_t offset, const uint8_t* data, uint32_t length) override;
  bool Close(uint64_t file) override;
  bool Remove(const std::string& path) override;

 private:
  const MobileDeviceFunctions& md_;
  AFCConnectionRef connection_;
};

}  // namespace install
