#pragma once
// The devices folder: one subfolder per simulated device. A subfolder holding "device.txt" and no
// "unplugged" flag file is a plugged-in device; names starting with '.' are ignored (work in progress).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/core/DeviceDescription.h"

namespace sim {

namespace fs = std::filesystem;

// Paths from and to UTF-8 text, whatever the platform's narrow code page.
fs::path Utf8Path(std::string_view utf8);
std::string PathUtf8(const fs::path& path);

// Where one device keeps its things.
struct DeviceLayout {
  fs::path root;
  fs::path Description() const { return root / "device.txt"; }
  fs::path UnplugFlag() const { return root / "unplugged"; }
  fs::path Media() const { return root / "media"; }          // what the file service serves
  fs::path Installed() const { return root / "installed"; }  // installed carrier bundles and applications
  fs::path ServiceLog() const { return root / "service.log"; }
};

// Names of the plugged-in devices' folders, sorted.
std::vector<std::string> PluggedDevices(const fs::path& devicesFolder);

// All device folders, plugged in or not, sorted.
std::vector<std::string> AllDevices(const fs::path& devicesFolder);

std::optional<DeviceDescription> LoadDescription(const DeviceLayout& layout, std::string* error = nullptr);
bool SaveDescription(const DeviceLayout& layout, const DeviceDescription& d, std::string* error = nullptr);

// Plugs a device in: creates its folder (description, media folder) in one step, or clears the unplugged
// flag of an existing one (its description is then replaced when `replace` is set).
bool PlugDevice(const fs::path& devicesFolder, const std::string& name, const DeviceDescription& d,
                bool replace, std::string* error = nullptr);

// Unplugs a device: sets its flag, or removes its whole folder when `remove` is set.
bool UnplugDevice(const fs::path& devicesFolder, const std::string& name, bool remove,
                  std::string* error = nullptr);

}  // namespace sim
