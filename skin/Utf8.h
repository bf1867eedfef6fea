#pragma once
// Explicit UTF-8 <-> wide conversion that does not depend on the C library's locale.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skin {

// Decodes UTF-8: one- to four-byte sequences become wide characters (surrogate pairs where wchar_t is 16 bits);
// a malformed, overlong or truncated sequence becomes one "?" per offending byte. No byte-order mark is removed.
std::wstring Utf8ToWide(std::string_view bytes);
// Encodes wide text as UTF-8; unpaired surrogates become "?".
std::string WideToUtf8(std::wstring_view text);

}  // namespace skin
