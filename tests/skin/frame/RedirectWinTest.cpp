// Paint and device-context redirection on a test control that paints itself red with a magenta square:
// mode 1 keeps its painting off the screen, mode 0 composites it without the key colour, modes 2 and 3 clip;
// WindowFromDC names the control for a memory context it was handed and nothing after its release.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "FrameFixture_win.h"
#include "framework/Handles.h"
#include "skin/PaintRedirect_win.h"
#include "skin/SkinIds.h"
#include "skin/hook/RealFunctions_win.h"

using namespace frame_test;
using Redirect = skin::CSkinPaintRedirect;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// What the control saw during its last paint or device-context use.
HDC g_painted_dc = nullptr;
HWND g_named_while_painting = nullptr;
bool g_use_get_dc = false;

void PaintRedAndKey(HDC dc) {
  fw::UniqueBrush red(::CreateSolidBrush(kRed)), magenta(::CreateSolidBrush(kMagenta));
  RECT all{0, 0, 60, 40}, square{0, 0, 10, 10};
  ::FillRect(dc, &all, red.get());
  ::FillRect(dc, &square, magenta.get());
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);  // through the interception, as any control's painting
    g_painted_dc = dc;
    g_named_while_painting = ::WindowFromDC(dc);
    PaintRedAndKey(dc);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_USER && g_use_get_dc) {
    HDC dc = ::GetDC(hwnd);
    g_painted_dc = dc;
    g_named_while_painting = ::WindowFromDC(dc);
    PaintRedAndKey(dc);
    ::ReleaseDC(hwnd, dc);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

class RedirectedControl : public ::testing::Test {
 protected:
  void SetUp() override {
    Manager();
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ControlProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LogoraRedirectTestControl";
    ::RegisterClassW(&wc);
    WNDCLASSW pc{};
    pc.lpfnWndProc = &::DefWindowProcW;
    pc.hInstance = wc.hInstance;
    pc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    pc.lpszClassName = L"LogoraRedirectTestParent";
    ::RegisterClassW(&pc);
    parent_ = ::CreateWindowExW(0, pc.lpszClassName, L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 500, 300, 120,
                                80, nullptr, nullptr, wc.hInstance, nullptr);
    control_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 10, 10, 60, 40, parent_, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_EQ(Manager().Attach(control_, L"standard.button", L"button",
                               skin::CSkinWndManager::Registry::kControls,
                               [](HWND w) { return std::make_unique<CSkinBase>(w); }),
              1);
    skin_ = Manager().SkinOf(control_);
    Pump();
  }
  void TearDown() override {
    ::DestroyWindow(parent_);
    Pump();
  }
  // Fills the control on screen with green, bypassing the skin, then has it paint.
  void Repaint() {
    {
      HDC dc = skin::hook::Real().GetDC(control_);
      fw::UniqueBrush green(::CreateSolidBrush(kGreen));
      RECT all{0, 0, 60, 40};
      ::FillRect(dc, &all, green.get());
      skin::hook::Real().ReleaseDC(control_, dc);
    }
    ::InvalidateRect(control_, nullptr, FALSE);
    ::UpdateWindow(control_);
  }
  COLORREF Screen(int x, int y) {
    HDC dc = skin::hook::Real().GetDC(control_);
    const COLORREF c = ::GetPixel(dc, x, y);
    skin::hook::Real().ReleaseDC(control_, dc);
    return c;
  }
  HWND parent_ = nullptr;
  HWND control_ = nullptr;
  CSkinBase* skin_ = nullptr;
};

}  // namespace

TEST_F(RedirectedControl, WithoutARecordTheControlPaintsTheScreen) {
  Repaint();
  EXPECT_EQ(Screen(30, 20), kRed);
  EXPECT_EQ(Screen(5, 5), kMagenta);
}

TEST_F(RedirectedControl, DiscardModeKeepsThePaintingOffTheScreen) {
  Redirect* record = skin_->PaintRedirect();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(::GetPropW(control_, skin::kPropPaintRedirect), record);
  record->mode = Redirect::kDiscard;
  Repaint();
  EXPECT_EQ(Screen(30, 20), kGreen);
  EXPECT_EQ(Screen(5, 5), kGreen);
  EXPECT_NE(g_painted_dc, nullptr);
  EXPECT_EQ(Manager().MemoryDCCount(), 0u);
}

