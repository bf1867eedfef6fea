#pragma once
// Installing a package file and uninstalling an application on worker threads that report every step to
// a window with the messages of install/InstallMessages_win.h (wParam: the request).
#include <windows.h>

#include <cstdint>
#include <string>

class iTunesDevice;
class iTunesDeviceMgr;

namespace install {

struct AsyncRequest;
// Called by the worker once the operation has ended; it then owns the request and frees it with
// ReleaseInstallRequest or ReleaseUninstallRequest.
using AsyncCompletion = void (*)(AsyncRequest* request);

struct AsyncRequest {
  int32_t result = 0;  // 1 success, 0 failure; 0 until the worker ends
  iTunesDevice* device = nullptr;
  uint32_t user_value = 0;  // the caller's, carried untouched
  HWND window = nullptr;    // receives the messages
  std::wstring device_id;   // read when the request was made
  iTunesDeviceMgr* manager = nullptr;
  std::wstring argument;    // the local package path, or the application identifier
  AsyncCompletion callback = nullptr;
};

// Start a worker on `device`. Null when the device is null or no thread could be started (nothing runs
// then). Without a callback the worker frees the request itself when it ends; with one, the request stays
// alive for the callback. The device must not be used by anyone else until the worker ends.
AsyncRequest* InstallAsync(iTunesDeviceMgr& manager, iTunesDevice* device, const std::wstring& package_path,
                           HWND window, uint32_t user_value, AsyncCompletion callback);
AsyncRequest* UninstallAsync(iTunesDeviceMgr& manager, iTunesDevice* device, const std::wstring& app_id,
                             HWND window, uint32_t user_value, AsyncCompletion callback);
// The same for the device listed under `device_id`; null when none is.
AsyncRequest* InstallAsyncById(iTunesDeviceMgr& manager, const std::wstring& device_id,
                               const std::wstring& package_path, HWND window, uint32_t user_value,
                               AsyncCompletion callback);
AsyncRequest* UninstallAsyncById(iTunesDeviceMgr& manager, const std::wstring& device_id, const std::wstring& app_id,
                                 HWND window, uint32_t user_value, AsyncCompletion callback);

// How long a worker waits before it starts its operation (100 ms); tests set 0, so that nothing but the
// order of events decides what they see.
void SetWorkerStartDelayForTesting(DWORD milliseconds);

// Free a request of either kind; returns its result.
int32_t ReleaseInstallRequest(AsyncRequest* request);
int32_t ReleaseUninstallRequest(AsyncRequest* request);

}  // namespace install
