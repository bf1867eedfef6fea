// Push button skins on real windows, driven with SendInput where the pointer matters (the leave notification
// follows the real pointer), with the interception hooked.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "ControlsFixture_win.h"
#include "skin/SkinIds.h"
#include "skin/controls/SkinButtonSB_win.h"
#include "skin/items/ItemLayout.h"

namespace {

constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kOver = RGB(0, 200, 0);
constexpr COLORREF kDown = RGB(0, 0, 200);
constexpr COLORREF kDisable = RGB(100, 100, 100);

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hooked_.hooked());
    MovePointer(280, 280);
  }

  HWND MakeButton(const wchar_t* id, const wchar_t* text = L"") {
    HWND button = ::CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 24,
                                    parent_.hwnd(), reinterpret_cast<HMENU>(101), ::GetModuleHandleW(nullptr),
                                    nullptr);
    EXPECT_NE(CSkinButtonSB::Dress(button, controls_test::TestTheme(), id), nullptr);
    Settle();
    return button;
  }
  // Moves the real pointer to parent client coordinates.
  void MovePointer(int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(parent_.hwnd(), &p);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(p.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(p.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
    Settle();
  }
  void Click(DWORD flag) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    ::SendInput(1, &input, sizeof(input));
    Settle();
  }
  // Input reaches the queue through the X server: pump for a while.
  static void Settle() {
    for (int i = 0; i < 10; ++i) {
      controls_test::Pump();
      ::Sleep(15);
    }
    controls_test::Pump();
  }
  static COLORREF Face(HWND button) { return controls_test::ScreenPixel(button, 40, 4); }
  int Commands() const {
    int n = 0;
    for (const auto& note : parent_.notifications)
      if (note.message == WM_COMMAND && note.code == 101) ++n;
    return n;
  }
  // The ids of the text items the host state shows.
  static std::vector<std::wstring> ShownTexts(const CSkinButtonSB& skin) {
    std::vector<std::wstring> ids;
    for (const auto& item : skin.Items())
      if (item->Kind() == skin::ItemKind::kText && skin::ItemShownInState(item->StateMask(), skin.HostState()))
        ids.push_back(item->Id());
    return ids;
  }

  controls_test::HookedTest hooked_;
  controls_test::ParentWindow parent_{300, 300};
};

TEST_F(ButtonTest, HoverShowsOverPressShowsDownAtOnceLeaveGoesBackToNormal) {
  HWND button = MakeButton(L"test.button");
  CSkinButtonSB* skin = CSkinButtonSB::FromWindow(button);
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(Face(button), kNormal);
  EXPECT_EQ(skin->TooltipWindow(), nullptr);

  MovePointer(30, 20);
  EXPECT_TRUE(skin->Over());
  EXPECT_EQ(Face(button), kOver);
  ASSERT_NE(skin->TooltipWindow(), nullptr) << "made on the first hover";
  TTTOOLINFOW tool{sizeof(tool)};
  wchar_t text[80] = {};
  tool.hwnd = button;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = text;
  ::SendMessageW(skin->TooltipWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"关闭");

  Click(MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(skin->Pressed());
  EXPECT_EQ(Face(button), kDown) << "before the release";
  EXPECT_EQ(skin->TooltipWindow(), nullptr) << "a press closes the tooltip";
  Click(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(Commands(), 1);
  EXPECT_FALSE(skin->Pressed());

  MovePointer(200, 200);
  // The platform notices the pointer left on its hover timer (400 ms by default).
  for (int i = 0; i < 100 && skin->Over(); ++i) Settle();
  EXPECT_FALSE(skin->Over());
  EXPECT_EQ(Face(button), kNormal);
}

TEST_F(ButtonTest, DisabledShowsTheDisablePictureAndTheDisableTextItem) {
  HWND button = MakeButton(L"test.button", L"Go");
  ::EnableWindow(button, FALSE);
  Settle();
  const CSkinButtonSB* skin = CSkinButtonSB::FromWindow(button);
  EXPECT_EQ(skin->DisplayState(), CSkinButtonSB::kDisabled);
  EXPECT_EQ(Face(button), kDisable);
  EXPECT_EQ(ShownTexts(*skin), std::vector<std::wstring>{L"item.text.disable"});
  ::EnableWindow(button, TRUE);
  Settle();
  EXPECT_EQ(ShownTexts(*skin), std::vector<std::wstring>{L"item.text"});
}

TEST_F(ButtonTest, StateChangesNeverLeaveNativePixelsAndFocusWithoutAPictureShowsNormal) {
  HWND button = MakeButton(L"test.button");
  const CSkinButtonSB* skin = CSkinButtonSB::FromWindow(button);
  ::SetFocus(button);
  Settle();
  EXPECT_EQ(skin->DisplayState(), CSkinButtonSB::kFocused);
  EXPECT_EQ(Face(button), kNormal);
  ::SetWindowTextW(button, L"changed");
  ::SendMessageW(button, BM_SETSTATE, TRUE, 0);
  Settle();
  // Everywhere away from the caption the skin's picture shows: no native face or focus rectangle.
  const POINT probes[] = {{1, 1}, {58, 1}, {1, 22}, {58, 22}, {3, 12}, {56, 12}};
  for (const POINT& p : probes) EXPECT_EQ(controls_test::ScreenPixel(button, p.x, p.y), kNormal) << p.x << "," << p.y;
  ::SendMessageW(button, BM_SETSTATE, FALSE, 0);
  ::SetFocus(parent_.hwnd());
  Settle();
  for (const POINT& p : probes) EXPECT_EQ(controls_test::ScreenPixel(button, p.x, p.y), kNormal) << p.x << "," << p.y;
  EXPECT_EQ(::SendMessageW(button, WM_ERASEBKGND, reinterpret_cast<WPARAM>(::GetDC(button)), 0), 1);
}

TEST_F(ButtonTest, AnEventItemTakingTheReleaseSuppressesTheClickElsewhereOneCommand) {
  HWND button = MakeButton(L"test.eventbutton");
  struct Case {
    int x;
    int commands;
  } cases[] = {{5, 0}, {40, 1}};  // the event item covers x 0..20
  for (const Case& c : cases) {
    parent_.notifications.clear();
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, 12));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(c.x, 12));
    Settle();
    EXPECT_EQ(Commands(), c.commands) << c.x;
    EXPECT_EQ(::GetCapture(), nullptr);
  }
}

}  // namespace
