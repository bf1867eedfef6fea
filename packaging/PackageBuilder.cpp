#include "packaging/PackageBuilder.h"

#include <Poco/Exception.h>
#include <Poco/MD5Engine.h>
#include <Poco/Zip/ZipManipulator.h>

#include <exception>
#include <new>

#include "packaging/CarrierTemplates.h"
#include "packaging/FileSystem.h"
#include "packaging/SlotPictures.h"
#include "packaging/Utf8.h"
#include "packaging/ZipWriter.h"

namespace packaging {

namespace {

constexpr const char* kPropertyLists[] = {"carrier.plist", "Info.plist", "version.plist"};

std::wstring BackSlashed(const std::string& forwardName) {
  std::wstring name = Utf8ToWide(forwardName);
  for (auto& c : name) {
    if (c == L'/') c = L'\\';
  }
  return name;
}

BuildResult Failure(BuildError error, std::string detail = {}) {
  BuildResult r;
  r.error = error;
  r.detail = std::move(detail);
  return r;
}

// Each slot picture passes the same check as when it was picked: the file may have been changed or
// replaced since, and whatever it holds now goes to the phone.
BuildError CheckPictures(const PicturePaths& pictures) {
  for (const auto& p : pictures) {
    switch (CheckSlotPicture(p)) {
      case PictureCheck::kOk:
        break;
      case PictureCheck::kUnreadable:
        return BuildError::kPictureUnreadable;
      default:
        return BuildError::kPictureRejected;
    }
  }
  return BuildError::kNone;
}

// Removes the files it holds when it goes out of scope, unless released.
class TempFiles {
 public:
  ~TempFiles() {
    for (const auto& p : paths_) RemoveFile(p);
  }
  void Add(const std::wstring& path) { paths_.push_back(path); }
  void Release() { paths_.clear(); }

 private:
  std::vector<std::wstring> paths_;
};

// Reads every entry of a finished package back; false when any is missing, short or corrupt.
bool PackageReadsBack(const std::wstring& path) {
  std::string bytes;
  ZipReaderHandle reader;
  ZipEntryInfo entry;
  if (!ReadWholeFile(path, kMaxPackageSize, bytes) ||
      OpenZipFromMemory(bytes.data(), bytes.size(), reader) != ZipReadResult::kOk ||
      GetZipEntryAt(reader.get(), -1, entry) != ZipReadResult::kOk) {
    return false;
  }
  const int64_t count = entry.index;
  std::string out;
  for (int64_t i = 0; i < count; ++i) {
    if (GetZipEntryAt(reader.get(), i, entry) != ZipReadResult::kOk) return false;
    out.resize(static_cast<size_t>(entry.uncompressedSize));
    if (UnzipEntryToMemory(reader.get(), entry, out.data(), out.size()) != ZipReadResult::kOk) return false;
  }
  return count > 0;
}

}  // namespace

std::wstring MakeTempPackagePath() { return TempFolder() + NewGuidString() + L".a"; }
std::wstring MakeTempPicturePath() { return TempFolder() + NewGuidString() + L".png"; }

bool ExtractEntryToTemp(ZipReader* reader, std::wstring_view entryName, std::wstring& path) {
  ZipEntryInfo entry;
  if (FindZipEntry(reader, entryName, entry) != ZipReadResult::kOk) return false;
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(entry.uncompressedSize));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (UnzipEntryToMemory(reader, entry, bytes.data(), bytes.size()) != ZipReadResult::kOk) return false;

  Poco::MD5Engine md5;
  md5.update(bytes.data(), static_cast<unsigned>(bytes.size()));
  std::string hex = Poco::DigestEngine::digestToHex(md5.digest());
  for (auto& c : hex) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 32);
  }
  const std::wstring target = TempFolder() + Utf8ToWide(hex) + L".a";
  if (!WriteWholeFile(target, bytes.data(), bytes.size())) return false;
  path = target;
  return true;
}

