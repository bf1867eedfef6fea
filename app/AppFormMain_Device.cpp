// Device selector and device events: attach and detach notifications, the connect workers, the device
// button and the device menu.
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/AppFormMain.h"
#include "app/AppMessages.h"
#include "device/DeviceBinding.h"
#include "device/DeviceMgr.h"
#include "device/iTunesDevice.h"
#include "framework/MessageBoxes.h"
#include "framework/WorkerThread.h"
#include "skin/SkinApi.h"
#include "xml/Utf8.h"

namespace {

constexpr UINT kFirstDeviceCommand = 40000;
constexpr size_t kMaxMenuDevices = 101;  // commands 40000 to 40100
constexpr size_t kFittedNameLength = 14;

constexpr const wchar_t* kConnectFailedText = L"连接到设备失败!";

AppFormMain::ConnectTiming g_timing;

// A device whose connect worker has not yet reported. The worker and the window share it; whichever lets
// go of it last destroys a device that the window never took (the window closed meanwhile).
struct ConnectJob {
  std::unique_ptr<iTunesDevice> device;
  AMDeviceRef handle = nullptr;
  bool detached = false;     // window thread only
  fw::UniqueHandle thread;   // window thread only: the worker, waited for when the window closes
};

// How long a closing window waits for its connect workers once it has cancelled them. A worker notices
// the cancel between library calls; one stuck inside a call is left to end on its own.
constexpr DWORD kWorkerStopWaitMs = 1500;

// Runs on the worker's own thread; touches the window only by posting through the port.
void RunConnectWorker(std::shared_ptr<ConnectJob> job, std::shared_ptr<app::WindowPort> port,
                      std::shared_ptr<app::WorkerSet> workers, AppFormMain::ConnectTiming timing) {
  iTunesDevice* device = job->device.get();
  bool connected = false;
  if (device->WaitUnlessCancelled(std::chrono::milliseconds(timing.first_delay_ms))) {
    for (int attempt = 0; attempt < timing.attempts && !device->IsCancelled(); ++attempt) {
      std::wstring error;
      if (device->Connect(error)) {
        // Read now so the window thread finds them cached.
        device->GetUniqueDeviceId();
        device->GetDeviceName();
        connected = true;
        break;
      }
      if (!device->WaitUnlessCancelled(std::chrono::milliseconds(timing.interval_ms))) break;
    }
  }
  // From here on the device is the window's (or nobody's, if the window is gone): not touched again.
  port->Post(WM_DEVICE_CONNECT_RESULT, reinterpret_cast<WPARAM>(device), connected ? 1 : 0);
  job.reset();
  workers->Remove(::GetCurrentThreadId());
}

// The menu text of a device name: exactly 14 characters wide, longer names cut to 12 and "..  ", shorter
// ones padded with two spaces per missing character.
std::wstring FitMenuName(const std::wstring& name) {
  const size_t n = name.size();
  if (n > kFittedNameLength) {
    size_t cut = 12;
    if (cut > 0 && name[cut - 1] >= 0xD800 && name[cut - 1] <= 0xDBFF) --cut;  // keep surrogate pairs whole
    return name.substr(0, cut) + L"..  ";
  }
  std::wstring fitted = name;
  for (size_t i = n; i < kFittedNameLength; ++i) fitted += L"  ";
  return fitted;
}

struct MenuEntry {
  std::string key;  // the identifier as the device manager keys it
  std::wstring name;
  int kind;
  iTunesDevice* device;
};

// The registered devices in the manager's order, each with the name the window shows for it (the
// identifier when the device has no name).
std::vector<MenuEntry> ListDevices() {
  std::vector<MenuEntry> entries;
  DeviceMgr* mgr = GetDeviceMgr();
  if (!mgr) return entries;
  for (const auto& [key, device] : mgr->GetDevices()) {
    if (!device) continue;
    std::wstring name = device->GetDeviceName();
    if (name.empty()) name = xml::Utf8ToWide(key);
    entries.push_back({key, name, device->GetDeviceKind(), device});
  }
  return entries;
}

}  // namespace

