#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "packaging/CarrierTemplates.h"
#include "packaging/PackageBuilder.h"
#include "packaging/SlotPictures.h"
#include "packaging/TemplateFixture.h"
#include "packaging/TestFiles.h"
#include "packaging/ZipFixture.h"
#include "packaging/ZipReader.h"
#ifndef _WIN32
#include "packaging/ZipInterop.h"
#endif

using packaging::BuildError;
using packaging::Carrier;
using packaging::LogoVariant;

namespace {

namespace fs = std::filesystem;

struct Archive {
  std::vector<std::string> names;
  std::vector<uint16_t> methods;
  std::map<std::string, std::string> contents;
};

Archive ReadArchive(const std::string& bytes) {
  Archive a;
  packaging::ZipReaderHandle reader;
  if (packaging::OpenZipFromMemory(bytes.data(), bytes.size(), reader) != packaging::ZipReadResult::kOk) return a;
  packaging::ZipEntryInfo info;
  packaging::GetZipEntryAt(reader.get(), -1, info);
  const int64_t count = info.index;
  for (int64_t i = 0; i < count; ++i) {
    if (packaging::GetZipEntryAt(reader.get(), i, info) != packaging::ZipReadResult::kOk) return Archive{};
    std::string out(static_cast<size_t>(info.uncompressedSize), '\0');
    if (packaging::UnzipEntryToMemory(reader.get(), info, out.data(), out.size()) != packaging::ZipReadResult::kOk) {
      return Archive{};
    }
    a.names.push_back(info.name);
    a.contents[info.name] = out;
  }
  for (const auto& e : testzip::ParseRaw(bytes).entries) a.methods.push_back(e.method);
  return a;
}

class PackageBuilder : public ::testing::Test {
 protected:
  void SetUp() override {
    templates::Load();
    ASSERT_FALSE(packaging::CachedTemplate(Carrier::kUnicom).empty());
    ASSERT_FALSE(packaging::CachedTemplate(Carrier::kCmcc).empty());
  }
  // The carrier's own logos, written to files as the slots hold them.
  packaging::PicturePaths TemplateLogos(Carrier carrier) {
    const Archive t = ReadArchive(templates::Bytes(carrier));
    packaging::PicturePaths paths;
    for (size_t i = 0; i < 3; ++i) {
      const auto file = tmp.path() / ("logo" + std::to_string(static_cast<int>(carrier)) + std::to_string(i) + ".png");
      testfiles::WriteFile(file, t.contents.at(packaging::LogoEntryName(carrier, packaging::kLogoVariants[i])));
      paths[i] = file.wstring();
    }
    return paths;
  }
  std::string TakePackage(const packaging::BuildResult& r) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(packaging::TakePackageFile(r.packagePath, bytes));
    EXPECT_FALSE(packaging::FileExists(r.packagePath));
    return std::string(bytes.begin(), bytes.end());
  }

  testfiles::ScopedTempFolder tmp;
};

TEST_F(PackageBuilder, CmccPackageHoldsSixDeflatedEntries) {
  const auto pictures = TemplateLogos(Carrier::kCmcc);
  const auto result = packaging::BuildCmccPackage(pictures);
  ASSERT_TRUE(result) << static_cast<int>(result.error);
  EXPECT_EQ(fs::path(result.packagePath).parent_path(), tmp.path());
  EXPECT_EQ(fs::path(result.packagePath).extension(), ".a");
#ifndef _WIN32
  interop::ExpectValidArchive(fs::path(result.packagePath));
#endif
  const Archive package = ReadArchive(TakePackage(result));
  const Archive source = ReadArchive(templates::Bytes(Carrier::kCmcc));
  const std::string folder = packaging::BundleEntryName(Carrier::kCmcc, "");
  const std::vector<std::string> expected = {
      packaging::LogoEntryName(Carrier::kCmcc, LogoVariant::kDefault),
      packaging::LogoEntryName(Carrier::kCmcc, LogoVariant::kFso),
      packaging::LogoEntryName(Carrier::kCmcc, LogoVariant::kTs),
      folder + "carrier.plist",
      folder + "Info.plist",
      folder + "version.plist",
  };
  EXPECT_EQ(package.names, expected);
  EXPECT_EQ(package.methods, std::vector<uint16_t>(6, 8));
  for (const auto& name : expected) EXPECT_EQ(package.contents.at(name), source.contents.at(name)) << name;
  // The property lists extracted on the way are gone; only the slot pictures remain.
  EXPECT_EQ(tmp.CountFiles(".a"), 0u);
}

