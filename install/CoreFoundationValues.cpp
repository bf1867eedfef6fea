#include "install/CoreFoundationValues.h"

#include <cstring>
#include <vector>

#include "xml/Utf8.h"

namespace install {
namespace {

// Releases a core-foundation object when it goes out of scope.
class CFHolder {
 public:
  CFHolder(const CoreFoundationFunctions& cf, CFTypeRef value) : cf_(cf), value_(value) {}
  ~CFHolder() {
    if (value_ && cf_.CFRelease) cf_.CFRelease(value_);
  }
  CFHolder(const CFHolder&) = delete;
  CFHolder& operator=(const CFHolder&) = delete;
  CFTypeRef get() const { return value_; }

 private:
  const CoreFoundationFunctions& cf_;
  CFTypeRef value_;
};

// The bytes of a data object, or false when they cannot be had or exceed `limit`.
bool DataBytes(const CoreFoundationValueFunctions& cf, CFDataRef data, size_t limit, std::string& out) {
  if (!cf.CFDataGetLength) return false;
  const CFIndex length = cf.CFDataGetLength(data);
  if (length < 0 || static_cast<uint64_t>(length) > limit) return false;
  out.assign(static_cast<size_t>(length), '\0');
  if (length == 0) return true;
  if (cf.CFDataGetBytes) {
    cf.CFDataGetBytes(data, CFRange{0, length}, reinterpret_cast<UInt8*>(out.data()));
    return true;
  }
  const UInt8* bytes = cf.CFDataGetBytePtr ? cf.CFDataGetBytePtr(data) : nullptr;
  if (!bytes) return false;
  std::memcpy(out.data(), bytes, out.size());
  return true;
}

std::wstring FromUtf16(const UniChar* chars, size_t length) {
  if constexpr (sizeof(wchar_t) == 2) {
    return std::wstring(reinterpret_cast<const wchar_t*>(chars), length);
  } else {
    std::wstring out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
      char32_t c = chars[i];
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && chars[i + 1] >= 0xDC00 && chars[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (chars[i + 1] - 0xDC00u);
        ++i;
      } else if (c >= 0xD800 && c <= 0xDFFF) {
        c = 0xFFFD;
      }
      out.push_back(static_cast<wchar_t>(c));
    }
    return out;
  }
}

std::wstring StringText(const CoreFoundationValueFunctions& cf, CFStringRef s) {
  // Device values are short; a length beyond this is a broken library, not a value.
  constexpr CFIndex kMaxLength = CFIndex{1} << 20;
  if (!cf.CFStringGetLength) return {};
  const CFIndex length = cf.CFStringGetLength(s);
  if (length <= 0 || length > kMaxLength) return {};
  if (cf.CFStringGetCharactersPtr) {
    if (const UniChar* direct = cf.CFStringGetCharactersPtr(s)) return FromUtf16(direct, static_cast<size_t>(length));
  }
  if (!cf.CFStringGetCharacters) return {};
  std::vector<UniChar> buffer(static_cast<size_t>(length));
  cf.CFStringGetCharacters(s, CFRange{0, length}, buffer.data());
  return FromUtf16(buffer.data(), buffer.size());
}

std::wstring NumberText(const CoreFoundationValueFunctions& cf, CFNumberRef n) {
  if (!cf.CFNumberGetType || !cf.CFNumberGetValue) return {};
  const CFNumberType type = cf.CFNumberGetType(n);
  if (type < kCFNumberSInt8Type || type > kCFNumberSInt64Type) return {};
  if (cf.CFNumberGetByteSize) {
    const CFIndex size = cf.CFNumberGetByteSize(n);
    if (size <= 0 || size > 16) return {};
  }
  alignas(16) unsigned char buffer[16] = {};
  if (cf.CFNumberGetValue(n, type, buffer) != 1) return {};
  int64_t value = 0;
  switch (type) {
    case kCFNumberSInt8Type: { int8_t v; std::memcpy(&v, buffer, 1); value = v; break; }
    case kCFNumberSInt16Type: { int16_t v; std::memcpy(&v, buffer, 2); value = v; break; }
    case kCFNumberSInt32Type: { int32_t v; std::memcpy(&v, buffer, 4); value = v; break; }
    default: std::memcpy(&value, buffer, 8); break;
  }
  return std::to_wstring(value);
}

}  // namespace

bool CoreFoundationPlistDecoder::ToXml(const uint8_t* data, size_t length, std::string& xml) {
  if (!cf_.CFDataCreate || !cf_.CFPropertyListCreateFromXMLData || !cf_.CFPropertyListCreateXMLData ||
      !cf_.CFRelease || length > static_cast<size_t>(INTPTR_MAX)) {
    return false;
  }
  CFHolder input(cf_, cf_.CFDataCreate(kCFAllocatorDefault, data, static_cast<CFIndex>(length)));
  if (!input.get()) return false;
  CFStringRef error_text = nullptr;
  CFHolder plist(cf_, cf_.CFPropertyListCreateFromXMLData(kCFAllocatorDefault, static_cast<CFDataRef>(input.get()),
                                                          kCFPropertyListImmutable, &error_text));
  CFHolder error(cf_, error_text);
  if (!plist.get()) return false;
  CFHolder output(cf_, cf_.CFPropertyListCreateXMLData(kCFAllocatorDefault, plist.get()));
  if (!output.get()) return false;
  return DataBytes(cf_, static_cast<CFDataRef>(output.get()), kMaxDecodedReplyBytes, xml);
}

std::wstring ValueToText(const CoreFoundationValueFunctions& cf, CFTypeRef value) {
  if (!value || !cf.CFGetTypeID) return {};
  switch (cf.CFGetTypeID(value)) {
    case kCFStringTypeID:
      return StringText(cf, static_cast<CFStringRef>(value));
    case kCFDictionaryTypeID: {
      if (!cf.CFPropertyListCreateXMLData || !cf.CFRelease) return {};
      CFHolder data(cf, cf.CFPropertyListCreateXMLData(kCFAllocatorDefault, value));
      std::string bytes;
      if (!data.get() || !DataBytes(cf, static_cast<CFDataRef>(data.get()), kMaxDecodedReplyBytes, bytes)) return {};
      const size_t nul = bytes.find('\0');
      if (nul != std::string::npos) bytes.resize(nul);
      return xml::Utf8ToWide(bytes);
    }
    case kCFBooleanTypeID:
      if (!cf.CFBooleanGetValue) return {};
      return cf.CFBooleanGetValue(static_cast<CFBooleanRef>(value)) ? L"\u662f" : L"\u5426";
    case kCFNumberTypeID:
      return NumberText(cf, static_cast<CFNumberRef>(value));
    default:
      return {};
  }
}

}  // namespace install
