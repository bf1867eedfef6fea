#include "simulator/core/DeviceWatcher.h"

#include "simulator/core/DeviceFolder.h"

namespace sim {

DeviceWatcher::DeviceWatcher(std::filesystem::path folder, std::chrono::milliseconds interval, Report report)
    : folder_(std::move(folder)), interval_(interval), report_(std::move(report)) {}

DeviceWatcher::~DeviceWatcher() { Stop(); }

void DeviceWatcher::Start() {
  if (thread_.joinable()) return;
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
}

void DeviceWatcher::Stop(bool wait) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (!thread_.joinable()) return;
  if (wait && thread_.get_id() != std::this_thread::get_id()) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

void DeviceWatcher::ScanOnce() {
  auto now = PluggedDevices(folder_);
  std::set<std::string> current(now.begin(), now.end());
  for (auto it = present_.begin(); it != present_.end();) {
    if (!current.count(*it)) {
      std::string name = *it;
      it = present_.erase(it);
      report_(name, false);
    } else {
      ++it;
    }
  }
  for (const auto& name : now) {
    if (present_.insert(name).second) report_(name, true);
  }
}

void DeviceWatcher::Run() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
    }
    ScanOnce();
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, interval_, [this] { return stop_; })) return;
  }
}

}  // namespace sim
