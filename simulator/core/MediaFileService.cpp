#include "simulator/core/MediaFileService.h"

#include <algorithm>
#include <chrono>

#include "simulator/core/DeviceFolder.h"
#include "simulator/core/SimErrors.h"

namespace sim {

MediaFileService::MediaFileService(fs::path root) : root_(std::move(root)) {}
MediaFileService::~MediaFileService() = default;

std::optional<fs::path> MediaFileService::Resolve(std::string_view devicePath) const {
  std::vector<std::string_view> kept;
  std::string_view p = devicePath;
  while (true) {
    size_t slash = p.find('/');
    std::string_view seg = p.substr(0, slash);
    if (seg.empty() || seg == ".") {
      // nothing to keep
    } else if (seg == "..") {
      if (kept.empty()) return std::nullopt;  // would leave the media folder
      kept.pop_back();
    } else {
      // Separators and drive or stream markers of the host would let a segment reach elsewhere.
      if (seg.find_first_of(std::string_view("\\:\0", 3)) != std::string_view::npos) return std::nullopt;
      kept.push_back(seg);
    }
    if (slash == std::string_view::npos) break;
    p.remove_prefix(slash + 1);
  }
  fs::path out = root_;
  for (auto seg : kept) out /= Utf8Path(seg);
  return out;
}

int32_t MediaFileService::FileInfo(std::string_view path, Pairs& info) const {
  auto host = Resolve(path);
  if (!host) return kAfcPermissionDenied;
  std::error_code ec;
  auto st = fs::status(*host, ec);
  if (ec || !fs::exists(st)) return kAfcObjectNotFound;
  bool dir = fs::is_directory(st);
  uint64_t size = dir ? 0 : fs::file_size(*host, ec);
  uint64_t links = dir ? 2 : 1;
  auto mtime = fs::last_write_time(*host, ec);
  auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::file_clock::to_sys(mtime).time_since_epoch())
                .count();
  info = {{"st_size", std::to_string(size)},
          {"st_blocks", std::to_string((size + 511) / 512)},
          {"st_nlink", std::to_string(links)},
          {"st_ifmt", dir ? "S_IFDIR" : "S_IFREG"},
          {"st_mtime", std::to_string(ns)},
          {"st_birthtime", std::to_string(ns)}};
  return kOk;
}

int32_t MediaFileService::DeviceInfo(Pairs& info) const {
  std::error_code ec;
  auto space = fs::space(root_, ec);
  uint64_t total = ec ? 0 : space.capacity, free = ec ? 0 : space.available;
  info = {{"Model", "iPhone10,3"},
          {"FSTotalBytes", std::to_string(total)},
          {"FSFreeBytes", std::to_string(free)},
          {"FSBlockSize", "4096"}};
  return kOk;
}

int32_t MediaFileService::MakeDirectory(std::string_view path) {
  auto host = Resolve(path);
  if (!host) return kAfcPermissionDenied;
  std::error_code ec;
  if (fs::exists(*host, ec)) return fs::is_directory(*host, ec) ? kOk : kAfcObjectExists;
  fs::create_directories(*host, ec);
  return ec ? kAfcUnknown : kOk;
}

int32_t MediaFileService::ReadDirectory(std::string_view path, std::vector<std::string>& names) const {
  auto host = Resolve(path);
  if (!host) return kAfcPermissionDenied;
  std::error_code ec;
  if (!fs::is_directory(*host, ec)) return fs::exists(*host, ec) ? kAfcInvalidArgument : kAfcObjectNotFound;
  names = {".", ".."};
  std::vector<std::string> entries;
  for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec))
    entries.push_back(PathUtf8(it->path().filename()));
  if (ec) return kAfcReadError;
  std::sort(entries.begin(), entries.end());
  names.insert(names.end(), entries.begin(), entries.end());
  return kOk;
}

int32_t MediaFileService::Remove(std::string_view path) {
  auto host = Resolve(path);
  if (!host || *host == root_) return kAfcPermissionDenied;
  std::error_code ec;
  if (!fs::exists(*host, ec)) return kAfcObjectNotFound;
  if (fs::is_directory(*host, ec) && !fs::is_empty(*host, ec)) return kAfcDirectoryNotEmpty;
  fs::remove(*host, ec);
  return ec ? kAfcPermissionDenied : kOk;
}

int32_t MediaFileService::Rename(std::string_view from, std::string_view to) {
  auto a = Resolve(from), b = Resolve(to);
  if (!a || !b || *a == root_ || *b == root_) return kAfcPermissionDenied;
  std::error_code ec;
  if (!fs::exists(*a, ec)) return kAfcObjectNotFound;
  if (!fs::is_directory(b->parent_path(), ec)) return kAfcObjectNotFound;
  fs::rename(*a, *b, ec);
  return ec ? kAfcPermissionDenied : kOk;
}

