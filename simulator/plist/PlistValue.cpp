#include "simulator/plist/PlistValue.h"

namespace plist {

const Value* Value::Find(std::string_view key) const {
  const auto* dict = As<Dictionary>();
  if (!dict) return nullptr;
  for (const auto& [k, v] : *dict) {
    if (k == key) return &v;
  }
  return nullptr;
}

std::string Value::StringAt(std::string_view key) const {
  const Value* v = Find(key);
  const auto* s = v ? v->As<std::string>() : nullptr;
  return s ? *s : std::string();
}

}  // namespace plist
