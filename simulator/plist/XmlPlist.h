#pragma once
// XML property lists: a reader that accepts any well-formed document whatever its prologue, and a writer
// that lays the document out as the platform's own library does (tab indentation, sorted keys).
#include <optional>
#include <string>
#include <string_view>

#include "simulator/plist/PlistValue.h"

namespace plist {

// Nesting deeper than this is refused.
inline constexpr int kMaxDepth = 256;

// Parses an XML property list (UTF-8). On failure returns nothing and, when asked, a short reason.
std::optional<Value> ParseXml(std::string_view text, std::string* error = nullptr);

// Writes `value` as a complete XML property-list document (UTF-8, ending in a line break).
std::string WriteXml(const Value& value);

// Base64 helpers shared with the writer of <data> elements.
std::string EncodeBase64(const Bytes& bytes);
std::optional<Bytes> DecodeBase64(std::string_view text);  // white space is skipped

}  // namespace plist
