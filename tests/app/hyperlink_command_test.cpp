// Which addresses a hyperlink may hand to a browser, and the command line built for the browser.
#include <gtest/gtest.h>

#include "app/HyperLinkCommand.h"

namespace {

using hyperlink::BrowserCommandLine;
using hyperlink::IsWebAddress;

TEST(HyperlinkCommand, OnlyWebAddressesAreAccepted) {
  struct Case {
    const wchar_t* address;
    bool accepted;
  } const cases[] = {
      {L"http://ioslogora.example.org/", true},
      {L"https://ioslogora.example.org/forum/", true},
      {L"HTTPS://IOSLOGORA.EXAMPLE.ORG/", true},
      {L"https://ioslogora.example.org/论坛?q=中文", true},
      {L"", false},
      {L"http://", false},
      {L"https://", false},
      {L"file:///C:/Windows/System32/calc.exe", false},
      {L"C:\\Windows\\System32\\calc.exe", false},
      {L"calc.exe", false},
      {L"javascript:alert(1)", false},
      {L" https://ioslogora.example.org/", false},
      {L"httpx://ioslogora.example.org/", false},
      {L"https://ioslogora.example.org/\" --load-extension=C:\\evil", false},
      {L"https://ioslogora.example.org/\r\nline", false},
      {L"https://ioslogora.example.org/\x7f", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.address), c.accepted) << testing::PrintToString(std::wstring(c.address));
}

TEST(HyperlinkCommand, CommandLineReplacesTheArgumentPlaceholderWithTheQuotedAddress) {
  const std::wstring address = L"https://ioslogora.example.org/论坛/é";
  struct Case {
    const wchar_t* registered;
    const wchar_t* expected;
  } const cases[] = {
      {L"\"C:\\Program Files\\Browser\\browser.exe\" -url \"%1\"",
       L"\"C:\\Program Files\\Browser\\browser.exe\" -url \"https://ioslogora.example.org/论坛/é\""},
      // Arguments after the placeholder are dropped with it.
      {L"\"C:\\B\\b.exe\" \"%1\" --flag", L"\"C:\\B\\b.exe\" \"https://ioslogora.example.org/论坛/é\""},
      {L"C:\\B\\b.exe %1", L"C:\\B\\b.exe \"https://ioslogora.example.org/论坛/é\""},
      {L"C:\\B\\b.exe", L"C:\\B\\b.exe \"https://ioslogora.example.org/论坛/é\""},
      // The quoted placeholder is looked for first, even after a bare one.
      {L"b.exe %1 \"%1\"", L"b.exe %1 \"https://ioslogora.example.org/论坛/é\""},
  };
  for (const auto& c : cases) {
    const auto line = BrowserCommandLine(c.registered, address);
    ASSERT_TRUE(line.has_value()) << testing::PrintToString(std::wstring(c.registered));
    EXPECT_EQ(*line, c.expected);
  }
}

TEST(HyperlinkCommand, TrailingBackslashesCannotEscapeTheClosingQuote) {
  EXPECT_EQ(*BrowserCommandLine(L"b.exe \"%1\"", L"https://a.example.org/x\\"), L"b.exe \"https://a.example.org/x\\\\\"");
  EXPECT_EQ(*BrowserCommandLine(L"b.exe", L"https://a.example.org/x\\\\"),
            L"b.exe \"https://a.example.org/x\\\\\\\\\"");
  // Backslashes elsewhere are literal and stay single.
  EXPECT_EQ(*BrowserCommandLine(L"b.exe", L"https://a.example.org/a\\b"), L"b.exe \"https://a.example.org/a\\b\"");
}

TEST(HyperlinkCommand, NothingToRunForRefusedAddressesOrMissingCommands) {
  EXPECT_FALSE(BrowserCommandLine(L"b.exe \"%1\"", L"calc.exe"));
  EXPECT_FALSE(BrowserCommandLine(L"b.exe \"%1\"", L"https://a.example.org/\" evil"));
  EXPECT_FALSE(BrowserCommandLine(L"", L"https://a.example.org/"));
  EXPECT_FALSE(BrowserCommandLine(L"\"%1\"", L"https://a.example.org/"));
}

}  // namespace
