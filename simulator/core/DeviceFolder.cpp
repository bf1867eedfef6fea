#include "simulator/core/DeviceFolder.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace sim {
namespace {

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

std::vector<std::string> Scan(const fs::path& folder, bool pluggedOnly) {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory(ec)) continue;
    std::string name = PathUtf8(it->path().filename());
    if (name.empty() || name[0] == '.') continue;
    DeviceLayout layout{it->path()};
    if (!fs::is_regular_file(layout.Description(), ec)) continue;
    if (pluggedOnly && fs::exists(layout.UnplugFlag(), ec)) continue;
    out.push_back(std::move(name));
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool ValidName(const std::string& name) {
  return !name.empty() && name[0] != '.' && name.find_first_of("/\\:*?\"<>|") == std::string::npos;
}

}  // namespace

fs::path Utf8Path(std::string_view utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string PathUtf8(const fs::path& path) {
  std::u8string s = path.u8string();
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

std::vector<std::string> PluggedDevices(const fs::path& devicesFolder) { return Scan(devicesFolder, true); }
std::vector<std::string> AllDevices(const fs::path& devicesFolder) { return Scan(devicesFolder, false); }

std::optional<DeviceDescription> LoadDescription(const DeviceLayout& layout, std::string* error) {
  std::ifstream in(layout.Description(), std::ios::binary);
  if (!in) {
    if (error) *error = "cannot read " + PathUtf8(layout.Description());
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseDescription(text.str(), error);
}

bool SaveDescription(const DeviceLayout& layout, const DeviceDescription& d, std::string* error) {
  // Written beside and renamed over, so a watcher never reads half a description.
  fs::path tmp = layout.root / ".device.txt.new";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << WriteDescription(d);
    if (!out.flush()) return Fail(error, "cannot write " + PathUtf8(tmp));
  }
  std::error_code ec;
  fs::rename(tmp, layout.Description(), ec);
  if (ec) return Fail(error, "cannot replace " + PathUtf8(layout.Description()) + ": " + ec.message());
  return true;
}

bool PlugDevice(const fs::path& devicesFolder, const std::string& name, const DeviceDescription& d, bool replace,
                std::string* error) {
  if (!ValidName(name)) return Fail(error, "bad device name: " + name);
  std::error_code ec;
  fs::create_directories(devicesFolder, ec);
  DeviceLayout layout{devicesFolder / Utf8Path(name)};
  if (fs::exists(layout.Description(), ec)) {
    if (replace && !SaveDescription(layout, d, error)) return false;
    fs::create_directories(layout.Media(), ec);
    fs::remove(layout.UnplugFlag(), ec);
    if (ec) return Fail(error, "cannot remove " + PathUtf8(layout.UnplugFlag()));
    return true;
  }
  // Built under a hidden name and renamed into place: the watcher sees the device whole or not at all.
  fs::path work = devicesFolder / Utf8Path("." + name + ".new");
  fs::remove_all(work, ec);
  DeviceLayout staging{work};
  fs::create_directories(staging.Media(), ec);
  if (ec) return Fail(error, "cannot create " + PathUtf8(staging.Media()) + ": " + ec.message());
  fs::create_directories(staging.Installed(), ec);
  if (!SaveDescription(staging, d, error)) return false;
  fs::rename(work, layout.root, ec);
  if (ec) {
    fs::remove_all(work, ec);
    return Fail(error, "cannot create " + PathUtf8(layout.root));
  }
  return true;
}

bool UnplugDevice(const fs::path& devicesFolder, const std::string& name, bool remove, std::string* error) {
  if (!ValidName(name)) return Fail(error, "bad device name: " + name);
  DeviceLayout layout{devicesFolder / Utf8Path(name)};
  std::error_code ec;
  if (!fs::exists(layout.root, ec)) return Fail(error, "no device " + name);
  if (remove) {
    fs::remove_all(layout.root, ec);
    if (ec) return Fail(error, "cannot remove " + PathUtf8(layout.root) + ": " + ec.message());
    return true;
  }
  std::ofstream flag(layout.UnplugFlag(), std::ios::binary | std::ios::trunc);
  if (!flag) return Fail(error, "cannot write " + PathUtf8(layout.UnplugFlag()));
  return true;
}

}  // namespace sim
