// logora-drive: drives a running iOSLogora window from outside, for the demo and for end-to-end scripts.
//   logora-drive wait [seconds]     wait until the main window is visible
//   logora-drive click ID           click control ID of the main window (does not wait for it to finish)
//   logora-drive wait-box [seconds] wait for a message box of the program; print its caption and text
//   logora-drive dismiss            press OK on the program's message box
//   logora-drive text ID            print the text of control ID
//   logora-drive close              close the main window with its cancel button
// Exit code 0 on success, 1 when the window or box did not appear, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kTitle[] = L"iOSLogora实用工具";

HWND MainWindow() { return ::FindWindowW(L"#32770", kTitle); }

HWND MessageBoxOfProgram() {
  HWND main = MainWindow();
  if (!main) return nullptr;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(main, &pid);
  HWND h = nullptr;
  while ((h = ::FindWindowExW(nullptr, h, L"#32770", nullptr)) != nullptr) {
    DWORD owner_pid = 0;
    ::GetWindowThreadProcessId(h, &owner_pid);
    if (h != main && owner_pid == pid && ::IsWindowVisible(h)) return h;
  }
  return nullptr;
}

template <typename F>
HWND WaitFor(F find, double seconds) {
  for (int i = 0; i < static_cast<int>(seconds * 50); ++i) {
    if (HWND h = find()) return h;
    ::Sleep(20);
  }
  return find();
}

std::wstring Text(HWND h) {
  wchar_t buf[1024] = {};
  ::GetWindowTextW(h, buf, 1024);
  return buf;
}

void PrintUtf8(const std::wstring& s) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 1, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, out.data(), n, nullptr, nullptr);
  std::fputs(out.c_str(), stdout);
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring cmd = argv[1];
  const double seconds = argc > 2 ? std::wcstod(argv[2], nullptr) : 30.0;
  if (cmd == L"wait") {
    HWND h = WaitFor([] { HWND w = MainWindow(); return w && ::IsWindowVisible(w) ? w : nullptr; }, seconds);
    return h ? 0 : 1;
  }
  if (cmd == L"wait-box") {
    HWND box = WaitFor(MessageBoxOfProgram, seconds);
    if (!box) return 1;
    ::Sleep(200);  // let it paint before anyone takes a picture
    std::wstring text;
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
      if (::GetDlgCtrlID(c) == 0xFFFF) text += Text(c);
    PrintUtf8(Text(box) + L": " + text);
    return 0;
  }
  if (cmd == L"dismiss") {
    HWND box = WaitFor(MessageBoxOfProgram, 5);
    if (!box) return 1;
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }
  HWND main = MainWindow();
  if (!main) return 1;
  if (cmd == L"click" && argc > 2) {
    HWND control = ::GetDlgItem(main, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    if (!control) return 1;
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), BN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
    return 0;
  }
  if (cmd == L"text" && argc > 2) {
    HWND control = ::GetDlgItem(main, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    if (!control) return 1;
    PrintUtf8(Text(control));
    return 0;
  }
  if (cmd == L"close") {
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(main, 1006)));
    return 0;
  }
  return 2;
}
