// The simulated core-foundation library through the entry points the program binds.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "tests/simulator/CfLibrary.h"
#include "tests/simulator/Fixtures.h"
#include "tests/simulator/TempFolder.h"

namespace {

using testing_support::Cf;

std::string XmlOf(CFTypeRef value) {
  CFDataRef xml = Cf().CFPropertyListCreateXMLData(nullptr, value);
  if (!xml) return "(none)";
  std::string text(reinterpret_cast<const char*>(Cf().CFDataGetBytePtr(xml)),
                   static_cast<size_t>(Cf().CFDataGetLength(xml)));
  Cf().CFRelease(xml);
  return text;
}

CFStringRef Key(const char* text) { return Cf().__CFStringMakeConstantString(text); }

std::u16string Chars(CFStringRef s) {
  std::u16string out(static_cast<size_t>(Cf().CFStringGetLength(s)), u'\0');
  Cf().CFStringGetCharacters(s, CFRange{0, static_cast<CFIndex>(out.size())}, reinterpret_cast<UniChar*>(out.data()));
  return out;
}

TEST(CoreFoundationLibrary, EveryBoundNameResolves) {
  const auto* slots = reinterpret_cast<void* const*>(static_cast<const CoreFoundationValueFunctions*>(&Cf()));
  for (size_t i = 0; i < sizeof(CoreFoundationValueFunctions) / sizeof(void*); ++i) EXPECT_NE(slots[i], nullptr) << i;
  EXPECT_EQ(Cf().CFStringGetTypeID(), 7u);
  EXPECT_EQ(Cf().CFDictionaryGetTypeID(), 18u);
  EXPECT_EQ(Cf().CFBooleanGetTypeID(), 21u);
  EXPECT_EQ(Cf().CFNumberGetTypeID(), 22u);
}

TEST(CoreFoundationLibrary, BinaryReplyBecomesPlatformStyleXml) {
  const auto& bin = fixtures::kBinaryMixed;
  CFDataRef data = Cf().CFDataCreate(nullptr, bin.data(), static_cast<CFIndex>(bin.size()));
  ASSERT_NE(data, nullptr);
  CFStringRef error = nullptr;
  CFPropertyListRef list = Cf().CFPropertyListCreateFromXMLData(nullptr, data, kCFPropertyListImmutable, &error);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(Cf().CFGetTypeID(list), kCFDictionaryTypeID);
  EXPECT_EQ(XmlOf(list), fixtures::kXmlMixed);

  // And the XML text reads back to the same list.
  CFDataRef xmlData = Cf().CFPropertyListCreateXMLData(nullptr, list);
  CFPropertyListRef again = Cf().CFPropertyListCreateFromXMLData(nullptr, xmlData, 0, nullptr);
  EXPECT_EQ(XmlOf(again), fixtures::kXmlMixed);
  for (CFTypeRef r : {CFTypeRef(data), list, CFTypeRef(xmlData), again}) Cf().CFRelease(r);
}

TEST(CoreFoundationLibrary, ValuesInsideAList) {
  const std::string xml =
      "<plist><dict><key>s</key><string>中国移动</string><key>b</key><true/><key>n</key><integer>-7</integer>"
      "<key>d</key><data>AAE=</data><key>a</key><array><string>x</string></array></dict></plist>";
  CFDataRef data = Cf().CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(xml.data()), static_cast<CFIndex>(xml.size()));
  auto dict = static_cast<CFDictionaryRef>(Cf().CFPropertyListCreateFromXMLData(nullptr, data, 0, nullptr));
  ASSERT_NE(dict, nullptr);
  EXPECT_EQ(Cf().DictionaryGetCount(dict), 5);
  auto s = static_cast<CFStringRef>(Cf().DictionaryGetValue(dict, Key("s")));
  EXPECT_EQ(Cf().CFGetTypeID(s), kCFStringTypeID);
  EXPECT_EQ(Chars(s), u"中国移动");
  // Non-ASCII text can be handed out directly; 8-bit text cannot (the program then copies it).
  ASSERT_NE(Cf().CFStringGetCharactersPtr(s), nullptr);
  EXPECT_EQ(std::u16string_view(reinterpret_cast<const char16_t*>(Cf().CFStringGetCharactersPtr(s)), 4), u"中国移动");
  EXPECT_EQ(Cf().CFStringGetCharactersPtr(Key("DeviceName")), nullptr);
  auto b = static_cast<CFBooleanRef>(Cf().DictionaryGetValue(dict, Key("b")));
  EXPECT_EQ(Cf().CFGetTypeID(b), kCFBooleanTypeID);
  EXPECT_EQ(Cf().CFBooleanGetValue(b), 1);
  auto n = static_cast<CFNumberRef>(Cf().DictionaryGetValue(dict, Key("n")));
  EXPECT_EQ(Cf().CFNumberGetType(n), kCFNumberSInt64Type);
  int64_t v = 0;
  EXPECT_EQ(Cf().CFNumberGetValue(n, kCFNumberSInt64Type, &v), 1);
  EXPECT_EQ(v, -7);
  auto d = static_cast<CFDataRef>(Cf().DictionaryGetValue(dict, Key("d")));
  EXPECT_EQ(Cf().CFGetTypeID(d), kCFDataTypeID);
  UInt8 bytes[2] = {9, 9};
  Cf().CFDataGetBytes(d, CFRange{0, 2}, bytes);
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes[1], 1);
  auto a = static_cast<CFArrayRef>(Cf().DictionaryGetValue(dict, Key("a")));
  EXPECT_EQ(Cf().CFGetTypeID(a), kCFArrayTypeID);
  EXPECT_EQ(Cf().CFArrayGetCount(a), 1);
  EXPECT_EQ(Chars(static_cast<CFStringRef>(Cf().CFArrayGetValueAtIndex(a, 0))), u"x");
  EXPECT_EQ(Cf().CFArrayGetValueAtIndex(a, 1), nullptr);
  Cf().CFRelease(dict);
  Cf().CFRelease(data);
}

