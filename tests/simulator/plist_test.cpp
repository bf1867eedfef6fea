// Property-list readers and writers of the simulated libraries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "simulator/plist/BinaryPlist.h"
#include "simulator/plist/XmlPlist.h"
#include "tests/simulator/Fixtures.h"

namespace {

using namespace plist;

Value Mixed() {
  return Value(Dictionary{
      {"name", Value("中国联通 iPhone")},
      {"ints", Value(Array{Value(Integer{0}), Value(Integer{255}), Value(Integer{256}), Value(Integer{65536}),
                           Value(Integer{4294967296}), Value(Integer{-1}), Value(Integer{INT64_MIN})})},
      {"nested", Value(Dictionary{{"a", Value(Array{Value(true), Value(false), Value(Bytes{0x00, 0x01, 0xff})})},
                                  {"empty", Value(Dictionary{})},
                                  {"none", Value(Array{})}})},
      {"real", Value(Real{1.5})},
      {"Ωkey", Value("x")},
  });
}

// Dictionaries compare in key order; the writers may reorder keys, so compare with keys sorted.
Value Sorted(Value v) {
  if (auto* d = v.As<Dictionary>()) {
    for (auto& [k, e] : *d) e = Sorted(e);
    std::sort(d->begin(), d->end(), [](auto& a, auto& b) { return a.first < b.first; });
  } else if (auto* a = v.As<Array>()) {
    for (auto& e : *a) e = Sorted(e);
  }
  return v;
}

TEST(PlistFormats, ReadsBinaryWrittenElsewhere) {
  std::string why;
  auto v = ParseBinary(fixtures::kBinaryMixed.data(), fixtures::kBinaryMixed.size(), &why);
  ASSERT_TRUE(v) << why;
  EXPECT_EQ(Sorted(*v), Sorted(Mixed()));
}

TEST(PlistFormats, WritesXmlAsThePlatformDoes) {
  EXPECT_EQ(WriteXml(Mixed()), fixtures::kXmlMixed);
}

TEST(PlistFormats, ReadsXmlWrittenElsewhere) {
  std::string why;
  auto v = ParseXml(fixtures::kXmlMixed, &why);
  ASSERT_TRUE(v) << why;
  EXPECT_EQ(Sorted(*v), Sorted(Mixed()));
}

TEST(PlistFormats, RoundTripsEveryKindOfValueThroughBothForms) {
  struct Case {
    const char* label;
    Value value;
  };
  std::string longText(300, 'x');
  Bytes longData(70000, 0xAB);
  Array many;
  for (int i = 0; i < 300; ++i) many.push_back(Value(Integer{i * 1000}));
  const Case cases[] = {
      {"ascii string", Value("Complete")},
      {"empty string", Value("")},
      {"chinese", Value("已经写入!")},
      {"astral plane", Value("logo \xF0\x9F\x98\x80 end")},
      {"markup characters", Value("<a & b> \"q\" 'p'")},
      {"long string", Value(longText)},
      {"int8 range", Value(Integer{-128})},
      {"int16", Value(Integer{-32768})},
      {"int32 max", Value(Integer{2147483647})},
      {"uint32 max", Value(Integer{4294967295})},
      {"int64 max", Value(Integer{INT64_MAX})},
      {"int64 min", Value(Integer{INT64_MIN})},
      {"real", Value(Real{-0.125})},
      {"date", Value(Date{599529600})},  // 2020-01-01T00:00:00Z
      {"true", Value(true)},
      {"data", Value(Bytes{0, 1, 2, 3, 254, 255})},
      {"large data", Value(longData)},
      {"many elements", Value(many)},
      {"nested", Value(Dictionary{{"k", Value(Array{Value(Dictionary{{"deep", Value(Array{Value("z")})}})})}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Value wrapped(Dictionary{{"v", c.value}});
    Bytes bin = WriteBinary(wrapped);
    auto fromBinary = ParseBinary(bin.data(), bin.size());
    ASSERT_TRUE(fromBinary);
    EXPECT_EQ(*fromBinary, wrapped);
    std::string xml = WriteXml(wrapped);
    auto fromXml = ParseXml(xml);
    ASSERT_TRUE(fromXml) << xml;
    EXPECT_EQ(*fromXml, wrapped);
  }
}

TEST(PlistFormats, ReadsTheProgramsOwnRequestLayout) {
  // Requests carry tab-and-space indentation and an unusual document type declaration.
  const std::string sep = "\t\t\t\t\t   ";
  std::string request = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + sep +
                        "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                        "\"http://www.apple.com/DTDs/Pro'pertyList-1.0.dtd\">" +
                        sep + "<plist version=\"1.0\">" + sep + "<dict>" + sep + "<key>ClientOptions</key>" + sep +
                        "<dict>" + sep + "<key>PackageType</key>" + sep + "<string>CarrierBundle</string>" + sep +
                        "</dict>" + sep + "<key>Command</key>" + sep + "<string>Install</string>" + sep +
                        "<key>PackagePath</key>" + sep + "<string>/PublicStaging/12345678</string>" + sep +
                        "</dict>" + sep + "</plist>";
  auto v = ParseXml(request);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->StringAt("Command"), "Install");
  EXPECT_EQ(v->StringAt("PackagePath"), "/PublicStaging/12345678");
  ASSERT_TRUE(v->Find("ClientOptions"));
  EXPECT_EQ(v->Find("ClientOptions")->StringAt("PackageType"), "CarrierBundle");
}

TEST(PlistFormats, XmlDetails) {
  struct Case {
    const char* xml;
    Value expected;
  };
  const Case cases[] = {
      {"<plist><string>a&amp;b&lt;&#x4E2D;&#22269;</string></plist>", Value("a&b<中国")},
      {"<plist><string><![CDATA[<raw>]]></string></plist>", Value("<raw>")},
      {"<plist><integer> 0x1F </integer></plist>", Value(Integer{31})},
      {"<plist><string/></plist>", Value("")},
      {"<plist><data>AA\n  H/</data></plist>", Value(Bytes{0, 1, 0xff})},
      {"<!-- lead --><plist version=\"1.0\"><true/></plist>\n", Value(true)},
      {"<dict><key>k</key><integer>-5</integer></dict>", Value(Dictionary{{"k", Value(Integer{-5})}})},
      // The 64-bit edges: above INT64_MAX the bits are kept; the most negative value is exact.
      {"<plist><integer>18446744073709551615</integer></plist>", Value(Integer{-1})},
      {"<plist><integer>0xFFFFFFFFFFFFFFFF</integer></plist>", Value(Integer{-1})},
      {"<plist><integer>9223372036854775807</integer></plist>", Value(Integer{INT64_MAX})},
      {"<plist><integer>-9223372036854775808</integer></plist>", Value(Integer{INT64_MIN})},
  };
  for (const Case& c : cases) {
    auto v = ParseXml(c.xml);
    ASSERT_TRUE(v) << c.xml;
    EXPECT_EQ(*v, c.expected) << c.xml;
  }
}

TEST(PlistFormats, RefusesMalformedXml) {
  const char* cases[] = {
      "",
      "not xml",
      "<plist><string>open",
      "<plist><dict><key>k</key></dict></plist>",
      "<plist><dict><string>no key</string></dict></plist>",
      "<plist><integer>12x</integer></plist>",
      "<plist><integer>99999999999999999999</integer></plist>",
      "<plist><integer>18446744073709551616</integer></plist>",
      "<plist><integer>0x10000000000000000</integer></plist>",
      "<plist><integer>-9223372036854775809</integer></plist>",
      "<plist><string>&bogus;</string></plist>",
      "<plist><string>&#0;</string></plist>",
      "<plist><data>!!!!</data></plist>",
      "<plist><string>a</string><string>b</string></plist>",
      "<plist><unknown/></plist>",
      "<plist><array></dict></plist>",
      "<plist><string>\xff\xfe</string></plist>",
  };
  for (const char* xml : cases) EXPECT_FALSE(ParseXml(xml)) << xml;
  std::string deep;
  for (int i = 0; i < kMaxDepth + 5; ++i) deep += "<array>";
  EXPECT_FALSE(ParseXml("<plist>" + deep + "</plist>"));
}

// A hand-made binary list: {"Status": "Complete"}.
Bytes SmallBinary() {
  const char* text = "bplist00";
  Bytes b(text, text + 8);
  Bytes objects = {0xD1, 0x01, 0x02, 0x56, 'S', 't', 'a', 't', 'u', 's', 0x58, 'C', 'o', 'm', 'p', 'l', 'e', 't', 'e'};
  b.insert(b.end(), objects.begin(), objects.end());
  b.insert(b.end(), {8, 11, 18});  // offsets
  Bytes trailer(32, 0);
  trailer[6] = 1;   // offset size
  trailer[7] = 1;   // reference size
  trailer[15] = 3;  // objects
  trailer[23] = 0;  // top object
  trailer[31] = 27; // offset table
  b.insert(b.end(), trailer.begin(), trailer.end());
  return b;
}

TEST(PlistFormats, ReadsAHandMadeBinaryList) {
  Bytes b = SmallBinary();
  auto v = ParseBinary(b.data(), b.size());
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, Value(Dictionary{{"Status", Value("Complete")}}));
}

TEST(PlistFormats, RefusesMalformedBinaryWithoutReadingOutside) {
  struct Case {
    const char* label;
    std::function<void(Bytes&)> damage;
  };
  const size_t t = SmallBinary().size() - 32;  // trailer start
  const Case cases[] = {
      {"truncated", [](Bytes& b) { b.resize(b.size() - 1); }},
      {"too short", [](Bytes& b) { b.resize(20); }},
      {"bad magic", [](Bytes& b) { b[7] = '1'; }},
      {"offset size 0", [t](Bytes& b) { b[t + 6] = 0; }},
      {"reference size 9", [t](Bytes& b) { b[t + 7] = 9; }},
      {"object count past table", [t](Bytes& b) { b[t + 15] = 200; }},
      {"huge object count", [t](Bytes& b) { b[t + 8] = 0x80; }},
      {"top object out of range", [t](Bytes& b) { b[t + 23] = 3; }},
      {"table offset past end", [t](Bytes& b) { b[t + 31] = 250; }},
      {"object offset into the table", [](Bytes& b) { b[27] = 28; }},
      {"string longer than its room", [](Bytes& b) { b[18] = 0x5E; }},
      {"key ref to itself", [](Bytes& b) { b[9] = 0; }},
      {"key not a string", [](Bytes& b) { b[9] = 0; b[10] = 0; }},
      {"extended length marker cut", [](Bytes& b) { b[18] = 0x5F; b[19] = 0x13; }},
  };
  for (const Case& c : cases) {
    Bytes b = SmallBinary();
    c.damage(b);
    // Copied to an exact-size heap block so that reading past it is caught by the sanitizers.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[b.size()]);
    std::memcpy(exact.get(), b.data(), b.size());
    EXPECT_FALSE(ParseBinary(exact.get(), b.size())) << c.label;
  }
}

TEST(PlistFormats, RefusesBinaryThatExpandsWithoutBound) {
  // An array of 255 references to one array of 255 references to ... : tiny on disk, huge as a tree.
  const int levels = 4, width = 255;
  Bytes b = {'b', 'p', 'l', 'i', 's', 't', '0', '0'};
  std::vector<uint64_t> offsets;
  for (int level = 0; level < levels; ++level) {
    offsets.push_back(b.size());
    b.push_back(0xAF);
    b.push_back(0x10);
    b.push_back(width);
    for (int i = 0; i < width; ++i) b.push_back(static_cast<uint8_t>(level + 1));
  }
  offsets.push_back(b.size());
  b.push_back(0x09);  // true
  uint64_t table = b.size();
  for (uint64_t o : offsets) {
    b.push_back(static_cast<uint8_t>(o >> 8));
    b.push_back(static_cast<uint8_t>(o));
  }
  Bytes trailer(32, 0);
  trailer[6] = 2;
  trailer[7] = 1;
  trailer[15] = static_cast<uint8_t>(offsets.size());
  trailer[30] = static_cast<uint8_t>(table >> 8);
  trailer[31] = static_cast<uint8_t>(table);
  b.insert(b.end(), trailer.begin(), trailer.end());
  EXPECT_FALSE(ParseBinary(b.data(), b.size()));
}

TEST(PlistFormats, BinaryWriterUsesNarrowIntegersAndUtf16OnlyWhenNeeded) {
  Bytes ascii = WriteBinary(Value("abc"));
  EXPECT_EQ(ascii[8], 0x53);
  Bytes wide = WriteBinary(Value("中"));
  EXPECT_EQ(wide[8], 0x61);
  EXPECT_EQ(WriteBinary(Value(Integer{200}))[8], 0x10);
  EXPECT_EQ(WriteBinary(Value(Integer{70000}))[8], 0x12);
  EXPECT_EQ(WriteBinary(Value(Integer{-2}))[8], 0x13);
}

}  // namespace
