#include "install/InstallWorkers_win.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "device/DeviceMgr.h"
#include "device/iTunesDevice.h"
#include "framework/Handles.h"
#include "framework/WorkerThread.h"
#include "install/DeviceInstallTarget_win.h"
#include "install/InstallMessages_win.h"
#include "install/InstallOperations.h"

namespace install {
namespace {

// Sends each step to the request's window and waits until it was handled.
class WindowReporter : public InstallReporter {
 public:
  explicit WindowReporter(AsyncRequest* request) : request_(request) {}

  void UploadBegin(const TransferProgress& p) override { Send(WM_APP_UPDATE_BEGIN_MESSAGE, &p); }
  void UploadProgress(const TransferProgress& p) override { Send(WM_APP_UPDATE_PROGRESS_MESSAGE, &p); }
  void UploadEnd(bool ok) override { Send(WM_APP_UPDATE_END_MESSAGE, ok ? 1 : 0); }
  void InstallBegin() override { Send(WM_INSTALL_BEGIN_MESSAGE, 0); }
  void InstallProgress(const InstallStatus& s) override { Send(WM_INSTALL_PROGRESS_MESSAGE, &s); }
  void InstallEnd() override { Send(WM_INSTALL_END_MESSAGE, 1); }
  void InstallAbort(const std::wstring& text) override { Send(WM_INSTALL_ABORT_MESSAGE, text.c_str()); }
  void UninstallBegin() override { Send(WM_UNINSTALL_BEGIN_MESSAGE, 1); }
  void UninstallProgress(const InstallStatus& s) override { Send(WM_UNINSTALL_PROGRESS_MESSAGE, &s); }
  void UninstallEnd() override { Send(WM_UNINSTALL_END_MESSAGE, 1); }
  void UninstallAbort(const std::wstring& text) override { Send(WM_UNINSTALL_ABORT_MESSAGE, text.c_str()); }

 private:
  void Send(UINT msg, LPARAM lp) {
    ::SendMessageW(request_->window, msg, reinterpret_cast<WPARAM>(request_), lp);
  }
  void Send(UINT msg, const void* p) { Send(msg, reinterpret_cast<LPARAM>(p)); }
  void Send(UINT msg, int flag) { Send(msg, static_cast<LPARAM>(flag)); }
  AsyncRequest* request_;
};

class Win32LocalFile : public LocalFileReader {
 public:
  explicit Win32LocalFile(fw::UniqueFileHandle file) : file_(std::move(file)) {}
  uint64_t Size() override {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(file_.get(), &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  }
  int64_t Read(uint8_t* buffer, size_t length) override {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
    if (!::ReadFile(file_.get(), buffer, want, &got, nullptr)) return -1;
    return got;
  }

 private:
  fw::UniqueFileHandle file_;
};

std::unique_ptr<LocalFileReader> OpenLocalFile(const std::wstring& path) {
  fw::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::make_unique<Win32LocalFile>(std::move(file));
}

enum class Kind { kInstall, kUninstall };

std::atomic<DWORD> g_start_delay_ms{100};

void RunWorker(Kind kind, AsyncRequest* request) {
  if (const DWORD delay = g_start_delay_ms.load()) ::Sleep(delay);
  {
    DeviceInstallTarget target(*request->device);
    WindowReporter reporter(request);
    request->result = kind == Kind::kInstall
                          ? InstallPackageFile(target, reporter, request->argument, OpenLocalFile)
                          : UninstallApplication(target, reporter, request->argument);
  }
  // Read before the request is handed on: the callback may free it at once.
  iTunesDeviceMgr* manager = request->manager;
  if (request->callback) {
    request->callback(request);
  } else {
    ReleaseInstallRequest(request);
  }
  manager->RemoveWorker(::GetCurrentThreadId());
}

AsyncRequest* Start(Kind kind, iTunesDeviceMgr& manager, iTunesDevice* device, const std::wstring& argument,
                    HWND window, uint32_t user_value, AsyncCompletion callback) {
  if (!device) return nullptr;
  auto request = std::make_unique<AsyncRequest>();
  request->device = device;
  request->device_id = device->GetUniqueDeviceId();
  request->argument = argument;
  request->user_value = user_value;
  request->window = window;
  request->callback = callback;
  request->manager = &manager;

  // Started suspended so the worker is in the manager's set before it can run (and remove itself).
  AsyncRequest* raw = request.get();
  fw::WorkerThread thread;
  if (!thread.Start([kind, raw] { RunWorker(kind, raw); }, true)) return nullptr;
  manager.AddWorker(thread.id());
  if (!thread.Resume()) {
    // It never ran: ending it frees its function, and the request is freed here.
    thread.Discard();
    manager.RemoveWorker(thread.id());
    return nullptr;
  }
  return request.release();
}

}  // namespace

AsyncRequest* InstallAsync(iTunesDeviceMgr& manager, iTunesDevice* device, const std::wstring& package_path,
                           HWND window, uint32_t user_value, AsyncCompletion callback) {
  return Start(Kind::kInstall, manager, device, package_path, window, user_value, callback);
}

AsyncRequest* UninstallAsync(iTunesDeviceMgr& manager, iTunesDevice* device, const std::wstring& app_id,
                             HWND window, uint32_t user_value, AsyncCompletion callback) {
  return Start(Kind::kUninstall, manager, device, app_id, window, user_value, callback);
}

AsyncRequest* InstallAsyncById(iTunesDeviceMgr& manager, const std::wstring& device_id,
                               const std::wstring& package_path, HWND window, uint32_t user_value,
                               AsyncCompletion callback) {
  iTunesDevice* device = manager.GetDevice(device_id);
  return device ? InstallAsync(manager, device, package_path, window, user_value, callback) : nullptr;
}

AsyncRequest* UninstallAsyncById(iTunesDeviceMgr& manager, const std::wstring& device_id, const std::wstring& app_id,
                                 HWND window, uint32_t user_value, AsyncCompletion callback) {
  iTunesDevice* device = manager.GetDevice(device_id);
  return device ? UninstallAsync(manager, device, app_id, window, user_value, callback) : nullptr;
}

void SetWorkerStartDelayForTesting(DWORD milliseconds) { g_start_delay_ms = milliseconds; }

int32_t ReleaseInstallRequest(AsyncRequest* request) {
  if (!request) return 0;
  const int32_t result = request->result;
  delete request;
  return result;
}

int32_t ReleaseUninstallRequest(AsyncRequest* request) { return ReleaseInstallRequest(request); }

}  // namespace install
