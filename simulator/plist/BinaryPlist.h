#pragma once
// Binary property lists ("bplist00"): a bounds-checked reader for untrusted input and a writer.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "simulator/plist/PlistValue.h"

namespace plist {

// Caps for one document: shared references can make a small document expand enormously.
inline constexpr size_t kMaxBinaryNodes = 100000;
inline constexpr size_t kMaxBinaryPayloadBytes = 64u << 20;

bool IsBinaryPlist(const uint8_t* data, size_t size);

// Parses a binary property list. On failure returns nothing and, when asked, a short reason.
std::optional<Value> ParseBinary(const uint8_t* data, size_t size, std::string* error = nullptr);

// Writes `value` as a binary property list. Strings that are pure ASCII are stored as ASCII, others as UTF-16.
Bytes WriteBinary(const Value& value);

// Parses either form, chosen by the "bplist00" signature.
std::optional<Value> ParseAny(const uint8_t* data, size_t size, std::string* error = nullptr);

}  // namespace plist
