// The simulated installation service: packages it accepts and refuses, its reply styles, and the framed
// connection loop with its log.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "simulator/core/InstallService.h"
#include "simulator/core/PackageArchive.h"
#include "simulator/plist/BinaryPlist.h"
#include "tests/simulator/BundleFixtures.h"
#include "tests/simulator/TempFolder.h"

namespace {

using namespace sim;
using plist::Value;

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

ArchiveReadResult Read(const fixtures::Entries& e) {
  std::string zip = fixtures::Zip(e);
  return ReadArchive(reinterpret_cast<const uint8_t*>(zip.data()), zip.size());
}

TEST(CarrierBundleCheck, AcceptsAWellFormedBundleAndNamesWhatIsWrongOtherwise) {
  auto good = Read(fixtures::CarrierBundle());
  ASSERT_TRUE(good) << good.detail;
  PackageCheck ok = CheckCarrierBundle(good.entries);
  EXPECT_TRUE(ok.ok) << ok.problem;
  EXPECT_EQ(ok.bundleName, "Unicom_cn.bundle");
  EXPECT_EQ(ok.identifier, "com.apple.Unicom_cn");

  const std::string dir = "Payload/Unicom_cn.bundle/";
  struct Case {
    const char* label;
    std::function<void(fixtures::Entries&)> change;
    const char* problem;  // part of the reason given
  };
  const Case cases[] = {
      {"no Info.plist", [&](auto& e) { e.erase(dir + "Info.plist"); }, "Info.plist"},
      {"no version.plist", [&](auto& e) { e.erase(dir + "version.plist"); }, "version.plist"},
      {"carrier.plist not a list", [&](auto& e) { e[dir + "carrier.plist"] = "garbage"; }, "carrier.plist"},
      {"logo missing", [&](auto& e) { e.erase(dir + "FSO_CARRIER_X_1only_@2x.png"); }, "FSO_CARRIER_X_1only_"},
      {"logo not a PNG", [&](auto& e) { e[dir + "TS_CARRIER_X_1only_@2x.png"] = "JFIF...."; }, "not a PNG"},
      {"stray picture not a PNG", [&](auto& e) { e[dir + "extra.png"] = "GIF89a"; }, "extra.png"},
      {"second bundle", [&](auto& e) { e["Payload/Other.bundle/Info.plist"] = "x"; }, "more than one"},
      {"no bundle folder", [&](auto& e) {
         fixtures::Entries moved;
         for (auto& [k, v] : e) moved[k.rfind(dir, 0) == 0 ? "Payload/Unicom_cn/" + k.substr(dir.size()) : k] = v;
         e = moved;
       }, "no Payload"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fixtures::Entries e = fixtures::CarrierBundle();
    c.change(e);
    auto archive = Read(e);
    ASSERT_TRUE(archive) << archive.detail;
    PackageCheck check = CheckCarrierBundle(archive.entries);
    EXPECT_FALSE(check.ok);
    EXPECT_NE(check.problem.find(c.problem), std::string::npos) << check.problem;
  }
}

TEST(PackageReading, RefusesDamagedAndUnsafeArchives) {
  std::string zip = fixtures::Zip(fixtures::CarrierBundle());
  auto read = [](const std::string& z) { return ReadArchive(reinterpret_cast<const uint8_t*>(z.data()), z.size()); };
  EXPECT_EQ(read("").status, ArchiveStatus::NotZip);
  EXPECT_EQ(read("not a zip at all").status, ArchiveStatus::NotZip);
  EXPECT_FALSE(read(zip.substr(0, zip.size() / 2)));
  std::string flipped = zip;
  size_t data = flipped.find("version.plist");  // the name in the first local header that mentions it...
  ASSERT_NE(data, std::string::npos);
  flipped[data + 13 + 40] ^= 0x55;  // ...and a byte of its compressed data just after
  EXPECT_FALSE(read(flipped));
  EXPECT_TRUE(read(fixtures::StoredZip({{"Payload/fine.txt", "x"}})));
  for (const char* name : {"Payload/../../evil.txt", "/abs.txt", "Payload\\x.bundle\\a", "C:/x", ""}) {
    EXPECT_EQ(read(fixtures::StoredZip({{name, "x"}})).status, ArchiveStatus::UnsafeName) << name;
  }
}

class Service : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(layout.Media() / "PublicStaging");
    fs::create_directories(layout.Installed());
  }
  void Stage(const std::string& name, const std::string& bytes) {
    std::ofstream out(layout.Media() / "PublicStaging" / name, std::ios::binary);
    out << bytes;
  }
  std::vector<Value> Run(const std::string& request) {
    InstallService service(layout, behaviour);
    std::vector<uint8_t> r = Bytes(request);
    return service.Handle(r.data(), r.size());
  }
  static std::string Statuses(const std::vector<Value>& replies) {
    std::string out;
    for (const Value& v : replies) {
      if (v.Find("Error")) {
        out += "Error:" + v.StringAt("Error");
      } else {
        out += v.StringAt("Status");
        if (auto* p = v.Find("PercentComplete")) out += "(" + std::to_string(p->As<plist::Integer>()->value) + ")";
      }
      out += " ";
    }
    return out;
  }

