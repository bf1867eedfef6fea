// The simulated core-foundation library. Every entry point checks that the references it is given are live
// objects of the right type and answers a null or zero result otherwise, so a fault in the caller shows up
// as a failed call rather than a crash inside the library.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <mutex>
#include <type_traits>
#include <unordered_set>

#include "simulator/cf/CFObjects.h"
#include "simulator/cf/CoreFoundationApi.h"
#include "simulator/plist/BinaryPlist.h"
#include "simulator/plist/Utf.h"
#include "simulator/plist/XmlPlist.h"

namespace cfsim {
namespace {

constexpr size_t kMaxFileBytes = 64u << 20;

struct Registry {
  std::mutex mutex;
  std::unordered_set<const Object*> live;
  size_t badReleases = 0;
};
Registry& Objects() {
  static auto* r = new Registry;  // never destroyed: objects may be released during process exit
  return *r;
}

BooleanObj& TrueObject() {
  static auto* b = new BooleanObj(true);
  return *b;
}
BooleanObj& FalseObject() {
  static auto* b = new BooleanObj(false);
  return *b;
}

void Retain(const void* ref) {
  if (Object* o = Lookup(ref); o && !o->immortal) ++o->refs;
}

String* NewString(std::u16string chars) {
  auto* s = new String;
  s->ascii = std::all_of(chars.begin(), chars.end(), [](char16_t c) { return c < 0x80; });
  s->chars = std::move(chars);
  return s;
}

std::filesystem::path FsPath(const std::u16string& p) { return std::filesystem::path(p); }

bool ReadFile(const std::u16string& path, std::vector<uint8_t>& out) {
  std::error_code ec;
  auto size = std::filesystem::file_size(FsPath(path), ec);
  if (ec || size > kMaxFileBytes) return false;
  std::ifstream in(FsPath(path), std::ios::binary);
  if (!in) return false;
  out.resize(size);
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size));
  return static_cast<uint64_t>(in.gcount()) == size;
}

bool WriteFile(const std::u16string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

CFStringRef ErrorString(const std::string& text) {
  return static_cast<CFStringRef>(Publish(NewString(plist::Utf8ToUtf16(text))));
}

CFNumberType Canonical(CFNumberType t) {
  switch (t) {
    case kCFNumberSInt8Type: case kCFNumberCharType: return kCFNumberSInt8Type;
    case kCFNumberSInt16Type: case kCFNumberShortType: return kCFNumberSInt16Type;
    case kCFNumberSInt32Type: case kCFNumberIntType: return kCFNumberSInt32Type;
    case kCFNumberSInt64Type: case kCFNumberLongLongType: return kCFNumberSInt64Type;
    case kCFNumberLongType: return sizeof(long) == 8 ? kCFNumberSInt64Type : kCFNumberSInt32Type;
    case kCFNumberCFIndexType: return sizeof(CFIndex) == 8 ? kCFNumberSInt64Type : kCFNumberSInt32Type;
    case kCFNumberFloat32Type: case kCFNumberFloatType: return kCFNumberFloat32Type;
    case kCFNumberFloat64Type: case kCFNumberDoubleType: return kCFNumberFloat64Type;
    default: return 0;
  }
}

size_t SizeOf(CFNumberType canonical) {
  switch (canonical) {
    case kCFNumberSInt8Type: return 1;
    case kCFNumberSInt16Type: return 2;
    case kCFNumberSInt32Type: case kCFNumberFloat32Type: return 4;
    default: return 8;
  }
}

template <typename T>
bool StoreInt(int64_t v, void* out) {
  T t = static_cast<T>(v);
  std::memcpy(out, &t, sizeof t);
  return static_cast<int64_t>(t) == v;
}

std::optional<plist::Value> Convert(const void* ref, int depth) {
  if (depth > plist::kMaxDepth) return std::nullopt;
  Object* o = Lookup(ref);
  if (!o) return std::nullopt;
  switch (o->type) {
    case kCFStringTypeID: return plist::Value(plist::Utf16ToUtf8(static_cast<String*>(o)->chars));
    case kCFBooleanTypeID: return plist::Value(static_cast<BooleanObj*>(o)->value);
    case kCFDataTypeID: return plist::Value(static_cast<Data*>(o)->bytes);
    case kDateTypeID: return plist::Value(plist::Date{static_cast<DateObj*>(o)->seconds});
    case kCFNumberTypeID: {
      auto* n = static_cast<Number*>(o);
      if (n->IsFloat()) return plist::Value(plist::Real{n->d});
      return plist::Value(plist::Integer{n->i});
    }
    case kCFArrayTypeID: {
      plist::Array arr;
      for (const void* e : static_cast<ArrayObj*>(o)->items) {
        auto v = Convert(e, depth + 1);
        if (!v) return std::nullopt;
        arr.push_back(std::move(*v));
      }
      return plist::Value(std::move(arr));
    }
    case kCFDictionaryTypeID: {
      plist::Dictionary dict;
      for (const auto& [k, v] : static_cast<Dict*>(o)->items) {
        auto* ks = LookupAs<String>(k, kCFStringTypeID);
        if (!ks) return std::nullopt;
        auto val = Convert(v, depth + 1);
        if (!val) return std::nullopt;
        dict.emplace_back(plist::Utf16ToUtf8(ks->chars), std::move(*val));
      }
      return plist::Value(std::move(dict));
    }
    default: return std::nullopt;
  }
}

CFPropertyListRef ParseBytes(const uint8_t* bytes, size_t size, CFPropertyListFormat* format,
                             CFStringRef* errorString) {
  std::string why;
  auto v = plist::ParseAny(bytes, size, &why);
  if (!v) {
    if (errorString) *errorString = ErrorString("Cannot parse property list: " + why);
    return nullptr;
  }
  if (format) {
    *format = plist::IsBinaryPlist(bytes, size) ? kCFPropertyListBinaryFormat_v1_0 : kCFPropertyListXMLFormat_v1_0;
  }
  if (errorString) *errorString = nullptr;
  return FromPlist(*v);
}

}  // namespace

