#pragma once
// A fresh folder of simulated devices for one test process: the simulated library (bound later in the
// same process) finds it through the environment and looks at it every 20 ms.
#include <windows.h>

#include <filesystem>
#include <string>

#include "simulator/core/DeviceDescription.h"
#include "simulator/core/DeviceFolder.h"

namespace testing_support {

class SimulatedDeviceFolder {
 public:
  SimulatedDeviceFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    root_ = std::filesystem::path(temp) /
            (L"logora-devices-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount()));
    std::filesystem::create_directories(root_);
    ::SetEnvironmentVariableW(L"LOGORA_SIM_DEVICES", root_.wstring().c_str());
    ::SetEnvironmentVariableW(L"LOGORA_SIM_POLL_MS", L"20");
  }
  ~SimulatedDeviceFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  SimulatedDeviceFolder(const SimulatedDeviceFolder&) = delete;
  SimulatedDeviceFolder& operator=(const SimulatedDeviceFolder&) = delete;

  bool Plug(const std::string& folder, const sim::DeviceDescription& description) {
    return sim::PlugDevice(root_, folder, description, true);
  }
  bool Unplug(const std::string& folder) { return sim::UnplugDevice(root_, folder, false); }
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

inline sim::DeviceDescription Phone(const std::string& name, const std::string& udid,
                                    const std::string& device_class = "iPhone") {
  sim::DeviceDescription d;
  d.name = name;
  d.udid = udid;
  d.deviceClass = device_class;
  return d;
}

}  // namespace testing_support
