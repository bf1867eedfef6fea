#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "packaging/CarrierTemplates.h"
#include "packaging/TemplateFixture.h"
#include "packaging/ZipFixture.h"
#include "packaging/ZipReader.h"

using packaging::Carrier;
using packaging::LogoVariant;

namespace {

std::string Entry(packaging::ZipReader* reader, const std::string& name) {
  packaging::ZipEntryInfo info;
  if (packaging::FindZipEntry(reader, packaging::Utf8ToWide(name), info) != packaging::ZipReadResult::kOk) return {};
  std::string out(static_cast<size_t>(info.uncompressedSize), '\0');
  if (packaging::UnzipEntryToMemory(reader, info, out.data(), out.size()) != packaging::ZipReadResult::kOk) return {};
  return out;
}

TEST(CarrierTemplates, EntryNames) {
  EXPECT_EQ(packaging::LogoEntryName(Carrier::kUnicom, LogoVariant::kDefault),
            "Payload/Unicom_cn.bundle/Default_CARRIER_China-Unicom_1only_@2x.png");
  EXPECT_EQ(packaging::LogoEntryName(Carrier::kCmcc, LogoVariant::kFso),
            "Payload/CMCC_cn.bundle/FSO_CARRIER_China-Mobile_1only_@2x.png");
  EXPECT_EQ(packaging::LogoEntryName(Carrier::kCmcc, LogoVariant::kTs),
            "Payload/CMCC_cn.bundle/TS_CARRIER_China-Mobile_1only_@2x.png");
  EXPECT_EQ(packaging::TemplateOf(Carrier::kUnicom).resourceId, 134);
  EXPECT_EQ(packaging::TemplateOf(Carrier::kCmcc).resourceId, 135);
}

TEST(CarrierTemplates, EachResourceIsLoadedOnce) {
  std::map<int, int> asked;
  auto source = [&](int id, std::vector<uint8_t>& bytes) {
    ++asked[id];
    const std::string data = templates::GeneratedTemplate(id);
    bytes.assign(data.begin(), data.end());
    return !data.empty();
  };
  const bool wasEmpty = packaging::CachedTemplate(Carrier::kUnicom).empty();
  for (int i = 0; i < 3; ++i) packaging::LoadTemplates(source);  // Unicom, Mobile, Unicom again
  for (int id : {134, 135}) EXPECT_LE(asked[id], 1) << id;
  if (wasEmpty) {
    EXPECT_EQ(asked[134], 1);
  }
  EXPECT_FALSE(packaging::CachedTemplate(Carrier::kUnicom).empty());
  EXPECT_FALSE(packaging::CachedTemplate(Carrier::kCmcc).empty());
}

TEST(CarrierTemplates, MissingResourceLeavesTheEntryEmptyAndIsAskedAgain) {
  if (!packaging::CachedTemplate(Carrier::kUnicom).empty()) GTEST_SKIP() << "cache already filled in this process";
  int asked = 0;
  packaging::LoadTemplates([&](int, std::vector<uint8_t>&) { return ++asked, false; });
  packaging::LoadTemplates([&](int, std::vector<uint8_t>&) { return ++asked, false; });
  EXPECT_EQ(asked, 4);
  EXPECT_TRUE(packaging::CachedTemplate(Carrier::kCmcc).empty());
  packaging::ZipReaderHandle reader;
  const auto t = packaging::CachedTemplate(Carrier::kCmcc);
  EXPECT_NE(packaging::OpenZipFromMemory(t.data, t.size, reader), packaging::ZipReadResult::kOk);
}

// Both archives: eight entries in this order, directories stored and empty, the property lists deflated,
// the logos deflated with NTFS time stamps in the central directory (China Unicom) or stored without extra fields (China Mobile).
TEST(CarrierTemplates, Layout) {
  templates::Load();
  struct Case {
    Carrier carrier;
    uint16_t logoMethod;
    bool ntfsExtra;
    uint32_t width;
  } const cases[] = {{Carrier::kUnicom, 8, true, 80}, {Carrier::kCmcc, 0, false, 135}};
  for (const auto& c : cases) {
    const std::string bytes = templates::Bytes(c.carrier);
    const auto raw = testzip::ParseRaw(bytes);
    ASSERT_TRUE(raw.ok);
    const std::string folder = packaging::BundleEntryName(c.carrier, "");
    const std::vector<std::pair<std::string, uint16_t>> expected = {
        {"Payload/", 0},
        {folder, 0},
        {folder + "carrier.plist", 8},
        {packaging::LogoEntryName(c.carrier, LogoVariant::kDefault), c.logoMethod},
        {packaging::LogoEntryName(c.carrier, LogoVariant::kFso), c.logoMethod},
        {folder + "Info.plist", 8},
        {packaging::LogoEntryName(c.carrier, LogoVariant::kTs), c.logoMethod},
        {folder + "version.plist", 8},
    };
    ASSERT_EQ(raw.entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      const auto& e = raw.entries[i];
      EXPECT_EQ(e.name, expected[i].first);
      EXPECT_EQ(e.method, expected[i].second) << e.name;
      if (i < 2) {
        EXPECT_EQ(e.uncompressedSize, 0u) << e.name;
      }
      EXPECT_EQ(!e.centralExtra.empty() && testzip::Get16(e.centralExtra, 0) == 0x000A, c.ntfsExtra) << e.name;
      EXPECT_TRUE(e.localExtra.empty()) << e.name;  // the zip library mis-copies entries with local extras
    }

    packaging::ZipReaderHandle reader;
    ASSERT_EQ(packaging::OpenZipFromMemory(bytes.data(), bytes.size(), reader), packaging::ZipReadResult::kOk);
    for (LogoVariant v : packaging::kLogoVariants) {
      const std::string png = Entry(reader.get(), packaging::LogoEntryName(c.carrier, v));
      ASSERT_GT(png.size(), 33u);
      EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
      EXPECT_EQ(png.substr(12, 4), "IHDR");
      const auto be32 = [&](size_t at) {
        return (uint32_t{static_cast<uint8_t>(png[at])} << 24) | (uint32_t{static_cast<uint8_t>(png[at + 1])} << 16) |
               (uint32_t{static_cast<uint8_t>(png[at + 2])} << 8) | static_cast<uint8_t>(png[at + 3]);
      };
      EXPECT_EQ(be32(16), c.width);
      EXPECT_EQ(be32(20), 40u);
      EXPECT_EQ(png[24], 8);  // bit depth
      EXPECT_EQ(png[25], 6);  // RGBA
    }
    // carrier.plist names exactly the archive's logos (without "@2x") and is a binary property list.
    const std::string carrier = Entry(reader.get(), folder + "carrier.plist");
    EXPECT_EQ(carrier.substr(0, 8), "bplist00");
    for (LogoVariant v : packaging::kLogoVariants) {
      std::string logo = packaging::LogoEntryName(c.carrier, v).substr(folder.size());
      logo.erase(logo.find("@2x"), 3);
      EXPECT_NE(carrier.find(logo), std::string::npos) << logo;
    }
    EXPECT_EQ(Entry(reader.get(), folder + "Info.plist").substr(0, 8), "bplist00");
    EXPECT_NE(Entry(reader.get(), folder + "version.plist").find("<string>CarrierBundles</string>"),
              std::string::npos);
  }
}

TEST(CarrierTemplates, BackSlashLookUpFindsForwardSlashEntry) {
  templates::Load();
  const auto t = packaging::CachedTemplate(Carrier::kCmcc);
  packaging::ZipReaderHandle reader;
  ASSERT_EQ(packaging::OpenZipFromMemory(t.data, t.size, reader), packaging::ZipReadResult::kOk);
  packaging::ZipEntryInfo info;
  ASSERT_EQ(packaging::FindZipEntry(reader.get(), L"Payload\\CMCC_cn.bundle\\carrier.plist", info),
            packaging::ZipReadResult::kOk);
  EXPECT_EQ(info.name, "Payload/CMCC_cn.bundle/carrier.plist");
}

#ifdef _WIN32
TEST(CarrierTemplates, ResourcesHoldTheGeneratedArchives) {
  packaging::LoadTemplates();
  EXPECT_EQ(templates::Bytes(Carrier::kUnicom), templates::GeneratedTemplate(134));
  EXPECT_EQ(templates::Bytes(Carrier::kCmcc), templates::GeneratedTemplate(135));
}
#endif

}  // namespace
