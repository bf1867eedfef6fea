#pragma once
// The contract with the two device libraries that the program loads at run time (the mobile-device
// library and its core-foundation library): their types, constants, one typedef per entry point, and the
// three process-wide tables of entry points. The program never links against either library; every call
// goes through these tables, which the binding (device/DeviceBinding.h) fills.
//
// Platform-free: no <windows.h> here, so code that only calls through the tables builds with the host
// compiler too (its tests fill the tables themselves).
//
// Handles are opaque and pointer-sized (on x64 as on 32-bit). Every entry point uses the C calling
// convention; spelled out so that a 32-bit build, where it is not the only one, stays right.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define LOGORA_CDECL __cdecl
#else
#define LOGORA_CDECL
#endif

// ---- core-foundation types ---------------------------------------------------------------------------------
using CFTypeRef = const void*;
using CFStringRef = const struct CFStringOpaque*;
using CFDataRef = const struct CFDataOpaque*;
using CFDictionaryRef = const struct CFDictionaryOpaque*;
using CFArrayRef = const struct CFArrayOpaque*;
using CFNumberRef = const struct CFNumberOpaque*;
using CFBooleanRef = const struct CFBooleanOpaque*;
using CFURLRef = const struct CFURLOpaque*;
using CFReadStreamRef = struct CFReadStreamOpaque*;
using CFWriteStreamRef = struct CFWriteStreamOpaque*;
using CFAllocatorRef = const struct CFAllocatorOpaque*;
using CFPropertyListRef = CFTypeRef;

using CFIndex = intptr_t;
using CFTypeID = uintptr_t;
using CFOptionFlags = uintptr_t;
using CFStringEncoding = uint32_t;
using CFNumberType = CFIndex;
using CFPropertyListFormat = CFIndex;
using CFURLPathStyle = CFIndex;
using Boolean = unsigned char;
using UniChar = uint16_t;
using UInt8 = uint8_t;
using SInt32 = int32_t;

struct CFRange {
  CFIndex location;
  CFIndex length;
};

// Callbacks of CFArrayCreate; the program passes none (null) or the library's own.
struct CFArrayCallBacks {
  CFIndex version;
  const void* retain;
  const void* release;
  const void* copyDescription;
  const void* equal;
};

// Type ids the program tests values against.
inline constexpr CFTypeID kCFStringTypeID = 7;
inline constexpr CFTypeID kCFDictionaryTypeID = 18;
inline constexpr CFTypeID kCFArrayTypeID = 19;
inline constexpr CFTypeID kCFDataTypeID = 20;
inline constexpr CFTypeID kCFBooleanTypeID = 21;
inline constexpr CFTypeID kCFNumberTypeID = 22;

// Number types (CFNumberGetType).
inline constexpr CFNumberType kCFNumberSInt8Type = 1;
inline constexpr CFNumberType kCFNumberSInt16Type = 2;
inline constexpr CFNumberType kCFNumberSInt32Type = 3;
inline constexpr CFNumberType kCFNumberSInt64Type = 4;
inline constexpr CFNumberType kCFNumberFloat32Type = 5;
inline constexpr CFNumberType kCFNumberFloat64Type = 6;
inline constexpr CFNumberType kCFNumberCharType = 7;
inline constexpr CFNumberType kCFNumberShortType = 8;
inline constexpr CFNumberType kCFNumberIntType = 9;
inline constexpr CFNumberType kCFNumberLongType = 10;
inline constexpr CFNumberType kCFNumberLongLongType = 11;
inline constexpr CFNumberType kCFNumberFloatType = 12;
inline constexpr CFNumberType kCFNumberDoubleType = 13;
inline constexpr CFNumberType kCFNumberCFIndexType = 14;

inline constexpr CFStringEncoding kCFStringEncodingUTF8 = 0x08000100;
inline constexpr CFOptionFlags kCFPropertyListImmutable = 0;
inline constexpr CFPropertyListFormat kCFPropertyListXMLFormat_v1_0 = 100;
inline constexpr CFPropertyListFormat kCFPropertyListBinaryFormat_v1_0 = 200;
inline constexpr CFURLPathStyle kCFURLWindowsPathStyle = 2;

