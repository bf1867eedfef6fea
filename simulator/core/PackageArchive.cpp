#include "simulator/core/PackageArchive.h"

#include <Poco/Exception.h>
#include <Poco/Zip/ZipArchive.h>
#include <Poco/Zip/ZipStream.h>
#include <zlib.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "simulator/core/DeviceFolder.h"
#include "simulator/plist/BinaryPlist.h"

namespace sim {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

ArchiveReadResult Failed(ArchiveStatus s, std::string detail) {
  ArchiveReadResult r;
  r.status = s;
  r.detail = std::move(detail);
  return r;
}

bool SafeName(const std::string& name) {
  if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos ||
      name.find(':') != std::string::npos || name.find('\0') != std::string::npos)
    return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t slash = name.find('/', start);
    std::string seg = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (seg == "..") return false;
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return true;
}

bool IsPng(const std::vector<uint8_t>& b) {
  return b.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, b.begin());
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The single "Payload/<x><suffix>/" folder of a package, or why there is not exactly one.
std::string FindFolder(const std::vector<ArchiveEntry>& entries, const std::string& suffix, std::string& problem) {
  std::set<std::string> folders;
  for (const auto& e : entries) {
    if (e.name.rfind("Payload/", 0) != 0) continue;
    size_t slash = e.name.find('/', 8);
    if (slash == std::string::npos) continue;  // "Payload/" itself, or a file directly in it
    folders.insert(e.name.substr(0, slash + 1));
  }
  std::vector<std::string> matching;
  for (const auto& f : folders) {
    if (EndsWith(f, suffix + "/") && f.size() > 8 + suffix.size() + 1) matching.push_back(f);
  }
  if (matching.size() != 1) {
    problem = matching.empty() ? "no Payload/*" + suffix + " folder" : "more than one Payload/*" + suffix + " folder";
    return {};
  }
  return matching[0];
}

const ArchiveEntry* Find(const std::vector<ArchiveEntry>& entries, const std::string& name) {
  for (const auto& e : entries) {
    if (!e.directory && e.name == name) return &e;
  }
  return nullptr;
}

// A property list with a dictionary at its root.
std::optional<plist::Value> DictionaryList(const ArchiveEntry* e) {
  if (!e) return std::nullopt;
  auto v = plist::ParseAny(e->bytes.data(), e->bytes.size());
  if (!v || !v->Is<plist::Dictionary>()) return std::nullopt;
  return v;
}

}  // namespace

ArchiveReadResult ReadArchive(const std::filesystem::path& file) {
  std::error_code ec;
  auto size = std::filesystem::file_size(file, ec);
  if (ec) return Failed(ArchiveStatus::NotFound, "no such file");
  if (size > kMaxPackageBytes) return Failed(ArchiveStatus::TooLarge, "package larger than the device accepts");
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> bytes(size);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (static_cast<uint64_t>(in.gcount()) != size) return Failed(ArchiveStatus::NotFound, "cannot read the file");
  return ReadArchive(bytes.data(), bytes.size());
}

ArchiveReadResult ReadArchive(const uint8_t* data, size_t size) {
  if (size > kMaxPackageBytes) return Failed(ArchiveStatus::TooLarge, "package larger than the device accepts");
  if (size < 4 || data[0] != 'P' || data[1] != 'K') return Failed(ArchiveStatus::NotZip, "not a zip archive");
  ArchiveReadResult result;
  try {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    Poco::Zip::ZipArchive archive(in);
    uint64_t total = 0;
    for (auto it = archive.headerBegin(); it != archive.headerEnd(); ++it) {
      const Poco::Zip::ZipLocalFileHeader& h = it->second;
      if (result.entries.size() >= kMaxPackageEntries) return Failed(ArchiveStatus::TooLarge, "too many entries");
      ArchiveEntry e;
      e.name = h.getFileName();
      // Checked first: the zip library reads before the start of an empty name when asked if it is a folder.
      if (!SafeName(e.name)) return Failed(ArchiveStatus::UnsafeName, "unsafe entry name: " + e.name);
      e.directory = h.isDirectory();
      if (h.isEncrypted()) return Failed(ArchiveStatus::Corrupt, "encrypted entry: " + e.name);
      uint64_t expected = h.getUncompressedSize();
      if (expected > kMaxUnpackedBytes - total) return Failed(ArchiveStatus::TooLarge, "entries too large");
      if (!e.directory) {
        in.clear();
        Poco::Zip::ZipInputStream zin(in, h, true);
        char buf[16384];
        while (zin.read(buf, sizeof buf) || zin.gcount() > 0) {
          e.bytes.insert(e.bytes.end(), buf, buf + zin.gcount());
          if (e.bytes.size() > expected) return Failed(ArchiveStatus::Corrupt, "entry longer than declared: " + e.name);
        }
        if (e.bytes.size() != expected) return Failed(ArchiveStatus::Corrupt, "entry shorter than declared: " + e.name);
        uLong crc = crc32(0L, Z_NULL, 0);
        crc = crc32(crc, e.bytes.data(), static_cast<uInt>(e.bytes.size()));
        if (crc != h.getCRC()) return Failed(ArchiveStatus::Corrupt, "checksum mismatch: " + e.name);
        total += expected;
      }
      result.entries.push_back(std::move(e));
    }
  } catch (const Poco::Exception& ex) {
    return Failed(ArchiveStatus::NotZip, "unreadable zip archive: " + ex.displayText());
  } catch (const std::exception& ex) {
    return Failed(ArchiveStatus::NotZip, std::string("unreadable zip archive: ") + ex.what());
  }
  if (result.entries.empty()) return Failed(ArchiveStatus::NotZip, "empty zip archive");
  return result;
}

