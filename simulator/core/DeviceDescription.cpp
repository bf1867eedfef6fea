#include "simulator/core/DeviceDescription.h"

#include <charconv>
#include <random>
#include <vector>

namespace sim {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool ParseInt(std::string_view v, int& out, int min) {
  int n = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (ec != std::errc() || p != v.data() + v.size() || n < min) return false;
  out = n;
  return true;
}

bool ParseBool(std::string_view v, bool& out) {
  if (v == "1" || v == "yes" || v == "true") return out = true, true;
  if (v == "0" || v == "no" || v == "false") return out = false, true;
  return false;
}

std::vector<std::string> List(std::string_view v) {
  std::vector<std::string> out;
  while (!v.empty()) {
    size_t c = v.find(',');
    std::string_view item = Trim(v.substr(0, c));
    if (!item.empty()) out.emplace_back(item);
    if (c == std::string_view::npos) break;
    v.remove_prefix(c + 1);
  }
  return out;
}

// Short names a description may use for value keys.
std::string ValueKey(const std::string& k) {
  if (k == "name") return "DeviceName";
  if (k == "class") return "DeviceClass";
  if (k == "udid") return "UniqueDeviceID";
  if (k == "product") return "ProductType";
  if (k == "version") return "ProductVersion";
  return k;
}

std::string Join(const std::set<std::string>& s) {
  std::string out;
  for (const auto& e : s) out += (out.empty() ? "" : ",") + e;
  return out;
}

// "", "service", "upload" or "reply:N".
bool ParseUnplugPoint(std::string_view v, UnplugPoint& out) {
  using At = UnplugPoint::At;
  if (v.empty() || v == "never") return out = {}, true;
  if (v == "service") return out = {At::ServiceStart, 0}, true;
  if (v == "upload") return out = {At::Upload, 0}, true;
  constexpr std::string_view kReply = "reply:";
  int n = 0;
  if (v.substr(0, kReply.size()) != kReply || !ParseInt(v.substr(kReply.size()), n, 0)) return false;
  out = {At::Reply, n};
  return true;
}

std::string WriteUnplugPoint(const UnplugPoint& p) {
  switch (p.at) {
    case UnplugPoint::At::ServiceStart: return "service";
    case UnplugPoint::At::Upload: return "upload";
    case UnplugPoint::At::Reply: return "reply:" + std::to_string(p.replies);
    default: return "";
  }
}

}  // namespace

bool IsPairingRefusal(std::string_view name) {
  return name == "PasswordProtected" || name == "PairingDialogResponsePending" || name == "UserDeniedPairing" ||
         name == "InvalidHostID";
}