// The default allocator is the null allocator.
inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

// ---- mobile-device types -----------------------------------------------------------------------------------
using AMDeviceRef = struct AMDeviceOpaque*;
using AMDeviceNotificationRef = struct AMDeviceNotificationOpaque*;
using AMDServiceConnectionRef = struct AMDServiceConnectionOpaque*;
using AFCConnectionRef = struct AFCConnectionOpaque*;
using AFCDictionaryRef = struct AFCDictionaryOpaque*;  // file or device information being read
using AFCDirectoryRef = struct AFCDirectoryOpaque*;
using AFCFileRef = uint64_t;
// What AMDeviceStartService hands out and AFCConnectionOpen takes; pointer-sized, 0 when none.
using AMDServiceHandle = uintptr_t;

// Results of the mobile-device library: 0 is success unless an entry says otherwise.
using AMDError = int32_t;
inline constexpr AMDError kAMDSuccess = 0;
// AMDeviceConnect: the device is in recovery mode.
inline constexpr AMDError kAMDRecoveryMode = 1;

// Message numbers of a notification record.
inline constexpr uint32_t kAMDeviceAttached = 1;
inline constexpr uint32_t kAMDeviceDetached = 2;

// The record handed to the notification callback; valid only while the callback runs.
struct AMDeviceNotificationInfo {
  AMDeviceRef device;
  uint32_t message;  // kAMDeviceAttached or kAMDeviceDetached
};

// Runs on the library's notification thread, once per attach or detach. The return value is not used by
// the library.
using AMDeviceNotificationCallback = intptr_t(LOGORA_CDECL*)(const AMDeviceNotificationInfo* info, void* context);

// File-service open modes (AFCFileRefOpen).
inline constexpr uint64_t kAFCModeRead = 1;            // r
inline constexpr uint64_t kAFCModeReadWrite = 2;       // r+, created when missing, never truncated
inline constexpr uint64_t kAFCModeWriteTruncate = 3;   // w, created or truncated
inline constexpr uint64_t kAFCModeReadWriteTrunc = 4;  // w+
inline constexpr uint64_t kAFCModeAppend = 5;          // a
inline constexpr uint64_t kAFCModeReadAppend = 6;      // a+

// ---- one typedef per entry point of the mobile-device library ----------------------------------------------
extern "C" {
using AMDeviceNotificationSubscribeProc = AMDError(LOGORA_CDECL*)(AMDeviceNotificationCallback callback,
                                                                   uint32_t unused0, uint32_t unused1,
                                                                   void* context,
                                                                   AMDeviceNotificationRef* notification);
using AMDeviceNotificationUnsubscribeProc = AMDError(LOGORA_CDECL*)(AMDeviceNotificationRef notification);
// Returns a new string the caller releases, or null.
using AMDeviceCopyDeviceIdentifierProc = CFStringRef(LOGORA_CDECL*)(AMDeviceRef device);
// kAMDRecoveryMode when the device is in recovery mode.
using AMDeviceConnectProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device);
// Non-zero when paired.
using AMDeviceIsPairedProc = int32_t(LOGORA_CDECL*)(AMDeviceRef device);
using AMDeviceValidatePairingProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device);
using AMDevicePairProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device);
using AMDeviceUnpairProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device);
using AMDeviceStartSessionProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device);
// The service handle feeds AFCConnectionOpen; `unknown` may be null.
using AMDeviceStartServiceProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device, CFStringRef service,
                                                         AMDServiceHandle* handle, uint32_t* unknown);
using AMDeviceStopSessionProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device);
// Options may be null. The connection stays the library's (nothing frees it but the process end).
using AMDeviceSecureStartServiceProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device, CFStringRef service,
                                                               CFDictionaryRef options,
                                                               AMDServiceConnectionRef* connection);
