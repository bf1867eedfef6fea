// The interception under Wine: a recording engine procedure stands in for a dressed button.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <psapi.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "skin/hook/ImportTable_win.h"
#include "skin/hook/Replacements_win.h"
#include "skin/hook/SkinDetours_win.h"
#include "support/FakeHookEngine_win.h"

namespace {

using skin::hook::CSkinDetours;
using testing_support::FakeDressedWindow;
using testing_support::FakeHookEngine;
using testing_support::kProbeMessage;
using testing_support::ProcedureLog;

void Log(const char* who) { ProcedureLog().push_back(who); }

// The exe's own subclasser.
WNDPROC g_exe_previous = nullptr;
LRESULT CALLBACK ExeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProbeMessage) Log("exe");
  return ::CallWindowProcW(g_exe_previous, hwnd, msg, wp, lp);
}
WNDPROC g_worker_previous = nullptr;
LRESULT CALLBACK WorkerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProbeMessage) Log("worker");
  return ::CallWindowProcW(g_worker_previous, hwnd, msg, wp, lp);
}
LRESULT CALLBACK ChainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == kProbeMessage) Log("comctl32");
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}
WNDPROC g_ansi_previous = nullptr;
LRESULT CALLBACK AnsiProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProbeMessage) Log("ansi");
  return ::CallWindowProcA(g_ansi_previous, hwnd, msg, wp, lp);
}

std::wstring TestDll(const wchar_t* kind) {
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path = exe;
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + L"hook_subclasser_" + kind + L".dll";
}

struct SubclasserDll {
  HMODULE module = nullptr;
  LONG_PTR (*subclass)(HWND, void (*)(const char*)) = nullptr;
  LONG_PTR (*read)(HWND) = nullptr;
  void* (*procedure)() = nullptr;
  explicit SubclasserDll(const wchar_t* kind) : module(::LoadLibraryW(TestDll(kind).c_str())) {
    if (!module) return;
    subclass = reinterpret_cast<decltype(subclass)>(reinterpret_cast<void*>(::GetProcAddress(module, "SubclassFromDll")));
    read = reinterpret_cast<decltype(read)>(reinterpret_cast<void*>(::GetProcAddress(module, "ReadProcedureFromDll")));
    procedure = reinterpret_cast<decltype(procedure)>(reinterpret_cast<void*>(::GetProcAddress(module, "DllProcedure")));
  }
  ~SubclasserDll() {
    if (module) ::FreeLibrary(module);
  }
  bool ok() const { return subclass && read && procedure; }
};

// Import slots of a module holding a real intercepted entry point, and those holding a replacement.
struct SlotCensus {
  int real = 0;
  int replaced = 0;
};
SlotCensus CensusOf(HMODULE module) {
  SlotCensus census;
  size_t count = 0;
  const skin::hook::Interception* table = skin::hook::Interceptions(count);
  skin::hook::ForEachImportSlot(skin::hook::ReadModuleImage(module), [&](void** slot) {
    for (size_t i = 0; i < count; ++i) {
      if (*slot == table[i].real) ++census.real;
      if (*slot == table[i].replacement) ++census.replaced;
    }
  });
  return census;
}

// Every import slot of every loaded module, with what it holds.
std::map<void**, void*> SnapshotImportSlots() {
  std::map<void**, void*> slots;
  HMODULE modules[512];
  DWORD needed = 0;
  ::EnumProcessModules(::GetCurrentProcess(), modules, sizeof(modules), &needed);
  for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i)
    skin::hook::ForEachImportSlot(skin::hook::ReadModuleImage(modules[i]),
                                  [&](void** slot) { slots[slot] = *slot; });
  return slots;
}

class SkinDetoursTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProcedureLog().clear();
    ::InitCommonControls();
    parent_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    button_ = ::CreateWindowExW(0, L"BUTTON", L"dressed", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 120, 30,
                                parent_, nullptr, nullptr, nullptr);
    ASSERT_TRUE(button_);
    original_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(button_, GWLP_WNDPROC));
  }
  void TearDown() override {
    detours_.Unhook();
    if (parent_) ::DestroyWindow(parent_);
  }
  void Probe() {
    ProcedureLog().clear();
    ::SendMessageW(button_, kProbeMessage, 0, 0);
  }
  LONG_PTR LiveProcedure() const { return CSkinDetours::Real().GetWindowLongPtrW(button_, GWLP_WNDPROC); }

  FakeHookEngine engine_;
  CSkinDetours detours_;
  HWND parent_ = nullptr;
  HWND button_ = nullptr;
  WNDPROC original_ = nullptr;
};

