#pragma once
// Test doubles for the installation seams: a scripted peer, an in-memory device file service, a local file
// in memory, a reporter that records what it is told, and a device made of those.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/MobileDeviceFunctions.h"
#include "install/ByteStream.h"
#include "install/InstallOperations.h"
#include "install/Staging.h"
#include "xml/Utf8.h"

namespace install::fakes {

inline std::string Frame(const std::string& payload) {
  const uint32_t n = static_cast<uint32_t>(payload.size());
  std::string out{static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                  static_cast<char>(n)};
  return out + payload;
}

// An XML property list reply holding one dict with the given inner markup.
inline std::string PlistReply(const std::string& dict_body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n" +
         dict_body + "</dict>\n</plist>\n";
}

inline std::string StatusReply(const std::string& status, int percent = -1) {
  std::string body;
  if (percent >= 0) body += "\t<key>PercentComplete</key>\n\t<integer>" + std::to_string(percent) + "</integer>\n";
  body += "\t<key>Status</key>\n\t<string>" + status + "</string>\n";
  return PlistReply(body);
}

inline std::string ErrorReply(const std::string& error) {
  return PlistReply("\t<key>Error</key>\n\t<string>" + error + "</string>\n\t<key>ErrorDescription</key>\n"
                    "\t<string>failed</string>\n");
}

// Hands out scripted incoming chunks, one per Receive at most; then ends with `end_result` (0: the peer
// closed, -1: a failure or time-out). Records what is sent; `send_limit` caps each Send to show partial
// sends, `fail_send_after` makes sends fail once that many bytes went out.
class ScriptedStream : public ByteStream {
 public:
  std::deque<std::string> incoming;
  int64_t end_result = 0;
  size_t send_limit = SIZE_MAX;
  size_t fail_send_after = SIZE_MAX;
  std::string sent;
  int receive_calls = 0;

  void AddFrame(const std::string& payload) { incoming.push_back(Frame(payload)); }

  int64_t Send(const uint8_t* data, size_t length) override {
    if (sent.size() >= fail_send_after) return -1;
    const size_t n = std::min({length, send_limit, fail_send_after - sent.size()});
    sent.append(reinterpret_cast<const char*>(data), n);
    return static_cast<int64_t>(n);
  }
  int64_t Receive(uint8_t* buffer, size_t length) override {
    ++receive_calls;
    if (incoming.empty()) return end_result;
    std::string& chunk = incoming.front();
    const size_t n = std::min(length, chunk.size());
    std::copy(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    chunk.erase(0, n);
    if (chunk.empty()) incoming.pop_front();
    return static_cast<int64_t>(n);
  }
};

// The device file service in memory, with the truncating open of the real one.
class MemoryFileService : public RemoteFileService {
 public:
  std::map<std::string, std::string> files;
  std::map<std::string, bool> folders;
  std::vector<std::string> log;                 // "open p", "write off len", "close", "remove p", "mkdir p"
  std::map<std::string, std::string> closed;    // content of each file when it was closed
  bool fail_open = false;
  int fail_write_at = -1;  // index of the write call that fails
  int writes = 0;

  bool Exists(const std::string& path) override { return folders.count(path) != 0; }
  bool CreateFolder(const std::string& path) override {
    log.push_back("mkdir " + path);
    folders[path + "/"] = true;
    return true;
  }
  bool OpenForWriting(const std::string& path, uint64_t& file) override {
    log.push_back("open " + path);
    if (fail_open) return false;
    files[path].clear();
    open_path_ = path;
    file = 7;
    return true;
  }
  bool Write(uint64_t file, uint64_t offset, const uint8_t* data, uint32_t length) override {
    log.push_back("write " + std::to_string(offset) + " " + std::to_string(length));
    if (file != 7 || writes++ == fail_write_at) return false;
    std::string& f = files[open_path_];
    if (f.size() < offset + length) f.resize(offset + length);
    f.replace(offset, length, reinterpret_cast<const char*>(data), length);
    return true;
  }
  bool Close(uint64_t file) override {
    log.push_back("close");
    closed[open_path_] = files[open_path_];
    return file == 7;
  }
  bool Remove(const std::string& path) override {
    log.push_back("remove " + path);
    return files.erase(path) != 0;
  }

