#include "app/HyperLink.h"

#include <commctrl.h>

#include <vector>

#include "app/HyperLinkCommand.h"

const UINT WM_XHYPERLINK_CLICKED = ::RegisterWindowMessageW(L"WM_XHYPERLINK_CLICKED");

namespace hyperlink {
namespace {

constexpr DWORD kMaxRegistryChars = 32 * 1024;  // a command line cannot be longer

// The default value of `subKey` under `root` as text, REG_EXPAND_SZ expanded; empty when missing.
std::wstring ReadDefaultValue(HKEY root, const std::wstring& subKey) {
  DWORD bytes = 0;
  if (::RegGetValueW(root, subKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
    return {};
  // Expansion can need more room than the size first reported; the value may also change in between.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (bytes == 0 || bytes > kMaxRegistryChars * sizeof(wchar_t)) return {};
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LSTATUS status =
        ::RegGetValueW(root, subKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer.data(), &got);
    if (status == ERROR_SUCCESS) {
      buffer.back() = L'\0';
      return std::wstring(buffer.data());
    }
    if (status != ERROR_MORE_DATA) return {};
    bytes = got;
  }
  return {};
}

}  // namespace

std::wstring ReadBrowserCommand(HKEY classesRoot) {
  const std::wstring documentType = ReadDefaultValue(classesRoot, L".htm");
  if (documentType.empty()) return {};
  return ReadDefaultValue(classesRoot, documentType + L"\\shell\\open\\command");
}

bool RunCommandLine(const std::wstring& commandLine) {
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  fw::UniqueHandle processHandle(process.hProcess);
  fw::UniqueHandle threadHandle(process.hThread);
  return true;
}

const Launcher& SystemLauncher() {
  static const Launcher launcher{
      [](const wchar_t* verb, const std::wstring& address) {
        return reinterpret_cast<OpenResult>(
            ::ShellExecuteW(nullptr, verb, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
      },
      [] { return ReadBrowserCommand(HKEY_CLASSES_ROOT); },
      [](const std::wstring& commandLine) { return RunCommandLine(commandLine); },
  };
  return launcher;
}

OpenResult OpenAddress(const std::wstring& address, bool newWindow, const Launcher& launcher) {
  if (address.empty()) return kEmptyAddress;
  if (!IsWebAddress(address)) return kRefused;
  OpenResult result = launcher.shellExecute(newWindow ? L"new" : L"open", address);
  if (result > 32) return result;
  const auto commandLine = BrowserCommandLine(launcher.browserCommand(), address);
  if (!commandLine) return result;
  return launcher.run(*commandLine) ? kOpened : SE_ERR_NOASSOC;
}

}  // namespace hyperlink

// ---- CXHyperLink --------------------------------------------------------------------------------------------

CXHyperLink::CXHyperLink() = default;

CXHyperLink::~CXHyperLink() {
  if (hwnd_ && ::IsWindow(hwnd_)) {
    StopLeaveTimer();
    tooltip_.reset();
    // The fonts die with this object; the window goes on with the font it came with, and no message
    // reaches this object while its members are being destroyed.
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(originalFont_), FALSE);
    UnsubclassWindow();
  }
}

void CXHyperLink::DestroyTooltipWindow(HWND tooltip) {
  if (::IsWindow(tooltip)) ::DestroyWindow(tooltip);
}

void CXHyperLink::SetURL(const std::wstring& address) {
  address_ = address;
  if (!hwnd_) return;
  if (!address_.empty() && (showsAddress_ || GetWindowText().empty())) {
    SetWindowText(address_);
    showsAddress_ = true;
  }
  AdjustToFit();
  UpdateTooltip();
}

void CXHyperLink::SetColours(COLORREF link, COLORREF visited, COLORREF hover) {
  linkColour_ = link;
  visitedColour_ = visited;
  hoverColour_ = hover;
  Repaint();
}

void CXHyperLink::SetBackgroundColour(COLORREF colour) {
  backgroundColour_ = colour;
  backgroundBrush_.reset(::CreateSolidBrush(colour));
  Repaint();
}

void CXHyperLink::SetVisited(bool visited) {
  visited_ = visited;
  Repaint();
}

void CXHyperLink::SetUnderline(int mode) {
  underline_ = mode;
  if (!hwnd_) return;
  const bool underlined = mode == kUnderlineAlways || (mode == kUnderlineHover && mouseOver_);
  UseFont(underlined ? underlineFont_.get() : normalFont_.get());
  Repaint();
}

void CXHyperLink::SetOpener(Opener opener) { opener_ = std::move(opener); }

void CXHyperLink::SetFailureSignal(std::function<void()> signal) { failureSignal_ = std::move(signal); }

void CXHyperLink::PreSubclassWindow() {
  ::SetWindowLongPtrW(hwnd_, GWL_STYLE, ::GetWindowLongPtrW(hwnd_, GWL_STYLE) | SS_NOTIFY);

  const std::wstring text = GetWindowText();
  if (address_.empty()) address_ = text;
  if (text.empty() && !address_.empty()) {
    SetWindowText(L"");
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SetWindowText(address_);
    showsAddress_ = true;
  }

  MakeFonts();
  AdjustToFit();
  LoadHandCursor();
  if (underline_ != kUnderlineHover) {
    UseFont(normalFont_.get());
    Repaint();
    underline_ = kUnderlineHover;
  }
  if (tooltipEnabled_) CreateTooltip();
}

void CXHyperLink::MakeFonts() {
  originalFont_ = reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  HGDIOBJ base = originalFont_;
  if (!base) base = ::GetStockObject(DEFAULT_GUI_FONT);
  if (!base) base = ::GetStockObject(ANSI_VAR_FONT);
  LOGFONTW lf{};
  if (!base || ::GetObjectW(base, sizeof(lf), &lf) == 0) return;
  lf.lfUnderline = FALSE;
  normalFont_.reset(::CreateFontIndirectW(&lf));
  lf.lfUnderline = TRUE;
  underlineFont_.reset(::CreateFontIndirectW(&lf));
  UseFont(normalFont_.get());
}

void CXHyperLink::LoadHandCursor() {
  cursor_ = ::LoadCursorW(nullptr, IDC_HAND);
  if (cursor_) return;
  // Systems without a hand cursor carry one in the old help viewer.
  wchar_t folder[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  const std::wstring path = std::wstring(folder) + L"\\winhlp32.exe";
  fw::UniqueModule module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return;
  if (HCURSOR shared = ::LoadCursorW(module.get(), MAKEINTRESOURCEW(106))) {
    ownedCursor_.reset(static_cast<HCURSOR>(::CopyIcon(shared)));
    cursor_ = ownedCursor_.get();
  }
}

void CXHyperLink::CreateTooltip() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, nullptr, nullptr));
  if (!tooltip_) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every common-controls version
  tool.hwnd = hwnd_;
  tool.uId = 1;
  tool.lpszText = const_cast<wchar_t*>(address_.c_str());
  ::GetClientRect(hwnd_, &tool.rect);
  ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tooltip_.get(), TTM_ACTIVATE, TRUE, 0);
}

