// The write path's device half (package written, read back, uploaded to the staging folder, installed as a
// carrier bundle) against the simulated device's file and installation services on loopback, beside the
// floor: the same bytes written, read back, sent through a plain loopback socket and written to the media
// folder. Both include the file round trip; the write path adds the protocol and the device's own install
// (it unpacks the bundle), which the floor does not do.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "install/InstallOperations.h"
#include "simulator/core/InstallService.h"
#include "simulator/core/MediaFileService.h"
#include "simulator/core/ServiceLog.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A loopback listener; Connect() gives the client end, Accept() the server end.
class Loopback {
 public:
  Loopback() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener_, 4);
    socklen_t n = sizeof addr_;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr_), &n);
  }
  ~Loopback() { ::close(listener_); }
  int Connect() const {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(s, reinterpret_cast<const sockaddr*>(&addr_), sizeof addr_);
    return s;
  }
  int Accept() const { return ::accept(listener_, nullptr, nullptr); }

 private:
  int listener_;
  sockaddr_in addr_{};
};

class ClientStream : public install::ByteStream {
 public:
  explicit ClientStream(int fd) : fd_(fd) {}
  ~ClientStream() override { ::close(fd_); }
  int64_t Send(const uint8_t* data, size_t length) override { return ::send(fd_, data, length, MSG_NOSIGNAL); }
  int64_t Receive(uint8_t* buffer, size_t length) override { return ::recv(fd_, buffer, length, 0); }

 private:
  int fd_;
};

class ServerStream : public sim::ServiceStream {
 public:
  explicit ServerStream(int fd) : fd_(fd) {}
  bool ReadExact(uint8_t* buffer, size_t size) override {
    for (size_t done = 0; done < size;) {
      const ssize_t n = ::recv(fd_, buffer + done, size - done, 0);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  bool WriteAll(const uint8_t* data, size_t size) override {
    for (size_t done = 0; done < size;) {
      const ssize_t n = ::send(fd_, data + done, size - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
};

// The simulated device's file service, called in process as the device library's file calls are.
class MediaFiles : public install::RemoteFileService {
 public:
  explicit MediaFiles(sim::MediaFileService& media) : media_(media) {}
  bool Exists(const std::string& path) override {
    sim::MediaFileService::Pairs info;
    return media_.FileInfo(path, info) == 0;
  }
  bool CreateFolder(const std::string& path) override { return media_.MakeDirectory(path) == 0; }
  bool OpenForWriting(const std::string& path, uint64_t& file) override { return media_.Open(path, 3, file) == 0; }
  bool Write(uint64_t file, uint64_t offset, const uint8_t* data, uint32_t length) override {
    return media_.Seek(file, static_cast<int64_t>(offset), 0) == 0 && media_.Write(file, data, length) == 0;
  }
  bool Close(uint64_t file) override { return media_.Close(file) == 0; }
  bool Remove(const std::string& path) override { return media_.Remove(path) == 0; }

 private:
  sim::MediaFileService& media_;
};

class SimulatedDevice : public install::InstallTarget {
 public:
  explicit SimulatedDevice(const fs::path& root) : layout_{root}, media_(layout_.Media()), files_(media_) {
    fs::create_directories(layout_.Media());
    behaviour_.xmlReplies = true;
  }
  ~SimulatedDevice() override {
    if (server_.joinable()) server_.join();
  }
  bool OpenFileService() override { return true; }
  install::RemoteFileService& Files() override { return files_; }
  std::unique_ptr<install::ByteStream> StartInstallService(bool) override {
    if (server_.joinable()) server_.join();
    server_ = std::thread([this] {
      const int fd = loopback_.Accept();
      ServerStream stream(fd);
      sim::InstallService service(layout_, behaviour_);
      sim::ServiceLog log(layout_.root / "service.log");
      sim::ServeInstallation(stream, service, log, [](int) {});
      ::close(fd);
    });
    return std::make_unique<ClientStream>(loopback_.Connect());
  }
  install::BinaryPlistDecoder* Decoder() override { return nullptr; }

 private:
  sim::DeviceLayout layout_;
  sim::InstallBehaviour behaviour_;
  sim::MediaFileService media_;
  MediaFiles files_;
  Loopback loopback_;
  std::thread server_;
};

struct Fixture {
  fs::path root = fs::temp_directory_path() / ("logora-install-bench-" + std::to_string(::getpid()));
  fs::path package = root / "package.a";
  std::vector<uint8_t> bytes = ReadFile(fs::path(LOGORA_GENERATED_DIR) / "template_unicom.zip");
  Fixture() { fs::create_directories(root); }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

void WritePath(benchmark::State& state) {
  Fixture f;
  SimulatedDevice device(f.root / "device");
  for (auto _ : state) {
    WriteFile(f.package, f.bytes);
    const std::vector<uint8_t> package = ReadFile(f.package);
    if (!install::InstallCarrierBundle(device, package.data(), package.size())) {
      state.SkipWithError("install failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

void Floor(benchmark::State& state) {
  Fixture f;
  Loopback loopback;
  const fs::path target = f.root / "media.a";
  for (auto _ : state) {
    WriteFile(f.package, f.bytes);
    const std::vector<uint8_t> package = ReadFile(f.package);
    std::thread receiver([&] {
      const int fd = loopback.Accept();
      std::vector<uint8_t> in(package.size());
      ServerStream(fd).ReadExact(in.data(), in.size());
      WriteFile(target, in);
      ::close(fd);
    });
    ClientStream client(loopback.Connect());
    for (size_t done = 0; done < package.size();) done += static_cast<size_t>(client.Send(package.data() + done, package.size() - done));
    receiver.join();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes.size()));
}

BENCHMARK(WritePath)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Floor)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