TEST_F(PackageBuilder, UnicomPackageReplacesOnlyTheLogos) {
  // China Mobile's pictures in the China Unicom slots make the replacement visible.
  const auto pictures = TemplateLogos(Carrier::kCmcc);
  const auto result = packaging::BuildUnicomPackage(pictures);
  ASSERT_TRUE(result) << result.detail;
#ifndef _WIN32
  interop::ExpectValidArchive(fs::path(result.packagePath));
#endif
  const Archive package = ReadArchive(TakePackage(result));
  const Archive source = ReadArchive(templates::Bytes(Carrier::kUnicom));
  // The library decides the order of its output: compare the sets.
  EXPECT_EQ(std::set<std::string>(package.names.begin(), package.names.end()),
            std::set<std::string>(source.names.begin(), source.names.end()));
  for (const auto& [name, content] : source.contents) {
    bool isLogo = false;
    for (size_t i = 0; i < 3; ++i) {
      if (name != packaging::LogoEntryName(Carrier::kUnicom, packaging::kLogoVariants[i])) continue;
      isLogo = true;
      EXPECT_EQ(package.contents.at(name), testfiles::ReadFile(pictures[i])) << name;
    }
    if (!isLogo) {
      EXPECT_EQ(package.contents.at(name), content) << name;
    }
  }
  EXPECT_EQ(tmp.CountFiles(".tmp"), 0u);
}

TEST_F(PackageBuilder, UnreadablePictureFailsBothPathsAndLeavesNoPackage) {
  for (Carrier carrier : {Carrier::kUnicom, Carrier::kCmcc}) {
    auto pictures = TemplateLogos(carrier);
    fs::remove(pictures[1]);
    const auto result =
        carrier == Carrier::kUnicom ? packaging::BuildUnicomPackage(pictures) : packaging::BuildCmccPackage(pictures);
    EXPECT_EQ(result.error, BuildError::kPictureUnreadable) << static_cast<int>(carrier);
    EXPECT_EQ(tmp.CountFiles(".a"), 0u);
  }
  auto pictures = TemplateLogos(Carrier::kCmcc);
  pictures[2] = tmp.path().wstring();  // a folder is no picture
  EXPECT_EQ(packaging::BuildCmccPackage(pictures).error, BuildError::kPictureUnreadable);
  EXPECT_EQ(packaging::BuildUnicomPackage(pictures).error, BuildError::kPictureUnreadable);
  EXPECT_EQ(tmp.CountFiles(".a"), 0u);
}

// A slot file changed after it was picked is checked again when the package is built: what is no longer
// a PNG file within the size cap fails the build and never reaches a package.
TEST_F(PackageBuilder, PictureChangedSincePickFailsBothPaths) {
  const struct {
    const char* name;
    std::string content;
  } cases[] = {
      {"not a png", "GIF89a this is no PNG picture"},
      {"too large", "\x89PNG\r\n\x1a\n" + std::string(packaging::kMaxSlotPictureSize, 'x')},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    for (Carrier carrier : {Carrier::kUnicom, Carrier::kCmcc}) {
      auto pictures = TemplateLogos(carrier);
      testfiles::WriteFile(fs::path(pictures[0]), c.content);
      const auto result = carrier == Carrier::kUnicom ? packaging::BuildUnicomPackage(pictures)
                                                      : packaging::BuildCmccPackage(pictures);
      EXPECT_EQ(result.error, BuildError::kPictureRejected) << c.name << " " << static_cast<int>(carrier);
      EXPECT_EQ(tmp.CountFiles(".a"), 0u) << c.name;
    }
  }
}

