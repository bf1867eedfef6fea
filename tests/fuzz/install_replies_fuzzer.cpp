// Feeds arbitrary bytes as the installation service's side of a connection: frames, XML and binary
// replies (binary ones decoded as if they were XML), through the reply loop and the status reading.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "install/InstallStatus.h"
#include "install/Replies.h"

namespace {

class BytesStream : public install::ByteStream {
 public:
  BytesStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int64_t Send(const uint8_t*, size_t length) override { return static_cast<int64_t>(length); }
  int64_t Receive(uint8_t* buffer, size_t length) override {
    if (pos_ >= size_) return 0;
    // Uneven pieces, as a socket hands them out.
    const size_t n = std::min({length, size_ - pos_, size_t{1} + (pos_ * 7919) % 61});
    std::copy(data_ + pos_, data_ + pos_ + n, buffer);
    pos_ += n;
    return static_cast<int64_t>(n);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class AsXml : public install::BinaryPlistDecoder {
 public:
  bool ToXml(const uint8_t* data, size_t length, std::string& xml) override {
    xml.assign(reinterpret_cast<const char*>(data) + 8, length - 8);
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BytesStream stream(data, size);
  AsXml decoder;
  install::InstallStatus status;
  install::ReplyLoop(stream, &decoder, status, [](const install::InstallStatus&) {});
  std::wstring text(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
  install::IsCompleteReply(text);
  install::InstallStatus direct;
  install::ParseInstallStatus(install::DecodeXmlPayload(data, size), direct);
  return 0;
}
