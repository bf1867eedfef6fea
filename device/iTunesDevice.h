#pragma once
// One attached device: the library's device handle, its connection and pairing, the file service and the
// installation service, and the three values the program shows (name, class, unique identifier), read once
// and cached. Every operation is synchronous on the calling thread and calls the library only through the
// bound tables (device/MobileDeviceFunctions.h). An object is used by one thread at a time; only Cancel
// and IsCancelled may be called from another thread.
//
// Platform-free: no <windows.h> here.
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "device/MobileDeviceFunctions.h"

// The installation service as started: the caller owns both the socket (closed with closesocket) and the
// connection (released with CFRelease once the socket is closed). When `secure` is set the bytes must go
// through the library's own service-connection calls, not the raw socket.
struct InstallServiceConnection {
  intptr_t socket = 0;
  AMDServiceConnectionRef connection = nullptr;
  bool secure = false;
  explicit operator bool() const { return socket != 0 && socket != -1; }
};

class iTunesDevice {
 public:
  // How many passes Connect, the service starts and the session retries make before giving up, and the
  // pause between two passes. A locked or untrusting device refuses pairing for as long as the user waits,
  // so no loop may run until it gives in.
  static constexpr int kMaxPasses = 3;
  static constexpr std::chrono::milliseconds kPassBackoff{150};

  // Device kinds (GetDeviceKind).
  static constexpr int kKindIphone = 1;
  static constexpr int kKindIpad = 2;

  // Takes the handle of an attach notification. The object does not retain or release it.
  explicit iTunesDevice(AMDeviceRef device);
  // Closes the file connection and disconnects a connected device.
  ~iTunesDevice();
  iTunesDevice(const iTunesDevice&) = delete;
  iTunesDevice& operator=(const iTunesDevice&) = delete;

  // Connects and pairs (or validates the pairing). False when the device is in recovery mode (with
  // `error` set to the recovery text), refuses pairing for every pass, or was cancelled.
  bool Connect(std::wstring& error);
  // Closes the file connection, disconnects and connects again.
  void Reconnect();
  // Opens the file service "com.apple.afc2" (offered by some devices only) or "com.apple.afc". Any file
  // connection open before is closed first. The flag is not used. True when the connection is open.
  bool OpenAfc2(bool unused = false);
  bool OpenAfc(bool unused = false);
  // Starts the installation service; empty when none could be started. When the session or the service
  // start fails, the device is reconnected and the file connection that was open is opened again before
  // the next pass, so a caller that opened it first still has it afterwards.
  InstallServiceConnection StartInstallProxy();
  // The form the write command uses; the same passes.
  InstallServiceConnection StartInstallProxyPersistent();
  // False when the device no longer answers (it was cancelled, a connected device gives no identifier any
  // more, or one that is not connected refuses a connection): it has most likely been unplugged.
  bool StillAnswers();

  // The value of `key` (UTF-8) as text; empty when the library has no value. Neither connects nor starts
  // a session.
  std::wstring CopyValueText(const std::string& key);
  std::wstring GetDeviceClass();
  std::wstring GetDeviceName();
  std::wstring GetUniqueDeviceId();
  // kKindIpad when the class contains "iPad" (case-sensitive), otherwise kKindIphone.
  int GetDeviceKind();

  // Marks the device as gone (it was detached): every retry loop stops at its next check, and
  // WaitUnlessCancelled returns at once. Safe from any thread.
  void Cancel();
  bool IsCancelled() const { return cancelled_.load(); }
  // Sleeps for `duration` unless the device is cancelled first; false when it was cancelled.
  bool WaitUnlessCancelled(std::chrono::milliseconds duration);

  AMDeviceRef handle() const { return device_; }
  bool connected() const { return connected_; }
  // The open file connection (still the object's), or null.
  AFCConnectionRef afc_connection() const { return afc_; }
  bool afc2() const { return afc2_; }
  // The base of relative file-service paths.
  const std::string& current_folder() const { return current_folder_; }

  // Device objects alive in this process (all of them, in every state); tests check it for leaks.
  static long LiveCount();

 private:
  enum ValueSlot { kDeviceClass = 1, kDeviceName = 3, kUniqueDeviceId = 31, kValueSlots = 36 };
  enum class Service { kAfc, kAfc2 };

  bool ConnectPass(std::wstring& error, bool& retry);
  bool OpenFileService(Service service);
  InstallServiceConnection StartInstallService();
  void CloseAfc();
  // Cached value of `slot`, read through `key` when the cache is empty; `session` brackets the read
  // with a session.
  std::wstring CachedValue(ValueSlot slot, const char* key, bool session);

  AMDeviceRef const device_;
  AFCConnectionRef afc_ = nullptr;
  AMDServiceHandle service_ = 0;
  bool afc2_ = false;
  bool connected_ = false;
  const std::string current_folder_ = "/";
  std::array<std::wstring, kValueSlots> values_;

  std::atomic<bool> cancelled_{false};
  std::mutex cancel_mutex_;
  std::condition_variable cancel_signal_;
};