  testing_support::TempFolder root;
  DeviceLayout layout{root.path()};
  InstallBehaviour behaviour;
};

TEST_F(Service, CarrierBundleInstallForEachReplyStyle) {
  const std::string streamed =
      "CreatingStagingDirectory(5) ExtractingPackage(15) InspectingPackage(20) TakingInstallLock(20) "
      "PreflightingApplication(30) VerifyingApplication(40) CreatingContainer(50) InstallingApplication(60) "
      "PostflightingApplication(70) SandboxingApplication(80) GeneratingApplicationMap(90) Complete ";
  struct Case {
    const char* label;
    InstallBehaviour::Style style;
    std::string error;
    bool validPackage;
    std::string expected;
  };
  const Case cases[] = {
      {"modern", InstallBehaviour::Style::Modern, "", true, "Complete "},
      {"modern, bad package", InstallBehaviour::Style::Modern, "", false, "Error:APIInternalError "},
      {"modern, given error", InstallBehaviour::Style::Modern, "DeviceFamilyNotSupported", true,
       "Error:DeviceFamilyNotSupported "},
      {"streamed", InstallBehaviour::Style::Streamed, "", true, streamed},
      {"streamed, bad package", InstallBehaviour::Style::Streamed, "", false,
       "CreatingStagingDirectory(5) ExtractingPackage(15) InspectingPackage(20) Error:CarrierBundleCopyFailed "},
      {"streamed, given error", InstallBehaviour::Style::Streamed, "DeviceFamilyNotSupported", true,
       "CreatingStagingDirectory(5) ExtractingPackage(15) InspectingPackage(20) Error:DeviceFamilyNotSupported "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    behaviour.style = c.style;
    behaviour.error = c.error;
    fixtures::Entries e = fixtures::CarrierBundle();
    if (!c.validPackage) e.erase("Payload/Unicom_cn.bundle/carrier.plist");
    Stage("12345678", fixtures::Zip(e));
    fs::remove_all(layout.Installed());
    auto replies = Run(fixtures::CarrierInstallRequest("/PublicStaging/12345678"));
    EXPECT_EQ(Statuses(replies), c.expected);
    bool installed = fs::exists(layout.Installed() / "CarrierBundles" / "Unicom_cn.bundle" / "carrier.plist");
    EXPECT_EQ(installed, c.validPackage && c.error.empty());
    EXPECT_EQ(fs::exists(layout.Media() / "PublicStaging" / "12345678"), !installed) << "staged file kept";
    if (c.style == InstallBehaviour::Style::Streamed && !replies.empty() && replies.back().Find("Error")) {
      EXPECT_FALSE(replies.back().StringAt("ErrorDescription").empty());
    }
  }
}

TEST_F(Service, PackagePathOutsideTheMediaFolderOrMissing) {
  behaviour.style = InstallBehaviour::Style::Streamed;
  fs::create_directories(root.path() / "outside");
  std::ofstream(root.path() / "outside" / "pkg", std::ios::binary) << fixtures::Zip(fixtures::CarrierBundle());
  EXPECT_EQ(Statuses(Run(fixtures::CarrierInstallRequest("/../outside/pkg"))), "Error:MissingPackagePath ");
  EXPECT_EQ(Statuses(Run(fixtures::CarrierInstallRequest(""))), "Error:MissingPackagePath ");
  EXPECT_EQ(Statuses(Run(fixtures::CarrierInstallRequest("/PublicStaging/none"))),
            "CreatingStagingDirectory(5) ExtractingPackage(15) Error:PackageExtractionFailed ");
  EXPECT_FALSE(fs::exists(layout.Installed() / "CarrierBundles"));
}

TEST_F(Service, AppInstallStreamsAndUninstallRemoves) {
  Stage("00000001.ipa", fixtures::Zip(fixtures::AppPackage("com.example.app")));
  auto replies = Run(fixtures::AppInstallRequest("/PublicStaging/00000001.ipa"));
  ASSERT_EQ(replies.size(), 12u);  // app installs stream whatever the style
  EXPECT_EQ(replies.back().StringAt("Status"), "Complete");
  EXPECT_TRUE(fs::exists(layout.Installed() / "Applications" / "com.example.app" / "Info.plist"));
  EXPECT_EQ(Statuses(Run(fixtures::UninstallRequest("com.example.app"))), "RemovingApplication(50) Complete ");
  EXPECT_FALSE(fs::exists(layout.Installed() / "Applications" / "com.example.app"));
  EXPECT_EQ(Statuses(Run(fixtures::UninstallRequest("com.example.app"))), "Error:APIInternalError ");
  EXPECT_EQ(Statuses(Run(fixtures::UninstallRequest("../Applications"))), "Error:APIInternalError ");
}

TEST_F(Service, UnreadableRequestsGetAnError) {
  EXPECT_EQ(Statuses(Run("")), "Error:InvalidRequest ");
  EXPECT_EQ(Statuses(Run("<plist><array/></plist>")), "Error:InvalidRequest ");
  EXPECT_EQ(Statuses(Run("<plist><dict><key>Command</key><string>Browse</string></dict></plist>")),
            "Error:InvalidCommand ");
}

// The service end of a connection, fed from a script of bytes.
class ScriptedStream : public ServiceStream {
 public:
  explicit ScriptedStream(std::vector<uint8_t> input) : in_(std::move(input)) {}
  bool ReadExact(uint8_t* buffer, size_t size) override {
    if (in_.size() - pos_ < size) return false;
    std::copy(in_.begin() + static_cast<ptrdiff_t>(pos_), in_.begin() + static_cast<ptrdiff_t>(pos_ + size), buffer);
    pos_ += size;
    return true;
  }
  bool WriteAll(const uint8_t* data, size_t size) override {
    out.insert(out.end(), data, data + size);
    return true;
  }
  // The payloads of the frames written so far.
  std::vector<std::vector<uint8_t>> Frames() const {
    std::vector<std::vector<uint8_t>> frames;
    for (size_t p = 0; p + 4 <= out.size();) {
      size_t n = size_t(out[p]) << 24 | size_t(out[p + 1]) << 16 | size_t(out[p + 2]) << 8 | out[p + 3];
      frames.emplace_back(out.begin() + static_cast<ptrdiff_t>(p + 4), out.begin() + static_cast<ptrdiff_t>(p + 4 + n));
      p += 4 + n;
    }
    return frames;
  }
  std::vector<uint8_t> out;

 private:
  std::vector<uint8_t> in_;
  size_t pos_ = 0;
};

std::vector<uint8_t> Frame(const std::string& payload) {
  uint32_t n = static_cast<uint32_t>(payload.size());
  std::vector<uint8_t> f = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
  f.insert(f.end(), payload.begin(), payload.end());
  return f;
}

TEST_F(Service, ConnectionLoopFramesRepliesLogsBothWaysAndHonoursLimits) {
  Stage("12345678", fixtures::Zip(fixtures::CarrierBundle()));
  const std::string request = fixtures::CarrierInstallRequest("/PublicStaging/12345678");
  struct Case {
    const char* label;
    InstallBehaviour::Style style;
    bool xml;
    int closeAfter;
    int delayMs;
    size_t frames;
  };
  const Case cases[] = {
      {"modern binary", InstallBehaviour::Style::Modern, false, -1, 0, 1},
      {"modern xml", InstallBehaviour::Style::Modern, true, -1, 0, 1},
      {"streamed, closed after 2", InstallBehaviour::Style::Streamed, false, 2, 0, 2},
      {"streamed, delayed", InstallBehaviour::Style::Streamed, true, -1, 25, 12},
      {"closed at once", InstallBehaviour::Style::Modern, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove(layout.ServiceLog());
    behaviour = InstallBehaviour{};
    behaviour.style = c.style;
    behaviour.xmlReplies = c.xml;
    behaviour.closeAfter = c.closeAfter;
    behaviour.replyDelayMs = c.delayMs;
    behaviour.keepStaged = true;
    InstallService service(layout, behaviour);
    ServiceLog log(layout.ServiceLog());
    ScriptedStream stream(Frame(request));
    std::vector<int> sleeps;
    ServeInstallation(stream, service, log, [&](int ms) { sleeps.push_back(ms); });

    auto frames = stream.Frames();
    ASSERT_EQ(frames.size(), c.frames);
    EXPECT_EQ(sleeps.size(), c.delayMs ? c.frames : 0u);
    for (const auto& f : frames) {
      EXPECT_EQ(plist::IsBinaryPlist(f.data(), f.size()), !c.xml);
      EXPECT_TRUE(plist::ParseAny(f.data(), f.size()));
    }
    if (c.frames) {
      EXPECT_EQ(plist::ParseAny(frames[0].data(), frames[0].size())->Find("Error"), nullptr);
    }
    auto records = ReadServiceLog(layout.ServiceLog());
    if (c.closeAfter == 0) {
      EXPECT_FALSE(records);  // nothing was read
      continue;
    }
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1 + c.frames);
    EXPECT_EQ((*records)[0].direction, 'Q');
    EXPECT_EQ((*records)[0].payload, Bytes(request));
    for (size_t i = 0; i < c.frames; ++i) {
      EXPECT_EQ((*records)[1 + i].direction, 'A');
      EXPECT_EQ((*records)[1 + i].payload, frames[i]);
    }
  }
}

TEST_F(Service, ConnectionLoopDropsOversizeAndShortFrames) {
  InstallService service(layout, behaviour);
  ServiceLog log(layout.ServiceLog());
  ScriptedStream oversize({0x01, 0x00, 0x00, 0x00, 'x'});
  ServeInstallation(oversize, service, log, [](int) {});
  EXPECT_TRUE(oversize.out.empty());
  ScriptedStream cut({0x00, 0x00, 0x00, 0x10, '<', 'p'});
  ServeInstallation(cut, service, log, [](int) {});
  EXPECT_TRUE(cut.out.empty());
  EXPECT_FALSE(fs::exists(layout.ServiceLog()));
}

}  // namespace
