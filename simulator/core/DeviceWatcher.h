#pragma once
// Watches the devices folder from a thread of its own and reports each device that appears (plugged in)
// or disappears (unplugged), in folder-name order, one report at a time.
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace sim {

class DeviceWatcher {
 public:
  // Runs on the watcher's thread; `attached` false means unplugged.
  using Report = std::function<void(const std::string& folderName, bool attached)>;

  DeviceWatcher(std::filesystem::path folder, std::chrono::milliseconds interval, Report report);
  ~DeviceWatcher();  // stops the thread
  DeviceWatcher(const DeviceWatcher&) = delete;
  DeviceWatcher& operator=(const DeviceWatcher&) = delete;

  void Start();
  // Ends the thread. With `wait`, returns once it has ended (never call it so from a report); without, the
  // thread ends on its own at its next wake-up and the watcher must then outlive it.
  void Stop(bool wait = true);
  // One look at the folder, reporting the differences (what the thread does every interval).
  void ScanOnce();

 private:
  void Run();

  std::filesystem::path folder_;
  std::chrono::milliseconds interval_;
  Report report_;
  std::set<std::string> present_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace sim
