#include "install/Replies.h"

#include <cstring>
#include <vector>

#include "install/Framing.h"
#include "xml/Utf8.h"
#include "xml/XmlDocument.h"

namespace install {

std::wstring DecodeXmlPayload(const uint8_t* data, size_t length) {
  std::string bytes(reinterpret_cast<const char*>(data), length);
  if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  for (char& c : bytes) {
    if (c == '\0') c = ' ';
  }
  return xml::Utf8ToWide(bytes);
}

ReplyRead ReceiveReply(ByteStream& stream, BinaryPlistDecoder* decoder, std::wstring& text) {
  std::vector<uint8_t> payload;
  if (ReadFrame(stream, payload) != FrameRead::kOk) return ReplyRead::kFailed;

  if (payload.size() >= 8 && std::memcmp(payload.data(), "bplist00", 8) == 0) {
    std::string xml;
    if (!decoder || !decoder->ToXml(payload.data(), payload.size(), xml)) return ReplyRead::kFailed;
    text = xml::Utf8ToWide(xml);
    return ReplyRead::kMore;
  }

  std::wstring reply = DecodeXmlPayload(payload.data(), payload.size());
  if (IsCompleteReply(reply)) {
    text.clear();
    return ReplyRead::kComplete;
  }
  text = std::move(reply);
  return ReplyRead::kMore;
}

std::wstring TrimReply(std::wstring_view text) {
  const size_t last = text.find_last_of(L"</plist>");
  if (last == std::wstring_view::npos) return {};
  return std::wstring(text.substr(0, last + 1));
}

bool IsCompleteReply(std::wstring_view text) {
  std::wstring trimmed = TrimReply(text);
  if (trimmed.empty() || trimmed.size() > kMaxReplyTextLength) return false;
  xml::XmlDocument doc;
  doc.LoadText(std::move(trimmed));
  if (!doc.FindNextElement() || !doc.EnterElement() || !doc.FindNextElement(L"dict") || !doc.EnterElement())
    return false;
  if (!doc.FindNextElement(L"key") || doc.ElementData() != L"Status") return false;
  return doc.FindNextElement(L"string") && doc.ElementData() == L"Complete";
}

}  // namespace install
