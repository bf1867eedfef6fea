#include "install/CoreFoundationValues.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "install/AfcFileService.h"

namespace install {
namespace {

// A small core-foundation stand-in: objects live in a registry so the test sees what was not released.
struct FakeObject {
  CFTypeID type = 0;
  std::u16string chars;
  bool chars_direct = false;
  std::string bytes;  // data objects; for dictionaries, their XML
  CFNumberType number_type = 0;
  int64_t number = 0;
  bool boolean = false;
  CFIndex length_override = -1;  // a string whose direct characters run on past its length
};

std::map<const void*, std::unique_ptr<FakeObject>> g_live;
bool g_parse_fails = false;
bool g_write_fails = false;

const FakeObject& Obj(const void* ref) { return *g_live.at(ref); }
const void* Make(FakeObject o) {
  auto p = std::make_unique<FakeObject>(std::move(o));
  const void* ref = p.get();
  g_live[ref] = std::move(p);
  return ref;
}

void Release(CFTypeRef ref) { ASSERT_EQ(g_live.erase(ref), 1u) << "released twice or never made"; }
CFTypeID TypeOf(CFTypeRef ref) { return Obj(ref).type; }
CFDataRef DataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
  return static_cast<CFDataRef>(Make({kCFDataTypeID, {}, false, std::string(reinterpret_cast<const char*>(bytes),
                                                                             static_cast<size_t>(length))}));
}
// "bplist00" followed by XML stands for a dictionary whose XML is that text.
CFPropertyListRef FromData(CFAllocatorRef, CFDataRef data, CFOptionFlags, CFStringRef* error) {
  if (g_parse_fails) {
    *error = static_cast<CFStringRef>(Make({kCFStringTypeID, u"bad", false}));
    return nullptr;
  }
  FakeObject o{kCFDictionaryTypeID};
  o.bytes = Obj(data).bytes.substr(8);
  return Make(o);
}
CFDataRef ToXml(CFAllocatorRef, CFPropertyListRef plist) {
  if (g_write_fails) return nullptr;
  return DataCreate(nullptr, reinterpret_cast<const UInt8*>(Obj(plist).bytes.data()),
                    static_cast<CFIndex>(Obj(plist).bytes.size()));
}
CFIndex DataLength(CFDataRef d) { return static_cast<CFIndex>(Obj(d).bytes.size()); }
void DataBytes(CFDataRef d, CFRange r, UInt8* out) {
  std::memcpy(out, Obj(d).bytes.data() + r.location, static_cast<size_t>(r.length));
}
CFIndex StringLength(CFStringRef s) {
  return Obj(s).length_override >= 0 ? Obj(s).length_override : static_cast<CFIndex>(Obj(s).chars.size());
}
const UniChar* StringPtr(CFStringRef s) {
  return Obj(s).chars_direct ? reinterpret_cast<const UniChar*>(Obj(s).chars.data()) : nullptr;
}
void StringChars(CFStringRef s, CFRange r, UniChar* out) {
  std::memcpy(out, Obj(s).chars.data() + r.location, static_cast<size_t>(r.length) * 2);
}
Boolean BoolValue(CFBooleanRef b) { return Obj(b).boolean; }
CFNumberType NumberType(CFNumberRef n) { return Obj(n).number_type; }
CFIndex NumberSize(CFNumberRef n) {
  switch (Obj(n).number_type) {
    case kCFNumberSInt8Type: return 1;
    case kCFNumberSInt16Type: return 2;
    case kCFNumberSInt32Type: return 4;
    default: return 8;
  }
}
Boolean NumberValue(CFNumberRef n, CFNumberType type, void* out) {
  const FakeObject& o = Obj(n);
  if (type != o.number_type) return 0;
  std::memcpy(out, &o.number, static_cast<size_t>(NumberSize(n)));  // little-endian host
  return 1;
}

class CoreFoundationValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_live.clear();
    g_parse_fails = g_write_fails = false;
    cf.CFRelease = Release;
    cf.CFGetTypeID = TypeOf;
    cf.CFDataCreate = DataCreate;
    cf.CFPropertyListCreateFromXMLData = FromData;
    cf.CFPropertyListCreateXMLData = ToXml;
    cf.CFDataGetLength = DataLength;
    cf.CFDataGetBytes = DataBytes;
    cf.CFStringGetLength = StringLength;
    cf.CFStringGetCharactersPtr = StringPtr;
    cf.CFStringGetCharacters = StringChars;
    cf.CFBooleanGetValue = BoolValue;
    cf.CFNumberGetType = NumberType;
    cf.CFNumberGetByteSize = NumberSize;
    cf.CFNumberGetValue = NumberValue;
  }
  void TearDown() override { g_live.clear(); }
  CoreFoundationValueFunctions cf;
};