struct AppFormMain::DeviceSelector {
  std::vector<std::shared_ptr<ConnectJob>> pending;
  std::vector<std::string> menuKeys;  // command 40000 + i chooses the device listed under menuKeys[i]
};

void AppFormMain::SetConnectTiming(const ConnectTiming& timing) { g_timing = timing; }

AppFormMain::DeviceSelector& AppFormMain::Selector() {
  if (!deviceSelector) deviceSelector = std::make_shared<DeviceSelector>();
  return *deviceSelector;
}

void AppFormMain::ShowDeviceOnButton(const std::wstring& name, int kind) {
  HWND button = deviceButton.GetSafeHwnd();
  SkinSetItemProperty(button, L"item.text", name.c_str(), 1);
  SkinSetItemProperty(button, L"menu.logo",
                      kind == iTunesDevice::kKindIpad ? L"icon_device_ipad" : L"icon_device_iphone", 1);
}

LRESULT AppFormMain::OnDeviceNotify(WPARAM, LPARAM lp) {
  const auto* info = reinterpret_cast<const AMDeviceNotificationInfo*>(lp);
  if (!info) return 0;
  DeviceSelector& selector = Selector();

  if (info->message == kAMDeviceAttached) {
    auto job = std::make_shared<ConnectJob>();
    job->device = std::make_unique<iTunesDevice>(info->device);
    job->handle = info->device;
    // Registered in the worker set before it can run, so one that ends at once leaves no entry behind.
    fw::WorkerThread worker;
    const bool started = port && worker.Start(
        [job, port = port, workers = connectWorkers, timing = g_timing]() mutable {
          RunConnectWorker(std::move(job), std::move(port), std::move(workers), timing);
        },
        true);
    if (started) {
      connectWorkers->Insert(worker.id());
      HANDLE duplicate = nullptr;
      if (::DuplicateHandle(::GetCurrentProcess(), worker.handle(), ::GetCurrentProcess(), &duplicate, SYNCHRONIZE,
                            FALSE, 0)) {
        job->thread.reset(duplicate);
      }
    }
    if (!started || !worker.Resume()) {
      // Nothing runs for this device: the worker's function (and the device it holds) is freed here.
      if (started) connectWorkers->Remove(worker.id());
      worker.Discard();
      fw::ShowMessageBox(hwnd_, kConnectFailedText, fw::ExecutableName(), MB_OK);
      return 0;
    }
    selector.pending.push_back(job);
    return 0;
  }

  if (info->message == kAMDeviceDetached) {
    // A device still connecting: its worker stops early and its result destroys it.
    for (const auto& job : selector.pending) {
      if (job->handle == info->device && !job->detached) {
        job->detached = true;
        job->device->Cancel();
      }
    }
    DeviceMgr* mgr = GetDeviceMgr();
    if (!mgr) return 0;
    std::wstring identifier;
    iTunesDevice* device = mgr->FindDeviceByHandle(info->device, identifier);
    if (!device) return 0;
    if (device == currentDevice) currentDevice = nullptr;
    mgr->RemoveDevice(device);
    if (mgr->GetDevices().empty()) deviceButton.EnableWindow(false);
  }
  return 0;
}

void AppFormMain::StopConnectWorkers() {
  if (!deviceSelector) return;
  std::vector<HANDLE> running;
  for (const auto& job : deviceSelector->pending) {
    if (job->device) job->device->Cancel();
    if (job->thread) running.push_back(job->thread.get());
  }
  const DWORD until = ::GetTickCount() + kWorkerStopWaitMs;
  for (size_t first = 0; first < running.size(); first += MAXIMUM_WAIT_OBJECTS) {
    const DWORD now = ::GetTickCount();
    const DWORD left = static_cast<int32_t>(until - now) > 0 ? until - now : 0;
    const DWORD count = static_cast<DWORD>(std::min<size_t>(running.size() - first, MAXIMUM_WAIT_OBJECTS));
    ::WaitForMultipleObjects(count, running.data() + first, TRUE, left);
  }
  // A worker that has ended has let go of its job; what is left of the jobs here is the window's alone.
  // One still running keeps its own share and destroys its device when it ends.
  deviceSelector->pending.clear();
}