int32_t MediaFileService::Open(std::string_view path, uint64_t mode, uint64_t& file) {
  if (mode < 1 || mode > 6) return kAfcInvalidArgument;
  auto host = Resolve(path);
  if (!host || *host == root_) return kAfcPermissionDenied;
  std::error_code ec;
  if (fs::is_directory(*host, ec)) return kAfcObjectIsDirectory;
  if (!fs::is_directory(host->parent_path(), ec)) return kAfcObjectNotFound;
  bool exists = fs::exists(*host, ec);
  if (mode == 1 && !exists) return kAfcObjectNotFound;

  auto f = std::make_unique<OpenFile>();
  std::ios::openmode om = std::ios::binary;
  switch (mode) {
    case 1: om |= std::ios::in; f->canRead = true; break;
    case 2: om |= std::ios::in | std::ios::out; f->canRead = f->canWrite = true; break;
    case 3: om |= std::ios::out | std::ios::trunc; f->canWrite = true; break;
    case 4: om |= std::ios::in | std::ios::out | std::ios::trunc; f->canRead = f->canWrite = true; break;
    case 5: om |= std::ios::out | std::ios::app; f->canWrite = true; f->append = true; break;
    case 6: om |= std::ios::in | std::ios::out | std::ios::app; f->canRead = f->canWrite = f->append = true; break;
  }
  if (mode == 2 && !exists) {
    std::ofstream create(*host, std::ios::binary);  // r+ creates a missing file, without truncating one
    if (!create) return kAfcPermissionDenied;
  }
  f->stream.open(*host, om);
  if (!f->stream.is_open()) return kAfcPermissionDenied;
  std::lock_guard<std::mutex> lock(mutex_);
  file = nextFile_++;
  files_[file] = std::move(f);
  return kOk;
}

int32_t MediaFileService::Read(uint64_t file, void* buffer, uint32_t& length) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = files_.find(file);
  if (it == files_.end() || !buffer) return kAfcInvalidArgument;
  OpenFile& f = *it->second;
  if (!f.canRead) {
    length = 0;
    return kAfcPermissionDenied;
  }
  f.stream.clear();
  f.stream.seekg(static_cast<std::streamoff>(f.position));
  f.stream.read(static_cast<char*>(buffer), length);
  length = static_cast<uint32_t>(f.stream.gcount());
  f.position += length;
  f.stream.clear();
  return kOk;
}

int32_t MediaFileService::Write(uint64_t file, const void* data, uint32_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = files_.find(file);
  if (it == files_.end() || (!data && length)) return kAfcInvalidArgument;
  OpenFile& f = *it->second;
  if (!f.canWrite) return kAfcPermissionDenied;
  f.stream.clear();
  if (f.append) {
    f.stream.seekp(0, std::ios::end);
  } else {
    f.stream.seekp(static_cast<std::streamoff>(f.position));
  }
  f.stream.write(static_cast<const char*>(data), length);
  f.stream.flush();
  if (!f.stream) return kAfcWriteError;
  f.position = static_cast<uint64_t>(f.stream.tellp());
  return kOk;
}

int32_t MediaFileService::Seek(uint64_t file, int64_t offset, uint32_t whence) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = files_.find(file);
  if (it == files_.end()) return kAfcInvalidArgument;
  OpenFile& f = *it->second;
  int64_t base;
  if (whence == 0) {
    base = 0;
  } else if (whence == 1) {
    base = static_cast<int64_t>(f.position);
  } else if (whence == 2) {
    f.stream.clear();
    f.stream.seekg(0, std::ios::end);
    base = static_cast<int64_t>(f.stream.tellg());
    if (base < 0) base = static_cast<int64_t>(f.position);
    f.stream.clear();
  } else {
    return kAfcInvalidArgument;
  }
  if ((offset < 0 && -offset > base) || (offset > 0 && offset > INT64_MAX - base)) return kAfcInvalidArgument;
  f.position = static_cast<uint64_t>(base + offset);
  return kOk;
}

int32_t MediaFileService::Tell(uint64_t file, uint64_t& position) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = files_.find(file);
  if (it == files_.end()) return kAfcInvalidArgument;
  position = it->second->position;
  return kOk;
}

int32_t MediaFileService::Close(uint64_t file) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = files_.find(file);
  if (it == files_.end()) return kAfcInvalidArgument;
  it->second->stream.close();
  files_.erase(it);
  return kOk;
}

size_t MediaFileService::OpenFileCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return files_.size();
}

}  // namespace sim
