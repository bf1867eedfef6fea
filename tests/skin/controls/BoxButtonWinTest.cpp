// Radio buttons and check boxes on real windows: the box picture and the host state bit by check state,
// enabled state and the pointer, and the text-on-the-left layout.
#include <windows.h>

#include <gtest/gtest.h>

#include "ControlsFixture_win.h"
#include "skin/controls/SkinCheckBtnSB_win.h"
#include "skin/controls/SkinRadioBtnSB_win.h"

namespace {

class BoxButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(hooked_.hooked()); }

  HWND Make(DWORD kind, DWORD extra = 0) {
    HWND hwnd = ::CreateWindowExW(0, L"BUTTON", L"Option", WS_CHILD | WS_VISIBLE | kind | extra, 10, 10, 120, 21,
                                  parent_.hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    CSkinBoxButton* skin = kind == BS_AUTORADIOBUTTON
                               ? CSkinRadioBtnSB::Dress(hwnd, controls_test::TestTheme(), L"test.radio")
                               : CSkinCheckBtnSB::Dress(hwnd, controls_test::TestTheme(), L"test.check");
    EXPECT_NE(skin, nullptr);
    controls_test::Pump();
    return hwnd;
  }
  // Repaints at once and returns the skin's state after that paint.
  static CSkinBoxButton* Painted(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return CSkinBoxButton::FromWindow(hwnd);
  }

  controls_test::HookedTest hooked_;
  controls_test::ParentWindow parent_{300, 200};
};

TEST_F(BoxButtonTest, HostStateBitFollowsCheckEnabledAndPointer) {
  struct Row {
    DWORD kind;
    bool checked, enabled, over;
    uint32_t bit;
    COLORREF box;  // the centre-left pixel of the box picture (outside the check mark)
  } rows[] = {
      {BS_AUTOCHECKBOX, true, false, false, 16, RGB(100, 140, 100)},   // "checkeddisable"
      {BS_AUTOCHECKBOX, false, true, true, 256, RGB(150, 200, 250)},   // "uncheckover"
      {BS_AUTORADIOBUTTON, true, true, false, 32, RGB(200, 250, 200)},
      {BS_AUTORADIOBUTTON, false, true, false, 128, RGB(200, 200, 200)},
      {BS_AUTORADIOBUTTON, true, true, true, 64, RGB(150, 250, 150)},
      {BS_AUTOCHECKBOX, false, false, false, 8, RGB(120, 120, 120)},
  };
  for (const Row& r : rows) {
    HWND hwnd = Make(r.kind);
    ::SendMessageW(hwnd, BM_SETCHECK, r.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(hwnd, r.enabled);
    if (r.over) {
      // The pointer's arrival, as the platform reports it; the leave would follow the real pointer.
      ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    }
    const CSkinBoxButton* skin = Painted(hwnd);
    EXPECT_EQ(skin->HostState(), r.bit) << r.kind << r.checked << r.enabled << r.over;
    EXPECT_EQ(controls_test::ScreenPixel(hwnd, 1, 10), r.box) << r.kind << r.checked << r.enabled << r.over;
    ::DestroyWindow(hwnd);
  }
}

TEST_F(BoxButtonTest, IndeterminateCheckBoxAndTextOnTheLeftPutTheBoxFlushRight) {
  HWND hwnd = Make(BS_AUTO3STATE, BS_LEFTTEXT);
  ::SendMessageW(hwnd, BM_SETCHECK, BST_INDETERMINATE, 0);
  Painted(hwnd);
  // A 13-pixel box at the right edge, vertically centred in 21 pixels: x 107..120, y 4..17.
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 108, 10), RGB(250, 160, 60));
  EXPECT_NE(controls_test::ScreenPixel(hwnd, 1, 10), RGB(250, 160, 60));
  // State changes never leave the platform's own box on screen.
  ::SetFocus(hwnd);
  ::SendMessageW(hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
  controls_test::Pump();
  Painted(hwnd);
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 108, 10), RGB(220, 220, 150)) << "the unchecked focus picture";
}

}  // namespace
