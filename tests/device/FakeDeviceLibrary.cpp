#include "FakeDeviceLibrary.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

namespace fake {
namespace {

Behaviour g_behaviour;
Calls g_calls;

struct Value {
  std::u16string text;
};
std::set<std::string>& ConstantStrings() {
  static std::set<std::string> strings;
  return strings;
}
std::set<const Value*>& LiveValues() {
  static std::set<const Value*> values;
  return values;
}

struct ConnectGate {
  std::mutex mutex;
  std::condition_variable changed;
  bool closed = false;
  int held = 0;
};
ConnectGate& Gate() {
  static ConnectGate gate;
  return gate;
}

void PassGate() {
  ConnectGate& gate = Gate();
  std::unique_lock<std::mutex> lock(gate.mutex);
  ++gate.held;
  gate.changed.notify_all();
  gate.changed.wait(lock, [&] { return !gate.closed; });
  --gate.held;
}

AMDError Connect(AMDeviceRef) {
  PassGate();
  ++g_calls.connect;
  return g_behaviour.connect_result;
}
int32_t IsPaired(AMDeviceRef) {
  ++g_calls.is_paired;
  return g_behaviour.paired ? 1 : 0;
}
AMDError Pair(AMDeviceRef) {
  ++g_calls.pair;
  if (g_behaviour.pair_failures > 0) {
    --g_behaviour.pair_failures;
    return 0xE8000096;  // "PasswordProtected"-like refusal
  }
  return kAMDSuccess;
}
AMDError Validate(AMDeviceRef) {
  ++g_calls.validate;
  return g_behaviour.validate_ok ? kAMDSuccess : -1;
}
AMDError Disconnect(AMDeviceRef) {
  ++g_calls.disconnect;
  return kAMDSuccess;
}
AMDError StartSession(AMDeviceRef) {
  PassGate();
  ++g_calls.start_session;
  if (g_behaviour.session_failures != 0) {
    if (g_behaviour.session_failures > 0) --g_behaviour.session_failures;
    return -1;
  }
  return kAMDSuccess;
}
AMDError StopSession(AMDeviceRef) {
  ++g_calls.stop_session;
  return kAMDSuccess;
}
AMDError StartService(AMDeviceRef, CFStringRef name, AMDServiceHandle* handle, uint32_t*) {
  ++g_calls.start_service;
  const std::string service = *reinterpret_cast<const std::string*>(name);
  const bool ok = service == "com.apple.afc" ? g_behaviour.afc_service_ok
                  : service == "com.apple.afc2" ? g_behaviour.afc2_service_ok : false;
  if (!ok) return -1;
  *handle = 0x5E;
  return kAMDSuccess;
}
AMDError SecureStartService(AMDeviceRef, CFStringRef name, CFDictionaryRef, AMDServiceConnectionRef* connection) {
  ++g_calls.secure_start;
  if (!g_behaviour.install_service_ok ||
      *reinterpret_cast<const std::string*>(name) != "com.apple.mobile.installation_proxy") {
    return -1;
  }
  *connection = reinterpret_cast<AMDServiceConnectionRef>(0x1000);
  return kAMDSuccess;
}
int32_t GetSocket(AMDServiceConnectionRef) { return g_behaviour.socket; }
void* GetSecureContext(AMDServiceConnectionRef connection) { return g_behaviour.secure_context ? connection : nullptr; }
AMDError AfcOpen(AMDServiceHandle, uint32_t, AFCConnectionRef* connection) {
  ++g_calls.afc_open;
  *connection = reinterpret_cast<AFCConnectionRef>(static_cast<uintptr_t>(0x2000 + g_calls.afc_open));
  return kAMDSuccess;
}
AMDError AfcClose(AFCConnectionRef) {
  ++g_calls.afc_close;
  return kAMDSuccess;
}
CFTypeRef CopyValue(AMDeviceRef, CFStringRef, CFStringRef key) {
  ++g_calls.copy_value;
  const std::string& name = *reinterpret_cast<const std::string*>(key);
  ++g_calls.copy_value_keys[name];
  auto it = g_behaviour.values.find(name);
  if (it == g_behaviour.values.end()) return nullptr;
  auto* value = new Value;
  for (wchar_t c : it->second) value->text += static_cast<char16_t>(c);  // tests use BMP text only
  LiveValues().insert(value);
  ++g_calls.values_made;
  return value;
}

CFStringRef MakeConstant(const char* text) {
  return reinterpret_cast<CFStringRef>(&*ConstantStrings().insert(text).first);
}
void Release(CFTypeRef value) {
  auto* v = static_cast<const Value*>(value);
  if (LiveValues().erase(v) == 0) return;  // constant strings are never released
  ++g_calls.values_released;
  delete v;
}
CFTypeID TypeOf(CFTypeRef value) {
  return LiveValues().count(static_cast<const Value*>(value)) ? kCFStringTypeID : 0;
}
CFIndex Length(CFStringRef s) {
  return static_cast<CFIndex>(reinterpret_cast<const Value*>(s)->text.size());
}
void Characters(CFStringRef s, CFRange range, UniChar* out) {
  const std::u16string& text = reinterpret_cast<const Value*>(s)->text;
  for (CFIndex i = 0; i < range.length; ++i) out[i] = text[static_cast<size_t>(range.location + i)];
}

}  // namespace

void CloseGate() {
  std::lock_guard<std::mutex> lock(Gate().mutex);
  Gate().closed = true;
}

bool WaitUntilHeld(int threads, int timeout_ms) {
  ConnectGate& gate = Gate();
  std::unique_lock<std::mutex> lock(gate.mutex);
  return gate.changed.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return gate.held >= threads; });
}

void OpenGate() {
  {
    std::lock_guard<std::mutex> lock(Gate().mutex);
    Gate().closed = false;
  }
  Gate().changed.notify_all();
}

void Install(const Behaviour& behaviour) {
  OpenGate();
  g_behaviour = behaviour;
  g_calls = Calls();
  MobileDeviceFunctions& md = MobileDeviceTable();
  md = MobileDeviceFunctions();
  md.AMDeviceConnect = &Connect;
  md.AMDeviceIsPaired = &IsPaired;
  md.AMDevicePair = &Pair;
  md.AMDeviceValidatePairing = &Validate;
  md.AMDeviceDisconnect = &Disconnect;
  md.AMDeviceStartSession = &StartSession;
  md.AMDeviceStopSession = &StopSession;
  md.AMDeviceStartService = &StartService;
  md.AMDeviceSecureStartService = &SecureStartService;
  md.AMDServiceConnectionGetSocket = &GetSocket;
  md.AMDServiceConnectionGetSecureIOContext = &GetSecureContext;
  md.AFCConnectionOpen = &AfcOpen;
  md.AFCConnectionClose = &AfcClose;
  md.AMDeviceCopyValue = &CopyValue;

  CoreFoundationValueFunctions& cf = CoreFoundationValueTable();
  cf = CoreFoundationValueFunctions();
  cf.__CFStringMakeConstantString = &MakeConstant;
  cf.CFRelease = &Release;
  cf.CFGetTypeID = &TypeOf;
  cf.CFStringGetLength = &Length;
  cf.CFStringGetCharacters = &Characters;
  CoreFoundationFunctions& base = CoreFoundationTable();
  base = static_cast<const CoreFoundationFunctions&>(cf);
}

Behaviour& Current() { return g_behaviour; }
const Calls& Counted() { return g_calls; }
AMDeviceRef Handle(uintptr_t n) { return reinterpret_cast<AMDeviceRef>(0x10000 + n * 0x10); }

}  // namespace fake
