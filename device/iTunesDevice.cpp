#include "device/iTunesDevice.h"

#include "install/CoreFoundationValues.h"

namespace {

std::atomic<long> g_live_devices{0};

constexpr const wchar_t* kRecoveryModeText = L"Phone in recovery mode, support not yet implemented";
constexpr const wchar_t* kPairingRefusedText = L"The device refused pairing";

MobileDeviceFunctions& Md() { return MobileDeviceTable(); }

CFStringRef ConstantString(const char* text) {
  auto make = CoreFoundationTable().__CFStringMakeConstantString;
  return make ? make(text) : nullptr;
}

// Starts a session and stops it again when it goes out of scope, if it started.
class Session {
 public:
  explicit Session(AMDeviceRef device) : device_(device), started_(Md().AMDeviceStartSession(device) == kAMDSuccess) {}
  ~Session() { Stop(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  bool started() const { return started_; }
  void Stop() {
    if (started_) Md().AMDeviceStopSession(device_);
    started_ = false;
  }

 private:
  AMDeviceRef device_;
  bool started_;
};

}  // namespace

iTunesDevice::iTunesDevice(AMDeviceRef device) : device_(device) { ++g_live_devices; }

iTunesDevice::~iTunesDevice() {
  CloseAfc();
  if (connected_ && Md().AMDeviceDisconnect) Md().AMDeviceDisconnect(device_);
  --g_live_devices;
}

long iTunesDevice::LiveCount() { return g_live_devices.load(); }

void iTunesDevice::Cancel() {
  {
    std::lock_guard<std::mutex> lock(cancel_mutex_);
    cancelled_ = true;
  }
  cancel_signal_.notify_all();
}

bool iTunesDevice::WaitUnlessCancelled(std::chrono::milliseconds duration) {
  std::unique_lock<std::mutex> lock(cancel_mutex_);
  return !cancel_signal_.wait_for(lock, duration, [this] { return cancelled_.load(); });
}

// ---- connection --------------------------------------------------------------------------------------------

bool iTunesDevice::ConnectPass(std::wstring& error, bool& retry) {
  retry = false;
  if (Md().AMDeviceConnect(device_) == kAMDRecoveryMode) {
    error = kRecoveryModeText;
    return false;
  }
  if (Md().AMDeviceIsPaired(device_) != 0) return connected_ = true;
  if (Md().AMDevicePair(device_) == kAMDSuccess) {
    if (Md().AMDeviceValidatePairing(device_) == kAMDSuccess) return connected_ = true;
    if (Md().AMDevicePair(device_) == kAMDSuccess) return connected_ = true;
  }
  Md().AMDeviceDisconnect(device_);
  connected_ = false;
  retry = true;
  return false;
}

bool iTunesDevice::Connect(std::wstring& error) {
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (pass > 0 && !WaitUnlessCancelled(kPassBackoff)) return false;
    if (IsCancelled()) return false;
    bool retry = false;
    if (ConnectPass(error, retry)) return true;
    if (!retry) return false;
  }
  error = kPairingRefusedText;
  return false;
}

void iTunesDevice::Reconnect() {
  CloseAfc();
  Md().AMDeviceDisconnect(device_);
  connected_ = false;
  service_ = 0;
  std::wstring ignored;
  Connect(ignored);
}

void iTunesDevice::CloseAfc() {
  if (afc_ && Md().AFCConnectionClose) Md().AFCConnectionClose(afc_);
  afc_ = nullptr;
  afc2_ = false;
}

// ---- services ----------------------------------------------------------------------------------------------

bool iTunesDevice::OpenAfc2(bool) { return OpenFileService(Service::kAfc2); }

bool iTunesDevice::OpenAfc(bool) { return OpenFileService(Service::kAfc); }

// "com.apple.afc" gives up at once when its service cannot be started or opened; "com.apple.afc2"
// reconnects and tries the connection again, but gives up when the device does not offer the service.
bool iTunesDevice::OpenFileService(Service service) {
  std::wstring ignored;
  if (!connected_ && !Connect(ignored)) return false;
  const bool second = service == Service::kAfc2;
  CFStringRef name = ConstantString(second ? "com.apple.afc2" : "com.apple.afc");
  if (!name) return false;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (pass > 0 && !WaitUnlessCancelled(kPassBackoff)) return false;
    if (IsCancelled()) return false;
    CloseAfc();
    service_ = 0;
    Session session(device_);
    if (!session.started()) {
      Reconnect();
      if (!connected_) return false;
      continue;
    }
    if (Md().AMDeviceStartService(device_, name, &service_, nullptr) != kAMDSuccess) {
      service_ = 0;
      session.Stop();
      if (second) Reconnect();
      return false;
    }
    AFCConnectionRef connection = nullptr;
    if (Md().AFCConnectionOpen(service_, 0, &connection) != kAMDSuccess || !connection) {
      session.Stop();
      if (!second) return false;
      Reconnect();
      if (!connected_) return false;
      continue;
    }
    afc_ = connection;
    afc2_ = second;
    return true;  // the session stops here
  }
  return false;
}

