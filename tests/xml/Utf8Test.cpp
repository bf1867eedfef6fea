#include "xml/Utf8.h"

#include <gtest/gtest.h>

namespace {

std::wstring Cp(char32_t cp) {
  std::wstring s;
  xml::AppendCodePoint(cp, s);
  return s;
}

TEST(Utf8, DecodesAndReplacesMalformedSequences) {
  struct Case {
    std::string in;
    std::wstring out;
  } cases[] = {
      {"abc", L"abc"},
      {"\xE5\xB9\xB3\xE5\x8F\xB0", Cp(0x5E73) + Cp(0x53F0)},
      {"\xF0\x9F\x98\x80", Cp(0x1F600)},
      {"\xC0\xAF", Cp(0xFFFD)},                  // overlong "/"
      {"\xED\xA0\x80", Cp(0xFFFD)},              // encoded surrogate
      {"\xF4\x90\x80\x80", Cp(0xFFFD)},          // above U+10FFFF
      {"\xE5\xB9", Cp(0xFFFD)},                  // cut short at the end
      {"\xE5" "a", Cp(0xFFFD) + L"a"},           // cut short by an ASCII byte, which is kept
      {"\x80x\xFF", Cp(0xFFFD) + L"x" + Cp(0xFFFD)},
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(xml::Utf8ToWide(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(Utf8, RoundTripsAndEncodesLoneSurrogatesAsReplacement) {
  const std::wstring text = L"x" + Cp(0x4E2D) + Cp(0x10FFFF) + Cp(0xE9);
  EXPECT_EQ(xml::Utf8ToWide(xml::WideToUtf8(text)), text);
  EXPECT_EQ(xml::WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xDC00))), "\xEF\xBF\xBD");
}

}  // namespace