ArrayObj::~ArrayObj() {
  if (retains) {
    for (const void* e : items) CFRelease(e);
  }
}

Dict::~Dict() {
  for (const auto& [k, v] : items) {
    if (retainsKeys) CFRelease(k);
    if (retainsValues) CFRelease(v);
  }
}

const void* Publish(Object* object) {
  auto& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.live.insert(object);
  return object;
}

Object* Lookup(const void* ref) {
  if (!ref) return nullptr;
  auto* o = static_cast<const Object*>(ref);
  if (o == &TrueObject() || o == &FalseObject()) return const_cast<Object*>(o);
  auto& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.live.count(o) ? const_cast<Object*>(o) : nullptr;
}

size_t LiveObjectCount() {
  auto& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  return static_cast<size_t>(std::count_if(r.live.begin(), r.live.end(), [](const Object* o) { return !o->immortal; }));
}

size_t BadReleaseCount() {
  auto& r = Objects();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.badReleases;
}

CFTypeRef FromPlist(const plist::Value& value) {
  if (auto* s = value.As<std::string>()) return Publish(NewString(plist::Utf8ToUtf16(*s)));
  if (auto* i = value.As<plist::Integer>()) {
    auto* n = new Number;
    n->type = kCFNumberSInt64Type;
    n->i = i->value;
    n->d = static_cast<double>(i->value);
    return Publish(n);
  }
  if (auto* r = value.As<plist::Real>()) {
    auto* n = new Number;
    n->type = kCFNumberFloat64Type;
    n->d = r->value;
    n->i = std::isfinite(r->value) ? static_cast<int64_t>(std::clamp(r->value, -9.2e18, 9.2e18)) : 0;
    return Publish(n);
  }
  if (auto* b = value.As<bool>()) return *b ? &TrueObject() : &FalseObject();
  if (auto* d = value.As<plist::Bytes>()) {
    auto* data = new Data;
    data->bytes = *d;
    return Publish(data);
  }
  if (auto* dt = value.As<plist::Date>()) {
    auto* date = new DateObj;
    date->seconds = dt->seconds;
    return Publish(date);
  }
  if (auto* u = value.As<plist::Uid>()) {
    // Keyed-archive references have no object of their own here; they read back as their dictionary form.
    plist::Dictionary d{{"CF$UID", plist::Value(plist::Integer{static_cast<int64_t>(u->value)})}};
    return FromPlist(plist::Value(std::move(d)));
  }
  if (auto* a = value.As<plist::Array>()) {
    auto* arr = new ArrayObj;
    for (const auto& e : *a) arr->items.push_back(FromPlist(e));
    return Publish(arr);
  }
  auto* dict = new Dict;
  for (const auto& [k, v] : *value.As<plist::Dictionary>()) {
    dict->items.emplace_back(Publish(NewString(plist::Utf8ToUtf16(k))), FromPlist(v));
  }
  return Publish(dict);
}

