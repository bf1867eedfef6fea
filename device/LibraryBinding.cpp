#include "device/LibraryBinding.h"

namespace device_binding {
namespace {

// Each table's entries in resolution order: X(name, required).
#define LOGORA_MOBILE_DEVICE_ENTRIES(X)                                                                      \
  X(AMDeviceNotificationSubscribe, true) X(AMDeviceNotificationUnsubscribe, true)                           \
  X(AMDeviceCopyDeviceIdentifier, false) X(AMDeviceConnect, true) X(AMDeviceIsPaired, true)                 \
  X(AMDeviceValidatePairing, true) X(AMDevicePair, true) X(AMDeviceUnpair, true) X(AMDeviceStartSession, true) \
  X(AMDeviceStartService, true) X(AMDeviceStopSession, true) X(AMDeviceSecureStartService, true)            \
  X(AMDServiceConnectionGetSocket, true) X(AMDServiceConnectionGetSecureIOContext, true)                    \
  X(AFCConnectionOpen, true) X(AFCDeviceInfoOpen, true) X(AFCDirectoryOpen, true) X(AFCDirectoryRead, true) \
  X(AFCFileRefWrite, true) X(AFCDirectoryClose, true) X(AFCDirectoryCreate, true) X(AFCFileInfoOpen, true)  \
  X(AFCKeyValueRead, true) X(AFCKeyValueClose, true) X(AFCFileRefOpen, true) X(AFCFileRefRead, true)        \
  X(AFCFileRefSeek, true) X(AFCFileRefClose, true) X(AFCRemovePath, true) X(AFCRenamePath, true)            \
  X(AFCConnectionClose, true) X(AMDeviceDisconnect, true) X(AMDeviceRelease, true)                         \
  X(AMDeviceCopyValue, false) X(AMDPostNotification, false)

#define LOGORA_CORE_FOUNDATION_ENTRIES(X)                                                                    \
  X(CFWriteStreamCreateWithFile, true) X(CFReadStreamCreateWithFile, true) X(CFStringCreateWithCString, true) \
  X(CFURLCreateWithFileSystemPath, true) X(CFReadStreamOpen, true) X(CFWriteStreamOpen, true)               \
  X(CFPropertyListCreateFromStream, true) X(CFReadStreamClose, true) X(CFPropertyListIsValid, true)         \
  X(CFPropertyListWriteToStream, true) X(CFWriteStreamClose, true) X(CFRelease, true)                       \
  X(CFURLCreateDataAndPropertiesFromResource, true) X(CFPropertyListCreateFromXMLData, true)                \
  X(CFPropertyListCreateXMLData, true) X(CFURLWriteDataAndPropertiesToResource, true)                       \
  X(__CFStringMakeConstantString, true) X(CFStringGetCharactersPtr, false) X(CFDataCreate, true)            \
  X(CFDataGetBytePtr, true) X(CFGetTypeID, true) X(CFStringGetTypeID, true) X(CFDictionaryGetTypeID, true)  \
  X(CFBooleanGetTypeID, false) X(CFNumberGetTypeID, true) X(CFDataGetTypeID, true) X(CFArrayGetTypeID, true)

#define LOGORA_CORE_FOUNDATION_VALUE_ENTRIES(X)                                                              \
  X(CFStringGetLength, false) X(CFStringGetCharacters, false) X(CFNumberGetByteSize, false)                 \
  X(CFNumberGetType, false) X(CFNumberGetValue, false) X(CFBooleanGetValue, false) X(CFArrayCreate, false)  \
  X(CFArrayGetCount, false) X(CFArrayGetValueAtIndex, false) X(CFDataGetLength, false)                      \
  X(CFDataGetBytes, false)

#define LOGORA_RESOLVE(name, required)                           \
  table.name = reinterpret_cast<decltype(table.name)>(lookup(#name)); \
  if (required && !table.name) complete = false;

}  // namespace

LibraryPlan PlanLibrarySearch(const RegistryValues& registry) {
  LibraryPlan plan;
  if (registry.mobileDeviceLibrary) {
    const std::wstring& v = *registry.mobileDeviceLibrary;
    plan.mobileDevicePath = v;
    size_t cut = v.rfind(L'\\');
    plan.folderList += cut == std::wstring::npos ? v : v.substr(0, cut);
  }
  if (registry.installDir) {
    const std::wstring& v = *registry.installDir;
    plan.coreFoundationPath = v + kCoreFoundationFile;
    size_t cut = v.rfind(L'\\');
    plan.folderList += L";";
    plan.folderList += cut == std::wstring::npos ? v : v.substr(0, cut);
  }
  if (plan.folderList.empty()) plan.folderList = kDefaultFolderList;
  return plan;
}

std::wstring PrefixedPath(std::wstring_view folderList, std::wstring_view oldPath) {
  std::wstring prefix = std::wstring(folderList) + L";";
  if (oldPath.substr(0, prefix.size()) == prefix) return std::wstring(oldPath);
  return prefix + std::wstring(oldPath);
}

bool ResolveMobileDeviceFunctions(const SymbolLookup& lookup, MobileDeviceFunctions& table) {
  bool complete = true;
  LOGORA_MOBILE_DEVICE_ENTRIES(LOGORA_RESOLVE)
  return complete;
}

bool ResolveCoreFoundationFunctions(const SymbolLookup& lookup, CoreFoundationFunctions& table) {
  bool complete = true;
  LOGORA_CORE_FOUNDATION_ENTRIES(LOGORA_RESOLVE)
  return complete;
}

void ResolveCoreFoundationValueFunctions(const SymbolLookup& lookup, CoreFoundationValueFunctions& table) {
  ResolveCoreFoundationFunctions(lookup, table);  // nothing in this table is required
  bool complete = true;
  LOGORA_CORE_FOUNDATION_VALUE_ENTRIES(LOGORA_RESOLVE)
  (void)complete;
}

}  // namespace device_binding
