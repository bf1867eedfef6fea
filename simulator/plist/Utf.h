#pragma once
// UTF-8 / UTF-16 conversion for property-list strings. Invalid input never crashes: the checked forms
// report it, the converting forms replace what they cannot read with U+FFFD.
#include <string>
#include <string_view>

namespace plist {

void AppendUtf8(std::string& out, char32_t cp);
bool IsValidUtf8(std::string_view s);
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

}  // namespace plist