std::optional<plist::Value> ToPlist(CFTypeRef ref) { return Convert(ref, 0); }

}  // namespace cfsim

using namespace cfsim;

extern "C" {

const CFBooleanRef kCFBooleanTrue = reinterpret_cast<CFBooleanRef>(static_cast<Object*>(&TrueObject()));
const CFBooleanRef kCFBooleanFalse = reinterpret_cast<CFBooleanRef>(static_cast<Object*>(&FalseObject()));
// Non-null markers: arrays and dictionaries made with these retain and release their elements.
const CFArrayCallBacks kCFTypeArrayCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0, nullptr, nullptr, nullptr, nullptr, nullptr};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, nullptr, nullptr, nullptr, nullptr};

void LOGORA_CDECL CFRelease(CFTypeRef value) {
  if (!value) return;
  Object* o = Lookup(value);
  if (!o) {
    auto& r = Objects();
    std::lock_guard<std::mutex> lock(r.mutex);
    ++r.badReleases;
    return;
  }
  if (o->immortal) return;
  if (--o->refs == 0) {
    {
      auto& r = Objects();
      std::lock_guard<std::mutex> lock(r.mutex);
      r.live.erase(o);
    }
    delete o;
  }
}

CFTypeRef LOGORA_CDECL CFRetain(CFTypeRef value) {
  Retain(value);
  return value;
}

CFIndex LOGORA_CDECL CFGetRetainCount(CFTypeRef value) {
  Object* o = Lookup(value);
  if (!o) return 0;
  return o->immortal ? std::numeric_limits<CFIndex>::max() : o->refs.load();
}

CFTypeID LOGORA_CDECL CFGetTypeID(CFTypeRef value) {
  Object* o = Lookup(value);
  return o ? o->type : 0;
}
CFTypeID LOGORA_CDECL CFStringGetTypeID(void) { return kCFStringTypeID; }
CFTypeID LOGORA_CDECL CFDictionaryGetTypeID(void) { return kCFDictionaryTypeID; }
CFTypeID LOGORA_CDECL CFBooleanGetTypeID(void) { return kCFBooleanTypeID; }
CFTypeID LOGORA_CDECL CFNumberGetTypeID(void) { return kCFNumberTypeID; }
CFTypeID LOGORA_CDECL CFDataGetTypeID(void) { return kCFDataTypeID; }
CFTypeID LOGORA_CDECL CFArrayGetTypeID(void) { return kCFArrayTypeID; }

// ---- strings ----

CFStringRef LOGORA_CDECL __CFStringMakeConstantString(const char* text) {
  if (!text) return nullptr;
  static std::mutex mutex;
  static auto* table = new std::map<std::string, String*>;
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = (*table)[text];
  if (!slot) {
    slot = NewString(plist::Utf8ToUtf16(text));
    slot->immortal = true;
    Publish(slot);
  }
  return reinterpret_cast<CFStringRef>(static_cast<Object*>(slot));
}

CFStringRef LOGORA_CDECL CFStringCreateWithCString(CFAllocatorRef, const char* text, CFStringEncoding encoding) {
  if (!text) return nullptr;
  std::string_view s(text);
  std::u16string chars;
  switch (encoding) {
    case kCFStringEncodingUTF8:
      if (!plist::IsValidUtf8(s)) return nullptr;
      chars = plist::Utf8ToUtf16(s);
      break;
    case 0x0600:  // ASCII
      if (!std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return nullptr;
      chars.assign(s.begin(), s.end());
      break;
    case 0x0201:  // ISO Latin-1
    case 0x0500:  // Windows Latin-1
      for (unsigned char c : s) chars += static_cast<char16_t>(c);
      break;
    default:
      return nullptr;
  }
  return static_cast<CFStringRef>(Publish(NewString(std::move(chars))));
}

CFStringRef LOGORA_CDECL CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex length) {
  if (length < 0 || (length > 0 && !chars)) return nullptr;
  std::u16string s(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(length));
  return static_cast<CFStringRef>(Publish(NewString(std::move(s))));
}

