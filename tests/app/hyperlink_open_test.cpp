// Opening a hyperlink's address: the shell first, the registered browser when the shell fails, and only
// for web addresses.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/HyperLink.h"

namespace {

using hyperlink::Launcher;
using hyperlink::OpenAddress;

// A launcher that records every call instead of reaching outside the process.
struct FakeLauncher {
  hyperlink::OpenResult shellResult = 42;
  std::wstring registered = L"\"C:\\Browser\\browser.exe\" -url \"%1\"";
  bool runSucceeds = true;

  std::vector<std::wstring> shellCalls;  // verb + " " + address
  std::vector<std::wstring> runCalls;

  Launcher Get() {
    return Launcher{
        [this](const wchar_t* verb, const std::wstring& address) {
          shellCalls.push_back(std::wstring(verb) + L" " + address);
          return shellResult;
        },
        [this] { return registered; },
        [this](const std::wstring& line) {
          runCalls.push_back(line);
          return runSucceeds;
        },
    };
  }
};

TEST(HyperlinkOpen, ShellFirstThenRegisteredBrowser) {
  const std::wstring address = L"https://ioslogora.example.org/论坛";
  struct Case {
    const char* name;
    hyperlink::OpenResult shellResult;
    bool runSucceeds;
    bool expectRun;
    bool expectSuccess;
  } const cases[] = {
      {"shell opens it", 42, true, false, true},
      {"shell fails, browser starts", SE_ERR_NOASSOC, true, true, true},
      {"shell reports 32, browser starts", 32, true, true, true},
      {"shell and browser fail", SE_ERR_FNF, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeLauncher fake;
    fake.shellResult = c.shellResult;
    fake.runSucceeds = c.runSucceeds;
    const auto result = OpenAddress(address, false, fake.Get());
    EXPECT_EQ(result > 32, c.expectSuccess) << result;
    EXPECT_EQ(fake.shellCalls, std::vector<std::wstring>{L"open " + address});
    if (c.expectRun) {
      EXPECT_EQ(fake.runCalls,
                std::vector<std::wstring>{L"\"C:\\Browser\\browser.exe\" -url \"https://ioslogora.example.org/论坛\""});
    } else {
      EXPECT_TRUE(fake.runCalls.empty());
    }
  }
}

TEST(HyperlinkOpen, NewWindowUsesTheNewVerb) {
  FakeLauncher fake;
  OpenAddress(L"https://a.example.org/", true, fake.Get());
  EXPECT_EQ(fake.shellCalls, std::vector<std::wstring>{L"new https://a.example.org/"});
}

TEST(HyperlinkOpen, NothingIsLaunchedForEmptyOrNonWebAddresses) {
  struct Case {
    const wchar_t* address;
    hyperlink::OpenResult expected;
  } const cases[] = {
      {L"", hyperlink::kEmptyAddress},
      {L"calc.exe", hyperlink::kRefused},
      {L"C:\\Windows\\System32\\calc.exe", hyperlink::kRefused},
      {L"file:///C:/Windows/System32/calc.exe", hyperlink::kRefused},
      {L"https://a.example.org/\" --evil", hyperlink::kRefused},
  };
  for (const auto& c : cases) {
    FakeLauncher fake;
    fake.shellResult = SE_ERR_NOASSOC;
    EXPECT_EQ(OpenAddress(c.address, false, fake.Get()), c.expected);
    EXPECT_TRUE(fake.shellCalls.empty());
    EXPECT_TRUE(fake.runCalls.empty());
  }
}

TEST(HyperlinkOpen, NoRegisteredBrowserKeepsTheShellsFailure) {
  FakeLauncher fake;
  fake.shellResult = SE_ERR_NOASSOC;
  fake.registered.clear();
  EXPECT_EQ(OpenAddress(L"https://a.example.org/", false, fake.Get()), SE_ERR_NOASSOC);
  EXPECT_TRUE(fake.runCalls.empty());
}

// A private classes root under HKEY_CURRENT_USER, removed again at the end.
class RegistryRoot {
 public:
  RegistryRoot() {
    ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  ~RegistryRoot() {
    if (key_) ::RegCloseKey(key_);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\LogoraHyperlinkTest");  // only when no other test holds one
  }
  HKEY get() const { return key_; }
  void SetDefault(const std::wstring& subKey, const std::wstring& value, DWORD type = REG_SZ) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(key_, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(k, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(k);
  }

 private:
  const std::wstring path_ = L"Software\\LogoraHyperlinkTest\\" + std::to_wstring(::GetCurrentProcessId());
  HKEY key_ = nullptr;
};

TEST(HyperlinkOpen, BrowserCommandComesFromTheHtmDocumentType) {
  RegistryRoot root;
  ASSERT_TRUE(root.get());
  EXPECT_EQ(hyperlink::ReadBrowserCommand(root.get()), L"") << "no .htm type yet";
  root.SetDefault(L".htm", L"LogoraPage");
  EXPECT_EQ(hyperlink::ReadBrowserCommand(root.get()), L"") << "type without an open command";
  root.SetDefault(L"LogoraPage\\shell\\open\\command", L"\"C:\\浏览器\\b.exe\" \"%1\"");
  EXPECT_EQ(hyperlink::ReadBrowserCommand(root.get()), L"\"C:\\浏览器\\b.exe\" \"%1\"");

  ::SetEnvironmentVariableW(L"LOGORA_TEST_BROWSER_DIR", L"C:\\Browsers");
  root.SetDefault(L"LogoraPage\\shell\\open\\command", L"%LOGORA_TEST_BROWSER_DIR%\\b.exe %1", REG_EXPAND_SZ);
  EXPECT_EQ(hyperlink::ReadBrowserCommand(root.get()), L"C:\\Browsers\\b.exe %1");

  // Expansion far longer than the stored value.
  const std::wstring longFolder = L"C:\\" + std::wstring(600, L'd');
  ::SetEnvironmentVariableW(L"LOGORA_TEST_BROWSER_DIR", longFolder.c_str());
  EXPECT_EQ(hyperlink::ReadBrowserCommand(root.get()), longFolder + L"\\b.exe %1");
}

std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring ReadWholeFile(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring text(4096, L'\0');
  DWORD got = 0;
  ::ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &got, nullptr);
  ::CloseHandle(file);
  text.resize(got / sizeof(wchar_t));
  return text;
}

// The fallback end to end: the shell fails, the registered browser (a probe program) is started, and the
// address reaches it as one argument with every character intact, including those outside the ANSI code
// page and a trailing backslash that must not swallow the closing quote.
TEST(HyperlinkOpen, RegisteredBrowserReceivesTheAddressIntact) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"logora_hyperlink_probe_" +
                           std::to_wstring(::GetCurrentProcessId()) + L".txt";
  ::DeleteFileW(out.c_str());

  RegistryRoot root;
  root.SetDefault(L".htm", L"LogoraPage");
  root.SetDefault(L"LogoraPage\\shell\\open\\command",
                  L"\"" + ExecutableFolder() + L"hyperlink_probe.exe\" --out \"" + out + L"\" \"%1\"");

  Launcher launcher = hyperlink::SystemLauncher();
  launcher.shellExecute = [](const wchar_t*, const std::wstring&) -> hyperlink::OpenResult { return SE_ERR_NOASSOC; };
  launcher.browserCommand = [&] { return hyperlink::ReadBrowserCommand(root.get()); };

  const std::wstring address = L"https://ioslogora.example.org/论坛/ünïcode?q=中文&x=1 2\\";
  EXPECT_GT(OpenAddress(address, false, launcher), 32);

  std::wstring received;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (received.empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    received = ReadWholeFile(out);
  }
  ::DeleteFileW(out.c_str());
  EXPECT_EQ(received, address);
}

TEST(HyperlinkOpen, MissingBrowserProgramIsAFailure) {
  Launcher launcher = hyperlink::SystemLauncher();
  launcher.shellExecute = [](const wchar_t*, const std::wstring&) -> hyperlink::OpenResult { return SE_ERR_NOASSOC; };
  launcher.browserCommand = [] { return std::wstring(L"\"C:\\no such folder\\browser.exe\" \"%1\""); };
  EXPECT_LE(OpenAddress(L"https://a.example.org/", false, launcher), 32);
}

}  // namespace
