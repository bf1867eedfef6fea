#pragma once
// Small packages for the installation service: zip archives made with the zip library of the dependencies.
#include <Poco/Zip/Compress.h>
#include <zlib.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/plist/BinaryPlist.h"
#include "simulator/plist/XmlPlist.h"

namespace fixtures {

using Entries = std::map<std::string, std::string>;  // name -> bytes; names ending in '/' are folders

inline std::string Zip(const Entries& entries) {
  std::ostringstream out(std::ios::binary);
  Poco::Zip::Compress zip(out, true);
  for (const auto& [name, bytes] : entries) {
    if (!name.empty() && name.back() == '/') {
      zip.addDirectory(Poco::Path(name, Poco::Path::PATH_UNIX), Poco::DateTime());
    } else {
      std::istringstream in(bytes, std::ios::binary);
      zip.addFile(in, Poco::DateTime(), Poco::Path(name, Poco::Path::PATH_UNIX));
    }
  }
  zip.close();
  return out.str();
}

// A zip archive with stored entries written byte by byte, for names the zip library refuses to write.
inline std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string out, central;
  auto u16 = [](std::string& s, uint32_t v) { s += char(v & 0xFF); s += char((v >> 8) & 0xFF); };
  auto u32 = [&](std::string& s, uint32_t v) { u16(s, v & 0xFFFF); u16(s, v >> 16); };
  for (const auto& [name, bytes] : entries) {
    uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    uint32_t offset = static_cast<uint32_t>(out.size());
    u32(out, 0x04034b50); u16(out, 20); u16(out, 0); u16(out, 0); u16(out, 0); u16(out, 0);
    u32(out, crc); u32(out, static_cast<uint32_t>(bytes.size())); u32(out, static_cast<uint32_t>(bytes.size()));
    u16(out, static_cast<uint32_t>(name.size())); u16(out, 0);
    out += name + bytes;
    u32(central, 0x02014b50); u16(central, 20); u16(central, 20); u16(central, 0); u16(central, 0); u16(central, 0);
    u16(central, 0); u32(central, crc); u32(central, static_cast<uint32_t>(bytes.size()));
    u32(central, static_cast<uint32_t>(bytes.size())); u16(central, static_cast<uint32_t>(name.size()));
    u16(central, 0); u16(central, 0); u16(central, 0); u16(central, 0); u32(central, 0); u32(central, offset);
    central += name;
  }
  uint32_t cdOffset = static_cast<uint32_t>(out.size());
  out += central;
  u32(out, 0x06054b50); u16(out, 0); u16(out, 0); u16(out, static_cast<uint32_t>(entries.size()));
  u16(out, static_cast<uint32_t>(entries.size())); u32(out, static_cast<uint32_t>(central.size())); u32(out, cdOffset);
  u16(out, 0);
  return out;
}

inline std::string Png() {
  // A PNG signature and header are all the device looks at.
  return std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(17, '\1');
}

inline std::string BinaryList(const plist::Value& v) {
  plist::Bytes b = plist::WriteBinary(v);
  return std::string(b.begin(), b.end());
}

// The entries of a well-formed carrier bundle "Payload/<bundle>.bundle/".
inline Entries CarrierBundle(const std::string& bundle = "Unicom_cn") {
  using namespace plist;
  const std::string dir = "Payload/" + bundle + ".bundle/";
  Value images(Array{Value(Dictionary{{"CarrierName", Value("Unicom")},
                                      {"DefaultImage", Value("Default_CARRIER_X_1only_")},
                                      {"FullScreenOpaqueImage", Value("FSO_CARRIER_X_1only_")},
                                      {"TransparentShadowedImage", Value("TS_CARRIER_X_1only_")},
                                      {"StatusBarCarrierName", Value("中国联通")}})});
  Value carrier(Dictionary{{"CarrierName", Value("Unicom")}, {"StatusBarImages", images}});
  Value info(Dictionary{{"CFBundleIdentifier", Value("com.apple." + bundle)}, {"CFBundleName", Value(bundle)}});
  Value version(Dictionary{{"CFBundleVersion", Value("20.12")}});
  return {{"Payload/", ""},
          {dir, ""},
          {dir + "carrier.plist", BinaryList(carrier)},
          {dir + "Info.plist", BinaryList(info)},
          {dir + "version.plist", WriteXml(version)},
          {dir + "Default_CARRIER_X_1only_@2x.png", Png()},
          {dir + "FSO_CARRIER_X_1only_@2x.png", Png()},
          {dir + "TS_CARRIER_X_1only_@2x.png", Png()}};
}

inline Entries AppPackage(const std::string& id = "com.example.app") {
  using namespace plist;
  return {{"Payload/Example.app/Info.plist", WriteXml(Value(Dictionary{{"CFBundleIdentifier", Value(id)}}))},
          {"Payload/Example.app/Example", "binary"}};
}

// The carrier-bundle install request as the program words it.
inline std::string CarrierInstallRequest(const std::string& stagedPath) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>ClientOptions</key><dict>"
         "<key>PackageType</key><string>CarrierBundle</string></dict><key>Command</key><string>Install</string>"
         "<key>PackagePath</key><string>" + stagedPath + "</string></dict></plist>";
}

inline std::string AppInstallRequest(const std::string& stagedPath) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>Command</key>"
         "<string>Install</string><key>PackagePath</key><string>" + stagedPath + "</string></dict></plist>";
}

inline std::string UninstallRequest(const std::string& id) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>ApplicationIdentifier</key>"
         "<string>" + id + "</string><key>Command</key><string>Uninstall</string></dict></plist>";
}

}  // namespace fixtures
