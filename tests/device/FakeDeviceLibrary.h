#pragma once
// A scripted stand-in for the device libraries, installed into the process-wide tables, for tests of the
// device object and the device manager that run without the simulated libraries. One fake device
// behaviour is shared by every handle; each test resets it.
#include <cstdint>
#include <map>
#include <string>

#include "device/MobileDeviceFunctions.h"

namespace fake {

struct Behaviour {
  AMDError connect_result = kAMDSuccess;  // kAMDRecoveryMode for recovery mode
  bool paired = true;
  int pair_failures = 0;          // AMDevicePair fails this many times, then succeeds
  bool validate_ok = true;
  int session_failures = 0;       // AMDeviceStartSession fails this many times (-1: always)
  bool afc_service_ok = true;     // "com.apple.afc"
  bool afc2_service_ok = false;   // "com.apple.afc2"
  bool install_service_ok = true;
  int32_t socket = 1234;
  bool secure_context = false;    // the installation service's connection reports a secure context
  std::map<std::string, std::wstring> values;  // device values by key; a missing key has no value
};

struct Calls {
  int connect = 0, is_paired = 0, pair = 0, validate = 0, disconnect = 0;
  int start_session = 0, stop_session = 0, start_service = 0, secure_start = 0;
  int afc_open = 0, afc_close = 0, copy_value = 0;
  int values_made = 0, values_released = 0;
  std::map<std::string, int> copy_value_keys;
};

// A gate in AMDeviceConnect and AMDeviceStartSession: while closed, every thread that calls either waits
// there, so that a test can choose exactly what happens while a worker is inside the library. Open at
// Install.
void CloseGate();
// Waits until `threads` callers are held at the closed gate; false after `timeout_ms`.
bool WaitUntilHeld(int threads, int timeout_ms);
void OpenGate();

// Installs the fake into the tables and resets behaviour and counters.
void Install(const Behaviour& behaviour = Behaviour());
Behaviour& Current();
const Calls& Counted();
// A distinct handle for a fake device.
AMDeviceRef Handle(uintptr_t n);

}  // namespace fake