BuildResult BuildCmccPackage(const PicturePaths& pictures) {
  const TemplateBytes tmpl = CachedTemplate(Carrier::kCmcc);
  if (tmpl.empty()) return Failure(BuildError::kNoTemplate);
  if (const BuildError e = CheckPictures(pictures); e != BuildError::kNone) return Failure(e);

  BuildResult result;
  result.packagePath = MakeTempPackagePath();
  // Declared before the writer, so that on every failure the writer closes the file before it is
  // removed: Windows does not delete a file that is still open.
  TempFiles cleanup;
  ZipWriterHandle writer;
  if (CreateZipFile(result.packagePath, writer) != ZipWriteResult::kOk) return Failure(BuildError::kCreatePackage);
  cleanup.Add(result.packagePath);

  ZipReaderHandle reader;
  if (OpenZipFromMemory(tmpl.data, tmpl.size, reader) != ZipReadResult::kOk) return Failure(BuildError::kNoTemplate);

  for (size_t i = 0; i < kLogoVariants.size(); ++i) {
    const ZipWriteResult r = ZipAddFile(writer.get(), pictures[i],
                                        BackSlashed(LogoEntryName(Carrier::kCmcc, kLogoVariants[i])));
    if (r == ZipWriteResult::kOpenFailed || r == ZipWriteResult::kReadFailed || r == ZipWriteResult::kInvalidArgument) {
      return Failure(BuildError::kPictureUnreadable);
    }
    if (r != ZipWriteResult::kOk) return Failure(BuildError::kWritePackage);
  }

  TempFiles extracted;
  for (const char* list : kPropertyLists) {
    const std::wstring name = BackSlashed(BundleEntryName(Carrier::kCmcc, list));
    std::wstring extractedPath;
    if (!ExtractEntryToTemp(reader.get(), name, extractedPath)) return Failure(BuildError::kExtractEntry);
    extracted.Add(extractedPath);
    if (ZipAddFile(writer.get(), extractedPath, name) != ZipWriteResult::kOk) {
      return Failure(BuildError::kWritePackage);
    }
  }
  CloseZipReader(reader);
  if (CloseZipWriter(writer) != ZipWriteResult::kOk) return Failure(BuildError::kWritePackage);
  cleanup.Release();
  return result;
}

BuildResult BuildUnicomPackage(const PicturePaths& pictures) {
  const TemplateBytes tmpl = CachedTemplate(Carrier::kUnicom);
  if (tmpl.empty()) return Failure(BuildError::kNoTemplate);
  if (const BuildError e = CheckPictures(pictures); e != BuildError::kNone) return Failure(e);

  BuildResult result;
  result.packagePath = MakeTempPackagePath();
  {
    File out;
    if (!out.Open(result.packagePath, File::Mode::kCreate)) return Failure(BuildError::kCreatePackage);
    const bool wrote = out.WriteAll(tmpl.data, tmpl.size);
    if (!out.Close() || !wrote) {
      RemoveFile(result.packagePath);
      return Failure(BuildError::kWritePackage);
    }
  }
  TempFiles cleanup;
  cleanup.Add(result.packagePath);
  cleanup.Add(result.packagePath + L".tmp");  // the library's own work file, should it be left behind

  std::string packageUtf8;
  std::array<std::string, 3> localUtf8;
  if (!WideToUtf8(result.packagePath, packageUtf8)) return Failure(BuildError::kCreatePackage);
  for (size_t i = 0; i < pictures.size(); ++i) {
    // The library needs absolute local paths: it asks the parent folder of each for its time.
    if (!WideToUtf8(AbsolutePath(pictures[i]), localUtf8[i])) return Failure(BuildError::kPictureUnreadable);
  }
  try {
    Poco::Zip::ZipManipulator manipulator(packageUtf8, false);
    for (size_t i = 0; i < kLogoVariants.size(); ++i) {
      manipulator.replaceFile(LogoEntryName(Carrier::kUnicom, kLogoVariants[i]), localUtf8[i]);
    }
    manipulator.commit();
  } catch (const Poco::Exception& e) {
    return Failure(BuildError::kZipLibrary, e.displayText());
  } catch (const std::exception& e) {
    return Failure(BuildError::kZipLibrary, e.what());
  }
  // The library's output is checked rather than trusted: an entry it mis-copied would reach the device.
  if (!PackageReadsBack(result.packagePath)) return Failure(BuildError::kZipLibrary, "package does not read back");
  cleanup.Release();
  RemoveFile(result.packagePath + L".tmp");
  return result;
}

bool TakePackageFile(const std::wstring& packagePath, std::vector<uint8_t>& bytes) {
  std::string data;
  const bool read = ReadWholeFile(packagePath, kMaxPackageSize, data);
  RemoveFile(packagePath);
  if (!read || data.empty()) return false;
  bytes.assign(data.begin(), data.end());
  return true;
}

}  // namespace packaging