// Who subclasses the dressed button.
struct Subclasser {
  const char* name;
  const char* log_name;
  bool window_thread;
};

const Subclasser kSubclassers[] = {
    {"exe SetWindowLongPtrW", "exe", true},
    {"comctl32 SetWindowSubclass", "comctl32", true},
    {"DLL loaded before Hook", "dll", true},
    {"DLL loaded after Hook", "dll", true},
    {"worker thread", "worker", false},
};

TEST_F(SkinDetoursTest, EveryKindOfSubclasserGoesUnderTheEngineOnTheWindowThread) {
  for (const Subclasser& row : kSubclassers) {
    SCOPED_TRACE(row.name);
    const std::string name = row.name;
    TearDown();  // a fresh button for every row
    SetUp();
    std::unique_ptr<SubclasserDll> dll;
    if (name == "DLL loaded before Hook") dll = std::make_unique<SubclasserDll>(L"early");
    FakeDressedWindow* dressed = engine_.Dress(button_);
    ASSERT_TRUE(dressed);
    ASSERT_TRUE(detours_.Hook(engine_));
    if (name == "DLL loaded after Hook") dll = std::make_unique<SubclasserDll>(L"late");
    if (dll) {
      ASSERT_TRUE(dll->ok());
    }
    const WNDPROC engine_proc = dressed->chain.engine;

    LONG_PTR returned = 0;
    LONG_PTR installed = 0;
    if (name == "exe SetWindowLongPtrW") {
      returned = ::SetWindowLongPtrW(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ExeProc));
      g_exe_previous = reinterpret_cast<WNDPROC>(returned);
      installed = reinterpret_cast<LONG_PTR>(&ExeProc);
    } else if (name == "comctl32 SetWindowSubclass") {
      ASSERT_TRUE(::SetWindowSubclass(button_, &ChainProc, 1, 0));
      returned = reinterpret_cast<LONG_PTR>(original_);
    } else if (dll) {
      returned = dll->subclass(button_, &Log);
      installed = reinterpret_cast<LONG_PTR>(dll->procedure());
    } else {
      std::thread worker([&] {
        returned = ::SetWindowLongPtrW(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WorkerProc));
      });
      worker.join();
      g_worker_previous = reinterpret_cast<WNDPROC>(returned);
      installed = reinterpret_cast<LONG_PTR>(&WorkerProc);
    }

    Probe();
    if (row.window_thread) {
      // The subclasser saw the procedure under the engine's, and went under it.
      EXPECT_EQ(returned, reinterpret_cast<LONG_PTR>(original_));
      EXPECT_EQ(ProcedureLog(), (std::vector<std::string>{"engine", row.log_name}));
      EXPECT_EQ(LiveProcedure(), reinterpret_cast<LONG_PTR>(engine_proc));
      const LONG_PTR read = dll ? dll->read(button_) : ::GetWindowLongPtrW(button_, GWLP_WNDPROC);
      EXPECT_EQ(read, reinterpret_cast<LONG_PTR>(dressed->chain.previous));
      if (installed) {
        EXPECT_EQ(read, installed);
      } else {
        EXPECT_NE(read, reinterpret_cast<LONG_PTR>(original_));
      }
    } else {
      // Another thread gets the platform's own answer: it replaced the live procedure, the engine's.
      EXPECT_EQ(returned, reinterpret_cast<LONG_PTR>(engine_proc));
      EXPECT_EQ(LiveProcedure(), installed);
      EXPECT_EQ(dressed->chain.previous, original_);
      EXPECT_EQ(ProcedureLog(), (std::vector<std::string>{"worker", "engine"}));
    }
    if (name == "comctl32 SetWindowSubclass") ::RemoveWindowSubclass(button_, &ChainProc, 1);
    TearDown();
    dll.reset();
  }
}

TEST_F(SkinDetoursTest, LeavingTheChainUnderTheEngineKeepsTheEngineFirst) {
  FakeDressedWindow* dressed = engine_.Dress(button_);
  ASSERT_TRUE(dressed);
  ASSERT_TRUE(detours_.Hook(engine_));
  g_exe_previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ExeProc)));
  ASSERT_TRUE(::SetWindowSubclass(button_, &ChainProc, 1, 0));
  Probe();
  EXPECT_EQ(ProcedureLog(), (std::vector<std::string>{"engine", "comctl32", "exe"}));

  // comctl32 puts back what it found when its last subclass leaves; the exe unsubclasses the classic way.
  ASSERT_TRUE(::RemoveWindowSubclass(button_, &ChainProc, 1));
  Probe();
  EXPECT_EQ(ProcedureLog(), (std::vector<std::string>{"engine", "exe"}));
  ASSERT_EQ(::GetWindowLongPtrW(button_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ExeProc));
  ::SetWindowLongPtrW(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_exe_previous));
  Probe();
  EXPECT_EQ(ProcedureLog(), (std::vector<std::string>{"engine"}));
  EXPECT_EQ(dressed->chain.previous, original_);
  EXPECT_EQ(LiveProcedure(), reinterpret_cast<LONG_PTR>(dressed->chain.engine));
}