const UniChar* LOGORA_CDECL CFStringGetCharactersPtr(CFStringRef string) {
  auto* s = LookupAs<String>(string, kCFStringTypeID);
  // Text the platform keeps as 8-bit characters cannot be handed out as UTF-16.
  if (!s || s->ascii) return nullptr;
  return reinterpret_cast<const UniChar*>(s->chars.data());
}

CFIndex LOGORA_CDECL CFStringGetLength(CFStringRef string) {
  auto* s = LookupAs<String>(string, kCFStringTypeID);
  return s ? static_cast<CFIndex>(s->chars.size()) : 0;
}

void LOGORA_CDECL CFStringGetCharacters(CFStringRef string, CFRange range, UniChar* buffer) {
  auto* s = LookupAs<String>(string, kCFStringTypeID);
  if (!s || !buffer || range.location < 0 || range.length < 0) return;
  auto size = static_cast<CFIndex>(s->chars.size());
  if (range.location > size || range.length > size - range.location) return;
  std::memcpy(buffer, s->chars.data() + range.location, static_cast<size_t>(range.length) * sizeof(UniChar));
}

Boolean LOGORA_CDECL CFStringGetCString(CFStringRef string, char* buffer, CFIndex size, CFStringEncoding encoding) {
  auto* s = LookupAs<String>(string, kCFStringTypeID);
  if (!s || !buffer || size <= 0) return 0;
  std::string out;
  if (encoding == kCFStringEncodingUTF8) {
    out = plist::Utf16ToUtf8(s->chars);
  } else if (encoding == 0x0600 && s->ascii) {
    out.assign(s->chars.begin(), s->chars.end());
  } else {
    return 0;
  }
  if (static_cast<CFIndex>(out.size()) >= size) return 0;
  std::memcpy(buffer, out.c_str(), out.size() + 1);
  return 1;
}

// ---- numbers and booleans ----

CFNumberRef LOGORA_CDECL CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* value) {
  CFNumberType c = Canonical(type);
  if (!c || !value) return nullptr;
  auto* n = new Number;
  n->type = c;
  switch (c) {
    case kCFNumberSInt8Type: { int8_t v; std::memcpy(&v, value, 1); n->i = v; n->d = v; break; }
    case kCFNumberSInt16Type: { int16_t v; std::memcpy(&v, value, 2); n->i = v; n->d = v; break; }
    case kCFNumberSInt32Type: { int32_t v; std::memcpy(&v, value, 4); n->i = v; n->d = v; break; }
    case kCFNumberSInt64Type: { int64_t v; std::memcpy(&v, value, 8); n->i = v; n->d = static_cast<double>(v); break; }
    case kCFNumberFloat32Type: { float v; std::memcpy(&v, value, 4); n->d = v; break; }
    default: { double v; std::memcpy(&v, value, 8); n->d = v; break; }
  }
  if (n->IsFloat()) n->i = std::isfinite(n->d) ? static_cast<int64_t>(std::clamp(n->d, -9.2e18, 9.2e18)) : 0;
  return static_cast<CFNumberRef>(Publish(n));
}

CFIndex LOGORA_CDECL CFNumberGetByteSize(CFNumberRef number) {
  auto* n = LookupAs<Number>(number, kCFNumberTypeID);
  return n ? static_cast<CFIndex>(SizeOf(n->type)) : 0;
}

CFNumberType LOGORA_CDECL CFNumberGetType(CFNumberRef number) {
  auto* n = LookupAs<Number>(number, kCFNumberTypeID);
  return n ? n->type : 0;
}

