// The simulated mobile-device library: the 35 entry points the program binds, over the devices of the
// devices folder (simulator/README.md). Every handle the library hands out is checked when it comes back,
// so a stale or foreign handle gets an error code, never a crash. Device objects are kept until the process
// ends (the program may still hold one after its device was unplugged).
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "simulator/cf/CoreFoundationApi.h"
#include "simulator/core/DeviceWatcher.h"
#include "simulator/core/MediaFileService.h"
#include "simulator/core/SimErrors.h"
#include "simulator/core/SimSettings.h"
#include "simulator/mobiledevice/ServiceConnection.h"
#include "simulator/plist/Utf.h"

namespace sim {
namespace {

struct AfcService {
  SimDevice* device;
};

struct AfcConnection {
  SimDevice* device;
  MediaFileService files;
};

struct KeyValues {  // file or device information being read
  std::vector<std::pair<std::string, std::string>> pairs;
  size_t next = 0;
};

struct Directory {
  std::vector<std::string> names;
  size_t next = 0;
};

struct Subscription {
  AMDeviceNotificationCallback callback = nullptr;
  void* context = nullptr;
  std::atomic<bool> active{true};
  std::map<std::string, SimDevice*> announced;  // touched by the watcher's thread only
  std::unique_ptr<DeviceWatcher> watcher;
};

// Everything the library has handed out, by kind. Devices are handed out as their own address (they are
// never freed); everything else as a number that is never used again, so a handle kept after its close can
// never reach a newer object that happens to live at the same address.
using Handles = std::map<const void*, void*>;
struct State {
  std::mutex mutex;
  std::set<const void*> devices;
  Handles services, afcConnections, keyValues, directories, serviceConnections, subscriptions;
  uintptr_t nextHandle = 0x5100;
  std::map<std::string, SimDevice*> current;  // plugged-in devices by folder name
};
State& Library() {
  static auto* s = new State;  // never destroyed: threads of the library may outlive static destruction
  return *s;
}

template <typename T>
T* Checked(const void* handle, Handles State::*kind) {
  if (!handle) return nullptr;
  State& s = Library();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = (s.*kind).find(handle);
  return it != (s.*kind).end() ? static_cast<T*>(it->second) : nullptr;
}

// Registers `object` and returns its new handle.
template <typename T>
void* Keep(T* object, Handles State::*kind) {
  State& s = Library();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.nextHandle += 0x10;
  auto* handle = reinterpret_cast<void*>(s.nextHandle);
  (s.*kind)[handle] = object;
  return handle;
}

template <typename T>
bool Drop(const void* handle, Handles State::*kind) {
  T* object = nullptr;
  {
    State& s = Library();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = (s.*kind).find(handle);
    if (it == (s.*kind).end()) return false;
    object = static_cast<T*>(it->second);
    (s.*kind).erase(it);
  }
  delete object;
  return true;
}

SimDevice* DeviceOf(AMDeviceRef device) {
  if (!device) return nullptr;
  State& s = Library();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.devices.count(device) ? reinterpret_cast<SimDevice*>(device) : nullptr;
}

std::string Text(CFStringRef s) {
  CFIndex n = CFStringGetLength(s);
  std::u16string chars(static_cast<size_t>(n), u'\0');
  if (n > 0) CFStringGetCharacters(s, CFRange{0, n}, reinterpret_cast<UniChar*>(chars.data()));
  return plist::Utf16ToUtf8(chars);
}

CFStringRef NewString(const std::string& utf8) {
  std::u16string u = plist::Utf8ToUtf16(utf8);
  return CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar*>(u.data()),
                                      static_cast<CFIndex>(u.size()));
}

// The device object for a folder that has just been plugged in; null when its description cannot be read.
SimDevice* Attach(const fs::path& folder, const std::string& name) {
  State& s = Library();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.current.find(name);
    if (it != s.current.end() && !it->second->Detached()) return it->second;
  }
  DeviceLayout layout{folder / Utf8Path(name)};
  auto description = LoadDescription(layout);
  if (!description) return nullptr;
  auto* device = new SimDevice(name, layout, *description);
  std::lock_guard<std::mutex> lock(s.mutex);
  s.devices.insert(device);
  s.current[name] = device;
  return device;
}

void Detach(const std::string& name, SimDevice* device) {
  device->MarkDetached();
  State& s = Library();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.current.find(name);
  if (it != s.current.end() && it->second == device) s.current.erase(it);
}

