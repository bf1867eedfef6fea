#pragma once
// Scratch folders and files for the packaging tests; works in both builds.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "packaging/FileSystem.h"
#include "packaging/Utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <csignal>
#endif

namespace testfiles {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const fs::path& p, const std::string& data) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline void SetModificationTime(const fs::path& p, int64_t unixSeconds) {
  const auto sys = std::chrono::sys_seconds(std::chrono::seconds(unixSeconds));
  fs::last_write_time(p, std::chrono::file_clock::from_sys(sys));
}

// A fresh folder that is also the process's temporary folder while the object lives.
class ScopedTempFolder {
 public:
  ScopedTempFolder() {
    path_ = fs::temp_directory_path() / ("logora-test-" + Random());
    fs::create_directories(path_);
    saved_ = Get();
    Set(path_.native());
  }
  ~ScopedTempFolder() {
    Restore(saved_);
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }
  size_t CountFiles(const std::string& extension) const {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(path_)) n += e.path().extension() == extension;
    return n;
  }

 private:
  static std::string Random() {
    std::string s;
    for (wchar_t c : packaging::NewGuidString()) s.push_back(static_cast<char>(c));
    return s;
  }
#ifdef _WIN32
  static std::wstring Get() {
    wchar_t buffer[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"TMP", buffer, 1024);
    return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
  }
  static void Set(const std::wstring& p) { ::SetEnvironmentVariableW(L"TMP", (p + L"\\").c_str()); }
  static void Restore(const std::wstring& p) { ::SetEnvironmentVariableW(L"TMP", p.empty() ? nullptr : p.c_str()); }
  std::wstring saved_;
#else
  static std::string Get() {
    const char* v = std::getenv("TMPDIR");
    return v ? v : "";
  }
  static void Set(const std::string& p) { ::setenv("TMPDIR", p.c_str(), 1); }
  static void Restore(const std::string& p) {
    if (p.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", p.c_str(), 1);
    }
  }
  std::string saved_;
#endif
  fs::path path_;
};

// Makes writes beyond `bytes` fail in this process (as on a full disk) while the object lives: natively
// through the system's own file-size limit, on Windows through the file layer's test seam.
class ScopedFileSizeLimit {
 public:
#ifndef _WIN32
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
#else
  explicit ScopedFileSizeLimit(uint64_t bytes) { packaging::SetFileSizeLimitForTesting(bytes); }
  ~ScopedFileSizeLimit() { packaging::SetFileSizeLimitForTesting(0); }
#endif
};

inline std::wstring Wide(const fs::path& p) { return p.wstring(); }

}  // namespace testfiles
