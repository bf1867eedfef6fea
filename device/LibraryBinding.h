#pragma once
// The platform-free half of the device library binding: where the libraries are looked for, what "PATH"
// becomes, and resolving the three tables by name through a look-up function.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/MobileDeviceFunctions.h"

namespace device_binding {

inline constexpr wchar_t kPlainLibraryName[] = L"iTunesMobileDevice.dll";
inline constexpr wchar_t kMobileDeviceKey[] = L"SOFTWARE\\Apple Inc.\\Apple Mobile Device Support\\Shared";
inline constexpr wchar_t kMobileDeviceValue[] = L"iTunesMobileDeviceDLL";
inline constexpr wchar_t kCoreFoundationKey[] = L"SOFTWARE\\Apple Inc.\\Apple Application Support";
inline constexpr wchar_t kCoreFoundationValue[] = L"InstallDir";
inline constexpr wchar_t kCoreFoundationFile[] = L"CoreFoundation.dll";
// Current installs of the vendor's device support: the library under another value of the same key, and
// the library with its core-foundation library in the Common Files folder (no "Apple Application
// Support" key).
inline constexpr wchar_t kCurrentMobileDeviceValue[] = L"MobileDeviceDLL";
inline constexpr wchar_t kCommonFilesSubfolder[] = L"Apple\\Mobile Device Support";
inline constexpr wchar_t kCurrentLibraryFile[] = L"MobileDevice.dll";
// Used only when the registry names no folder.
inline constexpr wchar_t kDefaultFolderList[] =
    L"C:\\Program Files (x86)\\Common Files\\Apple\\Mobile Device Support;"
    L"C:\\Program Files\\Common Files\\Apple\\Mobile Device Support;"
    L"C:\\Program Files (x86)\\Common Files\\Apple\\Apple Application Support;"
    L"C:\\Program Files\\Common Files\\Apple\\Apple Application Support";

// What the registry said; a value that could not be read is absent.
struct RegistryValues {
  std::optional<std::wstring> mobileDeviceLibrary;  // full path of the mobile-device library
  std::optional<std::wstring> installDir;           // folder of the core-foundation library, ending in '\'
  std::optional<std::wstring> currentMobileDeviceLibrary;  // "MobileDeviceDLL": full path, current installs
};

struct LibraryPlan {
  std::wstring mobileDevicePath;    // empty when the registry gave none (loading it then fails)
  std::wstring coreFoundationPath;  // empty when the registry gave none: then beside the mobile-device library
  std::wstring folderList;          // the folders to put in front of "PATH"
  // Full paths tried in this order when `mobileDevicePath` is empty or loads nothing: the "MobileDeviceDLL"
  // value, then the two library names in the Common Files folder.
  std::vector<std::wstring> mobileDeviceFallbacks;
};

// `commonFiles` is the system's Common Files folder for this build's word size (empty when unknown).
LibraryPlan PlanLibrarySearch(const RegistryValues& registry, std::wstring_view commonFiles = {});

// "CoreFoundation.dll" in the folder of the library at `libraryPath` (empty when the path has no folder).
std::wstring CoreFoundationBeside(std::wstring_view libraryPath);

// The new "PATH": the folder list, ";" and the old value. When the old value already starts with exactly
// that prefix (a retry after a failed binding) it is returned unchanged, so "PATH" does not grow.
std::wstring PrefixedPath(std::wstring_view folderList, std::wstring_view oldPath);

// Looks an exported name up; null when the library does not export it.
using SymbolLookup = std::function<void*(const char* name)>;

// Resolve every slot in table order; true when every required slot resolved.
bool ResolveMobileDeviceFunctions(const SymbolLookup& lookup, MobileDeviceFunctions& table);
bool ResolveCoreFoundationFunctions(const SymbolLookup& lookup, CoreFoundationFunctions& table);
void ResolveCoreFoundationValueFunctions(const SymbolLookup& lookup, CoreFoundationValueFunctions& table);

}  // namespace device_binding