TEST_F(CoreFoundationValuesTest, ValueToText) {
  FakeObject direct{kCFStringTypeID, u"iPhone", true};
  FakeObject copied{kCFStringTypeID, u"\u5e73\u53f0", false};
  FakeObject number{kCFNumberTypeID};
  struct Case {
    const char* name;
    FakeObject value;
    std::wstring text;
  } cases[] = {
      {"direct string", direct, L"iPhone"},
      {"copied string", copied, L"\u5e73\u53f0"},
      {"empty string", {kCFStringTypeID, u"", true}, L""},
      {"dictionary", {kCFDictionaryTypeID, {}, false, std::string("<dict/>\0tail", 12)}, L"<dict/>"},
      {"true", {kCFBooleanTypeID, {}, false, {}, 0, 0, true}, L"\u662f"},
      {"false", {kCFBooleanTypeID, {}, false, {}, 0, 0, false}, L"\u5426"},
      {"int64", {kCFNumberTypeID, {}, false, {}, kCFNumberSInt64Type, 42}, L"42"},
      {"int16", {kCFNumberTypeID, {}, false, {}, kCFNumberSInt16Type, 0xFFFE}, L"-2"},
      {"int8", {kCFNumberTypeID, {}, false, {}, kCFNumberSInt8Type, 0x80}, L"-128"},
      {"int32", {kCFNumberTypeID, {}, false, {}, kCFNumberSInt32Type, 0x7FFFFFFF}, L"2147483647"},
      {"double", {kCFNumberTypeID, {}, false, {}, kCFNumberFloat64Type, 0}, L""},
      {"data", {kCFDataTypeID, {}, false, "abc"}, L""},
  };
  for (const Case& c : cases) {
    const void* ref = Make(c.value);
    EXPECT_EQ(ValueToText(cf, ref), c.text) << c.name;
    Release(ref);
    EXPECT_TRUE(g_live.empty()) << c.name << ": every object made on the way is released";
  }
}

TEST_F(CoreFoundationValuesTest, DirectCharactersAreNotReadPastTheLength) {
  // The direct characters are not terminated: the length bounds them.
  FakeObject s{kCFStringTypeID, u"abcdef", true};
  s.length_override = 3;
  const void* ref = Make(s);
  EXPECT_EQ(ValueToText(cf, ref), L"abc");
  Release(ref);
}

TEST_F(CoreFoundationValuesTest, MissingEntriesGiveEmptyText) {
  const void* ref = Make({kCFBooleanTypeID, {}, false, {}, 0, 0, true});
  cf.CFBooleanGetValue = nullptr;
  EXPECT_EQ(ValueToText(cf, ref), L"");
  cf.CFGetTypeID = nullptr;
  EXPECT_EQ(ValueToText(cf, ref), L"");
  EXPECT_EQ(ValueToText(cf, nullptr), L"");
  Release(ref);
}

TEST_F(CoreFoundationValuesTest, DecoderReleasesEverythingOnEveryPath) {
  const std::string payload = "bplist00<plist><dict/></plist>";
  struct Case {
    const char* name;
    bool parse_fails;
    bool write_fails;
    bool ok;
  } cases[] = {
      {"converted", false, false, true},
      {"not a property list", true, false, false},
      {"cannot write", false, true, false},
  };
  for (const Case& c : cases) {
    g_parse_fails = c.parse_fails;
    g_write_fails = c.write_fails;
    CoreFoundationPlistDecoder decoder(cf);
    std::string xml = "old";
    EXPECT_EQ(decoder.ToXml(reinterpret_cast<const uint8_t*>(payload.data()), payload.size(), xml), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(xml, "<plist><dict/></plist>");
    }
    EXPECT_TRUE(g_live.empty()) << c.name;
  }
}

