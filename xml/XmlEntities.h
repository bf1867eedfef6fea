#pragma once
#include <string_view>

namespace xml {

// The code point of a named character reference given in lower case ("amp", "lt", "eacute"), or 0 when
// the name is not known.
char32_t LookupEntity(std::string_view lower_name);

}  // namespace xml
