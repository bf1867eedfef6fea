// Where the device libraries are looked for and how their tables are resolved by name.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "device/LibraryBinding.h"

namespace {

using namespace device_binding;

const std::wstring kDefaults =
    L"C:\\Program Files (x86)\\Common Files\\Apple\\Mobile Device Support;"
    L"C:\\Program Files\\Common Files\\Apple\\Mobile Device Support;"
    L"C:\\Program Files (x86)\\Common Files\\Apple\\Apple Application Support;"
    L"C:\\Program Files\\Common Files\\Apple\\Apple Application Support";

TEST(LibrarySearch, RegistryCombinations) {
  struct Case {
    const char* label;
    RegistryValues registry;
    std::wstring mobileDevice, coreFoundation, folders;
  };
  const std::wstring md = L"C:\\Program Files\\Common Files\\Apple\\Mobile Device Support\\iTunesMobileDevice.dll";
  const std::wstring cf = L"C:\\Program Files\\Common Files\\Apple\\Apple Application Support\\";
  const Case cases[] = {
      {"both values", {md, cf}, md, cf + L"CoreFoundation.dll",
       L"C:\\Program Files\\Common Files\\Apple\\Mobile Device Support;"
       L"C:\\Program Files\\Common Files\\Apple\\Apple Application Support"},
      {"neither value", {}, L"", L"", kDefaults},
      {"only InstallDir", {std::nullopt, cf}, L"", cf + L"CoreFoundation.dll",
       L";C:\\Program Files\\Common Files\\Apple\\Apple Application Support"},
      {"only the library", {md, std::nullopt}, md, L"",
       L"C:\\Program Files\\Common Files\\Apple\\Mobile Device Support"},
      {"library value without a folder", {L"iTunesMobileDevice.dll", std::nullopt}, L"iTunesMobileDevice.dll", L"",
       L"iTunesMobileDevice.dll"},
      {"empty values", {L"", L""}, L"", L"CoreFoundation.dll", L";"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    LibraryPlan plan = PlanLibrarySearch(c.registry);
    EXPECT_EQ(plan.mobileDevicePath, c.mobileDevice);
    EXPECT_EQ(plan.coreFoundationPath, c.coreFoundation);
    EXPECT_EQ(plan.folderList, c.folders);
  }
  EXPECT_EQ(kDefaults.size(), 251u);
  EXPECT_EQ(std::wstring(kDefaultFolderList), kDefaults);
}

// Current installs register "MobileDeviceDLL" and keep both libraries in the Common Files folder. Those
// places are tried, in this order, after the older values; the older values' folders still make "PATH".
TEST(LibrarySearch, CurrentInstallsAreFallbacks) {
  const std::wstring common = L"C:\\Program Files\\Common Files";
  const std::wstring support = common + L"\\Apple\\Mobile Device Support";
  const std::wstring current = support + L"\\MobileDevice.dll";
  const std::wstring cf = L"C:\\Program Files\\Common Files\\Apple\\Apple Application Support\\";

  RegistryValues today;
  today.currentMobileDeviceLibrary = current;
  LibraryPlan plan = PlanLibrarySearch(today, common);
  EXPECT_EQ(plan.mobileDevicePath, L"");
  EXPECT_EQ(plan.coreFoundationPath, L"") << "taken from beside the library once it is loaded";
  EXPECT_EQ(plan.mobileDeviceFallbacks,
            (std::vector<std::wstring>{current, support + L"\\MobileDevice.dll", support + L"\\iTunesMobileDevice.dll"}));
  EXPECT_EQ(plan.folderList, support + L";" + kDefaults);

  LibraryPlan nothing = PlanLibrarySearch({}, common + L"\\");
  EXPECT_EQ(nothing.mobileDeviceFallbacks,
            (std::vector<std::wstring>{support + L"\\MobileDevice.dll", support + L"\\iTunesMobileDevice.dll"}));
  EXPECT_EQ(nothing.folderList, support + L";" + kDefaults);
  EXPECT_TRUE(PlanLibrarySearch({}).mobileDeviceFallbacks.empty()) << "no Common Files folder known";

  RegistryValues both{L"D:\\Old\\iTunesMobileDevice.dll", cf, current};
  LibraryPlan older = PlanLibrarySearch(both, common);
  EXPECT_EQ(older.mobileDevicePath, L"D:\\Old\\iTunesMobileDevice.dll");
  EXPECT_EQ(older.coreFoundationPath, cf + L"CoreFoundation.dll");
  EXPECT_EQ(older.mobileDeviceFallbacks.front(), current);
  EXPECT_EQ(older.folderList, L"D:\\Old;" + cf.substr(0, cf.size() - 1));

  EXPECT_EQ(CoreFoundationBeside(current), support + L"\\CoreFoundation.dll");
  EXPECT_EQ(CoreFoundationBeside(L"MobileDevice.dll"), L"");
}

TEST(LibrarySearch, PathIsPrefixedOnce) {
  EXPECT_EQ(PrefixedPath(L"A;B", L"C:\\Windows"), L"A;B;C:\\Windows");
  EXPECT_EQ(PrefixedPath(L"A;B", L""), L"A;B;");
  // A retry after a failed binding finds the prefix already there.
  EXPECT_EQ(PrefixedPath(L"A;B", L"A;B;C:\\Windows"), L"A;B;C:\\Windows");
  EXPECT_EQ(PrefixedPath(L"A", L"AB;C"), L"A;AB;C");
}

struct Name {
  const char* name;
  bool required;
};

const std::vector<Name> kMobileDevice = {
    {"AMDeviceNotificationSubscribe", true}, {"AMDeviceNotificationUnsubscribe", true},
    {"AMDeviceCopyDeviceIdentifier", false}, {"AMDeviceConnect", true},
    {"AMDeviceIsPaired", true},              {"AMDeviceValidatePairing", true},
    {"AMDevicePair", true},                  {"AMDeviceUnpair", true},
    {"AMDeviceStartSession", true},          {"AMDeviceStartService", true},
    {"AMDeviceStopSession", true},           {"AMDeviceSecureStartService", true},
    {"AMDServiceConnectionGetSocket", true}, {"AMDServiceConnectionGetSecureIOContext", true},
    {"AFCConnectionOpen", true},             {"AFCDeviceInfoOpen", true},
    {"AFCDirectoryOpen", true},              {"AFCDirectoryRead", true},
    {"AFCFileRefWrite", true},               {"AFCDirectoryClose", true},
    {"AFCDirectoryCreate", true},            {"AFCFileInfoOpen", true},
    {"AFCKeyValueRead", true},               {"AFCKeyValueClose", true},
    {"AFCFileRefOpen", true},                {"AFCFileRefRead", true},
    {"AFCFileRefSeek", true},                {"AFCFileRefClose", true},
    {"AFCRemovePath", true},                 {"AFCRenamePath", true},
    {"AFCConnectionClose", true},            {"AMDeviceDisconnect", true},
    {"AMDeviceRelease", true},               {"AMDeviceCopyValue", false},
    {"AMDPostNotification", false},             {"AMDServiceConnectionSend", false},
    {"AMDServiceConnectionReceive", false},
};

const std::vector<Name> kCoreFoundation = {
    {"CFWriteStreamCreateWithFile", true}, {"CFReadStreamCreateWithFile", true},
    {"CFStringCreateWithCString", true},   {"CFURLCreateWithFileSystemPath", true},
    {"CFReadStreamOpen", true},            {"CFWriteStreamOpen", true},
    {"CFPropertyListCreateFromStream", true}, {"CFReadStreamClose", true},
    {"CFPropertyListIsValid", true},       {"CFPropertyListWriteToStream", true},
    {"CFWriteStreamClose", true},          {"CFRelease", true},
    {"CFURLCreateDataAndPropertiesFromResource", true}, {"CFPropertyListCreateFromXMLData", true},
    {"CFPropertyListCreateXMLData", true}, {"CFURLWriteDataAndPropertiesToResource", true},
    {"__CFStringMakeConstantString", true}, {"CFStringGetCharactersPtr", false},
    {"CFDataCreate", true},                {"CFDataGetBytePtr", true},
    {"CFGetTypeID", true},                 {"CFStringGetTypeID", true},
    {"CFDictionaryGetTypeID", true},       {"CFBooleanGetTypeID", false},
    {"CFNumberGetTypeID", true},           {"CFDataGetTypeID", true},
    {"CFArrayGetTypeID", true},
};

const std::vector<const char*> kValueExtras = {
    "CFStringGetLength", "CFStringGetCharacters", "CFNumberGetByteSize", "CFNumberGetType",
    "CFNumberGetValue",  "CFBooleanGetValue",     "CFArrayCreate",       "CFArrayGetCount",
    "CFArrayGetValueAtIndex", "CFDataGetLength",  "CFDataGetBytes",
};

// A library exporting every name but `missing`; each name resolves to its own distinct address.
struct FakeExports {
  std::string missing;
  std::vector<std::string> asked;
  std::map<std::string, int> cells;
  SymbolLookup Lookup() {
    return [this](const char* name) -> void* {
      asked.push_back(name);
      return name == missing ? nullptr : &cells[name];
    };
  }
};

template <typename Table>
std::vector<void*> Slots(const Table& t) {
  std::vector<void*> out(sizeof(Table) / sizeof(void*));
  std::memcpy(out.data(), &t, sizeof(Table));
  return out;
}

TEST(TableResolution, MobileDeviceNamesInOrderWithTheirRequirement) {
  FakeExports all;
  MobileDeviceFunctions table;
  ASSERT_TRUE(ResolveMobileDeviceFunctions(all.Lookup(), table));
  ASSERT_EQ(all.asked.size(), kMobileDevice.size());
  std::vector<void*> slots = Slots(table);
  for (size_t i = 0; i < kMobileDevice.size(); ++i) {
    EXPECT_EQ(all.asked[i], kMobileDevice[i].name);
    EXPECT_EQ(slots[i], &all.cells[kMobileDevice[i].name]) << "slot " << i << " holds another entry";
  }
  for (const Name& n : kMobileDevice) {
    FakeExports lacking{n.name};
    MobileDeviceFunctions t;
    EXPECT_EQ(ResolveMobileDeviceFunctions(lacking.Lookup(), t), !n.required) << n.name;
    EXPECT_EQ(lacking.asked.size(), kMobileDevice.size()) << "every name is still resolved without " << n.name;
  }
}

TEST(TableResolution, CoreFoundationNamesInOrderWithTheirRequirement) {
  FakeExports all;
  CoreFoundationFunctions table;
  ASSERT_TRUE(ResolveCoreFoundationFunctions(all.Lookup(), table));
  ASSERT_EQ(all.asked.size(), kCoreFoundation.size());
  std::vector<void*> slots = Slots(table);
  for (size_t i = 0; i < kCoreFoundation.size(); ++i) {
    EXPECT_EQ(all.asked[i], kCoreFoundation[i].name);
    EXPECT_EQ(slots[i], &all.cells[kCoreFoundation[i].name]);
  }
  for (const Name& n : kCoreFoundation) {
    FakeExports lacking{n.name};
    CoreFoundationFunctions t;
    EXPECT_EQ(ResolveCoreFoundationFunctions(lacking.Lookup(), t), !n.required) << n.name;
  }
}

TEST(TableResolution, ValueTableIsTheCoreTableThenTheValueReadersUnchecked) {
  FakeExports all;
  CoreFoundationValueFunctions table;
  ResolveCoreFoundationValueFunctions(all.Lookup(), table);
  ASSERT_EQ(all.asked.size(), 38u);
  std::vector<void*> slots = Slots(table);
  for (size_t i = 0; i < 38; ++i) {
    const char* expected = i < 27 ? kCoreFoundation[i].name : kValueExtras[i - 27];
    EXPECT_EQ(all.asked[i], expected);
    EXPECT_EQ(slots[i], &all.cells[expected]);
  }
  FakeExports none{"CFDataGetBytes"};
  CoreFoundationValueFunctions partial;
  ResolveCoreFoundationValueFunctions(none.Lookup(), partial);
  EXPECT_EQ(partial.CFDataGetBytes, nullptr);
  EXPECT_NE(partial.CFDataGetLength, nullptr);
}

}  // namespace