 private:
  std::string open_path_;
};

// The device file service's own calls over files in memory, with the open modes of the simulated device:
// 1 reads an existing file, 2 opens for writing and keeps what the file holds (creating it when missing),
// 3 creates or truncates. One instance at a time (the calls are plain functions).
class MemoryAfc {
 public:
  std::map<std::string, std::string> files;
  std::map<std::string, bool> folders;
  int open_files = 0;

  MemoryAfc() { current_ = this; }
  ~MemoryAfc() { current_ = nullptr; }
  MemoryAfc(const MemoryAfc&) = delete;
  MemoryAfc& operator=(const MemoryAfc&) = delete;

  AFCConnectionRef Connection() const { return reinterpret_cast<AFCConnectionRef>(0xAFC); }
  const MobileDeviceFunctions& Table() {
    table_.AFCFileInfoOpen = &FileInfoOpen;
    table_.AFCKeyValueClose = &KeyValueClose;
    table_.AFCDirectoryCreate = &DirectoryCreate;
    table_.AFCFileRefOpen = &FileRefOpen;
    table_.AFCFileRefSeek = &FileRefSeek;
    table_.AFCFileRefWrite = &FileRefWrite;
    table_.AFCFileRefClose = &FileRefClose;
    table_.AFCRemovePath = &RemovePath;
    return table_;
  }

 private:
  struct Open {
    std::string path;
    uint64_t position = 0;
  };
  static std::string Plain(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
  }
  static AMDError FileInfoOpen(AFCConnectionRef, const char* path, AFCDictionaryRef* info) {
    const std::string p = Plain(path);
    if (!current_->files.count(p) && !current_->folders.count(p)) return 8;
    *info = reinterpret_cast<AFCDictionaryRef>(0x1F0);
    return kAMDSuccess;
  }
  static AMDError KeyValueClose(AFCDictionaryRef) { return kAMDSuccess; }
  static AMDError DirectoryCreate(AFCConnectionRef, const char* path) {
    current_->folders[Plain(path)] = true;
    return kAMDSuccess;
  }
  static AMDError FileRefOpen(AFCConnectionRef, const char* path, uint64_t mode, AFCFileRef* file) {
    const std::string p = Plain(path);
    auto& files = current_->files;
    if (mode == kAFCModeRead && !files.count(p)) return 8;
    if (mode == kAFCModeWriteTruncate) files[p].clear();
    if (mode == kAFCModeReadWrite) files[p];  // created when missing, kept otherwise
    current_->open_[++current_->next_] = Open{p, 0};
    ++current_->open_files;
    *file = current_->next_;
    return kAMDSuccess;
  }
  static AMDError FileRefSeek(AFCConnectionRef, AFCFileRef file, int64_t offset, uint32_t whence, uint32_t) {
    auto it = current_->open_.find(file);
    if (it == current_->open_.end() || whence != 0 || offset < 0) return 7;
    it->second.position = static_cast<uint64_t>(offset);
    return kAMDSuccess;
  }
  static AMDError FileRefWrite(AFCConnectionRef, AFCFileRef file, const void* data, uint32_t length) {
    auto it = current_->open_.find(file);
    if (it == current_->open_.end()) return 7;
    std::string& f = current_->files[it->second.path];
    const size_t at = static_cast<size_t>(it->second.position);
    if (at == f.size()) {
      f.append(static_cast<const char*>(data), length);
    } else {
      if (f.size() < at + length) f.resize(at + length);
      f.replace(at, length, static_cast<const char*>(data), length);
    }
    it->second.position += length;
    return kAMDSuccess;
  }
  static AMDError FileRefClose(AFCConnectionRef, AFCFileRef file) {
    if (current_->open_.erase(file) == 0) return 7;
    --current_->open_files;
    return kAMDSuccess;
  }
  static AMDError RemovePath(AFCConnectionRef, const char* path) {
    return current_->files.erase(Plain(path)) ? kAMDSuccess : 8;
  }