// A socket for plain send and receive, owned by the caller (closed with closesocket); 0 or -1 when none.
using AMDServiceConnectionGetSocketProc = int32_t(LOGORA_CDECL*)(AMDServiceConnectionRef connection);
using AMDServiceConnectionGetSecureIOContextProc = void*(LOGORA_CDECL*)(AMDServiceConnectionRef connection);
using AFCConnectionOpenProc = AMDError(LOGORA_CDECL*)(AMDServiceHandle handle, uint32_t ioTimeout,
                                                      AFCConnectionRef* connection);
using AFCDeviceInfoOpenProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, AFCDictionaryRef* info);
using AFCDirectoryOpenProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, const char* path,
                                                     AFCDirectoryRef* directory);
// *name is the next entry (owned by the directory, valid until the next read), or null at the end.
using AFCDirectoryReadProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, AFCDirectoryRef directory,
                                                     char** name);
using AFCFileRefWriteProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, AFCFileRef file,
                                                    const void* data, uint32_t length);
using AFCDirectoryCloseProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, AFCDirectoryRef directory);
using AFCDirectoryCreateProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, const char* path);
// 0 when the path exists; close the information with AFCKeyValueClose.
using AFCFileInfoOpenProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, const char* path,
                                                    AFCDictionaryRef* info);
// *key and *value (owned by the information, valid until the next read) are null after the last pair.
using AFCKeyValueReadProc = AMDError(LOGORA_CDECL*)(AFCDictionaryRef info, char** key, char** value);
using AFCKeyValueCloseProc = AMDError(LOGORA_CDECL*)(AFCDictionaryRef info);
// Paths are UTF-8. The file reference stays open until AFCFileRefClose.
using AFCFileRefOpenProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, const char* path, uint64_t mode,
                                                   AFCFileRef* file);
// *length: in, the buffer size; out, the bytes read (0 at the end of the file).
using AFCFileRefReadProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, AFCFileRef file, void* buffer,
                                                   uint32_t* length);
// whence 0: from the start, 1: from the current position, 2: from the end.
using AFCFileRefSeekProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, AFCFileRef file, int64_t offset,
                                                   uint32_t whence, uint32_t reserved);
using AFCFileRefCloseProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, AFCFileRef file);
using AFCRemovePathProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, const char* path);
using AFCRenamePathProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection, const char* from, const char* to);
using AFCConnectionCloseProc = AMDError(LOGORA_CDECL*)(AFCConnectionRef connection);
using AMDeviceDisconnectProc = AMDError(LOGORA_CDECL*)(AMDeviceRef device);
using AMDeviceReleaseProc = void(LOGORA_CDECL*)(AMDeviceRef device);
// Returns a new value the caller releases with CFRelease, or null. The domain may be null.
using AMDeviceCopyValueProc = CFTypeRef(LOGORA_CDECL*)(AMDeviceRef device, CFStringRef domain, CFStringRef key);
using AMDPostNotificationProc = AMDError(LOGORA_CDECL*)(AMDServiceConnectionRef connection, CFStringRef name,
                                                        CFDictionaryRef userInfo);
// Bytes through the connection's own (secure) channel: the count moved, negative on failure.
using AMDServiceConnectionSendProc = int32_t(LOGORA_CDECL*)(AMDServiceConnectionRef connection, const void* data,
                                                            size_t length);
using AMDServiceConnectionReceiveProc = int32_t(LOGORA_CDECL*)(AMDServiceConnectionRef connection, void* buffer,
                                                               size_t length);

// ---- one typedef per entry point of the core-foundation library --------------------------------------------
using CFWriteStreamCreateWithFileProc = CFWriteStreamRef(LOGORA_CDECL*)(CFAllocatorRef allocator, CFURLRef url);
using CFReadStreamCreateWithFileProc = CFReadStreamRef(LOGORA_CDECL*)(CFAllocatorRef allocator, CFURLRef url);
using CFStringCreateWithCStringProc = CFStringRef(LOGORA_CDECL*)(CFAllocatorRef allocator, const char* text,
                                                                 CFStringEncoding encoding);
using CFURLCreateWithFileSystemPathProc = CFURLRef(LOGORA_CDECL*)(CFAllocatorRef allocator, CFStringRef path,
                                                                  CFURLPathStyle style, Boolean isDirectory);
