#include "device/DeviceMgr.h"

#include <memory>
#include <new>
#include <vector>

#include "device/iTunesDevice.h"
#include "xml/Utf8.h"

namespace {
std::string Key(const std::wstring& identifier) { return xml::WideToUtf8(identifier); }
}  // namespace

// ---- DeviceMgr ---------------------------------------------------------------------------------------------

DeviceMgr::~DeviceMgr() = default;

bool DeviceMgr::Notify(iTunesDevice* device, bool added) {
  std::lock_guard<std::recursive_mutex> lock(listener_lock_);
  for (const auto& [key, listener] : listeners_) {
    if (!listener.callback) continue;
    try {
      listener.callback(device, added ? 1 : 0, listener.user_value);
    } catch (...) {
      // A listener's failure is its own; the others are still told.
    }
  }
  return true;
}

void DeviceMgr::AddListener(uint32_t key, DeviceListener listener) {
  std::lock_guard<std::recursive_mutex> lock(listener_lock_);
  listeners_[key] = listener;
}

void DeviceMgr::RemoveListener(uint32_t key) {
  std::lock_guard<std::recursive_mutex> lock(listener_lock_);
  listeners_.erase(key);
}

// ---- iTunesDeviceMgr ---------------------------------------------------------------------------------------

iTunesDeviceMgr::iTunesDeviceMgr() = default;

iTunesDeviceMgr::~iTunesDeviceMgr() {
  std::lock_guard<std::recursive_mutex> workers(worker_lock_);
  std::lock_guard<std::recursive_mutex> devices(device_lock_);
  for (auto& [key, device] : devices_) {
    // The same object may be listed under two keys; destroy it once.
    iTunesDevice* doomed = device;
    if (!doomed) continue;
    for (auto& [other_key, other] : devices_) {
      if (other == doomed) other = nullptr;
    }
    delete doomed;
  }
  devices_.clear();
}

std::map<std::string, iTunesDevice*> iTunesDeviceMgr::GetDevices() {
  std::lock_guard<std::recursive_mutex> lock(device_lock_);
  return devices_;
}

bool iTunesDeviceMgr::AddDevice(const std::wstring& identifier, iTunesDevice* device) {
  iTunesDevice* replaced = nullptr;
  {
    std::lock_guard<std::recursive_mutex> lock(device_lock_);
    iTunesDevice*& slot = devices_[Key(identifier)];
    if (slot != device) replaced = slot;
    slot = device;
    // The replaced object may still be listed under another key; only destroy it when it is not.
    if (replaced) {
      for (const auto& [key, other] : devices_) {
        if (other == replaced) {
          replaced = nullptr;
          break;
        }
      }
      delete replaced;
    }
  }
  if (replaced) Notify(replaced, false);
  return Notify(device, true);
}

void iTunesDeviceMgr::RemoveDeviceById(const std::wstring& identifier) {
  std::lock_guard<std::recursive_mutex> lock(device_lock_);
  auto it = devices_.find(Key(identifier));
  if (it == devices_.end()) return;
  iTunesDevice* device = it->second;
  devices_.erase(it);
  for (const auto& [key, other] : devices_) {
    if (other == device) return;  // still listed under another key
  }
  delete device;
}

bool iTunesDeviceMgr::RemoveDevice(iTunesDevice* device) {
  {
    std::lock_guard<std::recursive_mutex> lock(device_lock_);
    bool listed = false;
    for (auto it = devices_.begin(); it != devices_.end();) {
      if (it->second == device) {
        listed = true;
        it = devices_.erase(it);
      } else {
        ++it;
      }
    }
    if (listed) delete device;
  }
  return Notify(device, false);
}

iTunesDevice* iTunesDeviceMgr::FindDeviceByHandle(AMDeviceRef handle, std::wstring& identifier) {
  std::lock_guard<std::recursive_mutex> lock(device_lock_);
  for (const auto& [key, device] : devices_) {
    if (device && device->handle() == handle) {
      identifier = xml::Utf8ToWide(key);
      return device;
    }
  }
  return nullptr;
}

bool iTunesDeviceMgr::ContainsDevice(iTunesDevice* device) {
  if (!device) return false;
  std::lock_guard<std::recursive_mutex> lock(device_lock_);
  const std::string key = Key(device->GetUniqueDeviceId());
  return devices_.count(key) != 0;
}

iTunesDevice* iTunesDeviceMgr::GetDevice(const std::wstring& identifier) { return GetDevice(Key(identifier)); }

iTunesDevice* iTunesDeviceMgr::GetDevice(const std::string& identifier_utf8) {
  std::lock_guard<std::recursive_mutex> lock(device_lock_);
  auto it = devices_.find(identifier_utf8);
  return it == devices_.end() ? nullptr : it->second;
}

void iTunesDeviceMgr::AddWorker(uint32_t thread_id) {
  std::lock_guard<std::recursive_mutex> lock(worker_lock_);
  workers_.insert(thread_id);
}

void iTunesDeviceMgr::RemoveWorker(uint32_t thread_id) {
  std::lock_guard<std::recursive_mutex> lock(worker_lock_);
  workers_.erase(thread_id);
}

size_t iTunesDeviceMgr::WorkerCount() {
  std::lock_guard<std::recursive_mutex> lock(worker_lock_);
  return workers_.size();
}

// ---- the process's instance --------------------------------------------------------------------------------

DeviceMgr* GetDeviceMgr() {
  static std::mutex mutex;
  static DeviceMgr* instance = nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  if (!instance) instance = new (std::nothrow) iTunesDeviceMgr();
  return instance;
}
