#pragma once
// The thin seam between the service protocol and a connection: the installation service's socket in the
// program, a scripted peer in tests.
#include <cstddef>
#include <cstdint>

namespace install {

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Sends at most `length` bytes. Returns how many went out (> 0), or <= 0 on failure.
  virtual int64_t Send(const uint8_t* data, size_t length) = 0;
  // Receives at most `length` bytes. Returns how many arrived (> 0), 0 when the peer closed the
  // connection, < 0 on failure (a time-out included).
  virtual int64_t Receive(uint8_t* buffer, size_t length) = 0;
};

}  // namespace install
