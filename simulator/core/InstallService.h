#pragma once
// The installation service of a simulated device: turns one request (a property list, XML or binary) into
// the replies the device sends, installing or removing what it is asked to; and the connection loop that
// reads framed requests and writes framed replies (4-byte big-endian length, then the list).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "simulator/core/DeviceDescription.h"
#include "simulator/core/DeviceFolder.h"
#include "simulator/core/ServiceLog.h"
#include "simulator/plist/PlistValue.h"

namespace sim {

// Frames at or above this length are refused (the connection is dropped).
inline constexpr uint32_t kMaxFrameBytes = 16u << 20;

class InstallService {
 public:
  InstallService(DeviceLayout layout, InstallBehaviour behaviour);

  // The replies to one request, in the order they are sent.
  std::vector<plist::Value> Handle(const uint8_t* request, size_t size);
  // A reply as the wire carries it: binary, or XML text when the behaviour asks for it.
  std::vector<uint8_t> Encode(const plist::Value& reply) const;

  const InstallBehaviour& Behaviour() const { return behaviour_; }

 private:
  std::vector<plist::Value> Install(const plist::Value& request);
  std::vector<plist::Value> Uninstall(const plist::Value& request);
  std::vector<plist::Value> Failure(std::vector<plist::Value> replies, const std::string& error,
                                    const std::string& description) const;

  DeviceLayout layout_;
  InstallBehaviour behaviour_;
};

// A byte stream in both directions (the service end of the connection).
class ServiceStream {
 public:
  virtual ~ServiceStream() = default;
  virtual bool ReadExact(uint8_t* buffer, size_t size) = 0;  // false when the peer closed or failed
  virtual bool WriteAll(const uint8_t* data, size_t size) = 0;
};

// Serves requests until the peer closes, a frame is refused, or the behaviour's reply limit is reached.
// `sleep` waits the behaviour's delay before each reply. Every request and reply goes to `log`.
void ServeInstallation(ServiceStream& stream, InstallService& service, ServiceLog& log,
                       const std::function<void(int milliseconds)>& sleep);

}  // namespace sim