Boolean LOGORA_CDECL CFNumberGetValue(CFNumberRef number, CFNumberType type, void* value) {
  auto* n = LookupAs<Number>(number, kCFNumberTypeID);
  CFNumberType c = Canonical(type);
  if (!n || !c || !value) return 0;
  if (c == kCFNumberFloat32Type || c == kCFNumberFloat64Type) {
    double src = n->IsFloat() ? n->d : static_cast<double>(n->i);
    if (c == kCFNumberFloat32Type) {
      float f = static_cast<float>(src);
      std::memcpy(value, &f, 4);
      return static_cast<double>(f) == src || std::isnan(src);
    }
    std::memcpy(value, &src, 8);
    return n->IsFloat() || static_cast<int64_t>(src) == n->i;
  }
  bool exact = !n->IsFloat() || (std::isfinite(n->d) && std::trunc(n->d) == n->d && static_cast<double>(n->i) == n->d);
  switch (c) {
    case kCFNumberSInt8Type: return StoreInt<int8_t>(n->i, value) && exact;
    case kCFNumberSInt16Type: return StoreInt<int16_t>(n->i, value) && exact;
    case kCFNumberSInt32Type: return StoreInt<int32_t>(n->i, value) && exact;
    default: return StoreInt<int64_t>(n->i, value) && exact;
  }
}

Boolean LOGORA_CDECL CFBooleanGetValue(CFBooleanRef boolean) {
  auto* b = LookupAs<BooleanObj>(boolean, kCFBooleanTypeID);
  return b && b->value ? 1 : 0;
}

// ---- data ----

CFDataRef LOGORA_CDECL CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
  if (length < 0 || (length > 0 && !bytes)) return nullptr;
  auto* d = new Data;
  d->bytes.assign(bytes, bytes + length);
  return static_cast<CFDataRef>(Publish(d));
}

const UInt8* LOGORA_CDECL CFDataGetBytePtr(CFDataRef data) {
  auto* d = LookupAs<Data>(data, kCFDataTypeID);
  return d ? d->bytes.data() : nullptr;
}

CFIndex LOGORA_CDECL CFDataGetLength(CFDataRef data) {
  auto* d = LookupAs<Data>(data, kCFDataTypeID);
  return d ? static_cast<CFIndex>(d->bytes.size()) : 0;
}

void LOGORA_CDECL CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer) {
  auto* d = LookupAs<Data>(data, kCFDataTypeID);
  if (!d || !buffer || range.location < 0 || range.length < 0) return;
  auto size = static_cast<CFIndex>(d->bytes.size());
  if (range.location > size || range.length > size - range.location) return;
  std::memcpy(buffer, d->bytes.data() + range.location, static_cast<size_t>(range.length));
}

// ---- containers ----

CFArrayRef LOGORA_CDECL CFArrayCreate(CFAllocatorRef, const void** values, CFIndex count,
                                      const CFArrayCallBacks* callBacks) {
  if (count < 0 || (count > 0 && !values)) return nullptr;
  auto* a = new ArrayObj;
  a->retains = callBacks != nullptr;
  a->items.assign(values, values + count);
  if (a->retains) {
    for (const void* v : a->items) Retain(v);
  }
  return static_cast<CFArrayRef>(Publish(a));
}

CFIndex LOGORA_CDECL CFArrayGetCount(CFArrayRef array) {
  auto* a = LookupAs<ArrayObj>(array, kCFArrayTypeID);
  return a ? static_cast<CFIndex>(a->items.size()) : 0;
}

const void* LOGORA_CDECL CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index) {
  auto* a = LookupAs<ArrayObj>(array, kCFArrayTypeID);
  if (!a || index < 0 || index >= static_cast<CFIndex>(a->items.size())) return nullptr;
  return a->items[static_cast<size_t>(index)];
}

CFDictionaryRef LOGORA_CDECL CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values,
                                                CFIndex count, const CFDictionaryKeyCallBacks* keyCallBacks,
                                                const CFDictionaryValueCallBacks* valueCallBacks) {
  if (count < 0 || (count > 0 && (!keys || !values))) return nullptr;
  auto* d = new Dict;
  d->retainsKeys = keyCallBacks != nullptr;
  d->retainsValues = valueCallBacks != nullptr;
  for (CFIndex i = 0; i < count; ++i) {
    if (d->retainsKeys) Retain(keys[i]);
    if (d->retainsValues) Retain(values[i]);
    d->items.emplace_back(keys[i], values[i]);
  }
  return static_cast<CFDictionaryRef>(Publish(d));
}

CFIndex LOGORA_CDECL CFDictionaryGetCount(CFDictionaryRef dict) {
  auto* d = LookupAs<Dict>(dict, kCFDictionaryTypeID);
  return d ? static_cast<CFIndex>(d->items.size()) : 0;
}

