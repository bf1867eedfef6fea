#include "install/Requests.h"

#include <gtest/gtest.h>

#include "xml/Utf8.h"
#include "xml/XmlDocument.h"

namespace install {
namespace {

// The value following `key` in the request's top-level dict.
std::wstring ValueOf(const std::string& request, const wchar_t* key) {
  xml::XmlDocument doc;
  doc.LoadText(xml::Utf8ToWide(request));
  if (!doc.FindNextElement(L"plist") || !doc.EnterElement() || !doc.FindNextElement(L"dict") || !doc.EnterElement())
    return L"<no dict>";
  while (doc.FindNextElement(L"key")) {
    if (doc.ElementData() == key) return doc.FindNextElement() ? doc.ElementData() : L"<no value>";
  }
  return L"<no key>";
}

TEST(Requests, LengthsAndPlaceholders) {
  const std::string carrier = CarrierBundleInstallRequest("01234567");
  const std::string package = PackageInstallRequest("01234567.ipa");
  const std::string uninstall = UninstallRequest("com.example.app");
  EXPECT_EQ(carrier.size(), 497u);
  EXPECT_EQ(package.size(), 299u);
  EXPECT_EQ(UninstallRequest("E44E9374BFD34e0aAD806C54BA9008C7").size(), 318u);
  EXPECT_EQ(ValueOf(carrier, L"PackagePath"), L"/PublicStaging/01234567");
  EXPECT_EQ(ValueOf(carrier, L"Command"), L"Install");
  EXPECT_NE(carrier.find("<key>PackageType</key>\t\t\t\t\t   <string>CarrierBundle</string>"), std::string::npos);
  EXPECT_EQ(ValueOf(package, L"PackagePath"), L"/PublicStaging/01234567.ipa");
  EXPECT_EQ(ValueOf(uninstall, L"ApplicationIdentifier"), L"com.example.app");
  EXPECT_EQ(ValueOf(uninstall, L"Command"), L"Uninstall");
  for (const std::string* r : {&carrier, &package, &uninstall}) {
    EXPECT_EQ(r->find('\n'), std::string::npos);
    EXPECT_EQ(r->find('\0'), std::string::npos);
  }
}

TEST(Requests, UninstallEscapesTheIdentifier) {
  const std::string request = UninstallRequest("a</string><key>Command</key><string>Install&'\"");
  EXPECT_EQ(ValueOf(request, L"ApplicationIdentifier"), L"a</string><key>Command</key><string>Install&'\"");
  EXPECT_EQ(ValueOf(request, L"Command"), L"Uninstall");
}

TEST(Requests, ReplaceAll) {
  struct Case {
    const char* text;
    const char* placeholder;
    const char* replacement;
    const char* expected;
  } cases[] = {
      {"xAyAz", "A", "BB", "xBByBBz"},
      {"AA", "A", "A", "AA"},
      {"ab", "ab", "xaby", "xaby"},   // the inserted placeholder is not replaced again
      {"aaa", "aa", "b", "ba"},       // left to right, no overlap
      {"none", "x", "y", "none"},
      {"keep", "", "y", "keep"},
      {"", "a", "b", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceAll(c.text, c.placeholder, c.replacement), c.expected) << c.text;
}

}  // namespace
}  // namespace install
