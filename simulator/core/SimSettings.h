#pragma once
// Where the simulated libraries find their devices, and how often they look. Read, in this order, from the
// environment ("LOGORA_SIM_DEVICES", "LOGORA_SIM_POLL_MS") and, on Windows, from the registry value
// "DeviceFolder" / "PollMs" under "Software\Logora\DeviceSimulator" (current user first, then local machine).
#include <filesystem>

namespace sim {

inline constexpr int kDefaultPollMs = 200;

struct SimSettings {
  std::filesystem::path devicesFolder;  // empty: no devices
  int pollMs = kDefaultPollMs;
};

SimSettings LoadSimSettings();

}  // namespace sim
