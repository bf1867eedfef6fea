// fw::Wnd subclassing: it shares comctl32's subclass chain with the plain presentation, and on a window the
// skin engine dresses it always runs under the engine's procedure.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/DataExchange.h"
#include "framework/Wnd.h"
#include "skin/hook/SkinDetours_win.h"
#include "support/FakeHookEngine_win.h"

namespace {

using testing_support::FakeDressedWindow;
using testing_support::FakeHookEngine;
using testing_support::kProbeMessage;
using testing_support::ProcedureLog;

constexpr int kButtonId = 1001;

class ProbeControl : public fw::Wnd {
 protected:
  bool OnWndMsg(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == kProbeMessage) ProcedureLog().push_back("framework");
    return false;
  }
};

// The plain presentation's way of subclassing.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == kProbeMessage) ProcedureLog().push_back("plain");
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

class WndSubclassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::InitCommonControls();
    ProcedureLog().clear();
    parent_ = ::CreateWindowExW(0, L"STATIC", L"dialog", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    button_ = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, parent_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), nullptr, nullptr);
    ASSERT_TRUE(button_);
    original_ = CSkinDetoursReal(button_);
  }
  void TearDown() override {
    detours_.Unhook();
    ::DestroyWindow(parent_);
  }
  static LONG_PTR CSkinDetoursReal(HWND hwnd) {
    return skin::hook::CSkinDetours::Real().GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  }
  std::vector<std::string> Probe() {
    ProcedureLog().clear();
    ::SendMessageW(button_, kProbeMessage, 0, 0);
    return ProcedureLog();
  }
  bool Attach() {
    fw::DataExchange dx(parent_, false);
    return fw::DDX_Control(dx, kButtonId, control_);
  }

  FakeHookEngine engine_;
  skin::hook::CSkinDetours detours_;
  ProbeControl control_;
  HWND parent_ = nullptr;
  HWND button_ = nullptr;
  LONG_PTR original_ = 0;
};

using Log = std::vector<std::string>;

TEST_F(WndSubclassTest, AttachedThenDressedRunsTheEngineFirst) {
  ASSERT_TRUE(Attach());
  ASSERT_TRUE(detours_.Hook(engine_));
  FakeDressedWindow* dressed = engine_.Dress(button_);
  ASSERT_TRUE(dressed);
  EXPECT_EQ(Probe(), (Log{"engine", "framework"}));
  EXPECT_EQ(::GetWindowLongPtrW(button_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(dressed->chain.previous));

  // The framework leaves; the engine stays first and the button's own procedure is under it again.
  EXPECT_EQ(control_.UnsubclassWindow(), button_);
  EXPECT_EQ(Probe(), (Log{"engine"}));
  EXPECT_EQ(CSkinDetoursReal(button_), reinterpret_cast<LONG_PTR>(dressed->chain.engine));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(dressed->chain.previous), original_);
}

TEST_F(WndSubclassTest, DressedThenAttachedRunsTheEngineFirst) {
  ASSERT_TRUE(detours_.Hook(engine_));
  FakeDressedWindow* dressed = engine_.Dress(button_);
  ASSERT_TRUE(dressed);
  ASSERT_TRUE(Attach());
  EXPECT_EQ(Probe(), (Log{"engine", "framework"}));
  EXPECT_EQ(CSkinDetoursReal(button_), reinterpret_cast<LONG_PTR>(dressed->chain.engine));
  // Reflection still finds the control's object.
  EXPECT_EQ(fw::Wnd::FromHandle(button_), &control_);
  EXPECT_EQ(control_.UnsubclassWindow(), button_);
  EXPECT_EQ(Probe(), (Log{"engine"}));
}

TEST_F(WndSubclassTest, FrameworkAndPlainPresentationLeaveInEitherOrder) {
  for (bool framework_first : {true, false}) {
    SCOPED_TRACE(framework_first ? "framework leaves first" : "plain leaves first");
    TearDown();
    SetUp();
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(::SetWindowSubclass(button_, &PlainProc, 7, 0));
    EXPECT_EQ(Probe(), (Log{"plain", "framework"}));
    if (framework_first) {
      control_.UnsubclassWindow();
      EXPECT_EQ(Probe(), (Log{"plain"}));
      ::RemoveWindowSubclass(button_, &PlainProc, 7);
    } else {
      ::RemoveWindowSubclass(button_, &PlainProc, 7);
      EXPECT_EQ(Probe(), (Log{"framework"}));
      control_.UnsubclassWindow();
    }
    EXPECT_EQ(Probe(), Log{});
    EXPECT_EQ(CSkinDetoursReal(button_), original_);
  }
}

TEST_F(WndSubclassTest, DestroyingTheWindowDetachesTheObject) {
  ASSERT_TRUE(detours_.Hook(engine_));
  ASSERT_TRUE(engine_.Dress(button_));
  ASSERT_TRUE(Attach());
  ::DestroyWindow(button_);
  EXPECT_EQ(control_.GetSafeHwnd(), nullptr);
  // A new window can be attached to the same object afterwards.
  button_ = ::CreateWindowExW(0, L"BUTTON", L"again", WS_CHILD, 0, 0, 10, 10, parent_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), nullptr, nullptr);
  ASSERT_TRUE(Attach());
  EXPECT_EQ(Probe(), (Log{"framework"}));
}

}  // namespace