TEST(CoreFoundationLibrary, NumbersOfEveryWidth) {
  struct Case {
    CFNumberType created;
    int64_t value;
    CFNumberType type;  // what CFNumberGetType reports
    CFIndex size;
    bool fitsInt8;
  };
  const Case cases[] = {
      {kCFNumberSInt8Type, -5, kCFNumberSInt8Type, 1, true},
      {kCFNumberCharType, 100, kCFNumberSInt8Type, 1, true},
      {kCFNumberSInt16Type, -300, kCFNumberSInt16Type, 2, false},
      {kCFNumberShortType, -32768, kCFNumberSInt16Type, 2, false},
      {kCFNumberSInt32Type, 42, kCFNumberSInt32Type, 4, true},
      {kCFNumberIntType, -2147483647 - 1, kCFNumberSInt32Type, 4, false},
      {kCFNumberSInt64Type, 42, kCFNumberSInt64Type, 8, true},
      {kCFNumberLongLongType, INT64_MIN, kCFNumberSInt64Type, 8, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    uint8_t in[8] = {};
    int8_t v8 = static_cast<int8_t>(c.value);
    int16_t v16 = static_cast<int16_t>(c.value);
    int32_t v32 = static_cast<int32_t>(c.value);
    int64_t v64 = c.value;
    std::memcpy(in, c.size == 1 ? static_cast<void*>(&v8) : c.size == 2 ? static_cast<void*>(&v16)
                    : c.size == 4 ? static_cast<void*>(&v32) : static_cast<void*>(&v64), static_cast<size_t>(c.size));
    CFNumberRef n = Cf().NumberCreate(nullptr, c.created, in);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(Cf().CFGetTypeID(n), kCFNumberTypeID);
    EXPECT_EQ(Cf().CFNumberGetType(n), c.type);
    EXPECT_EQ(Cf().CFNumberGetByteSize(n), c.size);
    uint8_t out[8] = {};
    EXPECT_EQ(Cf().CFNumberGetValue(n, c.type, out), 1);
    EXPECT_EQ(std::memcmp(out, in, static_cast<size_t>(c.size)), 0);
    int64_t wide = 0;
    EXPECT_EQ(Cf().CFNumberGetValue(n, kCFNumberSInt64Type, &wide), 1);
    EXPECT_EQ(wide, c.value);
    int8_t narrow = 0;
    EXPECT_EQ(Cf().CFNumberGetValue(n, kCFNumberSInt8Type, &narrow), c.fitsInt8 ? 1 : 0);
    Cf().CFRelease(n);
  }
  double half = 0.5;
  CFNumberRef real = Cf().NumberCreate(nullptr, kCFNumberFloat64Type, &half);
  EXPECT_EQ(Cf().CFNumberGetType(real), kCFNumberFloat64Type);
  int32_t truncated = 0;
  EXPECT_EQ(Cf().CFNumberGetValue(real, kCFNumberSInt32Type, &truncated), 0);
  Cf().CFRelease(real);
}

TEST(CoreFoundationLibrary, ReferenceCountsAndForeignReferences) {
  std::u16string text = u"Hi";
  CFStringRef s = Cf().StringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar*>(text.data()), 2);
  const void* values[] = {s, Cf().True};
  CFArrayRef a = Cf().CFArrayCreate(nullptr, values, 2, Cf().ArrayCallBacks);
  EXPECT_EQ(Cf().GetRetainCount(s), 2);  // the array holds it too
  Cf().CFRelease(s);
  EXPECT_EQ(Chars(static_cast<CFStringRef>(Cf().CFArrayGetValueAtIndex(a, 0))), u"Hi");
  Cf().CFRelease(a);
  // Constant strings are the same object for the same text and are never freed.
  EXPECT_EQ(Key("UniqueDeviceID"), Key("UniqueDeviceID"));
  Cf().CFRelease(Key("UniqueDeviceID"));
  EXPECT_EQ(Chars(Key("UniqueDeviceID")), u"UniqueDeviceID");
  // References the library never handed out are refused, not followed.
  int local = 0;
  EXPECT_EQ(Cf().CFGetTypeID(&local), 0u);
  EXPECT_EQ(Cf().CFStringGetLength(reinterpret_cast<CFStringRef>(&local)), 0);
  Cf().CFRelease(&local);
  EXPECT_EQ(Cf().CFPropertyListCreateXMLData(nullptr, &local), nullptr);
}

