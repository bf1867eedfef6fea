#pragma once
// Conversions between UTF-8 bytes and wide text (UTF-16 where wchar_t has 16 bits, UTF-32 elsewhere).
#include <string>
#include <string_view>

namespace xml {

// Malformed or overlong sequences, surrogates and values above U+10FFFF become U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
// Lone surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
// Appends one code point (at most U+10FFFF) to wide text, as a surrogate pair where wchar_t has 16 bits.
void AppendCodePoint(char32_t cp, std::wstring& out);

}  // namespace xml