using CFReadStreamOpenProc = Boolean(LOGORA_CDECL*)(CFReadStreamRef stream);
using CFWriteStreamOpenProc = Boolean(LOGORA_CDECL*)(CFWriteStreamRef stream);
using CFPropertyListCreateFromStreamProc = CFPropertyListRef(LOGORA_CDECL*)(
    CFAllocatorRef allocator, CFReadStreamRef stream, CFIndex streamLength, CFOptionFlags options,
    CFPropertyListFormat* format, CFStringRef* errorString);
using CFReadStreamCloseProc = void(LOGORA_CDECL*)(CFReadStreamRef stream);
using CFPropertyListIsValidProc = Boolean(LOGORA_CDECL*)(CFPropertyListRef plist, CFPropertyListFormat format);
using CFPropertyListWriteToStreamProc = CFIndex(LOGORA_CDECL*)(CFPropertyListRef plist, CFWriteStreamRef stream,
                                                               CFPropertyListFormat format,
                                                               CFStringRef* errorString);
using CFWriteStreamCloseProc = void(LOGORA_CDECL*)(CFWriteStreamRef stream);
using CFReleaseProc = void(LOGORA_CDECL*)(CFTypeRef value);
using CFURLCreateDataAndPropertiesFromResourceProc = Boolean(LOGORA_CDECL*)(
    CFAllocatorRef allocator, CFURLRef url, CFDataRef* data, CFDictionaryRef* properties,
    CFArrayRef desiredProperties, SInt32* errorCode);
// Reads an XML or binary ("bplist00") property list. Returns a new value the caller releases, or null;
// *errorString (when asked for) receives a new string the caller releases, or null.
using CFPropertyListCreateFromXMLDataProc = CFPropertyListRef(LOGORA_CDECL*)(CFAllocatorRef allocator,
                                                                             CFDataRef data,
                                                                             CFOptionFlags options,
                                                                             CFStringRef* errorString);
// Writes a property list as UTF-8 XML text. Returns new data the caller releases, or null.
using CFPropertyListCreateXMLDataProc = CFDataRef(LOGORA_CDECL*)(CFAllocatorRef allocator, CFPropertyListRef plist);
using CFURLWriteDataAndPropertiesToResourceProc = Boolean(LOGORA_CDECL*)(CFURLRef url, CFDataRef data,
                                                                         CFDictionaryRef properties,
                                                                         SInt32* errorCode);
// A string that lives until the process ends (the same one for the same text); never released.
using __CFStringMakeConstantStringProc = CFStringRef(LOGORA_CDECL*)(const char* text);
// The characters when the string can hand them out directly, else null.
using CFStringGetCharactersPtrProc = const UniChar*(LOGORA_CDECL*)(CFStringRef string);
// Copies the bytes; returns new data the caller releases.
using CFDataCreateProc = CFDataRef(LOGORA_CDECL*)(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length);
using CFDataGetBytePtrProc = const UInt8*(LOGORA_CDECL*)(CFDataRef data);
using CFGetTypeIDProc = CFTypeID(LOGORA_CDECL*)(CFTypeRef value);
using CFStringGetTypeIDProc = CFTypeID(LOGORA_CDECL*)();
using CFDictionaryGetTypeIDProc = CFTypeID(LOGORA_CDECL*)();
using CFBooleanGetTypeIDProc = CFTypeID(LOGORA_CDECL*)();
using CFNumberGetTypeIDProc = CFTypeID(LOGORA_CDECL*)();
using CFDataGetTypeIDProc = CFTypeID(LOGORA_CDECL*)();
using CFArrayGetTypeIDProc = CFTypeID(LOGORA_CDECL*)();
using CFStringGetLengthProc = CFIndex(LOGORA_CDECL*)(CFStringRef string);
using CFStringGetCharactersProc = void(LOGORA_CDECL*)(CFStringRef string, CFRange range, UniChar* buffer);
using CFNumberGetByteSizeProc = CFIndex(LOGORA_CDECL*)(CFNumberRef number);
using CFNumberGetTypeProc = CFNumberType(LOGORA_CDECL*)(CFNumberRef number);
// 1 when the value was stored without loss into *value (which has room for the type asked for).
using CFNumberGetValueProc = Boolean(LOGORA_CDECL*)(CFNumberRef number, CFNumberType type, void* value);
using CFBooleanGetValueProc = Boolean(LOGORA_CDECL*)(CFBooleanRef boolean);
using CFArrayCreateProc = CFArrayRef(LOGORA_CDECL*)(CFAllocatorRef allocator, const void** values, CFIndex count,
                                                    const CFArrayCallBacks* callBacks);