PackageCheck CheckCarrierBundle(const std::vector<ArchiveEntry>& entries) {
  PackageCheck c;
  c.folder = FindFolder(entries, ".bundle", c.problem);
  if (c.folder.empty()) return c;
  c.bundleName = c.folder.substr(8, c.folder.size() - 9);
  for (const char* name : {"Info.plist", "carrier.plist", "version.plist"}) {
    if (!DictionaryList(Find(entries, c.folder + name))) {
      c.problem = std::string(name) + " is missing or not a property list";
      return c;
    }
  }
  auto info = DictionaryList(Find(entries, c.folder + "Info.plist"));
  c.identifier = info->StringAt("CFBundleIdentifier");
  auto carrier = DictionaryList(Find(entries, c.folder + "carrier.plist"));
  if (const plist::Value* images = carrier->Find("StatusBarImages")) {
    const auto* list = images->As<plist::Array>();
    if (!list) {
      c.problem = "StatusBarImages is not an array";
      return c;
    }
    for (const auto& item : *list) {
      if (!item.Is<plist::Dictionary>()) {
        c.problem = "StatusBarImages holds something other than dictionaries";
        return c;
      }
      for (const char* key : {"DefaultImage", "FullScreenOpaqueImage", "TransparentShadowedImage"}) {
        const plist::Value* v = item.Find(key);
        if (!v) continue;
        const auto* stem = v->As<std::string>();
        if (!stem || stem->empty()) {
          c.problem = std::string(key) + " is not a file name";
          return c;
        }
        // The device picks the picture for its screen: "<stem>@2x.png" (or the name as given).
        std::string base = EndsWith(*stem, ".png") ? stem->substr(0, stem->size() - 4) : *stem;
        const ArchiveEntry* logo = nullptr;
        for (const std::string& candidate : {base + "@2x.png", base + "@3x.png", base + ".png", *stem}) {
          if ((logo = Find(entries, c.folder + candidate))) break;
        }
        if (!logo) {
          c.problem = "logo " + *stem + " named by carrier.plist is missing";
          return c;
        }
        if (!IsPng(logo->bytes)) {
          c.problem = "logo " + logo->name + " is not a PNG picture";
          return c;
        }
      }
    }
  }
  for (const auto& e : entries) {
    if (!e.directory && e.name.rfind(c.folder, 0) == 0 && EndsWith(e.name, ".png") && !IsPng(e.bytes)) {
      c.problem = e.name + " is not a PNG picture";
      return c;
    }
  }
  c.ok = true;
  return c;
}

PackageCheck CheckAppPackage(const std::vector<ArchiveEntry>& entries) {
  PackageCheck c;
  c.folder = FindFolder(entries, ".app", c.problem);
  if (c.folder.empty()) return c;
  c.bundleName = c.folder.substr(8, c.folder.size() - 9);
  auto info = DictionaryList(Find(entries, c.folder + "Info.plist"));
  if (!info) {
    c.problem = "Info.plist is missing or not a property list";
    return c;
  }
  c.identifier = info->StringAt("CFBundleIdentifier");
  if (c.identifier.empty() || c.identifier.find_first_of("/\\:") != std::string::npos || c.identifier[0] == '.') {
    c.problem = "Info.plist names no usable CFBundleIdentifier";
    return c;
  }
  c.ok = true;
  return c;
}

bool ExtractBundle(const std::vector<ArchiveEntry>& entries, const PackageCheck& check,
                   const std::filesystem::path& destination, std::string* error) {
  std::error_code ec;
  std::filesystem::remove_all(destination, ec);
  std::filesystem::create_directories(destination, ec);
  if (ec) {
    if (error) *error = "cannot create " + PathUtf8(destination);
    return false;
  }
  for (const auto& e : entries) {
    if (e.name.rfind(check.folder, 0) != 0 || e.name.size() == check.folder.size()) continue;
    std::filesystem::path target = destination / Utf8Path(e.name.substr(check.folder.size()));
    if (e.directory) {
      std::filesystem::create_directories(target, ec);
      continue;
    }
    std::filesystem::create_directories(target.parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(e.bytes.data()), static_cast<std::streamsize>(e.bytes.size()));
    if (!out.flush()) {
      if (error) *error = "cannot write " + PathUtf8(target);
      return false;
    }
  }
  return true;
}

}  // namespace sim
