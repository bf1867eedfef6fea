#pragma once
// Service connections of the simulated mobile-device library: a loopback TCP connection whose far end is
// served by a thread of the library, as the device's service would be.
#include <cstdint>

#include "simulator/core/SimDevice.h"

namespace sim {

struct ServiceConnection {
  SimDevice* device = nullptr;
  intptr_t socket = -1;  // the program's end; the program closes it
  // The service reports a secure context: the bytes on the socket are scrambled, so only
  // SecureSend and SecureReceive carry the protocol.
  bool secure = false;
};

// Starts the installation service for `device`: a connected loopback socket pair, the far end served by a
// new thread until the program closes its end or the device is unplugged (which closes the far end at
// once, as a pulled cable drops every connection). Null when no socket could be made.
ServiceConnection* StartInstallationService(SimDevice* device);

// The connection's own channel: what AMDServiceConnectionSend and AMDServiceConnectionReceive do.
int32_t SecureSend(const ServiceConnection& c, const void* data, size_t length);
int32_t SecureReceive(const ServiceConnection& c, void* buffer, size_t length);

}  // namespace sim