using CFArrayGetCountProc = CFIndex(LOGORA_CDECL*)(CFArrayRef array);
// The element is still the array's: not released by the caller.
using CFArrayGetValueAtIndexProc = const void*(LOGORA_CDECL*)(CFArrayRef array, CFIndex index);
using CFDataGetLengthProc = CFIndex(LOGORA_CDECL*)(CFDataRef data);
using CFDataGetBytesProc = void(LOGORA_CDECL*)(CFDataRef data, CFRange range, UInt8* buffer);
}  // extern "C"

// ---- the three tables --------------------------------------------------------------------------------------
// Members are in resolution order and carry the exported names. A slot is null until resolved.

struct MobileDeviceFunctions {
  AMDeviceNotificationSubscribeProc AMDeviceNotificationSubscribe = nullptr;
  AMDeviceNotificationUnsubscribeProc AMDeviceNotificationUnsubscribe = nullptr;
  AMDeviceCopyDeviceIdentifierProc AMDeviceCopyDeviceIdentifier = nullptr;  // optional
  AMDeviceConnectProc AMDeviceConnect = nullptr;
  AMDeviceIsPairedProc AMDeviceIsPaired = nullptr;
  AMDeviceValidatePairingProc AMDeviceValidatePairing = nullptr;
  AMDevicePairProc AMDevicePair = nullptr;
  AMDeviceUnpairProc AMDeviceUnpair = nullptr;
  AMDeviceStartSessionProc AMDeviceStartSession = nullptr;
  AMDeviceStartServiceProc AMDeviceStartService = nullptr;
  AMDeviceStopSessionProc AMDeviceStopSession = nullptr;
  AMDeviceSecureStartServiceProc AMDeviceSecureStartService = nullptr;
  AMDServiceConnectionGetSocketProc AMDServiceConnectionGetSocket = nullptr;
  AMDServiceConnectionGetSecureIOContextProc AMDServiceConnectionGetSecureIOContext = nullptr;
  AFCConnectionOpenProc AFCConnectionOpen = nullptr;
  AFCDeviceInfoOpenProc AFCDeviceInfoOpen = nullptr;
  AFCDirectoryOpenProc AFCDirectoryOpen = nullptr;
  AFCDirectoryReadProc AFCDirectoryRead = nullptr;
  AFCFileRefWriteProc AFCFileRefWrite = nullptr;
  AFCDirectoryCloseProc AFCDirectoryClose = nullptr;
  AFCDirectoryCreateProc AFCDirectoryCreate = nullptr;
  AFCFileInfoOpenProc AFCFileInfoOpen = nullptr;
  AFCKeyValueReadProc AFCKeyValueRead = nullptr;
  AFCKeyValueCloseProc AFCKeyValueClose = nullptr;
  AFCFileRefOpenProc AFCFileRefOpen = nullptr;
  AFCFileRefReadProc AFCFileRefRead = nullptr;
  AFCFileRefSeekProc AFCFileRefSeek = nullptr;
  AFCFileRefCloseProc AFCFileRefClose = nullptr;
  AFCRemovePathProc AFCRemovePath = nullptr;
  AFCRenamePathProc AFCRenamePath = nullptr;
  AFCConnectionCloseProc AFCConnectionClose = nullptr;
  AMDeviceDisconnectProc AMDeviceDisconnect = nullptr;
  AMDeviceReleaseProc AMDeviceRelease = nullptr;
  AMDeviceCopyValueProc AMDeviceCopyValue = nullptr;      // optional
  AMDPostNotificationProc AMDPostNotification = nullptr;  // optional
  AMDServiceConnectionSendProc AMDServiceConnectionSend = nullptr;        // optional
  AMDServiceConnectionReceiveProc AMDServiceConnectionReceive = nullptr;  // optional
};