InstallServiceConnection iTunesDevice::StartInstallProxy() { return StartInstallService(); }

InstallServiceConnection iTunesDevice::StartInstallProxyPersistent() { return StartInstallService(); }

InstallServiceConnection iTunesDevice::StartInstallService() {
  std::wstring ignored;
  if (!connected_ && !Connect(ignored)) return {};
  CFStringRef name = ConstantString("com.apple.mobile.installation_proxy");
  if (!name) return {};
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (pass > 0 && !WaitUnlessCancelled(kPassBackoff)) return {};
    if (IsCancelled()) return {};
    bool started = false;
    AMDServiceConnectionRef connection = nullptr;
    {
      Session session(device_);
      if (session.started()) {
        started = Md().AMDeviceSecureStartService(device_, name, nullptr, &connection) == kAMDSuccess &&
                  connection != nullptr;
      }
    }
    if (started) {
      InstallServiceConnection out;
      out.connection = connection;
      out.socket = Md().AMDServiceConnectionGetSocket(connection);
      auto secure_context = Md().AMDServiceConnectionGetSecureIOContext;
      out.secure = secure_context && secure_context(connection) != nullptr;
      return out;
    }
    // A reconnect closes the file connection; put back the one the caller had opened, so that its upload
    // does not run on a closed connection.
    const bool had_afc = afc_ != nullptr, had_afc2 = afc2_;
    Reconnect();
    if (!connected_) return {};
    if (had_afc && !OpenFileService(had_afc2 ? Service::kAfc2 : Service::kAfc)) return {};
  }
  return {};
}

bool iTunesDevice::StillAnswers() {
  if (IsCancelled()) return false;
  // A connected device still gives its identifier; one that is not (a locked phone, say) still accepts a
  // connection, which is undone again. An unplugged one does neither.
  if (connected_ && Md().AMDeviceCopyValue) return !CopyValueText("UniqueDeviceID").empty();
  if (Md().AMDeviceConnect(device_) != kAMDSuccess) return false;
  if (!connected_) Md().AMDeviceDisconnect(device_);
  return true;
}

// ---- values ------------------------------------------------------------------------------------------------

std::wstring iTunesDevice::CopyValueText(const std::string& key) {
  auto copy_value = Md().AMDeviceCopyValue;
  if (!copy_value) return {};
  CFStringRef key_string = ConstantString(key.c_str());  // constant: lives until the process ends
  if (!key_string) return {};
  CFTypeRef value = copy_value(device_, nullptr, key_string);
  if (!value) return {};
  const CoreFoundationValueFunctions& cf = CoreFoundationValueTable();
  std::wstring text = install::ValueToText(cf, value);
  if (auto release = CoreFoundationTable().CFRelease) release(value);
  return text;
}

std::wstring iTunesDevice::CachedValue(ValueSlot slot, const char* key, bool session) {
  std::wstring& cached = values_[slot];
  if (cached.empty()) {
    if (session) {
      Session s(device_);
      cached = CopyValueText(key);
    } else {
      cached = CopyValueText(key);
    }
  }
  return cached;
}

std::wstring iTunesDevice::GetDeviceClass() { return CachedValue(kDeviceClass, "DeviceClass", false); }

std::wstring iTunesDevice::GetDeviceName() { return CachedValue(kDeviceName, "DeviceName", true); }

std::wstring iTunesDevice::GetUniqueDeviceId() {
  if (values_[kUniqueDeviceId].empty() && !connected_) {
    std::wstring ignored;
    Connect(ignored);
  }
  return CachedValue(kUniqueDeviceId, "UniqueDeviceID", true);
}

int iTunesDevice::GetDeviceKind() {
  return GetDeviceClass().find(L"iPad") != std::wstring::npos ? kKindIpad : kKindIphone;
}
