#include "install/Requests.h"

namespace install {
namespace {

// Five tabs and three spaces, as the service's own tools indent.
#define SEP "\t\t\t\t\t   "
#define XML_DECL "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
#define PUBLIC_ID "\"-//Apple Computer//DTD PLIST 1.0//EN\""

// The texts are reproduced byte for byte, quirks included (the apostrophe in the first system
// identifier, the doubled space and the leading space in the third): the service has accepted them so.
constexpr std::string_view kCarrierBundleInstall =
    XML_DECL SEP "<!DOCTYPE plist PUBLIC " PUBLIC_ID " \"http://www.apple.com/DTDs/Pro'pertyList-1.0.dtd\">"
    SEP "<plist version=\"1.0\">" SEP "<dict>"
    SEP "<key>ClientOptions</key>" SEP "<dict>" SEP "<key>PackageType</key>" SEP "<string>CarrierBundle</string>"
    SEP "</dict>"
    SEP "<key>Command</key>" SEP "<string>Install</string>"
    SEP "<key>PackagePath</key>" SEP "<string>/PublicStaging/29637678.ipa</string>"
    SEP "</dict>" SEP "</plist>";

constexpr std::string_view kPackageInstall =
    XML_DECL "<!DOCTYPE plist PUBLIC " PUBLIC_ID " \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"
    "<plist version=\"1.0\"><dict><key>Command</key><string>Install</string>"
    "<key>PackagePath</key><string>/PublicStaging/29637678.ipa</string></dict></plist>";

constexpr std::string_view kUninstall =
    XML_DECL "<!DOCTYPE  plist PUBLIC " PUBLIC_ID " \" http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"
    "<plist version=\"1.0\"><dict><key>ApplicationIdentifier</key>"
    "<string>E44E9374BFD34e0aAD806C54BA9008C7</string>"
    "<key>Command</key><string>Uninstall</string></dict></plist>";

#undef SEP
#undef XML_DECL
#undef PUBLIC_ID

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view placeholder, std::string_view replacement) {
  if (placeholder.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    const size_t hit = text.find(placeholder, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(replacement);
    pos = hit + placeholder.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string CarrierBundleInstallRequest(std::string_view staged_name) {
  return ReplaceAll(kCarrierBundleInstall, kStagedNamePlaceholder, staged_name);
}

std::string PackageInstallRequest(std::string_view staged_name) {
  return ReplaceAll(kPackageInstall, kStagedNamePlaceholder, staged_name);
}

std::string UninstallRequest(std::string_view app_id) {
  return ReplaceAll(kUninstall, kAppIdPlaceholder, XmlEscape(app_id));
}

}  // namespace install