const void* LOGORA_CDECL CFDictionaryGetValue(CFDictionaryRef dict, const void* key) {
  auto* d = LookupAs<Dict>(dict, kCFDictionaryTypeID);
  if (!d) return nullptr;
  auto* ks = LookupAs<String>(key, kCFStringTypeID);
  for (const auto& [k, v] : d->items) {
    if (k == key) return v;
    if (ks) {
      if (auto* other = LookupAs<String>(k, kCFStringTypeID); other && other->chars == ks->chars) return v;
    }
  }
  return nullptr;
}

void LOGORA_CDECL CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void** keys, const void** values) {
  auto* d = LookupAs<Dict>(dict, kCFDictionaryTypeID);
  if (!d) return;
  for (size_t i = 0; i < d->items.size(); ++i) {
    if (keys) keys[i] = d->items[i].first;
    if (values) values[i] = d->items[i].second;
  }
}

// ---- property lists ----

CFPropertyListRef LOGORA_CDECL CFPropertyListCreateFromXMLData(CFAllocatorRef, CFDataRef data, CFOptionFlags,
                                                               CFStringRef* errorString) {
  auto* d = LookupAs<Data>(data, kCFDataTypeID);
  if (!d) {
    if (errorString) *errorString = ErrorString("No data");
    return nullptr;
  }
  return ParseBytes(d->bytes.data(), d->bytes.size(), nullptr, errorString);
}

CFDataRef LOGORA_CDECL CFPropertyListCreateXMLData(CFAllocatorRef, CFPropertyListRef plist) {
  auto v = ToPlist(plist);
  if (!v) return nullptr;
  std::string xml = plist::WriteXml(*v);
  return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(xml.data()), static_cast<CFIndex>(xml.size()));
}

CFDataRef LOGORA_CDECL CFPropertyListCreateData(CFAllocatorRef, CFPropertyListRef plist, CFPropertyListFormat format,
                                                CFOptionFlags, void** error) {
  if (error) *error = nullptr;
  auto v = ToPlist(plist);
  if (!v) return nullptr;
  if (format == kCFPropertyListBinaryFormat_v1_0) {
    plist::Bytes b = plist::WriteBinary(*v);
    return CFDataCreate(nullptr, b.data(), static_cast<CFIndex>(b.size()));
  }
  if (format != kCFPropertyListXMLFormat_v1_0) return nullptr;
  return CFPropertyListCreateXMLData(nullptr, plist);
}

Boolean LOGORA_CDECL CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format) {
  if (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0) return 0;
  return ToPlist(plist) ? 1 : 0;
}

// ---- files and streams ----

CFURLRef LOGORA_CDECL CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef path, CFURLPathStyle, Boolean) {
  auto* s = LookupAs<String>(path, kCFStringTypeID);
  if (!s) return nullptr;
  auto* u = new Url;
  u->path = s->chars;
  return static_cast<CFURLRef>(Publish(u));
}

CFReadStreamRef LOGORA_CDECL CFReadStreamCreateWithFile(CFAllocatorRef, CFURLRef url) {
  auto* u = LookupAs<Url>(url, kURLTypeID);
  if (!u) return nullptr;
  auto* r = new ReadStream;
  r->path = u->path;
  return reinterpret_cast<CFReadStreamRef>(const_cast<void*>(Publish(r)));
}

CFWriteStreamRef LOGORA_CDECL CFWriteStreamCreateWithFile(CFAllocatorRef, CFURLRef url) {
  auto* u = LookupAs<Url>(url, kURLTypeID);
  if (!u) return nullptr;
  auto* w = new WriteStream;
  w->path = u->path;
  return reinterpret_cast<CFWriteStreamRef>(const_cast<void*>(Publish(w)));
}

Boolean LOGORA_CDECL CFReadStreamOpen(CFReadStreamRef stream) {
  auto* r = LookupAs<ReadStream>(stream, kReadStreamTypeID);
  if (!r || r->open) return 0;
  if (!ReadFile(r->path, r->bytes)) return 0;
  r->pos = 0;
  r->open = true;
  return 1;
}

