// simdevice: plugs, unplugs, lists and configures the simulated devices.
//   simdevice [--folder DIR] plug [ID] [--name TEXT] [--class iPhone|iPad] [key=value...]
//                                                      plug in a device (created when new; ID names its folder)
//   simdevice [--folder DIR] unplug ID [--remove]      unplug it (--remove deletes its folder)
//   simdevice [--folder DIR] set ID key=value...       change its description
//   simdevice [--folder DIR] list                      list devices
//   simdevice [--folder DIR] log ID                    print its installation-service log
//   simdevice [--folder DIR] reset                     remove every device
//   simdevice [--folder DIR] folder                    print the devices folder in use
// Without --folder the devices folder comes from the simulator's settings (see simulator/README.md).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "simulator/core/DeviceFolder.h"
#include "simulator/core/ServiceLog.h"
#include "simulator/core/SimSettings.h"
#include "simulator/plist/BinaryPlist.h"
#include "simulator/plist/XmlPlist.h"

namespace {

using sim::DeviceDescription;
using sim::DeviceLayout;

int Usage() {
  std::fputs(
      "usage: simdevice [--folder DIR] plug [ID] [--name TEXT] [--class iPhone|iPad] [key=value...]\n"
      "       simdevice [--folder DIR] unplug ID [--remove]\n"
      "       simdevice [--folder DIR] set ID key=value...\n"
      "       simdevice [--folder DIR] list | log ID | reset | folder\n",
      stderr);
  return 2;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "simdevice: %s\n", why.c_str());
  return 1;
}

bool ApplyAll(DeviceDescription& d, const std::vector<std::string>& settings, std::string& error) {
  for (const auto& s : settings) {
    size_t eq = s.find('=');
    if (eq == std::string::npos) {
      error = "expected key=value: " + s;
      return false;
    }
    if (!sim::ApplySetting(d, s.substr(0, eq), s.substr(eq + 1), &error)) return false;
  }
  return true;
}

int Plug(const sim::fs::path& folder, const std::vector<std::string>& args) {
  std::string id;
  std::vector<std::string> settings;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--name" || a == "--class") && i + 1 < args.size()) {
      settings.push_back((a == "--name" ? "name=" : "class=") + args[++i]);
    } else if (a.find('=') != std::string::npos) {
      settings.push_back(a);
    } else if (id.empty() && a.rfind("--", 0) != 0) {
      id = a;
    } else {
      return Usage();
    }
  }
  DeviceDescription d;
  std::string error;
  if (!ApplyAll(d, settings, error)) return Fail(error);
  if (id.empty()) id = d.deviceClass == "iPad" ? "ipad" : "iphone";
  DeviceLayout layout{folder / sim::Utf8Path(id)};
  bool existing = false;
  if (auto current = sim::LoadDescription(layout)) {
    d = *current;
    existing = true;
    if (!ApplyAll(d, settings, error)) return Fail(error);
  } else if (d.deviceClass == "iPad" && d.productType == DeviceDescription().productType) {
    d.productType = "iPad7,5";
    if (d.name == DeviceDescription().name) d.name = "iPad";
  }
  if (d.udid.empty()) d.udid = sim::NewDeviceIdentifier();
  if (!sim::PlugDevice(folder, id, d, existing && !settings.empty(), &error)) return Fail(error);
  std::printf("plugged in %s: %s \"%s\" %s\n", id.c_str(), d.deviceClass.c_str(), d.name.c_str(), d.udid.c_str());
  return 0;
}

int Reset(const sim::fs::path& folder) {
  for (const auto& id : sim::AllDevices(folder)) {
    std::string error;
    if (!sim::UnplugDevice(folder, id, true, &error)) return Fail(error);
  }
  return 0;
}

int Set(const sim::fs::path& folder, const std::string& name, const std::vector<std::string>& settings) {
  DeviceLayout layout{folder / sim::Utf8Path(name)};
  std::string error;
  auto d = sim::LoadDescription(layout, &error);
  if (!d) return Fail(error);
  if (!ApplyAll(*d, settings, error) || !sim::SaveDescription(layout, *d, &error)) return Fail(error);
  return 0;
}

int List(const sim::fs::path& folder) {
  auto plugged = sim::PluggedDevices(folder);
  for (const auto& name : sim::AllDevices(folder)) {
    DeviceLayout layout{folder / sim::Utf8Path(name)};
    std::string error;
    auto d = sim::LoadDescription(layout, &error);
    bool in = std::find(plugged.begin(), plugged.end(), name) != plugged.end();
    if (d) {
      std::printf("%-16s %-9s %-8s %-12s %s  \"%s\"\n", name.c_str(), in ? "plugged" : "unplugged",
                  d->deviceClass.c_str(), d->productType.c_str(), d->udid.c_str(), d->name.c_str());
    } else {
      std::printf("%-16s %-9s (bad description: %s)\n", name.c_str(), in ? "plugged" : "unplugged", error.c_str());
    }
  }
  return 0;
}

int Log(const sim::fs::path& folder, const std::string& name) {
  DeviceLayout layout{folder / sim::Utf8Path(name)};
  auto records = sim::ReadServiceLog(layout.ServiceLog());
  if (!records) return Fail("no readable log at " + sim::PathUtf8(layout.ServiceLog()));
  for (const auto& r : *records) {
    bool binary = plist::IsBinaryPlist(r.payload.data(), r.payload.size());
    std::printf("== %s, %zu bytes%s\n", r.direction == 'Q' ? "request" : "reply", r.payload.size(),
                binary ? ", binary" : "");
    if (binary) {
      auto v = plist::ParseBinary(r.payload.data(), r.payload.size());
      std::fputs(v ? plist::WriteXml(*v).c_str() : "(unreadable binary list)\n", stdout);
    } else {
      std::fwrite(r.payload.data(), 1, r.payload.size(), stdout);
      std::fputs("\n", stdout);
    }
  }
  return 0;
}

int Run(std::vector<std::string> args) {
  sim::fs::path folder;
  if (args.size() >= 2 && args[0] == "--folder") {
    folder = sim::Utf8Path(args[1]);
    args.erase(args.begin(), args.begin() + 2);
  } else {
    folder = sim::LoadSimSettings().devicesFolder;
  }
  if (args.empty()) return Usage();
  if (folder.empty()) return Fail("no devices folder: pass --folder or set LOGORA_SIM_DEVICES");
  std::string cmd = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (cmd == "plug") return Plug(folder, rest);
  if (cmd == "unplug" && (rest.size() == 1 || (rest.size() == 2 && rest[1] == "--remove"))) {
    std::string error;
    if (!sim::UnplugDevice(folder, rest[0], rest.size() == 2, &error)) return Fail(error);
    std::printf("unplugged %s\n", rest[0].c_str());
    return 0;
  }
  if (cmd == "set" && rest.size() >= 2) return Set(folder, rest[0], {rest.begin() + 1, rest.end()});
  if (cmd == "list" && rest.empty()) return List(folder);
  if (cmd == "reset" && rest.empty()) return Reset(folder);
  if (cmd == "log" && rest.size() == 1) return Log(folder, rest[0]);
  if (cmd == "folder" && rest.empty()) {
    std::printf("%s\n", sim::PathUtf8(folder).c_str());
    return 0;
  }
  return Usage();
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(sim::PathUtf8(sim::fs::path(argv[i])));
  return Run(std::move(args));
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
