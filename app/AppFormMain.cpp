#include "app/AppFormMain.h"

#include "app/LinkAddresses.h"
#include "app/AppMessages.h"
#include "device/DeviceBinding.h"
#include "framework/Application.h"
#include "skin/SkinApi.h"

namespace {
constexpr int kCaptionBand = 32;  // client pixels from the top that act as the window's caption

constexpr int kCloseButton = 1003, kMinimizeButton = 1004, kWriteButton = 1005, kCancelButton = 1006;
constexpr int kUnicomRadio = 1008, kCmccRadio = 1009, kCarrierGroup = 1013, kPreviewGroup = 1014;
constexpr int kSlotDefault = 1015, kSlotFso = 1016, kSlotTs = 1017, kDeviceButton = 1018;
constexpr int kLinkFollowUs = 1020, kLinkMoreTools = 1021, kLinkSource = 1022;
constexpr int kAppIcon = 128, kIpadBitmap = 131, kIphoneBitmap = 132;

HBITMAP LoadBitmapResource(int id) {
  return static_cast<HBITMAP>(
      ::LoadImageW(fw::WinApp::ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}
}  // namespace

AppFormMain::AppFormMain() : fw::Dialog(IDD) {
  appIcon = ::LoadIconW(fw::WinApp::ResourceInstance(), MAKEINTRESOURCEW(kAppIcon));
  ipadBitmap.reset(LoadBitmapResource(kIpadBitmap));
  iphoneBitmap.reset(LoadBitmapResource(kIphoneBitmap));
}

AppFormMain::~AppFormMain() = default;

const fw::MessageMap<AppFormMain>& AppFormMain::GetMessageMap() {
  static const auto map = fw::MessageMap<AppFormMain>()
                              .Command(kCloseButton, &AppFormMain::OnCloseCommand)
                              .Command(kCancelButton, &AppFormMain::OnCloseCommand)
                              .Command(kMinimizeButton, &AppFormMain::OnMinimizeCommand)
                              .Command(kUnicomRadio, &AppFormMain::OnCarrierUnicom)
                              .Command(kCmccRadio, &AppFormMain::OnCarrierCmcc)
                              .Command(kSlotDefault, &AppFormMain::OnPictureDefault)
                              .Command(kSlotFso, &AppFormMain::OnPictureFso)
                              .Command(kSlotTs, &AppFormMain::OnPictureTs)
                              .Command(kWriteButton, &AppFormMain::OnWrite)
                              .Command(kDeviceButton, &AppFormMain::OnDeviceButton)
                              .CommandRange(40000, 40100, &AppFormMain::OnDeviceMenuItem)
                              .Message(WM_LBUTTONDOWN, &AppFormMain::OnLButtonDown)
                              .Message(WM_PAINT, &AppFormMain::OnPaint)
                              .Message(WM_QUERYDRAGICON, &AppFormMain::OnQueryDragIcon)
                              .Message(WM_DESTROY, &AppFormMain::OnDestroy)
                              .Registered(&WM_DEVICE_CONNECT_RESULT, &AppFormMain::OnConnectResult);
  return map;
}

bool AppFormMain::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_COMMAND && HIWORD(wp) <= 1 && LOWORD(wp) == IDHELP) {
    if (auto* app = fw::WinApp::Current()) app->OnHelp();
    result = 0;
    return true;
  }
  return GetMessageMap().Dispatch(this, msg, wp, lp, result) || fw::Dialog::OnWndMsg(msg, wp, lp, result);
}

LRESULT AppFormMain::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Device notifications come synchronously from the device library's thread; they are caught here,
  // before the message map.
  if (WM_DEVICE_NOTIFY_MESSAGE != 0 && msg == WM_DEVICE_NOTIFY_MESSAGE) return OnDeviceNotify(wp, lp);
  return fw::Dialog::WindowProc(msg, wp, lp);
}

void AppFormMain::DoDataExchange(fw::DataExchange& dx) {
  fw::Dialog::DoDataExchange(dx);
  fw::DDX_Control(dx, kSlotDefault, slotButtons[0]);
  fw::DDX_Control(dx, kSlotFso, slotButtons[1]);
  fw::DDX_Control(dx, kSlotTs, slotButtons[2]);
  fw::DDX_Control(dx, kDeviceButton, deviceButton);
  fw::DDX_Control(dx, kLinkMoreTools, linkMoreTools);
  fw::DDX_Control(dx, kLinkFollowUs, linkFollowUs);
  fw::DDX_Control(dx, kLinkSource, linkSource);
}

BOOL AppFormMain::OnInitDialog() {
  fw::Dialog::OnInitDialog();
  port = std::make_shared<app::WindowPort>(hwnd_);

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));

  SkinSetWindowSkin(hwnd_, L"PromptDialog");
  SkinSetWindowSkin(GetDlgItem(kCloseButton), L"sysbtn.close");
  SkinSetWindowSkin(GetDlgItem(kMinimizeButton), L"sysbtn.min");
  struct {
    int id;
    const wchar_t* text;
  } const textButtons[] = {{kWriteButton, L"写入"}, {kCancelButton, L"取消"}};
  for (const auto& b : textButtons) {
    HWND button = GetDlgItem(b.id);
    SkinSetWindowSkin(button, L"standard.button");
    SkinSetItemProperty(button, L"item.text", b.text, 1);
    SkinSetItemProperty(button, L"item.text.disable", b.text, 1);
  }
  SkinSetWindowSkin(GetDlgItem(kCarrierGroup), L"standard.groupbutton");
  SkinSetWindowSkin(GetDlgItem(kPreviewGroup), L"standard.groupbutton");
  for (int id : {kSlotDefault, kSlotFso, kSlotTs}) SkinSetWindowSkin(GetDlgItem(id), L"standard.imageBox");
  SkinSetWindowSkin(GetDlgItem(kDeviceButton), L"btnChoseDevice");

  deviceButton.EnableWindow(false);

  BindDevices();

  linkMoreTools.SetURL(kForumAddress);
  linkMoreTools.EnableURL(true);
  linkFollowUs.SetURL(kMicroblogAddress);
  linkFollowUs.EnableURL(true);
  linkSource.SetURL(kSourceAddress);
  linkSource.EnableURL(true);

  OnCarrierUnicom();
  return TRUE;
}

void AppFormMain::OnCloseCommand() { EndDialog(1); }

void AppFormMain::OnMinimizeCommand() { ::ShowWindow(hwnd_, SW_MINIMIZE); }

LRESULT AppFormMain::OnLButtonDown(WPARAM, LPARAM) {
  POINT screen{};
  ::GetCursorPos(&screen);
  POINT client = screen;
  ::ScreenToClient(hwnd_, &client);
  if (client.y <= kCaptionBand) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
  return Default();
}

LRESULT AppFormMain::OnPaint(WPARAM, LPARAM) {
  if (!::IsIconic(hwnd_)) return Default();
  fw::PaintDC dc(hwnd_);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  const int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
  const int x = (rc.right - rc.left - cx + 1) / 2, y = (rc.bottom - rc.top - cy + 1) / 2;
  ::DrawIcon(dc.get(), x, y, appIcon);
  return 0;
}

LRESULT AppFormMain::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(appIcon); }

LRESULT AppFormMain::OnDestroy(WPARAM, LPARAM) {
  // From here on no worker can reach the window; workers still running clean up what they hold.
  if (port) port->Close();
  StopConnectWorkers();
  return Default();
}

void AppFormMain::BindDevices() {
  // A failed binding is silent: the window works, but no device is ever reported.
  if (BindDeviceLibrary(hwnd_)) BindCoreFoundation();
}
