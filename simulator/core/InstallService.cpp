#include "simulator/core/InstallService.h"

#include <fstream>

#include "simulator/core/MediaFileService.h"
#include "simulator/core/PackageArchive.h"
#include "simulator/plist/BinaryPlist.h"
#include "simulator/plist/XmlPlist.h"

namespace sim {
namespace {

using plist::Dictionary;
using plist::Integer;
using plist::Value;

Value Status(const char* status, int percent) {
  return Value(Dictionary{{"PercentComplete", Value(Integer{percent})}, {"Status", Value(status)}});
}
Value Status(const char* status) { return Value(Dictionary{{"Status", Value(status)}}); }

struct Step {
  const char* status;
  int percent;
};
// What an older system streams while it installs, up to (not including) "Complete".
constexpr Step kSteps[] = {{"CreatingStagingDirectory", 5}, {"ExtractingPackage", 15}, {"InspectingPackage", 20},
                           {"TakingInstallLock", 20},       {"PreflightingApplication", 30},
                           {"VerifyingApplication", 40},    {"CreatingContainer", 50},
                           {"InstallingApplication", 60},   {"PostflightingApplication", 70},
                           {"SandboxingApplication", 80},   {"GeneratingApplicationMap", 90}};
constexpr size_t kStepsBeforeInspection = 3;  // a package is found wanting while it is inspected

std::vector<Value> Progress(size_t steps) {
  std::vector<Value> out;
  for (size_t i = 0; i < steps && i < std::size(kSteps); ++i) out.push_back(Status(kSteps[i].status, kSteps[i].percent));
  return out;
}

}  // namespace

InstallService::InstallService(DeviceLayout layout, InstallBehaviour behaviour)
    : layout_(std::move(layout)), behaviour_(std::move(behaviour)) {}

std::vector<Value> InstallService::Failure(std::vector<Value> replies, const std::string& error,
                                           const std::string& description) const {
  if (behaviour_.style == InstallBehaviour::Style::Modern) {
    replies.push_back(Value(Dictionary{{"Error", Value(error)}}));
  } else {
    replies.push_back(Value(Dictionary{{"Error", Value(error)}, {"ErrorDescription", Value(description)}}));
  }
  return replies;
}

std::vector<Value> InstallService::Handle(const uint8_t* request, size_t size) {
  std::string why;
  auto req = plist::ParseAny(request, size, &why);
  if (!req || !req->Is<Dictionary>()) {
    return {Value(Dictionary{{"Error", Value("InvalidRequest")},
                             {"ErrorDescription", Value("Request is not a dictionary property list: " + why)}})};
  }
  std::string command = req->StringAt("Command");
  if (command == "Install") return Install(*req);
  if (command == "Uninstall") return Uninstall(*req);
  return {Value(Dictionary{{"Error", Value("InvalidCommand")},
                           {"ErrorDescription", Value("Unsupported command: " + command)}})};
}

std::vector<Value> InstallService::Install(const Value& request) {
  std::string type;
  if (const Value* options = request.Find("ClientOptions")) type = options->StringAt("PackageType");
  const bool carrier = type == "CarrierBundle";
  // Carrier bundles on a current system answer once; everything else streams its progress.
  const bool modern = carrier && behaviour_.style == InstallBehaviour::Style::Modern;
  auto fail = [&](size_t progressSteps, const std::string& streamedError, const std::string& description) {
    if (modern) return Failure({}, "APIInternalError", description);
    return Failure(Progress(progressSteps), streamedError, description);
  };

  if (!behaviour_.error.empty()) {
    if (modern) return Failure({}, behaviour_.error, "Simulated failure");
    return Failure(Progress(kStepsBeforeInspection), behaviour_.error, "Simulated failure");
  }
  std::string packagePath = request.StringAt("PackagePath");
  MediaFileService media(layout_.Media());
  auto host = packagePath.empty() ? std::nullopt : media.Resolve(packagePath);
  if (!host || *host == layout_.Media()) {
    if (modern) return Failure({}, "APIInternalError", "PackagePath is missing or outside the media folder");
    return Failure({}, "MissingPackagePath", "PackagePath is missing or outside the media folder");
  }
  ArchiveReadResult archive = ReadArchive(*host);
  if (!archive) return fail(2, "PackageExtractionFailed", "Could not extract " + packagePath + ": " + archive.detail);
  PackageCheck check = carrier ? CheckCarrierBundle(archive.entries) : CheckAppPackage(archive.entries);
  if (!check.ok) {
    return fail(kStepsBeforeInspection, carrier ? "CarrierBundleCopyFailed" : "PackageInspectionFailed",
                "Invalid package: " + check.problem);
  }
  std::filesystem::path destination =
      carrier ? layout_.Installed() / "CarrierBundles" / Utf8Path(check.bundleName)
              : layout_.Installed() / "Applications" / Utf8Path(check.identifier);
  std::string error;
  if (!ExtractBundle(archive.entries, check, destination, &error)) {
    return fail(std::size(kSteps) - 3, carrier ? "CarrierBundleCopyFailed" : "InstallFailed", error);
  }
  if (!behaviour_.keepStaged) {
    std::error_code ec;
    std::filesystem::remove(*host, ec);
  }
  std::vector<Value> replies = modern ? std::vector<Value>{} : Progress(std::size(kSteps));
  replies.push_back(Status("Complete"));
  return replies;
}

std::vector<Value> InstallService::Uninstall(const Value& request) {
  std::string id = request.StringAt("ApplicationIdentifier");
  std::filesystem::path app = layout_.Installed() / "Applications" / Utf8Path(id);
  std::error_code ec;
  if (id.empty() || id.find_first_of("/\\:") != std::string::npos || id[0] == '.' ||
      !std::filesystem::is_directory(app, ec)) {
    return Failure({}, "APIInternalError", "No application with identifier " + id);
  }
  std::filesystem::remove_all(app, ec);
  return {Status("RemovingApplication", 50), Status("Complete")};
}

std::vector<uint8_t> InstallService::Encode(const Value& reply) const {
  if (behaviour_.xmlReplies) {
    std::string xml = plist::WriteXml(reply);
    return std::vector<uint8_t>(xml.begin(), xml.end());
  }
  return plist::WriteBinary(reply);
}

void ServeInstallation(ServiceStream& stream, InstallService& service, ServiceLog& log,
                       const std::function<void(int)>& sleep) {
  const InstallBehaviour& b = service.Behaviour();
  int sent = 0;
  if (b.closeAfter == 0) return;
  for (;;) {
    uint8_t head[4];
    if (!stream.ReadExact(head, 4)) return;
    uint32_t length = (uint32_t(head[0]) << 24) | (uint32_t(head[1]) << 16) | (uint32_t(head[2]) << 8) | head[3];
    if (length >= kMaxFrameBytes) return;
    std::vector<uint8_t> request(length);
    if (length && !stream.ReadExact(request.data(), length)) return;
    log.Append('Q', request.data(), request.size());
    for (const Value& reply : service.Handle(request.data(), request.size())) {
      if (b.replyDelayMs > 0) sleep(b.replyDelayMs);
      std::vector<uint8_t> bytes = service.Encode(reply);
      uint32_t n = static_cast<uint32_t>(bytes.size());
      std::vector<uint8_t> frame = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
      frame.insert(frame.end(), bytes.begin(), bytes.end());
      log.Append('A', bytes.data(), bytes.size());
      if (!stream.WriteAll(frame.data(), frame.size())) return;
      if (++sent == b.closeAfter) return;
    }
  }
}

}  // namespace sim
