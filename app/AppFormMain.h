#pragma once
// The main window: a modal dialog from template 102. Its handlers live in one file per concern:
//   AppFormMain.cpp          start-up of the window, caption drag, close/minimise, painting while minimised
//   AppFormMain_Device.cpp   device selector and device events
//   AppFormMain_Carrier.cpp  carrier choice and picture slots
//   AppFormMain_Write.cpp    the write command
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "app/HyperLink.h"
#include "app/WindowPort.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/MessageMap.h"
#include "packaging/CarrierTemplates.h"
#include "packaging/SlotPictures.h"

class iTunesDevice;

namespace app {
// Shown when a slot picture is not a PNG file within the size cap: when it is picked, and when the write
// finds that the file has changed since. 请选择不超过10MB的PNG图片!
inline constexpr wchar_t kNotAPictureText[] = L"\u8bf7\u9009\u62e9\u4e0d\u8d85\u8fc710MB\u7684PNG\u56fe\u7247!";
}  // namespace app

class AppFormMain : public fw::Dialog {
 public:
  static constexpr UINT IDD = 102;

  AppFormMain();
  ~AppFormMain() override;

  iTunesDevice* CurrentDevice() const { return currentDevice; }

  // Timing of the connect workers: the first attempt after `first_delay_ms`, then up to `attempts`
  // attempts `interval_ms` apart. Tests shorten it; it applies to workers started afterwards.
  struct ConnectTiming {
    DWORD first_delay_ms = 2000;
    int attempts = 5;
    DWORD interval_ms = 1000;
  };
  static void SetConnectTiming(const ConnectTiming& timing);
  const std::array<std::wstring, 3>& PicturePaths() const { return picturePaths; }
  // Connect workers that have started and not yet ended.
  size_t ConnectWorkerCount() const { return connectWorkers->Count(); }

 protected:
  void DoDataExchange(fw::DataExchange& dx) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnInitDialog() override;
  bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  static const fw::MessageMap<AppFormMain>& GetMessageMap();

  // Window (AppFormMain.cpp)
  void OnCloseCommand();
  void OnMinimizeCommand();
  LRESULT OnLButtonDown(WPARAM wp, LPARAM lp);
  LRESULT OnPaint(WPARAM wp, LPARAM lp);
  LRESULT OnQueryDragIcon(WPARAM wp, LPARAM lp);
  LRESULT OnDestroy(WPARAM wp, LPARAM lp);
  void BindDevices();

  // Device selector (AppFormMain_Device.cpp)
  void OnDeviceButton();
  void OnDeviceMenuItem(UINT id);
  LRESULT OnDeviceNotify(WPARAM wp, LPARAM lp);
  LRESULT OnConnectResult(WPARAM wp, LPARAM lp);
  struct DeviceSelector;  // devices still connecting, the identifiers behind the last device menu
  DeviceSelector& Selector();
  void ShowDeviceOnButton(const std::wstring& name, int kind);
  // Cancels the connect workers still running and waits for them a short while (the window is closing).
  void StopConnectWorkers();

  // Carrier choice and picture slots (AppFormMain_Carrier.cpp)
  void OnCarrierUnicom();
  void OnCarrierCmcc();
  void OnPictureDefault();
  void OnPictureFso();
  void OnPictureTs();
  void FillSlotsFromTemplate(packaging::Carrier carrier);
  void PickSlotPicture(size_t slot);
  void ShowSlotPicture(size_t slot, const std::wstring& path);

  // Write command (AppFormMain_Write.cpp)
  void OnWrite();

  // Workers reach the window only through `port`; both are shared with the workers.
  std::shared_ptr<app::WorkerSet> connectWorkers = std::make_shared<app::WorkerSet>();
  std::shared_ptr<app::WindowPort> port;
  iTunesDevice* currentDevice = nullptr;
  HICON appIcon = nullptr;  // shared resource icon, not destroyed
  fw::UniqueBitmap ipadBitmap;
  fw::UniqueBitmap iphoneBitmap;
  fw::Wnd slotButtons[3];
  std::array<std::wstring, 3> picturePaths;
  packaging::TempPictureFiles slotTempFiles;  // template logo copies; removed once no slot names them
  fw::Wnd deviceButton;
  std::shared_ptr<DeviceSelector> deviceSelector;  // created on first use
  CXHyperLink linkMoreTools;   // 1021
  CXHyperLink linkFollowUs;    // 1020
  CXHyperLink linkSource;      // 1022
};
