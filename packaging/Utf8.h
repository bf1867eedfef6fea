#pragma once
// Conversions between the program's wide strings and UTF-8. wchar_t is UTF-16 on Windows and UTF-32
// elsewhere; both are handled, so the same code and tests run in either build.
#include <string>
#include <string_view>

namespace packaging {

// False (and `out` unspecified) when `text` holds an unpaired surrogate or a value beyond U+10FFFF.
bool WideToUtf8(std::wstring_view text, std::string& out);
// Invalid UTF-8 sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);

}  // namespace packaging
