#pragma once
// A stored (uncompressed) zip archive built in memory, for theme archives with arbitrary entry names.
#include <string>
#include <utility>
#include <vector>

#include "skin/ImageFixtures.h"

namespace skin_test {

Bytes MakeStoredZip(const std::vector<std::pair<std::string, Bytes>>& entries);
inline Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace skin_test
