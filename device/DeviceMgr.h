#pragma once
// The device manager: the one list of connected devices of the process, keyed by their unique identifier,
// and the listeners told about devices added and removed. GetDeviceMgr reaches the one instance.
//
// Locks: the worker lock is taken before the device lock when both are needed; the listener lock is never
// held together with the device lock. All three are re-entrant for the owning thread.
//
// Platform-free apart from Initialize (Windows only: it binds the device libraries for a window).
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "device/MobileDeviceFunctions.h"

#if defined(_WIN32)
struct HWND__;
#endif

class iTunesDevice;

// Called with (device, added, user value). For a removal the device is already destroyed: the pointer
// serves only as an identity.
using DeviceListenerCallback = void (*)(iTunesDevice* device, uint8_t added, uint32_t user_value);

struct DeviceListener {
  DeviceListenerCallback callback = nullptr;
  uint32_t user_value = 0;
};

class DeviceMgr {
 public:
  // Tells every listener, in key order, that `device` was added or removed. A listener that throws is
  // skipped. Returns true.
  virtual bool Notify(iTunesDevice* device, bool added);
  virtual ~DeviceMgr();

#if defined(_WIN32)
  // Binds the device libraries with `window` as the receiver of device notifications. True when both
  // bindings succeeded.
  virtual bool Initialize(HWND__* window) = 0;
#endif
  // A copy of the list (the pointers are shared, not duplicated), in ascending byte order of the UTF-8
  // identifiers.
  virtual std::map<std::string, iTunesDevice*> GetDevices() = 0;
  // Takes ownership of `device` and lists it under `identifier`. A different object already listed under
  // the same identifier is destroyed (listeners are told it was removed). Returns Notify's result.
  virtual bool AddDevice(const std::wstring& identifier, iTunesDevice* device) = 0;
  // Removes and destroys the device listed under `identifier`, if any. No notification.
  virtual void RemoveDeviceById(const std::wstring& identifier) = 0;
  // Removes every entry holding `device` and destroys it (once). Listeners are told even when it was not
  // listed. Returns Notify's result.
  virtual bool RemoveDevice(iTunesDevice* device) = 0;
  // The first device in key order holding the library handle `handle` (`identifier` set to its key), or
  // null (`identifier` untouched).
  virtual iTunesDevice* FindDeviceByHandle(AMDeviceRef handle, std::wstring& identifier) = 0;
  // True when the device's unique identifier is a key of the list.
  virtual bool ContainsDevice(iTunesDevice* device) = 0;
  virtual iTunesDevice* GetDevice(const std::wstring& identifier) = 0;
  virtual iTunesDevice* GetDevice(const std::string& identifier_utf8) = 0;

  // Listeners (the program itself adds none).
  void AddListener(uint32_t key, DeviceListener listener);
  void RemoveListener(uint32_t key);

 protected:
  DeviceMgr() = default;
  DeviceMgr(const DeviceMgr&) = delete;
  DeviceMgr& operator=(const DeviceMgr&) = delete;

  std::recursive_mutex listener_lock_;
  std::map<uint32_t, DeviceListener> listeners_;
};

class iTunesDeviceMgr : public virtual DeviceMgr {
 public:
  iTunesDeviceMgr();
  // Destroys every listed device. Worker threads must have ended (the process-wide instance is never
  // destroyed).
  ~iTunesDeviceMgr() override;

#if defined(_WIN32)
  bool Initialize(HWND__* window) override;
#endif
  std::map<std::string, iTunesDevice*> GetDevices() override;
  bool AddDevice(const std::wstring& identifier, iTunesDevice* device) override;
  void RemoveDeviceById(const std::wstring& identifier) override;
  bool RemoveDevice(iTunesDevice* device) override;
  iTunesDevice* FindDeviceByHandle(AMDeviceRef handle, std::wstring& identifier) override;
  bool ContainsDevice(iTunesDevice* device) override;
  iTunesDevice* GetDevice(const std::wstring& identifier) override;
  iTunesDevice* GetDevice(const std::string& identifier_utf8) override;

  // Worker threads started through the manager (install and uninstall), by thread id; a worker inserts
  // itself before it runs and removes itself when it ends.
  void AddWorker(uint32_t thread_id);
  void RemoveWorker(uint32_t thread_id);
  size_t WorkerCount();

 protected:
  std::recursive_mutex worker_lock_;  // taken before device_lock_
  std::set<uint32_t> workers_;
  std::recursive_mutex device_lock_;
  std::map<std::string, iTunesDevice*> devices_;
  void* window_ = nullptr;  // the window given to Initialize
};

// The process's device manager, created on first use and never destroyed; null when it could not be
// created (the next call tries again).
DeviceMgr* GetDeviceMgr();
