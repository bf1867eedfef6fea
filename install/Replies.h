#pragma once
// Reading the installation service's replies: one frame per reply, XML or binary property lists, turned
// into wide XML text that the XML document reads.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "install/ByteStream.h"

namespace install {

// Replies longer than this (in characters) are not parsed: a status reply is a few hundred bytes.
inline constexpr size_t kMaxReplyTextLength = 1u << 20;

// Turns a binary property list into XML text (UTF-8).
class BinaryPlistDecoder {
 public:
  virtual ~BinaryPlistDecoder() = default;
  // False when the bytes are not a property list or the conversion failed.
  virtual bool ToXml(const uint8_t* data, size_t length, std::string& xml) = 0;
};

enum class ReplyRead {
  kMore,      // a reply was read into the text; more may follow
  kComplete,  // an XML reply announced Status "Complete"; the text is emptied
  kFailed,    // no reply: the connection closed, failed or timed out, a frame was oversize, a binary reply
              // could not be decoded. The text is left as it was.
};

// Reads one reply frame. Binary replies ("bplist00") go through `decoder` (none: they fail) and are not
// tested for completion; XML replies are, after NUL bytes are made spaces (a final NUL is dropped).
ReplyRead ReceiveReply(ByteStream& stream, BinaryPlistDecoder* decoder, std::wstring& text);

// The text cut after its last character that is one of "</plist>"; empty when it has none of them.
std::wstring TrimReply(std::wstring_view text);

// True when the reply's dict starts with the key "Status" whose string is "Complete".
bool IsCompleteReply(std::wstring_view text);

// The XML text of a reply payload: NUL bytes become spaces except a final one, which is dropped; the
// bytes are decoded as UTF-8.
std::wstring DecodeXmlPayload(const uint8_t* data, size_t length);

}  // namespace install
