#include "install/AfcFileService.h"

namespace install {

bool AfcFileService::Exists(const std::string& path) {
  if (!md_.AFCFileInfoOpen || !connection_) return false;
  AFCDictionaryRef info = nullptr;
  if (md_.AFCFileInfoOpen(connection_, path.c_str(), &info) != kAMDSuccess) return false;
  if (info && md_.AFCKeyValueClose) md_.AFCKeyValueClose(info);
  return true;
}

bool AfcFileService::CreateFolder(const std::string& path) {
  return md_.AFCDirectoryCreate && connection_ && md_.AFCDirectoryCreate(connection_, path.c_str()) == kAMDSuccess;
}

bool AfcFileService::OpenForWriting(const std::string& path, uint64_t& file) {
  if (!md_.AFCFileRefOpen || !connection_) return false;
  AFCFileRef ref = 0;
  // Mode 3 truncates: a smaller package over an older file of the same name must not keep its tail.
  if (md_.AFCFileRefOpen(connection_, path.c_str(), kAFCModeWriteTruncate, &ref) != kAMDSuccess) return false;
  file = ref;
  return true;
}

bool AfcFileService::Write(uint64_t file, uint64_t offset, const uint8_t* data, uint32_t length) {
  if (!md_.AFCFileRefSeek || !md_.AFCFileRefWrite || offset > static_cast<uint64_t>(INT64_MAX)) return false;
  if (md_.AFCFileRefSeek(connection_, file, static_cast<int64_t>(offset), 0, 0) != kAMDSuccess) return false;
  return md_.AFCFileRefWrite(connection_, file, data, length) == kAMDSuccess;
}

bool AfcFileService::Close(uint64_t file) {
  return md_.AFCFileRefClose && md_.AFCFileRefClose(connection_, file) == kAMDSuccess;
}

bool AfcFileService::Remove(const std::string& path) {
  return md_.AFCRemovePath && connection_ && md_.AFCRemovePath(connection_, path.c_str()) == kAMDSuccess;
}

}  // namespace install