TEST(CoreFoundationLibrary, MalformedListsGiveNullAndAnErrorText) {
  for (std::string_view bad : {std::string_view("bplist00garbage"), std::string_view("<plist><dict><key>"),
                               std::string_view("")}) {
    CFDataRef data = Cf().CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bad.data()), static_cast<CFIndex>(bad.size()));
    CFStringRef error = nullptr;
    EXPECT_EQ(Cf().CFPropertyListCreateFromXMLData(nullptr, data, 0, &error), nullptr) << bad;
    ASSERT_NE(error, nullptr);
    EXPECT_GT(Cf().CFStringGetLength(error), 0);
    Cf().CFRelease(error);
    Cf().CFRelease(data);
  }
}

TEST(CoreFoundationLibrary, StreamsAndResourcesOnFiles) {
  testing_support::TempFolder folder;
  std::string path = (folder.path() / "list.plist").string();
  CFStringRef pathString = Cf().CFStringCreateWithCString(nullptr, path.c_str(), kCFStringEncodingUTF8);
  CFURLRef url = Cf().CFURLCreateWithFileSystemPath(nullptr, pathString, kCFURLWindowsPathStyle, 0);
  ASSERT_NE(url, nullptr);

  CFDataRef data = Cf().CFDataCreate(nullptr, fixtures::kBinaryMixed.data(), static_cast<CFIndex>(fixtures::kBinaryMixed.size()));
  CFPropertyListRef list = Cf().CFPropertyListCreateFromXMLData(nullptr, data, 0, nullptr);
  EXPECT_EQ(Cf().CFPropertyListIsValid(list, kCFPropertyListBinaryFormat_v1_0), 1);
  CFWriteStreamRef out = Cf().CFWriteStreamCreateWithFile(nullptr, url);
  ASSERT_EQ(Cf().CFWriteStreamOpen(out), 1);
  EXPECT_GT(Cf().CFPropertyListWriteToStream(list, out, kCFPropertyListBinaryFormat_v1_0, nullptr), 0);
  Cf().CFWriteStreamClose(out);

  CFReadStreamRef in = Cf().CFReadStreamCreateWithFile(nullptr, url);
  ASSERT_EQ(Cf().CFReadStreamOpen(in), 1);
  CFPropertyListFormat format = 0;
  CFPropertyListRef back = Cf().CFPropertyListCreateFromStream(nullptr, in, 0, 0, &format, nullptr);
  Cf().CFReadStreamClose(in);
  EXPECT_EQ(format, kCFPropertyListBinaryFormat_v1_0);
  EXPECT_EQ(XmlOf(back), fixtures::kXmlMixed);

  CFDataRef raw = nullptr;
  SInt32 code = -1;
  ASSERT_EQ(Cf().CFURLCreateDataAndPropertiesFromResource(nullptr, url, &raw, nullptr, nullptr, &code), 1);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(Cf().CFDataGetBytePtr(raw)), 8), "bplist00");
  ASSERT_EQ(Cf().CFURLWriteDataAndPropertiesToResource(url, data, nullptr, &code), 1);
  EXPECT_EQ(std::filesystem::file_size(folder.path() / "list.plist"), fixtures::kBinaryMixed.size());
  for (CFTypeRef r : {CFTypeRef(pathString), CFTypeRef(url), CFTypeRef(data), list, CFTypeRef(out), CFTypeRef(in), back,
                      CFTypeRef(raw)})
    Cf().CFRelease(r);
}

}  // namespace
