#pragma once
// Service connections of the simulated mobile-device library: a loopback TCP connection whose far end is
// served by a thread of the library, as the device's service would be.
#include <cstdint>

#include "simulator/core/SimDevice.h"

namespace sim {

struct ServiceConnection {
  SimDevice* device = nullptr;
  intptr_t socket = -1;  // the program's end; the program closes it
};

// Starts the installation service for `device`: a connected loopback socket pair, the far end served by a
// new thread until the program closes its end. Null when no socket could be made.
ServiceConnection* StartInstallationService(SimDevice* device);

}  // namespace sim