bool ApplySetting(DeviceDescription& d, std::string_view key, std::string_view value, std::string* error) {
  auto bad = [&](const char* why) {
    if (error) *error = std::string(why) + ": " + std::string(key) + " = " + std::string(value);
    return false;
  };
  key = Trim(key);
  value = Trim(value);
  std::string v(value);
  if (key == "name") d.name = v;
  else if (key == "class") d.deviceClass = v;
  else if (key == "udid") d.udid = v;
  else if (key == "product") d.productType = v;
  else if (key == "version") d.productVersion = v;
  else if (key == "connect_failures") { if (!ParseInt(value, d.connectFailures, 0)) return bad("not a count"); }
  else if (key == "recovery") { if (!ParseBool(value, d.recovery)) return bad("not a flag"); }
  else if (key == "pairing") {
    if (v != "paired" && v != "unpaired" && !IsPairingRefusal(v)) return bad("unknown pairing state");
    d.pairing = v;
  }
  else if (key == "pair_failures") { if (!ParseInt(value, d.pairFailures, -1)) return bad("not a count"); }
  else if (key == "session_failures") { if (!ParseInt(value, d.sessionFailures, 0)) return bad("not a count"); }
  else if (key == "session_failures_after") {
    if (!ParseInt(value, d.sessionFailuresAfter, 0)) return bad("not a count");
  }
  else if (key == "unplug_at") { if (!ParseUnplugPoint(value, d.unplugAt)) return bad("unknown unplug point"); }
  else if (key == "fail_services") { auto l = List(value); d.failServices = {l.begin(), l.end()}; }
  else if (key == "afc2") { if (!ParseBool(value, d.offerAfc2)) return bad("not a flag"); }
  else if (key == "missing") {
    d.missing.clear();
    for (const auto& k : List(value)) d.missing.insert(ValueKey(k));
  }
  else if (key == "install.style") {
    if (v == "modern") d.install.style = InstallBehaviour::Style::Modern;
    else if (v == "streamed") d.install.style = InstallBehaviour::Style::Streamed;
    else return bad("unknown reply style");
  }
  else if (key == "install.format") {
    if (v == "binary") d.install.xmlReplies = false;
    else if (v == "xml") d.install.xmlReplies = true;
    else return bad("unknown reply format");
  }
  else if (key == "install.error") d.install.error = v;
  else if (key == "install.close_after") { if (!ParseInt(value, d.install.closeAfter, -1)) return bad("not a count"); }
  else if (key == "install.reply_delay_ms") { if (!ParseInt(value, d.install.replyDelayMs, 0)) return bad("not a count"); }
  else if (key == "install.keep_staged") { if (!ParseBool(value, d.install.keepStaged)) return bad("not a flag"); }
  else if (key == "install.secure") { if (!ParseBool(value, d.install.secure)) return bad("not a flag"); }
  else return bad("unknown key");
  return true;
}

std::optional<DeviceDescription> ParseDescription(std::string_view text, std::string* error) {
  DeviceDescription d;
  int lineNo = 0;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    ++lineNo;
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    size_t eq = line.find('=');
    std::string why;
    if (eq == std::string_view::npos) {
      why = "expected key = value";
    } else if (ApplySetting(d, line.substr(0, eq), line.substr(eq + 1), &why)) {
      continue;
    }
    if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
    return std::nullopt;
  }
  return d;
}

std::string WriteDescription(const DeviceDescription& d) {
  std::string out;
  auto put = [&](const char* k, const std::string& v) { out += std::string(k) + " = " + v + "\n"; };
  put("name", d.name);
  put("class", d.deviceClass);
  put("udid", d.udid);
  put("product", d.productType);
  put("version", d.productVersion);
  put("connect_failures", std::to_string(d.connectFailures));
  put("recovery", d.recovery ? "1" : "0");
  put("pairing", d.pairing);
  put("pair_failures", std::to_string(d.pairFailures));
  put("session_failures", std::to_string(d.sessionFailures));
  put("session_failures_after", std::to_string(d.sessionFailuresAfter));
  put("fail_services", Join(d.failServices));
  put("afc2", d.offerAfc2 ? "1" : "0");
  put("missing", Join(d.missing));
  put("unplug_at", WriteUnplugPoint(d.unplugAt));
  put("install.style", d.install.style == InstallBehaviour::Style::Modern ? "modern" : "streamed");
  put("install.format", d.install.xmlReplies ? "xml" : "binary");
  put("install.error", d.install.error);
  put("install.close_after", std::to_string(d.install.closeAfter));
  put("install.reply_delay_ms", std::to_string(d.install.replyDelayMs));
  put("install.keep_staged", d.install.keepStaged ? "1" : "0");
  put("install.secure", d.install.secure ? "1" : "0");
  return out;
}

std::string NewDeviceIdentifier() {
  std::random_device rd;
  std::mt19937_64 gen((static_cast<uint64_t>(rd()) << 32) ^ rd());
  static const char hex[] = "0123456789abcdef";
  std::string id(40, '0');
  for (char& c : id) c = hex[gen() & 15];
  return id;
}

}  // namespace sim
