// The program as a process: it shows its window, and it ends as soon as the window closes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/WinTestSupport.h"

namespace {

struct Program {
  PROCESS_INFORMATION pi{};
  HWND window = nullptr;

  bool Start() {
    std::wstring exe = testing_support::WinePath(LOGORA_BINARY_DIR "/app/iOSLogora.exe");
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{sizeof(si)};
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return false;
    ::WaitForInputIdle(pi.hProcess, 10000);
    for (int i = 0; i < 1000 && !(window && ::IsWindowVisible(window)); ++i) {
      window = FindOwnWindow();
      ::Sleep(20);
    }
    return window != nullptr;
  }
  HWND FindOwnWindow() const {
    HWND h = nullptr;
    while ((h = ::FindWindowExW(nullptr, h, L"#32770", L"iOSLogora实用工具")) != nullptr) {
      DWORD pid = 0;
      ::GetWindowThreadProcessId(h, &pid);
      if (pid == pi.dwProcessId) return h;
    }
    return nullptr;
  }
  // Waits for the process to end; returns its exit code, or -1 if it is still running after `ms`.
  long WaitExit(DWORD ms) const {
    if (::WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<long>(code);
  }
  ~Program() {
    if (pi.hProcess) {
      if (WaitExit(0) == -1) ::TerminateProcess(pi.hProcess, 99);
      ::CloseHandle(pi.hThread);
      ::CloseHandle(pi.hProcess);
    }
  }
};

TEST(ProgramProcess, EndsWhenTheWindowClosesByAnyOfItsCloseCommands) {
  struct Case {
    const char* name;
    UINT msg;
    WPARAM wp;
  } const cases[] = {
      {"close button", WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED)},
      {"cancel button", WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED)},
      {"system close", WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Program program;
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(::IsWindowVisible(program.window));
    EXPECT_EQ(program.WaitExit(300), -1) << "the program must stay up while its window is open";
    ::PostMessageW(program.window, c.msg, c.wp, 0);
    EXPECT_EQ(program.WaitExit(10000), 0);
  }
}

}  // namespace
