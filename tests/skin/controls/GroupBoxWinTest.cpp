// Group box skins on real windows: the frame line in the theme's border colour and the caption band erased
// over it.
#include <windows.h>

#include <gtest/gtest.h>

#include "ControlsFixture_win.h"
#include "skin/controls/SkinGroupBtnSB_win.h"

namespace {

constexpr COLORREF kBorder = RGB(64, 165, 213);  // "standard.border"

class GroupBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(hooked_.hooked()); }
  HWND Make(const wchar_t* text) {
    HWND hwnd = ::CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 10, 200, 100,
                                  parent_.hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(CSkinGroupBtnSB::Dress(hwnd, controls_test::TestTheme(), L"test.group"), nullptr);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return hwnd;
  }
  controls_test::HookedTest hooked_;
  controls_test::ParentWindow parent_{300, 200};
};

TEST_F(GroupBoxTest, AnEmptyCaptionStillDrawsTheFrameWithAnEightPixelBandErased) {
  HWND hwnd = Make(L"");
  const CSkinGroupBtnSB* skin = CSkinGroupBtnSB::FromWindow(hwnd);
  const RECT band = skin->CaptionBand();
  EXPECT_EQ(band.left, 8);
  EXPECT_EQ(band.right - band.left, 8);
  const int line_y = (band.bottom - band.top) / 2 + 1;  // top + h + 1
  const COLORREF background = ::GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 1, 50), kBorder) << "left edge of the frame";
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 30, line_y), kBorder) << "top line right of the band";
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 11, line_y), background) << "the band hides the line";
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 100, 50), background) << "inside the frame";
}

TEST_F(GroupBoxTest, ACaptionWidensTheBandAndSetTextRepaintsItAtOnce) {
  HWND hwnd = Make(L"Options");
  const CSkinGroupBtnSB* skin = CSkinGroupBtnSB::FromWindow(hwnd);
  const int narrow = skin->CaptionBand().right - skin->CaptionBand().left;
  EXPECT_GT(narrow, 8);
  ::SetWindowTextW(hwnd, L"Many more options");
  EXPECT_GT(skin->CaptionBand().right - skin->CaptionBand().left, narrow) << "painted within the call";
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 1, 50), kBorder);
}

}  // namespace
