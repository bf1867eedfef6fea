#pragma once
// A property-list value tree: what the simulator's readers produce and its writers take.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace plist {

struct Value;
using Array = std::vector<Value>;
// Keys in the order they were read or added; a writer may reorder them.
using Dictionary = std::vector<std::pair<std::string, Value>>;
using Bytes = std::vector<uint8_t>;

struct Integer {
  int64_t value = 0;
  bool operator==(const Integer&) const = default;
};
struct Real {
  double value = 0;
  bool operator==(const Real&) const = default;
};
// Seconds since 2001-01-01 00:00:00 UTC.
struct Date {
  double seconds = 0;
  bool operator==(const Date&) const = default;
};
// Object reference of keyed archives (binary lists only).
struct Uid {
  uint64_t value = 0;
  bool operator==(const Uid&) const = default;
};

// Strings are UTF-8.
struct Value {
  using Storage = std::variant<std::string, Integer, Real, bool, Bytes, Date, Uid, Array, Dictionary>;
  Storage data;

  Value() : data(std::string()) {}
  Value(std::string s) : data(std::move(s)) {}
  Value(const char* s) : data(std::string(s)) {}
  Value(Integer i) : data(i) {}
  Value(Real r) : data(r) {}
  Value(bool b) : data(b) {}
  Value(Bytes b) : data(std::move(b)) {}
  Value(Date d) : data(d) {}
  Value(Uid u) : data(u) {}
  Value(Array a) : data(std::move(a)) {}
  Value(Dictionary d) : data(std::move(d)) {}

  template <typename T>
  bool Is() const { return std::holds_alternative<T>(data); }
  template <typename T>
  const T* As() const { return std::get_if<T>(&data); }
  template <typename T>
  T* As() { return std::get_if<T>(&data); }

  // Dictionary look-up: the value of the first entry with this key, or null (also when not a dictionary).
  const Value* Find(std::string_view key) const;
  // The string under `key`, or empty when absent or not a string.
  std::string StringAt(std::string_view key) const;

  bool operator==(const Value&) const = default;
};

}  // namespace plist