// ---- the file service over the mobile-device table -----------------------------------------------------------

std::vector<std::string> g_calls;
AMDError g_open_result = 0;
AMDError g_write_result = 0;

AMDError InfoOpen(AFCConnectionRef, const char* path, AFCDictionaryRef* info) {
  g_calls.push_back(std::string("info ") + path);
  *info = reinterpret_cast<AFCDictionaryRef>(0x10);
  return std::string(path) == "/PublicStaging/" ? 0 : 8;
}
AMDError KeyValueClose(AFCDictionaryRef) {
  g_calls.push_back("info-close");
  return 0;
}
AMDError FileOpen(AFCConnectionRef, const char* path, uint64_t mode, AFCFileRef* file) {
  g_calls.push_back(std::string("open ") + path + " mode " + std::to_string(mode));
  *file = 0x1234567890ull;
  return g_open_result;
}
AMDError FileSeek(AFCConnectionRef, AFCFileRef file, int64_t offset, uint32_t whence, uint32_t) {
  g_calls.push_back("seek " + std::to_string(file) + " " + std::to_string(offset) + " " + std::to_string(whence));
  return 0;
}
AMDError FileWrite(AFCConnectionRef, AFCFileRef file, const void*, uint32_t length) {
  g_calls.push_back("write " + std::to_string(file) + " " + std::to_string(length));
  return g_write_result;
}
AMDError FileClose(AFCConnectionRef, AFCFileRef file) {
  g_calls.push_back("close " + std::to_string(file));
  return 0;
}
AMDError RemovePath(AFCConnectionRef, const char* path) {
  g_calls.push_back(std::string("remove ") + path);
  return 0;
}
AMDError MakeDir(AFCConnectionRef, const char* path) {
  g_calls.push_back(std::string("mkdir ") + path);
  return 0;
}

TEST(AfcFileService, UploadCallsTheFileServiceAsItExpects) {
  MobileDeviceFunctions md;
  md.AFCFileInfoOpen = InfoOpen;
  md.AFCKeyValueClose = KeyValueClose;
  md.AFCFileRefOpen = FileOpen;
  md.AFCFileRefSeek = FileSeek;
  md.AFCFileRefWrite = FileWrite;
  md.AFCFileRefClose = FileClose;
  md.AFCRemovePath = RemovePath;
  md.AFCDirectoryCreate = MakeDir;
  AfcFileService files(md, reinterpret_cast<AFCConnectionRef>(0x20));
  const uint8_t data[10] = {};

  g_calls.clear();
  g_open_result = g_write_result = 0;
  EXPECT_EQ(UploadFromMemory(files, "/PublicStaging/1", data, 10), UploadResult::kOk);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"info /PublicStaging/", "info-close", "open /PublicStaging/1 mode 3",
                                               "seek 78187493520 0 0", "write 78187493520 10",
                                               "close 78187493520"}));

  g_calls.clear();
  g_write_result = 1;
  EXPECT_EQ(UploadFromMemory(files, "/PublicStaging/2", data, 10), UploadResult::kWriteFailed);
  EXPECT_EQ(g_calls.back(), "remove /PublicStaging/2");

  g_calls.clear();
  g_open_result = 1;
  EXPECT_EQ(UploadFromMemory(files, "/PublicStaging/3", data, 10), UploadResult::kRemoteOpenFailed);
  EXPECT_EQ(g_calls.back(), "open /PublicStaging/3 mode 3");

  MobileDeviceFunctions empty;
  AfcFileService unbound(empty, reinterpret_cast<AFCConnectionRef>(0x20));
  EXPECT_EQ(UploadFromMemory(unbound, "/PublicStaging/4", data, 10), UploadResult::kRemoteOpenFailed);
}

}  // namespace
}  // namespace install
