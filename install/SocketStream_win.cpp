#include "install/SocketStream_win.h"

#include <algorithm>
#include <climits>

namespace install {

SocketStream::SocketStream(SOCKET socket, std::chrono::milliseconds timeout) : socket_(socket) {
  const DWORD ms = static_cast<DWORD>(std::clamp<long long>(timeout.count(), 1, INT_MAX));
  ::setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof(ms));
  ::setsockopt(socket_.get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof(ms));
}

int64_t SocketStream::Send(const uint8_t* data, size_t length) {
  const int n = static_cast<int>(std::min<size_t>(length, INT_MAX));
  const int sent = ::send(socket_.get(), reinterpret_cast<const char*>(data), n, 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

int64_t SocketStream::Receive(uint8_t* buffer, size_t length) {
  const int n = static_cast<int>(std::min<size_t>(length, INT_MAX));
  const int got = ::recv(socket_.get(), reinterpret_cast<char*>(buffer), n, 0);
  return got == SOCKET_ERROR ? -1 : got;
}

}  // namespace install