TEST_F(PackageBuilder, PackagesGetNewNamesAndExtractedListsStableOnes) {
  const auto pictures = TemplateLogos(Carrier::kCmcc);
  const auto first = packaging::BuildCmccPackage(pictures);
  const auto second = packaging::BuildCmccPackage(pictures);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.packagePath, second.packagePath);
  TakePackage(first);
  TakePackage(second);

  const std::string bytes = templates::Bytes(Carrier::kCmcc);
  packaging::ZipReaderHandle reader;
  ASSERT_EQ(packaging::OpenZipFromMemory(bytes.data(), bytes.size(), reader), packaging::ZipReadResult::kOk);
  std::wstring a, b;
  ASSERT_TRUE(packaging::ExtractEntryToTemp(reader.get(), L"Payload\\CMCC_cn.bundle\\version.plist", a));
  ASSERT_TRUE(packaging::ExtractEntryToTemp(reader.get(), L"Payload\\CMCC_cn.bundle\\version.plist", b));
  EXPECT_EQ(a, b);
  const std::string content = testfiles::ReadFile(a);
  EXPECT_NE(content.find("CarrierBundles"), std::string::npos);
  // The name is the MD5 of the content in upper-case hexadecimal.
  const std::wstring stem = fs::path(a).stem().wstring();
  EXPECT_EQ(stem.size(), 32u);
  EXPECT_EQ(stem.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos);
  EXPECT_EQ(fs::path(a).parent_path(), tmp.path());
  std::wstring unused;
  EXPECT_FALSE(packaging::ExtractEntryToTemp(reader.get(), L"Payload/none", unused));
}

TEST_F(PackageBuilder, ExtractionOfADamagedEntryCreatesNothing) {
  testzip::Entry cut{"list.plist", std::string(5000, 'q')};
  cut.overrideCompressed = true;
  cut.compressed = testzip::RawDeflate(cut.data).substr(0, 10);
  const std::string zip = testzip::Build({cut});
  packaging::ZipReaderHandle reader;
  ASSERT_EQ(packaging::OpenZipFromMemory(zip.data(), zip.size(), reader), packaging::ZipReadResult::kOk);
  std::wstring path;
  EXPECT_FALSE(packaging::ExtractEntryToTemp(reader.get(), L"list.plist", path));
  EXPECT_EQ(tmp.CountFiles(".a"), 0u);
}

TEST_F(PackageBuilder, TakePackageFileRemovesWhatItRead) {
  const auto empty = tmp.path() / "empty.a";
  testfiles::WriteFile(empty, "");
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(packaging::TakePackageFile(empty.wstring(), bytes));
  EXPECT_FALSE(fs::exists(empty));
  EXPECT_FALSE(packaging::TakePackageFile((tmp.path() / "missing.a").wstring(), bytes));
  const auto full = tmp.path() / "full.a";
  testfiles::WriteFile(full, "PK bytes");
  ASSERT_TRUE(packaging::TakePackageFile(full.wstring(), bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "PK bytes");
  EXPECT_FALSE(fs::exists(full));
}

TEST(TempPaths, FreshGuidNamesInTheTemporaryFolder) {
  testfiles::ScopedTempFolder tmp;
  const std::wstring a = packaging::MakeTempPackagePath(), b = packaging::MakeTempPackagePath();
  const std::wstring p = packaging::MakeTempPicturePath();
  EXPECT_NE(a, b);
  for (const auto& [path, ext] : {std::pair{a, L".a"}, std::pair{p, L".png"}}) {
    const fs::path f(path);
    EXPECT_EQ(f.parent_path(), tmp.path());
    EXPECT_EQ(f.extension().wstring(), ext);
    const std::wstring stem = f.stem().wstring();
    ASSERT_EQ(stem.size(), 36u);
    for (size_t i = 0; i < stem.size(); ++i) {
      if (i == 8 || i == 13 || i == 18 || i == 23) {
        EXPECT_EQ(stem[i], L'-');
      } else {
        EXPECT_NE(std::wstring(L"0123456789ABCDEF").find(stem[i]), std::wstring::npos) << stem;
      }
    }
    EXPECT_FALSE(fs::exists(f));
  }
}

// A full disk fails every build and leaves no partial package or property list behind.
TEST_F(PackageBuilder, FullDiskFailsTheBuild) {
  const auto pictures = TemplateLogos(Carrier::kCmcc);
  testfiles::ScopedFileSizeLimit limit(2000);
  EXPECT_EQ(packaging::BuildCmccPackage(pictures).error, BuildError::kWritePackage);
  EXPECT_EQ(packaging::BuildUnicomPackage(pictures).error, BuildError::kWritePackage);
  EXPECT_EQ(tmp.CountFiles(".a"), 0u);
  EXPECT_FALSE(packaging::WriteWholeFile((tmp.path() / "x.a").wstring(), std::string(5000, 'x').data(), 5000));
  EXPECT_EQ(tmp.CountFiles(".a"), 0u);
}

}  // namespace
