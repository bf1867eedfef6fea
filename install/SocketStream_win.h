#pragma once
// The installation service's connection as a ByteStream.
#include <winsock2.h>

#include <chrono>

#include "device/MobileDeviceFunctions.h"
#include "framework/Handles.h"
#include "install/ByteStream.h"

namespace install {

// Owns `socket` and the library's `connection` (may be null): the socket is closed, then the connection
// released, when the stream is destroyed. With `secure` set the bytes go through the library's
// service-connection calls of `md` (which the caller has checked are bound), otherwise straight through
// the socket. Receives and sends that wait longer than `timeout` fail, so a device that stops answering
// cannot hold the caller for ever.
class SocketStream : public ByteStream {
 public:
  SocketStream(SOCKET socket, std::chrono::milliseconds timeout);
  SocketStream(SOCKET socket, AMDServiceConnectionRef connection, bool secure, const MobileDeviceFunctions& md,
               std::chrono::milliseconds timeout);
  ~SocketStream() override;
  SocketStream(const SocketStream&) = delete;
  SocketStream& operator=(const SocketStream&) = delete;

  int64_t Send(const uint8_t* data, size_t length) override;
  int64_t Receive(uint8_t* buffer, size_t length) override;

 private:
  fw::UniqueSocket socket_;
  AMDServiceConnectionRef connection_ = nullptr;
  bool secure_ = false;
  const MobileDeviceFunctions* md_ = nullptr;
};

// True when a connection that reports `secure` can be spoken through `md`.
bool CanSpeak(bool secure, const MobileDeviceFunctions& md);

}  // namespace install