LRESULT AppFormMain::OnConnectResult(WPARAM wp, LPARAM lp) {
  // Only a device this window handed to a worker is ever touched.
  DeviceSelector& selector = Selector();
  auto it = std::find_if(selector.pending.begin(), selector.pending.end(),
                         [wp](const auto& job) { return reinterpret_cast<WPARAM>(job->device.get()) == wp; });
  if (it == selector.pending.end()) return 0;
  std::unique_ptr<iTunesDevice> device = std::move((*it)->device);
  const bool detached = (*it)->detached;
  selector.pending.erase(it);

  if (detached) return 0;  // unplugged while connecting: destroyed, never shown
  if (lp == 0) {
    fw::ShowMessageBox(hwnd_, kConnectFailedText, fw::ExecutableName(), MB_OK);
    return 0;
  }
  DeviceMgr* mgr = GetDeviceMgr();
  const std::wstring identifier = device->GetUniqueDeviceId();
  if (!mgr || identifier.empty()) return 0;
  std::wstring name = device->GetDeviceName();
  if (name.empty()) name = identifier;
  const int kind = device->GetDeviceKind();

  // The same device plugged in again: the new object takes the old one's place, as current device too.
  iTunesDevice* replaced = mgr->GetDevice(identifier);
  iTunesDevice* added = device.release();
  const bool show = !currentDevice || (replaced && replaced != added && currentDevice == replaced);
  if (show) currentDevice = added;
  mgr->AddDevice(identifier, added);
  if (show) ShowDeviceOnButton(name, kind);
  deviceButton.EnableWindow(true);
  return 0;
}

void AppFormMain::OnDeviceButton() {
  const std::vector<MenuEntry> entries = ListDevices();
  if (entries.empty()) return;
  DeviceSelector& selector = Selector();

  SkinEnableMenuHook(1);
  fw::UniqueMenu menu(::CreatePopupMenu());
  selector.menuKeys.clear();
  if (menu) {
    for (size_t i = 0; i < entries.size() && i < kMaxMenuDevices; ++i) {
      const MenuEntry& entry = entries[i];
      const UINT command = kFirstDeviceCommand + static_cast<UINT>(i);
      ::AppendMenuW(menu.get(), MF_STRING, command, FitMenuName(entry.name).c_str());
      HBITMAP bitmap = entry.kind == iTunesDevice::kKindIpad ? ipadBitmap.get() : iphoneBitmap.get();
      ::SetMenuItemBitmaps(menu.get(), command, MF_BYCOMMAND, bitmap, bitmap);
      selector.menuKeys.push_back(entry.key);
    }
    RECT rc{};
    ::GetWindowRect(deviceButton.GetSafeHwnd(), &rc);
    ::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON, rc.left, rc.bottom, 0, hwnd_, nullptr);
  }
  menu.reset();
  SkinEnableMenuHook(0);
}

void AppFormMain::OnDeviceMenuItem(UINT id) {
  const size_t index = id - kFirstDeviceCommand;
  const DeviceSelector& selector = Selector();
  if (index >= kMaxMenuDevices || index >= selector.menuKeys.size()) return;
  DeviceMgr* mgr = GetDeviceMgr();
  iTunesDevice* device = mgr ? mgr->GetDevice(selector.menuKeys[index]) : nullptr;
  if (!device) return;  // gone since the menu was built
  std::wstring name = device->GetDeviceName();
  if (name.empty()) name = xml::Utf8ToWide(selector.menuKeys[index]);
  currentDevice = device;
  ShowDeviceOnButton(name, device->GetDeviceKind());
}