TEST_F(RedirectedControl, CompositeModeLeavesOutTheKeyColour) {
  Redirect* record = skin_->PaintRedirect();
  record->mode = Redirect::kComposite;
  record->key = kMagenta;
  Repaint();
  EXPECT_EQ(Screen(30, 20), kRed);
  // The keyed square shows the control's background: its parent is not dressed, so the button face.
  EXPECT_EQ(Screen(5, 5), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(RedirectedControl, InsideAndOutsideModesClipToTheRectangle) {
  struct Case {
    int mode;
    COLORREF inside, outside;
  } cases[] = {{Redirect::kInside, kRed, kGreen}, {Redirect::kOutside, kGreen, kRed}};
  Redirect* record = skin_->PaintRedirect();
  record->rect = RECT{20, 10, 39, 29};  // one pixel wider and taller when clipped: 20..40 x 10..30
  for (const Case& c : cases) {
    record->mode = c.mode;
    Repaint();
    EXPECT_EQ(Screen(30, 20), c.inside) << c.mode;
    EXPECT_EQ(Screen(39, 29), c.inside) << c.mode;
    EXPECT_EQ(Screen(50, 35), c.outside) << c.mode;
    EXPECT_EQ(Screen(19, 20), c.outside) << c.mode;
  }
}

TEST_F(RedirectedControl, WindowFromDCNamesTheControlOnlyWhileItsMemoryContextIsHandedOut) {
  skin_->PaintRedirect()->mode = Redirect::kComposite;
  Repaint();
  ASSERT_NE(g_painted_dc, nullptr);
  EXPECT_EQ(g_named_while_painting, control_);
  EXPECT_NE(::WindowFromDC(g_painted_dc), control_);
  EXPECT_EQ(Manager().MemoryDCCount(), 0u);

  // The device-context record: the same for GetDC/ReleaseDC.
  Redirect* record = skin_->DeviceContextRedirect();
  record->mode = Redirect::kComposite;
  record->key = kMagenta;
  g_use_get_dc = true;
  ::SendMessageW(control_, WM_USER, 0, 0);
  g_use_get_dc = false;
  EXPECT_EQ(g_named_while_painting, control_);
  EXPECT_NE(::WindowFromDC(g_painted_dc), control_);
  EXPECT_EQ(Manager().MemoryDCCount(), 0u);
  EXPECT_EQ(Screen(30, 20), kRed);
}

TEST_F(RedirectedControl, ADisabledDeviceContextRecordLeavesGetDCAlone) {
  Redirect* record = skin_->DeviceContextRedirect();
  record->mode = Redirect::kDiscard;
  record->enabled = false;
  g_use_get_dc = true;
  ::SendMessageW(control_, WM_USER, 0, 0);
  g_use_get_dc = false;
  EXPECT_EQ(Screen(30, 20), kRed);
  EXPECT_EQ(Manager().MemoryDCCount(), 0u);
}

TEST_F(RedirectedControl, SkinKeptScrollStateAnswersTheScrollFunctions) {
  skin_->KeepScrollState();
  SCROLLINFO set{sizeof(set), SIF_ALL, 0, 99, 10, 95, 0};
  // The last line stays reachable: the position is clamped to maximum - page + 1.
  EXPECT_EQ(::SetScrollInfo(control_, SB_VERT, &set, TRUE), 90);
  EXPECT_EQ(::GetScrollPos(control_, SB_VERT), 90);
  EXPECT_TRUE(::GetWindowLongPtrW(control_, GWL_STYLE) & WS_VSCROLL);
  SCROLLINFO got{sizeof(got), SIF_ALL};
  ASSERT_TRUE(::GetScrollInfo(control_, SB_VERT, &got));
  EXPECT_EQ(got.nMin, 0);
  EXPECT_EQ(got.nMax, 99);
  EXPECT_EQ(got.nPage, 10u);
  EXPECT_EQ(got.nPos, 90);
  EXPECT_EQ(got.nTrackPos, 90);
  int minimum = -1, maximum = -1;
  ASSERT_TRUE(::GetScrollRange(control_, SB_VERT, &minimum, &maximum));
  EXPECT_EQ(minimum, 0);
  EXPECT_EQ(maximum, 99);

  // A range that fits the page hides the bar; the page is clamped to the range.
  SCROLLINFO fits{sizeof(fits), SIF_RANGE | SIF_PAGE, 0, 5, 10, 0, 0};
  EXPECT_EQ(::SetScrollInfo(control_, SB_VERT, &fits, TRUE), 0);
  EXPECT_FALSE(::GetWindowLongPtrW(control_, GWL_STYLE) & WS_VSCROLL);
  ASSERT_TRUE(::GetScrollInfo(control_, SB_VERT, &got));
  EXPECT_EQ(got.nPage, 6u);
  // The other bar is untouched.
  EXPECT_EQ(::GetScrollPos(control_, SB_HORZ), 0);
}
