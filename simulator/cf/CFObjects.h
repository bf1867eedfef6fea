#pragma once
// The objects behind the simulated core-foundation library's opaque references, and the conversions
// between them and property-list value trees.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/MobileDeviceFunctions.h"
#include "simulator/plist/PlistValue.h"

namespace cfsim {

inline constexpr CFTypeID kURLTypeID = 29;
inline constexpr CFTypeID kReadStreamTypeID = 38;
inline constexpr CFTypeID kWriteStreamTypeID = 39;
inline constexpr CFTypeID kDateTypeID = 42;

struct Object {
  explicit Object(CFTypeID t) : type(t) {}
  virtual ~Object() = default;
  const CFTypeID type;
  std::atomic<long> refs{1};
  bool immortal = false;  // constant strings and the two booleans
};

struct String : Object {
  String() : Object(kCFStringTypeID) {}
  std::u16string chars;
  bool ascii = true;  // stored as 8-bit text by the platform: no direct character pointer
};

struct Number : Object {
  Number() : Object(kCFNumberTypeID) {}
  CFNumberType type = kCFNumberSInt64Type;  // canonical: SInt8..SInt64, Float32, Float64
  int64_t i = 0;
  double d = 0;
  bool IsFloat() const { return type == kCFNumberFloat32Type || type == kCFNumberFloat64Type; }
};

struct BooleanObj : Object {
  explicit BooleanObj(bool v) : Object(kCFBooleanTypeID), value(v) { immortal = true; }
  const bool value;
};

struct Data : Object {
  Data() : Object(kCFDataTypeID) {}
  std::vector<uint8_t> bytes;
};

struct DateObj : Object {
  DateObj() : Object(kDateTypeID) {}
  double seconds = 0;
};

// Elements are retained only when the array was made with the library's own callbacks.
struct ArrayObj : Object {
  ArrayObj() : Object(kCFArrayTypeID) {}
  ~ArrayObj() override;
  std::vector<const void*> items;
  bool retains = true;
};

struct Dict : Object {
  Dict() : Object(kCFDictionaryTypeID) {}
  ~Dict() override;
  std::vector<std::pair<const void*, const void*>> items;
  bool retainsKeys = true;
  bool retainsValues = true;
};

struct Url : Object {
  Url() : Object(kURLTypeID) {}
  std::u16string path;
};

struct ReadStream : Object {
  ReadStream() : Object(kReadStreamTypeID) {}
  std::u16string path;
  std::vector<uint8_t> bytes;
  size_t pos = 0;
  bool open = false;
};

struct WriteStream : Object {
  WriteStream() : Object(kWriteStreamTypeID) {}
  std::u16string path;
  std::vector<uint8_t> bytes;  // written out by CFWriteStreamClose
  bool open = false;
};

// Registers a new object (reference count 1) and returns it as the library's reference.
const void* Publish(Object* object);
// The live object behind a reference, or null when the reference is not a live object of the library.
Object* Lookup(const void* ref);
template <typename T>
T* LookupAs(const void* ref, CFTypeID type) {
  Object* o = Lookup(ref);
  return o && o->type == type ? static_cast<T*>(o) : nullptr;
}

// Objects alive right now, not counting the immortal ones; lets tests see leaks.
size_t LiveObjectCount();
// Releases of references that were not live (double releases, foreign pointers); they are ignored.
size_t BadReleaseCount();

// A new object tree for `value`; the caller releases it.
CFTypeRef FromPlist(const plist::Value& value);
// The value tree of a property-list object, or nothing when it holds something a property list cannot.
std::optional<plist::Value> ToPlist(CFTypeRef ref);

}  // namespace cfsim
