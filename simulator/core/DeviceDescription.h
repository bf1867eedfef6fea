#pragma once
// The description of one simulated device: the file "device.txt" in its folder, one "key = value" per line
// ('#' starts a comment). simulator/README.md lists the keys.
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace sim {

struct InstallBehaviour {
  enum class Style { Modern, Streamed };
  Style style = Style::Modern;
  bool xmlReplies = false;   // replies as XML text instead of binary lists
  std::string error;         // answer every install with this Error (empty: install for real)
  int closeAfter = -1;       // close the connection after this many replies (-1: never)
  int replyDelayMs = 0;      // wait before each reply
  bool keepStaged = false;   // leave the staged package in place after a successful install
  bool secure = false;       // the connection reports a secure context: bytes only through the library's calls
};

// Where a device unplugs itself, as a cable pulled at that exact moment would.
struct UnplugPoint {
  enum class At { Never, ServiceStart, Upload, Reply };
  At at = At::Never;
  int replies = 0;  // At::Reply: after this many replies were sent
};

struct DeviceDescription {
  std::string name = "iPhone";
  std::string deviceClass = "iPhone";
  std::string udid;
  std::string productType = "iPhone10,3";
  std::string productVersion = "12.4";
  int connectFailures = 0;       // AMDeviceConnect fails this many times, then succeeds
  bool recovery = false;         // AMDeviceConnect answers 1
  std::string pairing = "paired";  // paired, unpaired, or the refusal the device gives to pairing
  int pairFailures = -1;         // with a refusal: refused this many times, then accepted (-1: always)
  int sessionFailures = 0;       // AMDeviceStartSession fails this many times
  int sessionFailuresAfter = 0;  // ... once this many sessions have started
  std::set<std::string> failServices;   // services that cannot be started
  bool offerAfc2 = false;        // the device offers "com.apple.afc2"
  std::set<std::string> missing;  // value keys that have no value (DeviceName, UniqueDeviceID, ...)
  UnplugPoint unplugAt;
  InstallBehaviour install;
};

// Pairing refusals a description may name.
bool IsPairingRefusal(std::string_view name);

// Reads a description; unknown keys and malformed values are errors (with the line in `error`).
std::optional<DeviceDescription> ParseDescription(std::string_view text, std::string* error = nullptr);
std::string WriteDescription(const DeviceDescription& d);

// Applies one "key=value" setting to a description; false (with a reason) when the key or value is bad.
bool ApplySetting(DeviceDescription& d, std::string_view key, std::string_view value, std::string* error = nullptr);

// A new unique device identifier: 40 lower-case hexadecimal digits.
std::string NewDeviceIdentifier();

}  // namespace sim