void Announce(Subscription* sub, SimDevice* device, uint32_t message) {
  if (!sub->active) return;
  AMDeviceNotificationInfo info{reinterpret_cast<AMDeviceRef>(device), message};
  sub->callback(&info, sub->context);
}

AfcConnection* Afc(AFCConnectionRef connection) {
  auto* c = Checked<AfcConnection>(connection, &State::afcConnections);
  return c && !c->device->Detached() ? c : nullptr;
}

int32_t ReadPair(void* handle, Handles State::*kind, char** first, char** second) {
  auto* kv = Checked<KeyValues>(handle, kind);
  if (!kv || !first || !second) return kAfcInvalidArgument;
  if (kv->next >= kv->pairs.size()) {
    *first = *second = nullptr;
    return kOk;
  }
  auto& p = kv->pairs[kv->next++];
  *first = p.first.data();
  *second = p.second.data();
  return kOk;
}

}  // namespace
}  // namespace sim

using namespace sim;

extern "C" {

// ---- notifications ----

AMDError LOGORA_CDECL AMDeviceNotificationSubscribe(AMDeviceNotificationCallback callback, uint32_t, uint32_t,
                                                    void* context, AMDeviceNotificationRef* notification) {
  if (!callback || !notification) return kErrInvalidArgument;
  SimSettings settings = LoadSimSettings();
  auto* sub = new Subscription;
  sub->callback = callback;
  sub->context = context;
  fs::path folder = settings.devicesFolder;
  sub->watcher = std::make_unique<DeviceWatcher>(
      folder, std::chrono::milliseconds(settings.pollMs), [sub, folder](const std::string& name, bool attached) {
        if (attached) {
          if (SimDevice* d = Attach(folder, name)) {
            sub->announced[name] = d;
            Announce(sub, d, kAMDeviceAttached);
          }
          return;
        }
        auto it = sub->announced.find(name);
        if (it == sub->announced.end()) return;
        SimDevice* d = it->second;
        sub->announced.erase(it);
        Detach(name, d);
        Announce(sub, d, kAMDeviceDetached);
      });
  void* handle = Keep(sub, &State::subscriptions);
  if (!folder.empty()) sub->watcher->Start();
  *notification = static_cast<AMDeviceNotificationRef>(handle);
  return kOk;
}

AMDError LOGORA_CDECL AMDeviceNotificationUnsubscribe(AMDeviceNotificationRef notification) {
  auto* sub = Checked<Subscription>(notification, &State::subscriptions);
  if (!sub) return kErrInvalidArgument;
  // The callback may be waiting on the caller's thread (a synchronous window message), so the watcher is
  // told to stop but not waited for; the subscription object stays for its thread.
  sub->active = false;
  sub->watcher->Stop(/*wait=*/false);
  return kOk;
}

// ---- device ----

CFStringRef LOGORA_CDECL AMDeviceCopyDeviceIdentifier(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  if (!d) return nullptr;
  auto id = d->Identifier();
  return id ? NewString(*id) : nullptr;
}

AMDError LOGORA_CDECL AMDeviceConnect(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->Connect() : kErrInvalidArgument;
}
AMDError LOGORA_CDECL AMDeviceDisconnect(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->Disconnect() : kErrInvalidArgument;
}
int32_t LOGORA_CDECL AMDeviceIsPaired(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->IsPaired() : 0;
}
AMDError LOGORA_CDECL AMDeviceValidatePairing(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->ValidatePairing() : kErrInvalidArgument;
}
AMDError LOGORA_CDECL AMDevicePair(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->Pair() : kErrInvalidArgument;
}
AMDError LOGORA_CDECL AMDeviceUnpair(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->Unpair() : kErrInvalidArgument;
}
AMDError LOGORA_CDECL AMDeviceStartSession(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->StartSession() : kErrInvalidArgument;
}
AMDError LOGORA_CDECL AMDeviceStopSession(AMDeviceRef device) {
  SimDevice* d = DeviceOf(device);
  return d ? d->StopSession() : kErrInvalidArgument;
}

// Device objects live until the process ends; releasing one is accepted and changes nothing.
void LOGORA_CDECL AMDeviceRelease(AMDeviceRef) {}

CFTypeRef LOGORA_CDECL AMDeviceCopyValue(AMDeviceRef device, CFStringRef domain, CFStringRef key) {
  SimDevice* d = DeviceOf(device);
  if (!d || !key) return nullptr;
  auto v = d->Value(domain ? Text(domain) : std::string(), Text(key));
  return v ? NewString(*v) : nullptr;
}

// ---- services ----

AMDError LOGORA_CDECL AMDeviceStartService(AMDeviceRef device, CFStringRef service, AMDServiceHandle* handle,
                                           uint32_t* unknown) {
  SimDevice* d = DeviceOf(device);
  if (!d || !service || !handle) return kErrInvalidArgument;
  std::string name = Text(service);
  if (int32_t r = d->CheckServiceStart(name)) return r;
  // Plain starts hand out file services only; the installation service needs a secure start.
  if (name != kFileService && name != kFileService2) return kErrUnsupported;
  *handle = reinterpret_cast<AMDServiceHandle>(Keep(new AfcService{d}, &State::services));
  if (unknown) *unknown = 0;
  return kOk;
}

AMDError LOGORA_CDECL AMDeviceSecureStartService(AMDeviceRef device, CFStringRef service, CFDictionaryRef,
                                                 AMDServiceConnectionRef* connection) {
  SimDevice* d = DeviceOf(device);
  if (!d || !service || !connection) return kErrInvalidArgument;
  std::string name = Text(service);
  if (int32_t r = d->CheckServiceStart(name)) return r;
  if (name != kInstallationService) return kErrUnsupported;
  ServiceConnection* c = StartInstallationService(d);
  if (!c) return kErrServiceFailed;
  *connection = static_cast<AMDServiceConnectionRef>(Keep(c, &State::serviceConnections));
  if (d->UnplugsAt(UnplugPoint::At::ServiceStart)) d->Unplug();
  return kOk;
}

int32_t LOGORA_CDECL AMDServiceConnectionGetSocket(AMDServiceConnectionRef connection) {
  auto* c = Checked<ServiceConnection>(connection, &State::serviceConnections);
  return c ? static_cast<int32_t>(c->socket) : -1;
}

// Plain TCP unless the device's installation service was described as secure; the context is then an
// opaque non-null value, and only the two calls below carry the protocol.
void* LOGORA_CDECL AMDServiceConnectionGetSecureIOContext(AMDServiceConnectionRef connection) {
  auto* c = Checked<ServiceConnection>(connection, &State::serviceConnections);
  return c && c->secure ? c : nullptr;
}

int32_t LOGORA_CDECL AMDServiceConnectionSend(AMDServiceConnectionRef connection, const void* data, size_t length) {
  auto* c = Checked<ServiceConnection>(connection, &State::serviceConnections);
  if (!c || (!data && length)) return -1;
  return SecureSend(*c, data, length);
}

int32_t LOGORA_CDECL AMDServiceConnectionReceive(AMDServiceConnectionRef connection, void* buffer, size_t length) {
  auto* c = Checked<ServiceConnection>(connection, &State::serviceConnections);
  if (!c || (!buffer && length)) return -1;
  return SecureReceive(*c, buffer, length);
}

AMDError LOGORA_CDECL AMDPostNotification(AMDServiceConnectionRef connection, CFStringRef name, CFDictionaryRef) {
  auto* c = Checked<ServiceConnection>(connection, &State::serviceConnections);
  if (!c || !name) return kErrInvalidArgument;
  return c->device->Detached() ? kErrDeviceDetached : kOk;
}

// ---- file service ----

AMDError LOGORA_CDECL AFCConnectionOpen(AMDServiceHandle handle, uint32_t, AFCConnectionRef* connection) {
  auto* s = Checked<AfcService>(reinterpret_cast<const void*>(handle), &State::services);
  if (!s || !connection) return kAfcInvalidArgument;
  if (s->device->Detached()) return kAfcNotConnected;
  auto* c = new AfcConnection{s->device, MediaFileService(s->device->Layout().Media())};
  *connection = static_cast<AFCConnectionRef>(Keep(c, &State::afcConnections));
  return kOk;
}

AMDError LOGORA_CDECL AFCConnectionClose(AFCConnectionRef connection) {
  return Drop<AfcConnection>(connection, &State::afcConnections) ? kOk : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCDeviceInfoOpen(AFCConnectionRef connection, AFCDictionaryRef* info) {
  AfcConnection* c = Afc(connection);
  if (!c || !info) return kAfcInvalidArgument;
  auto kv = std::make_unique<KeyValues>();
  if (int32_t r = c->files.DeviceInfo(kv->pairs)) return r;
  *info = static_cast<AFCDictionaryRef>(Keep(kv.release(), &State::keyValues));
  return kOk;
}

AMDError LOGORA_CDECL AFCFileInfoOpen(AFCConnectionRef connection, const char* path, AFCDictionaryRef* info) {
  AfcConnection* c = Afc(connection);
  if (!c || !path || !info) return kAfcInvalidArgument;
  auto kv = std::make_unique<KeyValues>();
  if (int32_t r = c->files.FileInfo(path, kv->pairs)) return r;
  *info = static_cast<AFCDictionaryRef>(Keep(kv.release(), &State::keyValues));
  return kOk;
}

AMDError LOGORA_CDECL AFCKeyValueRead(AFCDictionaryRef info, char** key, char** value) {
  return ReadPair(info, &State::keyValues, key, value);
}

AMDError LOGORA_CDECL AFCKeyValueClose(AFCDictionaryRef info) {
  return Drop<KeyValues>(info, &State::keyValues) ? kOk : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCDirectoryOpen(AFCConnectionRef connection, const char* path, AFCDirectoryRef* directory) {
  AfcConnection* c = Afc(connection);
  if (!c || !path || !directory) return kAfcInvalidArgument;
  auto dir = std::make_unique<Directory>();
  if (int32_t r = c->files.ReadDirectory(path, dir->names)) return r;
  *directory = static_cast<AFCDirectoryRef>(Keep(dir.release(), &State::directories));
  return kOk;
}

AMDError LOGORA_CDECL AFCDirectoryRead(AFCConnectionRef connection, AFCDirectoryRef directory, char** name) {
  auto* dir = Checked<Directory>(directory, &State::directories);
  if (!Afc(connection) || !dir || !name) return kAfcInvalidArgument;
  *name = dir->next < dir->names.size() ? dir->names[dir->next++].data() : nullptr;
  return kOk;
}

AMDError LOGORA_CDECL AFCDirectoryClose(AFCConnectionRef, AFCDirectoryRef directory) {
  return Drop<Directory>(directory, &State::directories) ? kOk : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCDirectoryCreate(AFCConnectionRef connection, const char* path) {
  AfcConnection* c = Afc(connection);
  return c && path ? c->files.MakeDirectory(path) : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCRemovePath(AFCConnectionRef connection, const char* path) {
  AfcConnection* c = Afc(connection);
  return c && path ? c->files.Remove(path) : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCRenamePath(AFCConnectionRef connection, const char* from, const char* to) {
  AfcConnection* c = Afc(connection);
  return c && from && to ? c->files.Rename(from, to) : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCFileRefOpen(AFCConnectionRef connection, const char* path, uint64_t mode, AFCFileRef* file) {
  AfcConnection* c = Afc(connection);
  if (!c || !path || !file) return kAfcInvalidArgument;
  return c->files.Open(path, mode, *file);
}

AMDError LOGORA_CDECL AFCFileRefRead(AFCConnectionRef connection, AFCFileRef file, void* buffer, uint32_t* length) {
  AfcConnection* c = Afc(connection);
  if (!c || !length) return kAfcInvalidArgument;
  return c->files.Read(file, buffer, *length);
}

AMDError LOGORA_CDECL AFCFileRefWrite(AFCConnectionRef connection, AFCFileRef file, const void* data, uint32_t length) {
  if (auto* open = Checked<AfcConnection>(connection, &State::afcConnections);
      open && open->device->UnplugsAt(UnplugPoint::At::Upload)) {
    open->device->Unplug();
  }
  AfcConnection* c = Afc(connection);
  return c ? c->files.Write(file, data, length) : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCFileRefSeek(AFCConnectionRef connection, AFCFileRef file, int64_t offset, uint32_t whence,
                                     uint32_t) {
  AfcConnection* c = Afc(connection);
  return c ? c->files.Seek(file, offset, whence) : kAfcInvalidArgument;
}

AMDError LOGORA_CDECL AFCFileRefClose(AFCConnectionRef connection, AFCFileRef file) {
  AfcConnection* c = Afc(connection);
  return c ? c->files.Close(file) : kAfcInvalidArgument;
}

}  // extern "C"

// Each entry point has exactly the type the program binds it as.
static_assert(std::is_same_v<decltype(&AMDeviceNotificationSubscribe), AMDeviceNotificationSubscribeProc>);
static_assert(std::is_same_v<decltype(&AMDeviceNotificationUnsubscribe), AMDeviceNotificationUnsubscribeProc>);
static_assert(std::is_same_v<decltype(&AMDeviceCopyDeviceIdentifier), AMDeviceCopyDeviceIdentifierProc>);
static_assert(std::is_same_v<decltype(&AMDeviceConnect), AMDeviceConnectProc>);
static_assert(std::is_same_v<decltype(&AMDeviceIsPaired), AMDeviceIsPairedProc>);
static_assert(std::is_same_v<decltype(&AMDeviceValidatePairing), AMDeviceValidatePairingProc>);
static_assert(std::is_same_v<decltype(&AMDevicePair), AMDevicePairProc>);
static_assert(std::is_same_v<decltype(&AMDeviceUnpair), AMDeviceUnpairProc>);
static_assert(std::is_same_v<decltype(&AMDeviceStartSession), AMDeviceStartSessionProc>);
static_assert(std::is_same_v<decltype(&AMDeviceStartService), AMDeviceStartServiceProc>);
static_assert(std::is_same_v<decltype(&AMDeviceStopSession), AMDeviceStopSessionProc>);
static_assert(std::is_same_v<decltype(&AMDeviceSecureStartService), AMDeviceSecureStartServiceProc>);
static_assert(std::is_same_v<decltype(&AMDServiceConnectionGetSocket), AMDServiceConnectionGetSocketProc>);
static_assert(std::is_same_v<decltype(&AMDServiceConnectionGetSecureIOContext), AMDServiceConnectionGetSecureIOContextProc>);
static_assert(std::is_same_v<decltype(&AFCConnectionOpen), AFCConnectionOpenProc>);
static_assert(std::is_same_v<decltype(&AFCDeviceInfoOpen), AFCDeviceInfoOpenProc>);
static_assert(std::is_same_v<decltype(&AFCDirectoryOpen), AFCDirectoryOpenProc>);
static_assert(std::is_same_v<decltype(&AFCDirectoryRead), AFCDirectoryReadProc>);
static_assert(std::is_same_v<decltype(&AFCFileRefWrite), AFCFileRefWriteProc>);
static_assert(std::is_same_v<decltype(&AFCDirectoryClose), AFCDirectoryCloseProc>);
static_assert(std::is_same_v<decltype(&AFCDirectoryCreate), AFCDirectoryCreateProc>);
static_assert(std::is_same_v<decltype(&AFCFileInfoOpen), AFCFileInfoOpenProc>);
static_assert(std::is_same_v<decltype(&AFCKeyValueRead), AFCKeyValueReadProc>);
static_assert(std::is_same_v<decltype(&AFCKeyValueClose), AFCKeyValueCloseProc>);
static_assert(std::is_same_v<decltype(&AFCFileRefOpen), AFCFileRefOpenProc>);
static_assert(std::is_same_v<decltype(&AFCFileRefRead), AFCFileRefReadProc>);
static_assert(std::is_same_v<decltype(&AFCFileRefSeek), AFCFileRefSeekProc>);
static_assert(std::is_same_v<decltype(&AFCFileRefClose), AFCFileRefCloseProc>);
static_assert(std::is_same_v<decltype(&AFCRemovePath), AFCRemovePathProc>);
static_assert(std::is_same_v<decltype(&AFCRenamePath), AFCRenamePathProc>);
static_assert(std::is_same_v<decltype(&AFCConnectionClose), AFCConnectionCloseProc>);
static_assert(std::is_same_v<decltype(&AMDeviceDisconnect), AMDeviceDisconnectProc>);
static_assert(std::is_same_v<decltype(&AMDeviceRelease), AMDeviceReleaseProc>);
static_assert(std::is_same_v<decltype(&AMDeviceCopyValue), AMDeviceCopyValueProc>);
static_assert(std::is_same_v<decltype(&AMDPostNotification), AMDPostNotificationProc>);
static_assert(std::is_same_v<decltype(&AMDServiceConnectionSend), AMDServiceConnectionSendProc>);
static_assert(std::is_same_v<decltype(&AMDServiceConnectionReceive), AMDServiceConnectionReceiveProc>);
