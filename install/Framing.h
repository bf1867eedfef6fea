#pragma once
// Service messages: a 4-byte big-endian payload length followed by the payload (a property list).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "install/ByteStream.h"

namespace install {

// Frames declaring this many bytes or more are refused.
inline constexpr uint32_t kMaxFrameLength = 16u * 1024 * 1024;

// Sends the length prefix and the payload, looping over partial sends. True when every byte went out.
bool SendFrame(ByteStream& stream, const void* payload, size_t length);

enum class FrameRead {
  kOk,        // `payload` holds the whole payload
  kOversize,  // the declared length is at or above kMaxFrameLength; the exchange cannot go on
  kClosed,    // the peer closed the connection before a whole frame arrived
  kFailed,    // a receive failed or timed out before a whole frame arrived
};

// Reads one whole frame into `payload` (replacing its contents). On anything but kOk the payload is empty
// and the stream is no longer at a frame boundary.
FrameRead ReadFrame(ByteStream& stream, std::vector<uint8_t>& payload);

}  // namespace install
