// The program's own share of a write beside its floor. Both move the same bytes the same way: the package
// written to a file and read back, its bytes handed to the device's file service (in memory here), the
// install request out and the service's reply back through one loopback socket. The device side answers at
// once from memory, so no device work (thread starts, unpacking, logging) is timed.
//   WriteProgramShare: what the program does for it: reading the package back (TakePackageFile), the
//     staging upload through the file-service calls, the request built and framed, the reply read and
//     parsed by the reply loop.
//   WriteFloor: the same bytes with nothing around them: read back, one copy into the device's memory, a
//     frame of the request's size out, a frame of the reply's size back.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "install/AfcFileService.h"
#include "install/Framing.h"
#include "install/InstallOperations.h"
#include "install/Requests.h"
#include "packaging/FileSystem.h"
#include "packaging/PackageBuilder.h"
#include "tests/install/Fakes.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kCompleteReply =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n\t<key>Status</key>\n"
    "\t<string>Complete</string>\n</dict>\n</plist>\n";

bool ReadExact(int fd, uint8_t* buffer, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::recv(fd, buffer + done, size - done, 0);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::send(fd, data + done, size - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// One loopback connection for the whole run; the device end answers every frame at once with the
// completion reply, from memory.
class Device {
 public:
  Device() {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener, 1);
    socklen_t n = sizeof a;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &n);
    client_ = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(client_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    server_ = ::accept(listener, nullptr, nullptr);
    ::close(listener);
    const int one = 1;
    ::setsockopt(client_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(server_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const uint32_t len = htonl(static_cast<uint32_t>(kCompleteReply.size()));
    reply_.resize(4);
    std::memcpy(reply_.data(), &len, 4);
    reply_.insert(reply_.end(), kCompleteReply.begin(), kCompleteReply.end());
    thread_ = std::thread([this] { Serve(); });
  }
  ~Device() {
    ::shutdown(client_, SHUT_RDWR);
    thread_.join();
    ::close(client_);
    ::close(server_);
  }
  int client() const { return client_; }
  size_t reply_size() const { return reply_.size(); }

 private:
  void Serve() {
    std::vector<uint8_t> request;
    for (;;) {
      uint8_t head[4];
      if (!ReadExact(server_, head, 4)) return;
      uint32_t n;
      std::memcpy(&n, head, 4);
      request.resize(ntohl(n));
      if (!ReadExact(server_, request.data(), request.size()) || !WriteAll(server_, reply_.data(), reply_.size()))
        return;
    }
  }
  int client_ = -1, server_ = -1;
  std::vector<uint8_t> reply_;
  std::thread thread_;
};

// The program's end of the connection; the connection itself outlives every install.
class ClientStream : public install::ByteStream {
 public:
  explicit ClientStream(int fd) : fd_(fd) {}
  int64_t Send(const uint8_t* data, size_t length) override { return ::send(fd_, data, length, MSG_NOSIGNAL); }
  int64_t Receive(uint8_t* buffer, size_t length) override { return ::recv(fd_, buffer, length, 0); }

 private:
  int fd_;
};

class MemoryDevice : public install::InstallTarget {
 public:
  explicit MemoryDevice(const Device& device) : device_(device), files_(afc_.Table(), afc_.Connection()) {}
  bool OpenFileService() override { return true; }
  install::RemoteFileService& Files() override { return files_; }
  install::ServiceStart StartInstallService(bool) override {
    return {std::make_unique<ClientStream>(device_.client()), install::InstallFailure::kNone};
  }
  install::BinaryPlistDecoder* Decoder() override { return nullptr; }
  bool DeviceStillAnswers() override { return true; }

 private:
  const Device& device_;
  install::fakes::MemoryAfc afc_;
  install::AfcFileService files_;
};

struct Fixture {
  fs::path root = fs::temp_directory_path() / ("logora-install-bench-" + std::to_string(::getpid()));
  std::wstring package = (root / "package.a").wstring();
  std::string bytes = ReadFile(fs::path(LOGORA_GENERATED_DIR) / "template_unicom.zip");
  Fixture() { fs::create_directories(root); }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

void WriteProgramShare(benchmark::State& state) {
  Fixture f;
  Device device;
  MemoryDevice target(device);
  for (auto _ : state) {
    state.PauseTiming();  // the builder's output, the same in both
    packaging::WriteWholeFile(f.package, f.bytes.data(), f.bytes.size());
    state.ResumeTiming();
    std::vector<uint8_t> package;
    if (!packaging::TakePackageFile(f.package, package) ||
        !install::InstallCarrierBundle(target, package.data(), package.size())) {
      state.SkipWithError("install failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void WriteFloor(benchmark::State& state) {
  Fixture f;
  Device device;
  const size_t request_size = install::CarrierBundleInstallRequest("12345678").size();
  std::vector<uint8_t> request(4 + request_size, 'q');
  const uint32_t len = htonl(static_cast<uint32_t>(request_size));
  std::memcpy(request.data(), &len, 4);
  std::vector<uint8_t> reply(device.reply_size());
  std::vector<uint8_t> device_memory;
  for (auto _ : state) {
    state.PauseTiming();
    packaging::WriteWholeFile(f.package, f.bytes.data(), f.bytes.size());
    state.ResumeTiming();
    std::string package;
    packaging::ReadWholeFile(f.package, packaging::kMaxPackageSize, package);
    packaging::RemoveFile(f.package);
    device_memory.assign(package.begin(), package.end());
    if (!WriteAll(device.client(), request.data(), request.size()) ||
        !ReadExact(device.client(), reply.data(), reply.size())) {
      state.SkipWithError("loopback failed");
      break;
    }
    benchmark::DoNotOptimize(device_memory.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

BENCHMARK(WriteProgramShare)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(WriteFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