TEST_F(SkinDetoursTest, AnAnsiSubclasserGoesUnderTheEngineAndReadsItsOwnForm) {
  FakeDressedWindow* dressed = engine_.Dress(button_);
  ASSERT_TRUE(dressed);
  ASSERT_TRUE(detours_.Hook(engine_));
  g_ansi_previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsiProc)));
  ASSERT_TRUE(g_ansi_previous);
  Probe();
  EXPECT_EQ(ProcedureLog(), (std::vector<std::string>{"engine", "ansi"}));
  EXPECT_EQ(::GetWindowLongPtrA(button_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AnsiProc));
  EXPECT_EQ(LiveProcedure(), reinterpret_cast<LONG_PTR>(dressed->chain.engine));
  // Text still reaches the button through both procedures (the ANSI one converts it, as it would anyway).
  ::SetWindowTextW(button_, L"Close");
  wchar_t text[8] = {};
  ::GetWindowTextW(button_, text, 8);
  EXPECT_STREQ(text, L"Close");
}

TEST_F(SkinDetoursTest, UndressedWindowsAndOtherIndicesGetTheRealCall) {
  ASSERT_TRUE(detours_.Hook(engine_));
  EXPECT_EQ(::GetWindowLongPtrW(button_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(original_));
  g_exe_previous = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ExeProc)));
  EXPECT_EQ(g_exe_previous, original_);
  EXPECT_EQ(LiveProcedure(), reinterpret_cast<LONG_PTR>(&ExeProc));
  FakeDressedWindow* dressed = engine_.Dress(button_);
  ASSERT_TRUE(dressed);
  ::SetWindowLongPtrW(button_, GWLP_USERDATA, 1234);
  EXPECT_EQ(CSkinDetours::Real().GetWindowLongPtrW(button_, GWLP_USERDATA), 1234);
  EXPECT_EQ(::GetWindowLongPtrW(button_, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
#ifdef _WIN64
  // The Long forms have no procedure index on x64: the platform's refusal comes through unchanged.
  EXPECT_EQ(::GetWindowLongW(button_, -4), 0);
#endif
}

TEST_F(SkinDetoursTest, UnhookPutsEverySlotBack) {
  const std::map<void**, void*> before = SnapshotImportSlots();
  HMODULE exe = ::GetModuleHandleW(nullptr);
  HMODULE comctl32 = ::GetModuleHandleW(L"comctl32.dll");
  ASSERT_TRUE(comctl32);
  ASSERT_GT(CensusOf(exe).real, 0);

  ASSERT_TRUE(detours_.Hook(engine_));
  SubclasserDll late(L"late");
  ASSERT_TRUE(late.ok());
  for (HMODULE m : {exe, comctl32, late.module}) {
    SlotCensus census = CensusOf(m);
    EXPECT_EQ(census.real, 0);
    EXPECT_GT(census.replaced, 0);
  }
  // Never user32 and what lies under it.
  for (const wchar_t* name : {L"user32.dll", L"gdi32.dll", L"ntdll.dll", L"kernel32.dll"})
    if (HMODULE m = ::GetModuleHandleW(name)) {
      EXPECT_EQ(CensusOf(m).replaced, 0) << name;
    }
  EXPECT_GT(detours_.PatchedSlotCount(), 0u);

  detours_.Unhook();
  EXPECT_EQ(detours_.PatchedSlotCount(), 0u);
  const std::map<void**, void*> after = SnapshotImportSlots();
  int compared = 0;
  for (const auto& [slot, value] : before) {
    auto it = after.find(slot);
    if (it == after.end()) continue;
    EXPECT_EQ(it->second, value);
    ++compared;
  }
  EXPECT_GT(compared, 100);
  EXPECT_EQ(CensusOf(late.module).replaced, 0);
  EXPECT_GT(CensusOf(late.module).real, 0);

  // Hooking again after an Unhook works the same way.
  ASSERT_TRUE(detours_.Hook(engine_));
  EXPECT_EQ(CensusOf(exe).real, 0);
}

TEST_F(SkinDetoursTest, AModuleUnloadedWhileHookedIsForgotten) {
  ASSERT_TRUE(detours_.Hook(engine_));
  const size_t before = detours_.PatchedSlotCount();
  {
    SubclasserDll late(L"late");
    ASSERT_TRUE(late.ok());
    EXPECT_GT(detours_.PatchedSlotCount(), before);
  }
  EXPECT_EQ(detours_.PatchedSlotCount(), before);
  detours_.Unhook();  // writes nothing into the unloaded module
  EXPECT_EQ(detours_.PatchedSlotCount(), 0u);
}

TEST_F(SkinDetoursTest, InstallingTheEngineTwiceKeepsTheProcedureUnderIt) {
  FakeDressedWindow* dressed = engine_.Dress(button_);
  ASSERT_TRUE(dressed);
  EXPECT_TRUE(skin::hook::InstallEngineProcedure(button_, dressed->chain));
  EXPECT_EQ(dressed->chain.previous, original_);
  Probe();
  EXPECT_EQ(ProcedureLog(), (std::vector<std::string>{"engine"}));
}

TEST_F(SkinDetoursTest, OnlyOneInterceptionAtATime) {
  ASSERT_TRUE(detours_.Hook(engine_));
  EXPECT_FALSE(detours_.Hook(engine_));
  CSkinDetours second;
  EXPECT_FALSE(second.Hook(engine_));
  EXPECT_TRUE(detours_.IsHooked());
}

TEST_F(SkinDetoursTest, GetProcAddressAnswersTheReplacementWhileHooked) {
  FakeDressedWindow* dressed = engine_.Dress(button_);
  ASSERT_TRUE(dressed);
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  ASSERT_TRUE(detours_.Hook(engine_));
  using Getter = LONG_PTR(WINAPI*)(HWND, int);
  auto bound = reinterpret_cast<Getter>(reinterpret_cast<void*>(::GetProcAddress(user32, "GetWindowLongPtrW")));
  ASSERT_TRUE(bound);
  EXPECT_NE(reinterpret_cast<void*>(bound), reinterpret_cast<void*>(CSkinDetours::Real().GetWindowLongPtrW));
  EXPECT_EQ(bound(button_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(original_));
  // Names that are not intercepted are the platform's own.
  EXPECT_EQ(reinterpret_cast<void*>(::GetProcAddress(user32, "IsWindow")), reinterpret_cast<void*>(&::IsWindow));

  detours_.Unhook();
  EXPECT_EQ(reinterpret_cast<void*>(::GetProcAddress(user32, "GetWindowLongPtrW")),
            reinterpret_cast<void*>(CSkinDetours::Real().GetWindowLongPtrW));
  // A replacement handed out earlier still works, as the real call.
  EXPECT_EQ(bound(button_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(dressed->chain.engine));
}

TEST_F(SkinDetoursTest, DressedWindowsAnswerPaintingRegionsAndScrollCalls) {
  FakeDressedWindow* dressed = engine_.Register(button_);
  // No GetDC before Hook() here: the compiler may keep an import's address loaded once per function.
  HDC memory = ::CreateCompatibleDC(nullptr);
  ASSERT_TRUE(detours_.Hook(engine_));

  dressed->paint_dc = memory;
  PAINTSTRUCT paint{};
  EXPECT_EQ(::BeginPaint(button_, &paint), memory);
  EXPECT_TRUE(::EndPaint(button_, &paint));
  EXPECT_EQ(::GetDC(button_), memory);
  EXPECT_EQ(dressed->begin_paints, 1);
  EXPECT_EQ(dressed->end_paints, 1);
  // No answer: the real call.
  dressed->paint_dc = nullptr;
  HDC real = ::GetDC(button_);
  EXPECT_TRUE(real);
  EXPECT_NE(real, memory);
  EXPECT_EQ(::ReleaseDC(button_, real), 1);

  // A swallowed region is deleted, as the platform would have owned it.
  dressed->swallow_region = true;
  HRGN region = ::CreateRectRgn(0, 0, 5, 5);
  EXPECT_EQ(::SetWindowRgn(button_, region, FALSE), 1);
  EXPECT_EQ(::GetObjectType(region), 0u);
  HRGN none = ::CreateRectRgn(0, 0, 5, 5);
  EXPECT_EQ(::GetWindowRgn(button_, none), ERROR);
  ::DeleteObject(none);

  dressed->scroll_pos = 42;
  EXPECT_EQ(::GetScrollPos(button_, SB_VERT), 42);
  EXPECT_EQ(::GetScrollPos(parent_, SB_VERT), 0);

  // WindowFromDC names the window a handed-out memory context paints for.
  EXPECT_EQ(::WindowFromDC(memory), nullptr);
  engine_.memory_dc = memory;
  engine_.memory_dc_window = button_;
  EXPECT_EQ(::WindowFromDC(memory), button_);
  engine_.memory_dc = nullptr;
  EXPECT_EQ(::WindowFromDC(memory), nullptr);
  ::DeleteDC(memory);
}

TEST_F(SkinDetoursTest, OtherThreadsNeverAskTheEngine) {
  FakeDressedWindow* dressed = engine_.Register(button_);
  dressed->scroll_pos = 42;
  ASSERT_TRUE(detours_.Hook(engine_));
  EXPECT_EQ(::GetScrollPos(button_, SB_VERT), 42);
  const long lookups = engine_.lookups;
  int from_worker = -1;
  std::thread worker([&] { from_worker = ::GetScrollPos(button_, SB_VERT); });
  worker.join();
  EXPECT_EQ(from_worker, 0);
  EXPECT_EQ(engine_.lookups, lookups);
}

TEST_F(SkinDetoursTest, ComboDropDownListAppearsWithoutAnimation) {
  HWND combo = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 50, 120, 100,
                                 parent_, nullptr, nullptr, nullptr);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
  HWND list = info.hwndList;
  ASSERT_TRUE(list);
  ASSERT_FALSE(::IsWindowVisible(list));
  ASSERT_TRUE(detours_.Hook(engine_));
  EXPECT_TRUE(::AnimateWindow(list, 2000, AW_SLIDE | AW_VER_POSITIVE));  // would take 2 s animated
  EXPECT_TRUE(::IsWindowVisible(list));
  EXPECT_TRUE(::AnimateWindow(list, 2000, AW_SLIDE | AW_HIDE));
  EXPECT_FALSE(::IsWindowVisible(list));
}

// The open-file dialog loads comdlg32 and its helpers after Hook(): they are patched as they load, and
// the dialog works.
struct OpenDialogWatch {
  const CSkinDetours* detours = nullptr;
  std::vector<std::wstring> seen;
} g_watch;

UINT_PTR CALLBACK OpenDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == CDN_INITDONE) {
    std::vector<std::wstring>* seen = &g_watch.seen;
    HMODULE modules[512];
    DWORD needed = 0;
    ::EnumProcessModules(::GetCurrentProcess(), modules, sizeof(modules), &needed);
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
      wchar_t path[MAX_PATH] = {};
      ::GetModuleFileNameW(modules[i], path, MAX_PATH);
      std::wstring name = path;
      name = name.substr(name.find_last_of(L"\\/") + 1);
      if (!g_watch.detours->Covers(modules[i])) continue;
      SlotCensus census = CensusOf(modules[i]);
      if (census.real > 0) seen->push_back(L"unpatched " + name);
      if (census.replaced > 0) seen->push_back(L"patched " + name);
    }
    ::PostMessageW(::GetParent(dialog), WM_COMMAND, IDCANCEL, 0);
  }
  return 0;
}