  MobileDeviceFunctions table_;
  std::map<AFCFileRef, Open> open_;
  AFCFileRef next_ = 0;
  static inline MemoryAfc* current_ = nullptr;
};

// A local file in memory. `claimed_size` differs from the content to show a file that changed while read;
// `fail_read_at` makes that read call fail.
class MemoryLocalFile : public LocalFileReader {
 public:
  explicit MemoryLocalFile(std::string content) : content_(std::move(content)), claimed_size(content_.size()) {}
  uint64_t Size() override { return claimed_size; }
  int64_t Read(uint8_t* buffer, size_t length) override {
    if (reads_++ == fail_read_at) return -1;
    const size_t n = std::min(length, content_.size() - pos_);
    std::copy(content_.begin() + static_cast<std::ptrdiff_t>(pos_),
              content_.begin() + static_cast<std::ptrdiff_t>(pos_ + n), buffer);
    pos_ += n;
    return static_cast<int64_t>(n);
  }

 private:
  std::string content_;
  size_t pos_ = 0;
  int reads_ = 0;

 public:
  uint64_t claimed_size;
  int fail_read_at = -1;
};

// Records every report as one line: "upload-begin 3000 0", "install-progress 60 text", ...
class RecordingReporter : public InstallReporter {
 public:
  std::vector<std::string> events;

  void UploadBegin(const TransferProgress& p) override { Add("upload-begin", p); }
  void UploadProgress(const TransferProgress& p) override { Add("upload-progress", p); }
  void UploadEnd(bool ok) override { events.push_back(std::string("upload-end ") + (ok ? "1" : "0")); }
  void InstallBegin() override { events.push_back("install-begin"); }
  void InstallProgress(const InstallStatus& s) override { events.push_back("install-progress " + Status(s)); }
  void InstallEnd() override { events.push_back("install-end"); }
  void InstallAbort(const std::wstring& text) override { events.push_back("install-abort " + xml::WideToUtf8(text)); }
  void UninstallBegin() override { events.push_back("uninstall-begin"); }
  void UninstallProgress(const InstallStatus& s) override { events.push_back("uninstall-progress " + Status(s)); }
  void UninstallEnd() override { events.push_back("uninstall-end"); }
  void UninstallAbort(const std::wstring& text) override {
    events.push_back("uninstall-abort " + xml::WideToUtf8(text));
  }

 private:
  void Add(const char* what, const TransferProgress& p) {
    events.push_back(std::string(what) + " " + std::to_string(p.total) + " " + std::to_string(p.done));
  }
  static std::string Status(const InstallStatus& s) { return std::to_string(s.percent) + " " + xml::WideToUtf8(s.text); }
};

// Passes calls on to a shared scripted peer, so the test can read what was sent after the operation
// closed its connection.
class ForwardingStream : public ByteStream {
 public:
  ForwardingStream(std::shared_ptr<ScriptedStream> peer, bool* closed) : peer_(std::move(peer)), closed_(closed) {}
  ~ForwardingStream() override { *closed_ = true; }
  int64_t Send(const uint8_t* data, size_t length) override { return peer_->Send(data, length); }
  int64_t Receive(uint8_t* buffer, size_t length) override { return peer_->Receive(buffer, length); }

 private:
  std::shared_ptr<ScriptedStream> peer_;
  bool* closed_;
};

// A device made of the fakes above.
class FakeTarget : public InstallTarget {
 public:
  MemoryFileService files;
  std::shared_ptr<ScriptedStream> peer = std::make_shared<ScriptedStream>();
  bool file_service_ok = true;
  bool socket_ok = true;
  bool stream_closed = false;
  int service_starts = 0;
  bool persistent_asked = false;
  BinaryPlistDecoder* decoder = nullptr;
  InstallFailure start_failure = InstallFailure::kNoSocket;  // when !socket_ok
  bool still_answers = true;
  // The clock the install reads: starts at zero and moves on by `tick` at every reading.
  std::chrono::steady_clock::time_point now{};
  std::chrono::steady_clock::duration tick{};

  bool OpenFileService() override { return file_service_ok; }
  RemoteFileService& Files() override { return files; }
  ServiceStart StartInstallService(bool persistent) override {
    ++service_starts;
    persistent_asked = persistent;
    if (!socket_ok) return {nullptr, start_failure};
    return {std::make_unique<ForwardingStream>(peer, &stream_closed), InstallFailure::kNone};
  }
  BinaryPlistDecoder* Decoder() override { return decoder; }
  bool DeviceStillAnswers() override { return still_answers; }
  std::chrono::steady_clock::time_point Now() override {
    now += tick;
    return now;
  }
};

}  // namespace install::fakes
