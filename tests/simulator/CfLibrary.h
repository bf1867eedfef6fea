#pragma once
// The simulated core-foundation library as the program sees it: natively the static library, in the
// Windows build CoreFoundation.dll of this build folder, loaded and resolved by name.
#include "device/LibraryBinding.h"
#include "simulator/cf/CoreFoundationApi.h"

#if defined(_WIN32)
#include <windows.h>

#include <string>
#endif

namespace testing_support {

struct CfLibrary : CoreFoundationValueFunctions {
  decltype(&::CFNumberCreate) NumberCreate = nullptr;
  decltype(&::CFStringCreateWithCharacters) StringCreateWithCharacters = nullptr;
  decltype(&::CFDictionaryGetValue) DictionaryGetValue = nullptr;
  decltype(&::CFDictionaryGetCount) DictionaryGetCount = nullptr;
  decltype(&::CFRetain) Retain = nullptr;
  decltype(&::CFGetRetainCount) GetRetainCount = nullptr;
  CFBooleanRef True = nullptr;
  const CFArrayCallBacks* ArrayCallBacks = nullptr;
};

inline const CfLibrary& Cf() {
  static const CfLibrary lib = [] {
    CfLibrary l;
#if defined(_WIN32)
    std::wstring path = L"Z:" LOGORA_BINARY_DIR_W L"/simulator/CoreFoundation.dll";
    for (auto& c : path) c = c == L'/' ? L'\\' : c;
    HMODULE m = ::LoadLibraryW(path.c_str());
    auto get = [m](const char* name) -> void* { return m ? reinterpret_cast<void*>(::GetProcAddress(m, name)) : nullptr; };
    device_binding::ResolveCoreFoundationValueFunctions(get, l);
    l.NumberCreate = reinterpret_cast<decltype(l.NumberCreate)>(get("CFNumberCreate"));
    l.StringCreateWithCharacters = reinterpret_cast<decltype(l.StringCreateWithCharacters)>(get("CFStringCreateWithCharacters"));
    l.DictionaryGetValue = reinterpret_cast<decltype(l.DictionaryGetValue)>(get("CFDictionaryGetValue"));
    l.DictionaryGetCount = reinterpret_cast<decltype(l.DictionaryGetCount)>(get("CFDictionaryGetCount"));
    l.Retain = reinterpret_cast<decltype(l.Retain)>(get("CFRetain"));
    l.GetRetainCount = reinterpret_cast<decltype(l.GetRetainCount)>(get("CFGetRetainCount"));
    if (auto* t = static_cast<const CFBooleanRef*>(get("kCFBooleanTrue"))) l.True = *t;
    l.ArrayCallBacks = static_cast<const CFArrayCallBacks*>(get("kCFTypeArrayCallBacks"));
#else
    device_binding::ResolveCoreFoundationValueFunctions(
        [](const char* name) -> void* {
          // Natively the entry points are linked in; look them up by name through a table of our own.
#define LOGORA_ENTRY(n) if (std::string_view(name) == #n) return reinterpret_cast<void*>(&::n);
          LOGORA_ENTRY(CFWriteStreamCreateWithFile) LOGORA_ENTRY(CFReadStreamCreateWithFile)
          LOGORA_ENTRY(CFStringCreateWithCString) LOGORA_ENTRY(CFURLCreateWithFileSystemPath)
          LOGORA_ENTRY(CFReadStreamOpen) LOGORA_ENTRY(CFWriteStreamOpen) LOGORA_ENTRY(CFPropertyListCreateFromStream)
          LOGORA_ENTRY(CFReadStreamClose) LOGORA_ENTRY(CFPropertyListIsValid) LOGORA_ENTRY(CFPropertyListWriteToStream)
          LOGORA_ENTRY(CFWriteStreamClose) LOGORA_ENTRY(CFRelease) LOGORA_ENTRY(CFURLCreateDataAndPropertiesFromResource)
          LOGORA_ENTRY(CFPropertyListCreateFromXMLData) LOGORA_ENTRY(CFPropertyListCreateXMLData)
          LOGORA_ENTRY(CFURLWriteDataAndPropertiesToResource) LOGORA_ENTRY(__CFStringMakeConstantString)
          LOGORA_ENTRY(CFStringGetCharactersPtr) LOGORA_ENTRY(CFDataCreate) LOGORA_ENTRY(CFDataGetBytePtr)
          LOGORA_ENTRY(CFGetTypeID) LOGORA_ENTRY(CFStringGetTypeID) LOGORA_ENTRY(CFDictionaryGetTypeID)
          LOGORA_ENTRY(CFBooleanGetTypeID) LOGORA_ENTRY(CFNumberGetTypeID) LOGORA_ENTRY(CFDataGetTypeID)
          LOGORA_ENTRY(CFArrayGetTypeID) LOGORA_ENTRY(CFStringGetLength) LOGORA_ENTRY(CFStringGetCharacters)
          LOGORA_ENTRY(CFNumberGetByteSize) LOGORA_ENTRY(CFNumberGetType) LOGORA_ENTRY(CFNumberGetValue)
          LOGORA_ENTRY(CFBooleanGetValue) LOGORA_ENTRY(CFArrayCreate) LOGORA_ENTRY(CFArrayGetCount)
          LOGORA_ENTRY(CFArrayGetValueAtIndex) LOGORA_ENTRY(CFDataGetLength) LOGORA_ENTRY(CFDataGetBytes)
#undef LOGORA_ENTRY
          return nullptr;
        },
        l);
    l.NumberCreate = &::CFNumberCreate;
    l.StringCreateWithCharacters = &::CFStringCreateWithCharacters;
    l.DictionaryGetValue = &::CFDictionaryGetValue;
    l.DictionaryGetCount = &::CFDictionaryGetCount;
    l.Retain = &::CFRetain;
    l.GetRetainCount = &::CFGetRetainCount;
    l.True = kCFBooleanTrue;
    l.ArrayCallBacks = &kCFTypeArrayCallBacks;
#endif
    return l;
  }();
  return lib;
}

}  // namespace testing_support