struct CoreFoundationFunctions {
  CFWriteStreamCreateWithFileProc CFWriteStreamCreateWithFile = nullptr;
  CFReadStreamCreateWithFileProc CFReadStreamCreateWithFile = nullptr;
  CFStringCreateWithCStringProc CFStringCreateWithCString = nullptr;
  CFURLCreateWithFileSystemPathProc CFURLCreateWithFileSystemPath = nullptr;
  CFReadStreamOpenProc CFReadStreamOpen = nullptr;
  CFWriteStreamOpenProc CFWriteStreamOpen = nullptr;
  CFPropertyListCreateFromStreamProc CFPropertyListCreateFromStream = nullptr;
  CFReadStreamCloseProc CFReadStreamClose = nullptr;
  CFPropertyListIsValidProc CFPropertyListIsValid = nullptr;
  CFPropertyListWriteToStreamProc CFPropertyListWriteToStream = nullptr;
  CFWriteStreamCloseProc CFWriteStreamClose = nullptr;
  CFReleaseProc CFRelease = nullptr;
  CFURLCreateDataAndPropertiesFromResourceProc CFURLCreateDataAndPropertiesFromResource = nullptr;
  CFPropertyListCreateFromXMLDataProc CFPropertyListCreateFromXMLData = nullptr;
  CFPropertyListCreateXMLDataProc CFPropertyListCreateXMLData = nullptr;
  CFURLWriteDataAndPropertiesToResourceProc CFURLWriteDataAndPropertiesToResource = nullptr;
  __CFStringMakeConstantStringProc __CFStringMakeConstantString = nullptr;
  CFStringGetCharactersPtrProc CFStringGetCharactersPtr = nullptr;  // optional
  CFDataCreateProc CFDataCreate = nullptr;
  CFDataGetBytePtrProc CFDataGetBytePtr = nullptr;
  CFGetTypeIDProc CFGetTypeID = nullptr;
  CFStringGetTypeIDProc CFStringGetTypeID = nullptr;
  CFDictionaryGetTypeIDProc CFDictionaryGetTypeID = nullptr;
  CFBooleanGetTypeIDProc CFBooleanGetTypeID = nullptr;  // optional
  CFNumberGetTypeIDProc CFNumberGetTypeID = nullptr;
  CFDataGetTypeIDProc CFDataGetTypeID = nullptr;
  CFArrayGetTypeIDProc CFArrayGetTypeID = nullptr;
};

// The 27 entries above, then the value readers. Nothing in this table is checked when it is bound: a
// caller tests a slot before using it.
struct CoreFoundationValueFunctions : CoreFoundationFunctions {
  CFStringGetLengthProc CFStringGetLength = nullptr;
  CFStringGetCharactersProc CFStringGetCharacters = nullptr;
  CFNumberGetByteSizeProc CFNumberGetByteSize = nullptr;
  CFNumberGetTypeProc CFNumberGetType = nullptr;
  CFNumberGetValueProc CFNumberGetValue = nullptr;
  CFBooleanGetValueProc CFBooleanGetValue = nullptr;
  CFArrayCreateProc CFArrayCreate = nullptr;
  CFArrayGetCountProc CFArrayGetCount = nullptr;
  CFArrayGetValueAtIndexProc CFArrayGetValueAtIndex = nullptr;
  CFDataGetLengthProc CFDataGetLength = nullptr;
  CFDataGetBytesProc CFDataGetBytes = nullptr;
};

// The process-wide tables. They are written by the binding on the window thread before any device is
// announced and only read afterwards; tests may fill them with functions of their own.
MobileDeviceFunctions& MobileDeviceTable();
CoreFoundationFunctions& CoreFoundationTable();
CoreFoundationValueFunctions& CoreFoundationValueTable();