void CXHyperLink::UpdateTooltip() {
  if (!tooltip_ || !hwnd_) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd_;
  tool.uId = 1;
  tool.lpszText = const_cast<wchar_t*>(address_.c_str());
  ::SendMessageW(tooltip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::GetClientRect(hwnd_, &tool.rect);
  ::SendMessageW(tooltip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CXHyperLink::AdjustToFit() {
  if (!hwnd_ || !adjustToFit_) return;
  const std::wstring text = GetWindowText();
  SIZE extent{};
  {
    fw::WindowDC dc(hwnd_);
    if (!dc) return;
    fw::ScopedSelectObject font(dc.get(), underlineFont_ ? underlineFont_.get()
                                                         : reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    if (!::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent)) return;
  }
  RECT window{}, client{};
  ::GetWindowRect(hwnd_, &window);
  ::GetClientRect(hwnd_, &client);
  const int width = extent.cx + (window.right - window.left) - (client.right - client.left);
  const int height = extent.cy + (window.bottom - window.top) - (client.bottom - client.top);

  // The old place in the parent's client coordinates.
  if (HWND parent = ::GetParent(hwnd_)) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
  int top = window.top;
  if (style & SS_CENTERIMAGE) top = (window.top + window.bottom) / 2 - height / 2;
  int left = window.left;
  switch (style & SS_TYPEMASK) {
    case SS_RIGHT:
      left = window.right - width;
      break;
    case SS_CENTER:
      left = (window.left + window.right) / 2 - width / 2;
      break;
    default:
      break;
  }
  ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateTooltip();
}

void CXHyperLink::UseFont(HFONT font) {
  if (hwnd_ && font) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void CXHyperLink::Repaint(const RECT* rect) {
  if (hwnd_) ::InvalidateRect(hwnd_, rect, TRUE);
}

void CXHyperLink::StopLeaveTimer() {
  if (timerRunning_ && hwnd_) ::KillTimer(hwnd_, kLeaveTimer);
  timerRunning_ = false;
}

LRESULT CXHyperLink::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (tooltip_ && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
    // The dialog's modal loop does no pre-translation, so the tooltip hears of the mouse from here.
    MSG relay{hwnd_, msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD pos = ::GetMessagePos();
    relay.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
  }
  switch (msg) {
    case WM_MOUSEMOVE:
      OnMouseMove();
      break;
    case WM_TIMER:
      if (wp == kLeaveTimer) {
        OnTimer(wp);
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (OnSetCursor()) return TRUE;
      break;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wp));
      return TRUE;
    case WM_DESTROY:
      StopLeaveTimer();
      mouseOver_ = false;
      tooltip_.reset();
      break;
    default:
      break;
  }
  return fw::Wnd::WindowProc(msg, wp, lp);
}

bool CXHyperLink::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_CTLCOLORSTATIC:
      result = reinterpret_cast<LRESULT>(OnControlColour(reinterpret_cast<HDC>(wp)));
      return true;
    case WM_COMMAND:
      if (HIWORD(wp) == STN_CLICKED) {
        OnClicked();
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

HBRUSH CXHyperLink::OnControlColour(HDC dc) {
  ::SetTextColor(dc, mouseOver_ ? hoverColour_ : visited_ ? visitedColour_ : linkColour_);
  ::SetBkMode(dc, TRANSPARENT);
  if (!backgroundBrush_) return static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));
  ::SetBkColor(dc, backgroundColour_);
  return backgroundBrush_.get();
}

void CXHyperLink::OnMouseMove() {
  if (mouseOver_) return;
  mouseOver_ = true;
  if (underline_ == kUnderlineHover) UseFont(underlineFont_.get());
  Repaint();
  timerRunning_ = ::SetTimer(hwnd_, kLeaveTimer, kLeaveTimerPeriodMs, nullptr) != 0;
}

void CXHyperLink::OnTimer(UINT_PTR) {
  // Where the cursor is now: the position of the last message this thread retrieved can be stale (Wine
  // stamps timer messages with the last mouse message's position, and a mouse that left the dialog quickly
  // sends its moves to other windows), which would leave the label hovered.
  POINT point{};
  if (!::GetCursorPos(&point)) {
    const DWORD pos = ::GetMessagePos();
    point = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  }
  ::ScreenToClient(hwnd_, &point);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  if (::PtInRect(&client, point)) return;
  mouseOver_ = false;
  StopLeaveTimer();
  if (underline_ != kUnderlineAlways) UseFont(normalFont_.get());
  client.bottom += 10;
  Repaint(&client);
}

bool CXHyperLink::OnSetCursor() {
  if (!cursor_) return false;
  ::SetCursor(cursor_);
  return true;
}

void CXHyperLink::EraseBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  if (backgroundBrush_) {
    ::FillRect(dc, &client, backgroundBrush_.get());
  } else {
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  }
}

void CXHyperLink::OnClicked() {
  mouseOver_ = false;
  hyperlink::OpenResult result = 33;
  if (addressEnabled_) result = opener_ ? opener_(address_, newWindow_) : hyperlink::OpenAddress(address_, newWindow_);
  visited_ = result > 32;
  Repaint();
  if (!visited_) {
    if (failureSignal_)
      failureSignal_();
    else
      ::MessageBeep(MB_ICONEXCLAMATION);
  }
  if (notifyParent_) {
    if (HWND parent = ::GetParent(hwnd_))
      ::SendMessageW(parent, WM_XHYPERLINK_CLICKED, static_cast<WPARAM>(GetDlgCtrlID()), 0);
  }
}
