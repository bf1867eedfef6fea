#pragma once
// Core-foundation values turned into what the program reads: binary property lists into XML text, device
// values into wide text. Every call goes through the bound table; nothing is linked against the library.
#include <string>

#include "device/MobileDeviceFunctions.h"
#include "install/Replies.h"

namespace install {

// XML produced from a binary reply longer than this is refused (a reply can nest shared objects and grow
// without bound when written out).
inline constexpr size_t kMaxDecodedReplyBytes = 4u << 20;

// Binary property list to XML through CFPropertyListCreateFromXMLData and CFPropertyListCreateXMLData.
// Releases every object it obtains. The table must outlive the decoder.
class CoreFoundationPlistDecoder : public BinaryPlistDecoder {
 public:
  explicit CoreFoundationPlistDecoder(const CoreFoundationValueFunctions& cf) : cf_(cf) {}
  bool ToXml(const uint8_t* data, size_t length, std::string& xml) override;

 private:
  const CoreFoundationValueFunctions& cf_;
};

// Text of a device value: a string's characters; a dictionary's XML; "是"/"否" for a boolean; the decimal
// text of a signed 8- to 64-bit integer. Anything else (and a missing table entry) gives empty text.
// Does not release `value`.
std::wstring ValueToText(const CoreFoundationValueFunctions& cf, CFTypeRef value);

}  // namespace install
