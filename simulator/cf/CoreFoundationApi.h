#pragma once
// The simulated core-foundation library's C interface: the entry points the program binds by name (see
// device/MobileDeviceFunctions.h for their contracts) plus the few constructors and readers the simulated
// mobile-device library and the tests need. Built into CoreFoundation.dll on Windows, and as a static
// library natively for tests.
#include "device/MobileDeviceFunctions.h"

struct CFDictionaryKeyCallBacks {
  CFIndex version;
  const void* retain;
  const void* release;
  const void* copyDescription;
  const void* equal;
  const void* hash;
};
struct CFDictionaryValueCallBacks {
  CFIndex version;
  const void* retain;
  const void* release;
  const void* copyDescription;
  const void* equal;
};

extern "C" {
// ---- the names the program binds ----
CFWriteStreamRef LOGORA_CDECL CFWriteStreamCreateWithFile(CFAllocatorRef, CFURLRef url);
CFReadStreamRef LOGORA_CDECL CFReadStreamCreateWithFile(CFAllocatorRef, CFURLRef url);
CFStringRef LOGORA_CDECL CFStringCreateWithCString(CFAllocatorRef, const char* text, CFStringEncoding encoding);
CFURLRef LOGORA_CDECL CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef path, CFURLPathStyle style,
                                                    Boolean isDirectory);
Boolean LOGORA_CDECL CFReadStreamOpen(CFReadStreamRef stream);
Boolean LOGORA_CDECL CFWriteStreamOpen(CFWriteStreamRef stream);
CFPropertyListRef LOGORA_CDECL CFPropertyListCreateFromStream(CFAllocatorRef, CFReadStreamRef stream,
                                                              CFIndex streamLength, CFOptionFlags options,
                                                              CFPropertyListFormat* format,
                                                              CFStringRef* errorString);
void LOGORA_CDECL CFReadStreamClose(CFReadStreamRef stream);
Boolean LOGORA_CDECL CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format);
CFIndex LOGORA_CDECL CFPropertyListWriteToStream(CFPropertyListRef plist, CFWriteStreamRef stream,
                                                 CFPropertyListFormat format, CFStringRef* errorString);
void LOGORA_CDECL CFWriteStreamClose(CFWriteStreamRef stream);
void LOGORA_CDECL CFRelease(CFTypeRef value);
Boolean LOGORA_CDECL CFURLCreateDataAndPropertiesFromResource(CFAllocatorRef, CFURLRef url, CFDataRef* data,
                                                              CFDictionaryRef* properties,
                                                              CFArrayRef desiredProperties, SInt32* errorCode);
CFPropertyListRef LOGORA_CDECL CFPropertyListCreateFromXMLData(CFAllocatorRef, CFDataRef data, CFOptionFlags options,
                                                               CFStringRef* errorString);
CFDataRef LOGORA_CDECL CFPropertyListCreateXMLData(CFAllocatorRef, CFPropertyListRef plist);
Boolean LOGORA_CDECL CFURLWriteDataAndPropertiesToResource(CFURLRef url, CFDataRef data, CFDictionaryRef properties,
                                                           SInt32* errorCode);
CFStringRef LOGORA_CDECL __CFStringMakeConstantString(const char* text);
const UniChar* LOGORA_CDECL CFStringGetCharactersPtr(CFStringRef string);
CFDataRef LOGORA_CDECL CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length);
const UInt8* LOGORA_CDECL CFDataGetBytePtr(CFDataRef data);
CFTypeID LOGORA_CDECL CFGetTypeID(CFTypeRef value);
CFTypeID LOGORA_CDECL CFStringGetTypeID(void);
CFTypeID LOGORA_CDECL CFDictionaryGetTypeID(void);
CFTypeID LOGORA_CDECL CFBooleanGetTypeID(void);
CFTypeID LOGORA_CDECL CFNumberGetTypeID(void);
CFTypeID LOGORA_CDECL CFDataGetTypeID(void);
CFTypeID LOGORA_CDECL CFArrayGetTypeID(void);
CFIndex LOGORA_CDECL CFStringGetLength(CFStringRef string);
void LOGORA_CDECL CFStringGetCharacters(CFStringRef string, CFRange range, UniChar* buffer);
CFIndex LOGORA_CDECL CFNumberGetByteSize(CFNumberRef number);
CFNumberType LOGORA_CDECL CFNumberGetType(CFNumberRef number);
Boolean LOGORA_CDECL CFNumberGetValue(CFNumberRef number, CFNumberType type, void* value);
Boolean LOGORA_CDECL CFBooleanGetValue(CFBooleanRef boolean);
CFArrayRef LOGORA_CDECL CFArrayCreate(CFAllocatorRef, const void** values, CFIndex count,
                                      const CFArrayCallBacks* callBacks);
CFIndex LOGORA_CDECL CFArrayGetCount(CFArrayRef array);
const void* LOGORA_CDECL CFArrayGetValueAtIndex(CFArrayRef array, CFIndex index);
CFIndex LOGORA_CDECL CFDataGetLength(CFDataRef data);
void LOGORA_CDECL CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer);

// ---- further entry points of the library ----
CFTypeRef LOGORA_CDECL CFRetain(CFTypeRef value);
CFIndex LOGORA_CDECL CFGetRetainCount(CFTypeRef value);
CFStringRef LOGORA_CDECL CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex length);
// Copies the string into `buffer` as NUL-terminated text; false when it does not fit or cannot be encoded.
Boolean LOGORA_CDECL CFStringGetCString(CFStringRef string, char* buffer, CFIndex size, CFStringEncoding encoding);
CFNumberRef LOGORA_CDECL CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* value);
CFDictionaryRef LOGORA_CDECL CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values,
                                                CFIndex count, const CFDictionaryKeyCallBacks* keyCallBacks,
                                                const CFDictionaryValueCallBacks* valueCallBacks);
CFIndex LOGORA_CDECL CFDictionaryGetCount(CFDictionaryRef dict);
// Keys are compared by content when both are strings, else by identity. The value stays the dictionary's.
const void* LOGORA_CDECL CFDictionaryGetValue(CFDictionaryRef dict, const void* key);
void LOGORA_CDECL CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void** keys, const void** values);
// Writes `plist` as XML (format 100) or binary (format 200); new data the caller releases, or null.
CFDataRef LOGORA_CDECL CFPropertyListCreateData(CFAllocatorRef, CFPropertyListRef plist,
                                                CFPropertyListFormat format, CFOptionFlags options, void** error);

// Exported constants.
extern const CFBooleanRef kCFBooleanTrue;
extern const CFBooleanRef kCFBooleanFalse;
extern const CFArrayCallBacks kCFTypeArrayCallBacks;
extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;
}  // extern "C"
