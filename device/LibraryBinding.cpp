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
  X(AMDeviceCopyValue, false) X(AMDPostNotification, false) X(AMDServiceConnectionSend, false)             \
  X(AMDServiceConnectionReceive, false)

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

namespace {

std::wstring FolderOf(std::wstring_view path) {
  const size_t cut = path.rfind(L'\\');
  return std::wstring(cut == std::wstring_view::npos ? path : path.substr(0, cut));
}

}  // namespace

LibraryPlan PlanLibrarySearch(const RegistryValues& registry, std::wstring_view commonFiles) {
  LibraryPlan plan;
  if (registry.mobileDeviceLibrary) {
    const std::wstring& v = *registry.mobileDeviceLibrary;
    plan.mobileDevicePath = v;
    plan.folderList += FolderOf(v);
  }
  if (registry.installDir) {
    const std::wstring& v = *registry.installDir;
    plan.coreFoundationPath = v + kCoreFoundationFile;
    plan.folderList += L";";
    plan.folderList += FolderOf(v);
  }

  std::wstring supportFolder;
  if (!commonFiles.empty()) {
    supportFolder = std::wstring(commonFiles);
    if (supportFolder.back() != L'\\') supportFolder += L'\\';
    supportFolder += kCommonFilesSubfolder;
  }
  const bool current = registry.currentMobileDeviceLibrary && !registry.currentMobileDeviceLibrary->empty();
  if (current) plan.mobileDeviceFallbacks.push_back(*registry.currentMobileDeviceLibrary);
  if (!supportFolder.empty()) {
    plan.mobileDeviceFallbacks.push_back(supportFolder + L"\\" + kCurrentLibraryFile);
    plan.mobileDeviceFallbacks.push_back(supportFolder + L"\\" + kPlainLibraryName);
  }

  if (plan.folderList.empty()) {
    // Nothing in the older layout: the folders of the current one come first, then the usual ones.
    const std::wstring currentFolder = current ? FolderOf(*registry.currentMobileDeviceLibrary) : std::wstring();
    if (current) plan.folderList += currentFolder + L";";
    if (!supportFolder.empty() && supportFolder != currentFolder) plan.folderList += supportFolder + L";";
    plan.folderList += kDefaultFolderList;
  }
  return plan;
}

std::wstring CoreFoundationBeside(std::wstring_view libraryPath) {
  const size_t cut = libraryPath.rfind(L'\\');
  if (cut == std::wstring_view::npos) return {};
  return std::wstring(libraryPath.substr(0, cut + 1)) + kCoreFoundationFile;
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
