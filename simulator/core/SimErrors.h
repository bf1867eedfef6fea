#pragma once
// Result codes of the simulated libraries. Success is 0; the mobile-device errors are distinct values in the
// library's own error range, so a test can tell which refusal it met.
#include <cstdint>

namespace sim {

constexpr int32_t Err(uint32_t code) { return static_cast<int32_t>(code); }

inline constexpr int32_t kOk = 0;
// Mobile-device library.
inline constexpr int32_t kErrUndefined = Err(0xE8000001);
inline constexpr int32_t kErrInvalidArgument = Err(0xE8000007);
inline constexpr int32_t kErrDeviceDetached = Err(0xE8000084);  // the device was unplugged
inline constexpr int32_t kErrNotConnected = Err(0xE8000085);
inline constexpr int32_t kErrConnectFailed = Err(0xE8000086);
inline constexpr int32_t kErrSessionInactive = Err(0xE800001D);
inline constexpr int32_t kErrSessionFailed = Err(0xE800001E);
inline constexpr int32_t kErrNotPaired = Err(0xE8000025);  // also "InvalidHostID"
inline constexpr int32_t kErrPasswordProtected = Err(0xE800006A);
inline constexpr int32_t kErrPairingDialogResponsePending = Err(0xE800008F);
inline constexpr int32_t kErrUserDeniedPairing = Err(0xE8000096);
inline constexpr int32_t kErrServiceFailed = Err(0xE8000022);  // the service cannot be started
inline constexpr int32_t kErrUnsupported = Err(0xE80000C1);
// The recovery-mode answer of AMDeviceConnect (not an error code: the caller tests for it).
inline constexpr int32_t kRecoveryMode = 1;

// File service.
enum AfcError : int32_t {
  kAfcUnknown = 1,
  kAfcReadError = 4,
  kAfcWriteError = 5,
  kAfcInvalidArgument = 7,
  kAfcObjectNotFound = 8,
  kAfcObjectIsDirectory = 9,
  kAfcPermissionDenied = 10,
  kAfcNotConnected = 11,
  kAfcObjectExists = 16,
  kAfcDirectoryNotEmpty = 33,
};

}  // namespace sim
