#include <cstdlib>
#include <string>

#include "simulator/core/SimSettings.h"

namespace sim {

SimSettings LoadSimSettings() {
  SimSettings s;
  if (const char* folder = std::getenv("LOGORA_SIM_DEVICES")) s.devicesFolder = folder;
  if (const char* poll = std::getenv("LOGORA_SIM_POLL_MS")) {
    int ms = std::atoi(poll);
    if (ms > 0) s.pollMs = ms;
  }
  return s;
}

}  // namespace sim