TEST_F(SkinDetoursTest, OpenFileDialogLoadedAfterHookWorks) {
  ASSERT_EQ(::GetModuleHandleW(L"comdlg32.dll"), nullptr);
  ASSERT_TRUE(detours_.Hook(engine_));
  HMODULE comdlg32 = ::LoadLibraryW(L"comdlg32.dll");
  ASSERT_TRUE(comdlg32);
  auto open = reinterpret_cast<BOOL(WINAPI*)(OPENFILENAMEW*)>(
      reinterpret_cast<void*>(::GetProcAddress(comdlg32, "GetOpenFileNameW")));
  auto error = reinterpret_cast<DWORD(WINAPI*)()>(
      reinterpret_cast<void*>(::GetProcAddress(comdlg32, "CommDlgExtendedError")));
  ASSERT_TRUE(open && error);

  g_watch.detours = &detours_;
  const std::vector<std::wstring>& seen = g_watch.seen;
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = parent_;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST;
  ofn.lpfnHook = &OpenDialogHook;
  EXPECT_FALSE(open(&ofn));
  EXPECT_EQ(error(), 0u);  // cancelled, not failed

  bool comdlg32_patched = false;
  for (const std::wstring& entry : seen) {
    EXPECT_EQ(entry.rfind(L"unpatched ", 0), std::wstring::npos) << std::string(entry.begin(), entry.end());
    if (entry == L"patched comdlg32.dll") comdlg32_patched = true;
  }
  EXPECT_TRUE(comdlg32_patched);
  EXPECT_GT(seen.size(), 3u);  // comdlg32 brings shell32 and friends
  ::FreeLibrary(comdlg32);
}

}  // namespace
