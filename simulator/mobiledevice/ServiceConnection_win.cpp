#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <mutex>
#include <thread>

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

class SocketStream : public ServiceStream {
 public:
  explicit SocketStream(SOCKET s) : s_(s) {}
  bool ReadExact(uint8_t* buffer, size_t size) override {
    size_t done = 0;
    while (done < size) {
      int n = ::recv(s_, reinterpret_cast<char*>(buffer + done), static_cast<int>(size - done), 0);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  bool WriteAll(const uint8_t* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      int n = ::send(s_, reinterpret_cast<const char*>(data + done), static_cast<int>(size - done), 0);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

 private:
  SOCKET s_;
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
  // The service lives on its own thread, as on the device; it ends when the program closes its end.
  DeviceLayout layout = device->Layout();
  InstallBehaviour behaviour = device->CurrentInstallBehaviour();
  std::thread([server, layout, behaviour] {
    SocketStream stream(server);
    InstallService service(layout, behaviour);
    ServiceLog log(layout.ServiceLog());
    ServeInstallation(stream, service, log, [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    ::shutdown(server, SD_SEND);
    ::closesocket(server);
  }).detach();
  auto* c = new ServiceConnection;
  c->device = device;
  c->socket = static_cast<intptr_t>(client);
  return c;
}

}  // namespace sim
