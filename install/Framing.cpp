#include "install/Framing.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace install {
namespace {

bool SendAll(ByteStream& stream, const uint8_t* data, size_t length) {
  while (length > 0) {
    const int64_t sent = stream.Send(data, length);
    if (sent <= 0 || static_cast<uint64_t>(sent) > length) return false;
    data += sent;
    length -= static_cast<size_t>(sent);
  }
  return true;
}

// Fills `buffer` completely; the failure kind tells a closed connection from an error.
FrameRead ReceiveAll(ByteStream& stream, uint8_t* buffer, size_t length) {
  while (length > 0) {
    const int64_t got = stream.Receive(buffer, length);
    if (got == 0) return FrameRead::kClosed;
    if (got < 0 || static_cast<uint64_t>(got) > length) return FrameRead::kFailed;
    buffer += got;
    length -= static_cast<size_t>(got);
  }
  return FrameRead::kOk;
}

}  // namespace

bool SendFrame(ByteStream& stream, const void* payload, size_t length) {
  if (length > UINT32_MAX) return false;
  const uint32_t n = static_cast<uint32_t>(length);
  const uint8_t prefix[4] = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                             static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  // A request (a few hundred bytes) goes out with its length in one send: one segment on the wire, one
  // wake-up of the peer. Large payloads are not copied for that.
  constexpr size_t kCoalesceLimit = 4096;
  if (length <= kCoalesceLimit) {
    uint8_t frame[4 + kCoalesceLimit];
    std::memcpy(frame, prefix, 4);
    if (length > 0) std::memcpy(frame + 4, payload, length);
    return SendAll(stream, frame, 4 + length);
  }
  return SendAll(stream, prefix, 4) && SendAll(stream, static_cast<const uint8_t*>(payload), length);
}

FrameRead ReadFrame(ByteStream& stream, std::vector<uint8_t>& payload) {
  payload.clear();
  uint8_t prefix[4];
  FrameRead r = ReceiveAll(stream, prefix, 4);
  if (r != FrameRead::kOk) return r;
  const uint32_t length = (uint32_t{prefix[0]} << 24) | (uint32_t{prefix[1]} << 16) |
                          (uint32_t{prefix[2]} << 8) | uint32_t{prefix[3]};
  if (length >= kMaxFrameLength) return FrameRead::kOversize;
  // The buffer grows with what arrives, so a peer that declares a large frame and sends little costs
  // little memory.
  constexpr size_t kStep = size_t{1} << 20;
  try {
    for (size_t filled = 0; filled < length;) {
      const size_t n = std::min<size_t>(kStep, length - filled);
      payload.resize(filled + n);
      r = ReceiveAll(stream, payload.data() + filled, n);
      if (r != FrameRead::kOk) {
        payload.clear();
        return r;
      }
      filled += n;
    }
  } catch (const std::bad_alloc&) {
    payload.clear();
    return FrameRead::kFailed;
  }
  return FrameRead::kOk;
}

}  // namespace install