void LOGORA_CDECL CFReadStreamClose(CFReadStreamRef stream) {
  if (auto* r = LookupAs<ReadStream>(stream, kReadStreamTypeID)) {
    r->open = false;
    r->bytes.clear();
  }
}

Boolean LOGORA_CDECL CFWriteStreamOpen(CFWriteStreamRef stream) {
  auto* w = LookupAs<WriteStream>(stream, kWriteStreamTypeID);
  if (!w || w->open) return 0;
  // Creates (or empties) the file now, as opening a file stream for writing does.
  if (!WriteFile(w->path, {})) return 0;
  w->bytes.clear();
  w->open = true;
  return 1;
}

void LOGORA_CDECL CFWriteStreamClose(CFWriteStreamRef stream) {
  auto* w = LookupAs<WriteStream>(stream, kWriteStreamTypeID);
  if (!w || !w->open) return;
  WriteFile(w->path, w->bytes);
  w->open = false;
}

CFPropertyListRef LOGORA_CDECL CFPropertyListCreateFromStream(CFAllocatorRef, CFReadStreamRef stream,
                                                              CFIndex streamLength, CFOptionFlags,
                                                              CFPropertyListFormat* format,
                                                              CFStringRef* errorString) {
  auto* r = LookupAs<ReadStream>(stream, kReadStreamTypeID);
  if (!r || !r->open || streamLength < 0) {
    if (errorString) *errorString = ErrorString("Stream is not open");
    return nullptr;
  }
  size_t left = r->bytes.size() - r->pos;
  size_t n = streamLength == 0 ? left : std::min(left, static_cast<size_t>(streamLength));
  const uint8_t* start = r->bytes.data() + r->pos;
  r->pos += n;
  return ParseBytes(start, n, format, errorString);
}

CFIndex LOGORA_CDECL CFPropertyListWriteToStream(CFPropertyListRef plist, CFWriteStreamRef stream,
                                                 CFPropertyListFormat format, CFStringRef* errorString) {
  auto* w = LookupAs<WriteStream>(stream, kWriteStreamTypeID);
  auto v = ToPlist(plist);
  if (!w || !w->open || !v ||
      (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0)) {
    if (errorString) *errorString = ErrorString("Cannot write property list");
    return 0;
  }
  plist::Bytes out;
  if (format == kCFPropertyListBinaryFormat_v1_0) {
    out = plist::WriteBinary(*v);
  } else {
    std::string xml = plist::WriteXml(*v);
    out.assign(xml.begin(), xml.end());
  }
  w->bytes.insert(w->bytes.end(), out.begin(), out.end());
  if (errorString) *errorString = nullptr;
  return static_cast<CFIndex>(out.size());
}

Boolean LOGORA_CDECL CFURLCreateDataAndPropertiesFromResource(CFAllocatorRef, CFURLRef url, CFDataRef* data,
                                                              CFDictionaryRef* properties, CFArrayRef,
                                                              SInt32* errorCode) {
  constexpr SInt32 kResourceNotFound = -12;
  if (properties) *properties = nullptr;
  if (data) *data = nullptr;
  auto* u = LookupAs<Url>(url, kURLTypeID);
  std::vector<uint8_t> bytes;
  if (!u || !ReadFile(u->path, bytes)) {
    if (errorCode) *errorCode = kResourceNotFound;
    return 0;
  }
  if (data) *data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
  if (errorCode) *errorCode = 0;
  return 1;
}

Boolean LOGORA_CDECL CFURLWriteDataAndPropertiesToResource(CFURLRef url, CFDataRef data, CFDictionaryRef,
                                                           SInt32* errorCode) {
  constexpr SInt32 kUnknownError = -10;
  auto* u = LookupAs<Url>(url, kURLTypeID);
  auto* d = LookupAs<Data>(data, kCFDataTypeID);
  bool ok = u && (d ? WriteFile(u->path, d->bytes) : WriteFile(u->path, {}));
  if (errorCode) *errorCode = ok ? 0 : kUnknownError;
  return ok ? 1 : 0;
}

}  // extern "C"

