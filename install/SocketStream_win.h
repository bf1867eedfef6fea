#pragma once
// The installation service's socket as a ByteStream.
#include <winsock2.h>

#include <chrono>

#include "framework/Handles.h"
#include "install/ByteStream.h"

namespace install {

// Owns `socket` and closes it when destroyed. Receives and sends that wait longer than `timeout` fail, so a
// device that stops answering cannot hold the caller for ever.
class SocketStream : public ByteStream {
 public:
  SocketStream(SOCKET socket, std::chrono::milliseconds timeout);
  int64_t Send(const uint8_t* data, size_t length) override;
  int64_t Receive(uint8_t* buffer, size_t length) override;

 private:
  fw::UniqueSocket socket_;
};

}  // namespace install
