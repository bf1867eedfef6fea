#pragma once
// Platform-free rules for handing a web address to a browser: which addresses a hyperlink may open, and
// how the browser's command line is built from the command registered for web pages.
#include <optional>
#include <string>
#include <string_view>

namespace hyperlink {

// True for an address a hyperlink label may open: "http://" or "https://" (any letter case) followed by at
// least one character, with no control characters and no double quote (which could end the quoted argument
// early and let the rest of the address become further arguments of the browser).
inline bool IsWebAddress(std::wstring_view address) {
  auto startsWithNoCase = [&](std::wstring_view prefix) {
    if (address.size() <= prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
      wchar_t c = address[i];
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
      if (c != prefix[i]) return false;
    }
    return true;
  };
  if (!startsWithNoCase(L"http://") && !startsWithNoCase(L"https://")) return false;
  for (wchar_t c : address) {
    if (c < 0x20 || c == 0x7F || c == L'"') return false;
  }
  return true;
}

// `argument` as one command-line argument in double quotes, as the C run-time and CommandLineToArgvW split
// it: backslashes are literal except before a quote, so a run of backslashes at the end is doubled lest the
// last one escape the closing quote. `argument` must hold no double quote (IsWebAddress guarantees that).
inline std::wstring QuoteArgument(std::wstring_view argument) {
  size_t trailing = 0;
  while (trailing < argument.size() && argument[argument.size() - 1 - trailing] == L'\\') ++trailing;
  std::wstring quoted;
  quoted.reserve(argument.size() + trailing + 2);
  quoted += L'"';
  quoted += argument;
  quoted.append(trailing, L'\\');
  quoted += L'"';
  return quoted;
}

// The command line that opens `address` with the browser whose registered command is `registered`
// (for example "\"C:\\Browser\\browser.exe\" -url \"%1\""): the command is cut at its first "\"%1\"",
// or else at its first "%1", or else kept whole, and the quoted address is appended after a space.
// Empty when the address is not a web address or no command is registered.
inline std::optional<std::wstring> BrowserCommandLine(std::wstring_view registered, std::wstring_view address) {
  if (!IsWebAddress(address)) return std::nullopt;
  size_t cut = registered.find(L"\"%1\"");
  if (cut == std::wstring_view::npos) cut = registered.find(L"%1");
  std::wstring_view program = registered.substr(0, cut);
  while (!program.empty() && (program.back() == L' ' || program.back() == L'\t')) program.remove_suffix(1);
  if (program.empty()) return std::nullopt;
  std::wstring line(program);
  line += L' ';
  line += QuoteArgument(address);
  return line;
}

}  // namespace hyperlink
