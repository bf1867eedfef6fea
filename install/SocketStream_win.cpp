#include "install/SocketStream_win.h"

#include <algorithm>
#include <climits>

namespace install {

SocketStream::SocketStream(SOCKET socket, std::chrono::milliseconds timeout) : socket_(socket) {
  const DWORD ms = static_cast<DWORD>(std::clamp<long long>(timeout.count(), 1, INT_MAX));
  ::setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof(ms));
  ::setsockopt(socket_.get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof(ms));
}

SocketStream::SocketStream(SOCKET socket, AMDServiceConnectionRef connection, bool secure,
                           const MobileDeviceFunctions& md, std::chrono::milliseconds timeout)
    : SocketStream(socket, timeout) {
  connection_ = connection;
  secure_ = secure && CanSpeak(secure, md);
  md_ = &md;
}

SocketStream::~SocketStream() {
  socket_.reset();
  // The connection is a library object like the device's copied values: released the same way.
  if (connection_) {
    if (auto release = CoreFoundationTable().CFRelease) release(connection_);
  }
}

int64_t SocketStream::Send(const uint8_t* data, size_t length) {
  const int n = static_cast<int>(std::min<size_t>(length, INT_MAX));
  if (secure_) return md_->AMDServiceConnectionSend(connection_, data, static_cast<size_t>(n));
  const int sent = ::send(socket_.get(), reinterpret_cast<const char*>(data), n, 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

int64_t SocketStream::Receive(uint8_t* buffer, size_t length) {
  const int n = static_cast<int>(std::min<size_t>(length, INT_MAX));
  if (secure_) return md_->AMDServiceConnectionReceive(connection_, buffer, static_cast<size_t>(n));
  const int got = ::recv(socket_.get(), reinterpret_cast<char*>(buffer), n, 0);
  return got == SOCKET_ERROR ? -1 : got;
}

bool CanSpeak(bool secure, const MobileDeviceFunctions& md) {
  return !secure || (md.AMDServiceConnectionSend && md.AMDServiceConnectionReceive);
}

}  // namespace install
