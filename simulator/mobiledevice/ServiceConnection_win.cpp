#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "simulator/core/InstallService.h"
#include "simulator/mobiledevice/ServiceConnection.h"

namespace sim {
namespace {

bool StartSockets() {
  static bool ok = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ok;
}

// What a secure channel does to the bytes, as far as a plain reader of the socket can tell.
constexpr uint8_t kScramble = 0x5A;

void Scramble(uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) data[i] ^= kScramble;
}

// The service's end of the connection, shared with the device's detach action, which shuts it down.
struct ServerEnd {
  explicit ServerEnd(SOCKET s) : socket(s) {}
  const SOCKET socket;
  std::atomic<bool> down{false};
  void ShutDown() {
    down = true;
    ::shutdown(socket, SD_BOTH);
  }
};

class SocketStream : public ServiceStream {
 public:
  SocketStream(std::shared_ptr<ServerEnd> end, SimDevice* device, bool secure)
      : end_(std::move(end)), device_(device), secure_(secure) {}
  bool ReadExact(uint8_t* buffer, size_t size) override {
    size_t done = 0;
    while (done < size) {
      if (end_->down) return false;
      int n = ::recv(end_->socket, reinterpret_cast<char*>(buffer + done), static_cast<int>(size - done), 0);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    if (secure_) Scramble(buffer, size);
    return true;
  }
  // Called once per reply frame.
  bool WriteAll(const uint8_t* data, size_t size) override {
    std::vector<uint8_t> bytes(data, data + size);
    if (secure_) Scramble(bytes.data(), bytes.size());
    size_t done = 0;
    while (done < size) {
      if (end_->down || device_->Detached()) return false;
      int n = ::send(end_->socket, reinterpret_cast<const char*>(bytes.data() + done), static_cast<int>(size - done), 0);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    if (device_->UnplugsAt(UnplugPoint::At::Reply, ++replies_)) device_->Unplug();
    return true;
  }

 private:
  std::shared_ptr<ServerEnd> end_;
  SimDevice* device_;
  bool secure_;
  int replies_ = 0;
};

// A connected pair of loopback TCP sockets; false when any step fails (nothing is left open then).
bool SocketPair(SOCKET& client, SOCKET& server) {
  client = server = INVALID_SOCKET;
  SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return false;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  int len = sizeof addr;
  bool ok = ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) == 0 && ::listen(listener, 1) == 0;
  if (ok) {
    client = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ok = client != INVALID_SOCKET && ::connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  if (ok) {
    server = ::accept(listener, nullptr, nullptr);
    ok = server != INVALID_SOCKET;
  }
  ::closesocket(listener);
  if (!ok) {
    if (client != INVALID_SOCKET) ::closesocket(client);
    client = INVALID_SOCKET;
  }
  return ok;
}

}  // namespace

ServiceConnection* StartInstallationService(SimDevice* device) {
  if (!StartSockets()) return nullptr;
  SOCKET client, server;
  if (!SocketPair(client, server)) return nullptr;
  // The service lives on its own thread, as on the device; it ends when the program closes its end or the
  // device goes.
  DeviceLayout layout = device->Layout();
  InstallBehaviour behaviour = device->CurrentInstallBehaviour();
  auto end = std::make_shared<ServerEnd>(server);
  const int detachKey = device->OnDetach([end] { end->ShutDown(); });
  std::thread([end, device, detachKey, layout, behaviour] {
    SocketStream stream(end, device, behaviour.secure);
    InstallService service(layout, behaviour);
    ServiceLog log(layout.ServiceLog());
    ServeInstallation(stream, service, log, [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    device->ForgetOnDetach(detachKey);
    ::shutdown(end->socket, SD_SEND);
    ::closesocket(end->socket);
  }).detach();
  auto* c = new ServiceConnection;
  c->device = device;
  c->socket = static_cast<intptr_t>(client);
  c->secure = behaviour.secure;
  return c;
}

int32_t SecureSend(const ServiceConnection& c, const void* data, size_t length) {
  if (c.device->Detached()) return -1;
  const size_t n = std::min<size_t>(length, INT_MAX);
  std::vector<uint8_t> bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + n);
  if (c.secure) Scramble(bytes.data(), bytes.size());
  const int sent = ::send(static_cast<SOCKET>(c.socket), reinterpret_cast<const char*>(bytes.data()),
                          static_cast<int>(n), 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

int32_t SecureReceive(const ServiceConnection& c, void* buffer, size_t length) {
  const int n = static_cast<int>(std::min<size_t>(length, INT_MAX));
  const int got = ::recv(static_cast<SOCKET>(c.socket), static_cast<char*>(buffer), n, 0);
  if (got == SOCKET_ERROR) return -1;
  if (c.secure) Scramble(static_cast<uint8_t*>(buffer), static_cast<size_t>(got));
  return got;
}

}  // namespace sim
