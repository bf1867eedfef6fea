#include "install/Staging.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace install {

std::string NormalizeRemotePath(std::string_view base, std::string_view path) {
  if (base.empty()) base = "/";
  if (path.empty()) path = "/";
  std::string joined;
  if (path.front() == '/') {
    joined = path;
  } else {
    if (base.front() != '/') joined = "/";
    joined += base;
    joined += '/';
    joined += path;
  }
  std::vector<std::string_view> kept;
  std::string_view rest(joined);
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view segment = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(segment);
  }
  if (kept.empty()) return "/";
  std::string out;
  for (std::string_view segment : kept) {
    out += '/';
    out += segment;
  }
  return out;
}

std::string MakeStagingName(std::mt19937_64& generator) {
  std::uniform_int_distribution<int> digit(0, 9);
  std::string name(8, '0');
  for (char& c : name) c = static_cast<char>('0' + digit(generator));
  return name;
}

std::mt19937_64 NewStagingGenerator() {
  // The system's entropy where the runtime has it; the clock and the thread mixed in where it does not.
  std::random_device device;
  std::seed_seq seed{static_cast<uint64_t>(device()), static_cast<uint64_t>(device()),
                     static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()),
                     static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()),
                     static_cast<uint64_t>(std::hash<std::thread::id>()(std::this_thread::get_id()))};
  return std::mt19937_64(seed);
}

std::string MakeStagingName() {
  static std::mutex mutex;
  static std::mt19937_64 generator = NewStagingGenerator();
  static std::string previous;
  std::lock_guard<std::mutex> lock(mutex);
  std::string name;
  do {
    name = MakeStagingName(generator);
  } while (name == previous);
  previous = name;
  return name;
}

uint32_t ChooseChunkSize(uint64_t file_size, bool force_largest) {
  constexpr uint32_t kLargest = 2'048'000;
  if (force_largest) return kLargest;
  constexpr uint32_t kSteps[] = {4'096, 40'960, 81'920, 163'840, 819'200, 1'638'400};
  for (uint32_t step : kSteps) {
    if (file_size <= step) return step;
  }
  return kLargest;
}

void PrepareStagingFolder(RemoteFileService& files) {
  // A folder that cannot be created shows up as a failure to open the file in it.
  if (!files.Exists(kStagingFolder)) files.CreateFolder(NormalizeRemotePath("/", kStagingFolder));
}

UploadResult UploadFromMemory(RemoteFileService& files, const std::string& path, const uint8_t* data,
                              size_t length) {
  // The file service takes 32-bit lengths; larger packages go in pieces.
  constexpr size_t kMaxWrite = size_t{64} << 20;
  PrepareStagingFolder(files);
  uint64_t file = 0;
  if (!files.OpenForWriting(path, file)) return UploadResult::kRemoteOpenFailed;
  bool ok = true;
  for (size_t done = 0; ok && done < length;) {
    const uint32_t n = static_cast<uint32_t>(std::min(kMaxWrite, length - done));
    ok = files.Write(file, done, data + done, n);
    done += n;
  }
  ok = files.Close(file) && ok;
  if (!ok) {
    files.Remove(path);
    return UploadResult::kWriteFailed;
  }
  return UploadResult::kOk;
}

UploadResult UploadFromFile(RemoteFileService& files, LocalFileReader& local, const std::string& path,
                            UploadObserver* observer) {
  PrepareStagingFolder(files);
  const uint64_t size = local.Size();
  if (size > UINT32_MAX) return UploadResult::kLocalTooLarge;
  uint64_t file = 0;
  if (!files.OpenForWriting(path, file)) return UploadResult::kRemoteOpenFailed;

  const uint32_t block_size = ChooseChunkSize(size, false);
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[block_size]);
  if (!block) {
    files.Close(file);
    files.Remove(path);
    return UploadResult::kNoMemory;
  }

  TransferProgress progress{static_cast<uint32_t>(size), 0};
  if (observer) observer->UploadBegin(progress);
  UploadResult result = UploadResult::kOk;
  for (;;) {
    // Fill a whole block unless the file ends first, so that every block but the last is full.
    size_t filled = 0;
    int64_t got = 0;
    while (filled < block_size && (got = local.Read(block.get() + filled, block_size - filled)) > 0) {
      filled += static_cast<size_t>(got);
    }
    if (got < 0) {
      result = UploadResult::kLocalReadFailed;
      break;
    }
    if (filled == 0) break;
    if (uint64_t{progress.done} + filled > size) {
      result = UploadResult::kLocalReadFailed;  // the file grew while being read
      break;
    }
    if (!files.Write(file, progress.done, block.get(), static_cast<uint32_t>(filled))) {
      result = UploadResult::kWriteFailed;
      break;
    }
    progress.done += static_cast<uint32_t>(filled);
    if (observer) observer->UploadProgress(progress);
  }
  if (result == UploadResult::kOk && progress.done != size) result = UploadResult::kLocalReadFailed;
  if (!files.Close(file) && result == UploadResult::kOk) result = UploadResult::kWriteFailed;
  if (observer) observer->UploadEnd(result == UploadResult::kOk);
  if (result != UploadResult::kOk) files.Remove(path);
  return result;
}

}  // namespace install