// Each entry point has exactly the type the program binds it as.
static_assert(std::is_same_v<decltype(&CFWriteStreamCreateWithFile), CFWriteStreamCreateWithFileProc>);
static_assert(std::is_same_v<decltype(&CFReadStreamCreateWithFile), CFReadStreamCreateWithFileProc>);
static_assert(std::is_same_v<decltype(&CFStringCreateWithCString), CFStringCreateWithCStringProc>);
static_assert(std::is_same_v<decltype(&CFURLCreateWithFileSystemPath), CFURLCreateWithFileSystemPathProc>);
static_assert(std::is_same_v<decltype(&CFReadStreamOpen), CFReadStreamOpenProc>);
static_assert(std::is_same_v<decltype(&CFWriteStreamOpen), CFWriteStreamOpenProc>);
static_assert(std::is_same_v<decltype(&CFPropertyListCreateFromStream), CFPropertyListCreateFromStreamProc>);
static_assert(std::is_same_v<decltype(&CFReadStreamClose), CFReadStreamCloseProc>);
static_assert(std::is_same_v<decltype(&CFPropertyListIsValid), CFPropertyListIsValidProc>);
static_assert(std::is_same_v<decltype(&CFPropertyListWriteToStream), CFPropertyListWriteToStreamProc>);
static_assert(std::is_same_v<decltype(&CFWriteStreamClose), CFWriteStreamCloseProc>);
static_assert(std::is_same_v<decltype(&CFRelease), CFReleaseProc>);
static_assert(std::is_same_v<decltype(&CFURLCreateDataAndPropertiesFromResource), CFURLCreateDataAndPropertiesFromResourceProc>);
static_assert(std::is_same_v<decltype(&CFPropertyListCreateFromXMLData), CFPropertyListCreateFromXMLDataProc>);
static_assert(std::is_same_v<decltype(&CFPropertyListCreateXMLData), CFPropertyListCreateXMLDataProc>);
static_assert(std::is_same_v<decltype(&CFURLWriteDataAndPropertiesToResource), CFURLWriteDataAndPropertiesToResourceProc>);
static_assert(std::is_same_v<decltype(&__CFStringMakeConstantString), __CFStringMakeConstantStringProc>);
static_assert(std::is_same_v<decltype(&CFStringGetCharactersPtr), CFStringGetCharactersPtrProc>);
static_assert(std::is_same_v<decltype(&CFDataCreate), CFDataCreateProc>);
static_assert(std::is_same_v<decltype(&CFDataGetBytePtr), CFDataGetBytePtrProc>);
static_assert(std::is_same_v<decltype(&CFGetTypeID), CFGetTypeIDProc>);
static_assert(std::is_same_v<decltype(&CFStringGetTypeID), CFStringGetTypeIDProc>);
static_assert(std::is_same_v<decltype(&CFDictionaryGetTypeID), CFDictionaryGetTypeIDProc>);
static_assert(std::is_same_v<decltype(&CFBooleanGetTypeID), CFBooleanGetTypeIDProc>);
static_assert(std::is_same_v<decltype(&CFNumberGetTypeID), CFNumberGetTypeIDProc>);
static_assert(std::is_same_v<decltype(&CFDataGetTypeID), CFDataGetTypeIDProc>);
static_assert(std::is_same_v<decltype(&CFArrayGetTypeID), CFArrayGetTypeIDProc>);
static_assert(std::is_same_v<decltype(&CFStringGetLength), CFStringGetLengthProc>);
static_assert(std::is_same_v<decltype(&CFStringGetCharacters), CFStringGetCharactersProc>);
static_assert(std::is_same_v<decltype(&CFNumberGetByteSize), CFNumberGetByteSizeProc>);
static_assert(std::is_same_v<decltype(&CFNumberGetType), CFNumberGetTypeProc>);
static_assert(std::is_same_v<decltype(&CFNumberGetValue), CFNumberGetValueProc>);
static_assert(std::is_same_v<decltype(&CFBooleanGetValue), CFBooleanGetValueProc>);
static_assert(std::is_same_v<decltype(&CFArrayCreate), CFArrayCreateProc>);
static_assert(std::is_same_v<decltype(&CFArrayGetCount), CFArrayGetCountProc>);
static_assert(std::is_same_v<decltype(&CFArrayGetValueAtIndex), CFArrayGetValueAtIndexProc>);
static_assert(std::is_same_v<decltype(&CFDataGetLength), CFDataGetLengthProc>);
static_assert(std::is_same_v<decltype(&CFDataGetBytes), CFDataGetBytesProc>);
