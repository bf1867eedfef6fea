// Skin-drawn scroll bars on real windows: a scroll-bar control and a window with its own bars, dressed with
// the interception hooked so that the scroll functions answer from the skin.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "ControlsFixture_win.h"
#include "skin/SkinIds.h"
#include "skin/controls/SkinScrollBarSB_win.h"
#include "skin/controls/SkinScroller_win.h"

namespace {

using controls_test::CellColour;
using controls_test::Notification;

constexpr int kBarLength = 232;  // a 200-pixel track between the arrows

// A window with its own scroll bars, dressed by a plain CSkinScroller: the owning skin's part of the work
// (non-client painting, destruction) is done here.
class BarsSkin : public CSkinScroller {
 public:
  explicit BarsSkin(HWND hwnd) : CSkinScroller(hwnd, false) {}
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* skin = dynamic_cast<BarsSkin*>(static_cast<CSkinBase*>(::GetPropW(hwnd, skin::kPropSkinObject)));
    if (!skin) return ::DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    if (skin->HandleScrollMessage(msg, wp, lp, result)) return result;
    if (msg == WM_NCPAINT) {
      result = skin->CallPrevious(msg, wp, lp);
      skin->PaintBars(nullptr, true);
      return result;
    }
    if (msg == WM_VSCROLL || msg == WM_HSCROLL) skin->received.push_back(LOWORD(wp));
    if (msg == WM_NCDESTROY) {
      result = skin->CallPrevious(msg, wp, lp);
      delete skin;
      return result;
    }
    return skin->CallPrevious(msg, wp, lp);
  }
  std::vector<int> received;
  using CSkinScroller::CallPrevious;
};

class ScrollerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hooked_.hooked());
    sprite_ = controls_test::TestTheme().GetPicture(L"test.scrollbar");
    ASSERT_NE(sprite_, nullptr);
  }

  // A vertical scroll-bar control of kBarLength at the parent's top-left, dressed, with 100 rows and a page
  // of 10 (a 20-pixel thumb).
  HWND MakeBar(int position = 0) {
    HWND bar = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 16, kBarLength,
                                 parent_.hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(CSkinScrollBarSB::Dress(bar, sprite_, nullptr), nullptr);
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, position};
    ::SetScrollInfo(bar, SB_CTL, &info, TRUE);
    controls_test::Pump();
    return bar;
  }
  static CSkinScrollBarSB* Skin(HWND bar) { return CSkinScrollBarSB::FromWindow(bar); }
  static int ThumbTop(HWND bar) {
    const auto thumb = Skin(bar)->ThumbRect(1);
    return thumb ? thumb->top : -1;
  }
  static void Post(HWND bar, UINT msg, int x, int y) { ::PostMessageW(bar, msg, MK_LBUTTON, MAKELPARAM(x, y)); }
  static void Press(HWND bar, int x, int y) { ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  std::vector<Notification> Scrolls() const {
    std::vector<Notification> out;
    for (const Notification& n : parent_.notifications)
      if (n.message == WM_VSCROLL) out.push_back(n);
    return out;
  }

  controls_test::HookedTest hooked_;
  controls_test::ParentWindow parent_{300, 300};
  CSkinDrawImage* sprite_ = nullptr;
};

TEST_F(ScrollerTest, DraggingSendsThumbTrackOnlyWhenThePositionChangesThenOneThumbPositionAndOneEndScroll) {
  HWND bar = MakeBar();
  ASSERT_EQ(ThumbTop(bar), 16);
  // 90 positions over 180 pixels of travel: one position per two pixels, rounded.
  Post(bar, WM_MOUSEMOVE, 8, 22);  // 1 px: position 1
  Post(bar, WM_MOUSEMOVE, 8, 23);  // 2 px: still 1
  Post(bar, WM_MOUSEMOVE, 8, 25);  // 4 px: 2
  Post(bar, WM_LBUTTONUP, 8, 25);
  Press(bar, 8, 21);

  const std::vector<Notification> scrolls = Scrolls();
  ASSERT_EQ(scrolls.size(), 4u);
  const int expected[][2] = {{SB_THUMBTRACK, 1}, {SB_THUMBTRACK, 2}, {SB_THUMBPOSITION, 2}, {SB_ENDSCROLL, 0}};
  for (size_t i = 0; i < scrolls.size(); ++i) {
    EXPECT_EQ(scrolls[i].code, expected[i][0]) << i;
    EXPECT_EQ(scrolls[i].position, expected[i][1]) << i;
    EXPECT_EQ(scrolls[i].source, bar);
  }
  EXPECT_FALSE(Skin(bar)->Dragging());
  EXPECT_EQ(::GetCapture(), nullptr);
  // The application did not take the position: the skin still answers the one it had.
  EXPECT_EQ(::GetScrollPos(bar, SB_CTL), 0);
}

TEST_F(ScrollerTest, TheTrackPositionIsTheDraggedOneWhileTheDragRuns) {
  HWND bar = MakeBar();
  struct Seen {
    int track = -1, position = -1;
  };
  static Seen seen;
  static HWND watched;
  seen = {};
  watched = bar;
  // The parent reads the scroll state while the thumb-track notification arrives.
  auto proc = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_VSCROLL && LOWORD(wp) == SB_THUMBTRACK) {
      SCROLLINFO info{sizeof(info), SIF_TRACKPOS | SIF_POS};
      ::GetScrollInfo(watched, SB_CTL, &info);
      seen = {info.nTrackPos, info.nPos};
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  };
  ::SetWindowLongPtrW(parent_.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+proc));
  Post(bar, WM_MOUSEMOVE, 8, 41);  // 20 px: position 10
  Post(bar, WM_LBUTTONUP, 8, 41);
  Press(bar, 8, 21);
  EXPECT_EQ(seen.track, 10);
  EXPECT_EQ(seen.position, 0);
  SCROLLINFO after{sizeof(after), SIF_TRACKPOS};
  ::GetScrollInfo(bar, SB_CTL, &after);
  EXPECT_EQ(after.nTrackPos, 0) << "after the drag the track position is the position again";
}

TEST_F(ScrollerTest, ACursorMoreThan96PixelsAcrossFreezesTheThumbUntilItComesBack) {
  HWND bar = MakeBar();
  Post(bar, WM_MOUSEMOVE, 16 + 97, 61);  // 97 px right of the bar
  Post(bar, WM_MOUSEMOVE, -97, 81);      // 97 px left of it
  Post(bar, WM_MOUSEMOVE, 16 + 95, 61);  // back within reach: the thumb follows
  Post(bar, WM_LBUTTONUP, 16 + 95, 61);
  Press(bar, 8, 21);
  const std::vector<Notification> scrolls = Scrolls();
  ASSERT_EQ(scrolls.size(), 3u);
  EXPECT_EQ(scrolls[0].code, SB_THUMBTRACK);
  EXPECT_EQ(scrolls[0].position, 20);  // 40 px moved in one step once back
  EXPECT_EQ(scrolls[1].code, SB_THUMBPOSITION);
  EXPECT_EQ(scrolls[2].code, SB_ENDSCROLL);
}

TEST_F(ScrollerTest, APressOnAnArrowOrTheTrackSendsExactlyOneNotification) {
  struct Case {
    int y;
    int code;
  } cases[] = {
      {8, SB_LINEUP},                // first arrow
      {kBarLength - 8, SB_LINEDOWN},  // second arrow
      {150, SB_PAGEDOWN},            // track after the thumb (116..136 with position 50)
      {40, SB_PAGEUP},               // track before it
  };
  HWND bar = MakeBar(50);
  for (const Case& c : cases) {
    parent_.notifications.clear();
    Press(bar, 8, c.y);
    ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(8, c.y));
    controls_test::Pump();
    const std::vector<Notification> scrolls = Scrolls();
    ASSERT_EQ(scrolls.size(), 1u) << c.y;
    EXPECT_EQ(scrolls[0].code, c.code) << c.y;
    EXPECT_EQ(scrolls[0].source, bar);
  }
}

TEST_F(ScrollerTest, ATimerDestroyingTheControlMidDragEndsTheLoopCleanly) {
  HWND bar = MakeBar();
  static HWND doomed;
  doomed = bar;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { ::DestroyWindow(doomed); });
  Press(bar, 8, 21);  // no release is queued: only the destruction ends the drag
  ::KillTimer(nullptr, timer);
  EXPECT_FALSE(::IsWindow(bar));
  EXPECT_EQ(::GetCapture(), nullptr);
  for (const Notification& n : Scrolls()) EXPECT_NE(n.code, SB_THUMBPOSITION) << "nothing is sent for a dead bar";
}

TEST_F(ScrollerTest, TheDragLoopEndsOnCancelModeAndOnQuitWhichItPostsAgain) {
  HWND bar = MakeBar();
  static HWND target;
  target = bar;
  const UINT_PTR timer =
      ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { ::SendMessageW(target, WM_CANCELMODE, 0, 0); });
  Press(bar, 8, 21);
  ::KillTimer(nullptr, timer);
  EXPECT_FALSE(Skin(bar)->Dragging());
  ASSERT_EQ(Scrolls().size(), 2u);
  EXPECT_EQ(Scrolls()[0].code, SB_THUMBPOSITION);
  EXPECT_EQ(Scrolls()[1].code, SB_ENDSCROLL);

  parent_.notifications.clear();
  ::PostQuitMessage(7);
  Press(bar, 8, 21);
  EXPECT_FALSE(Skin(bar)->Dragging());
  EXPECT_EQ(Scrolls().size(), 2u);
  MSG msg{};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ScrollerTest, TheBarIsPaintedFromTheSpriteAndTheHoveredPartUsesItsHoverCell) {
  HWND bar = MakeBar();
  {
    controls_test::WindowPixels pixels(bar);
    Skin(bar)->PaintBars(pixels.dc(), true);
    EXPECT_EQ(pixels.At(8, 8), CellColour(0, 0));      // first arrow
    EXPECT_EQ(pixels.At(8, 26), CellColour(0, 8));     // thumb (16..36)
    EXPECT_EQ(pixels.At(8, 120), CellColour(0, 14));   // track
    EXPECT_EQ(pixels.At(8, kBarLength - 8), CellColour(0, 4));
  }
  RECT window{};
  ::GetWindowRect(bar, &window);
  ::SetCursorPos(window.left + 8, window.top + 26);
  ::SendMessageW(bar, WM_MOUSEMOVE, 0, MAKELPARAM(8, 26));
  EXPECT_EQ(Skin(bar)->Mouse(), skin::MouseState::kHover);
  EXPECT_EQ(Skin(bar)->HoveredPart(), skin::BarPart::kThumb);
  controls_test::WindowPixels pixels(bar);
  Skin(bar)->PaintBars(pixels.dc(), true);
  EXPECT_EQ(pixels.At(8, 26), CellColour(0, 9));
  EXPECT_EQ(pixels.At(8, 8), CellColour(0, 0)) << "only the hovered part changes";
  EXPECT_EQ(controls_test::ScreenPixel(bar, 8, 26), CellColour(0, 9)) << "and the screen shows it";
}

// A window with both bars, dressed by a skin of its own.
class WindowBarsTest : public ScrollerTest {
 protected:
  HWND MakeWindow(DWORD style) {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 150,
                                  parent_.hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    auto* skin = new BarsSkin(hwnd);
    skin->SetPictures(sprite_, nullptr);
    skin->Chain().engine = &BarsSkin::Proc;
    EXPECT_TRUE(skin::hook::InstallEngineProcedure(hwnd, skin->Chain()));
    ::SendMessageW(hwnd, skin::kMsgCreateNotify, 0, 0);
    controls_test::Pump();
    return hwnd;
  }
  static RECT Client(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    return r;
  }
};

TEST_F(WindowBarsTest, BarsTake16PixelsAndBothBarsShowTheSizeBoxCell) {
  HWND hwnd = MakeWindow(WS_VSCROLL | WS_HSCROLL);
  EXPECT_EQ(Client(hwnd).right, 200 - 16);
  EXPECT_EQ(Client(hwnd).bottom, 150 - 16);
  SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 99, 10};
  ::SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
  ::SetScrollInfo(hwnd, SB_HORZ, &info, TRUE);
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 200 - 8, 150 - 8), controls_test::kSizeBoxColour);
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 200 - 8, 8), CellColour(0, 0)) << "vertical first arrow";
  EXPECT_EQ(controls_test::ScreenPixel(hwnd, 8, 150 - 8), CellColour(1, 0)) << "horizontal first arrow";
  // The non-client hit test names the skin's bars, never the platform's.
  RECT window{};
  ::GetWindowRect(hwnd, &window);
  EXPECT_EQ(::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + 192, window.top + 50)),
            skin::kHitVerticalBar);
  EXPECT_EQ(::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + 50, window.top + 142)),
            skin::kHitHorizontalBar);
}

TEST_F(WindowBarsTest, SetScrollInfoClampsAndHidesTheBarWhenTheRangeFitsThePage) {
  HWND hwnd = MakeWindow(WS_VSCROLL);
  SCROLLINFO fits{sizeof(fits), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 9, 10, 0};
  EXPECT_EQ(::SetScrollInfo(hwnd, SB_VERT, &fits, TRUE), 0);
  EXPECT_FALSE(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(Client(hwnd).right, 200);

  SCROLLINFO back{sizeof(back), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 95};
  EXPECT_EQ(::SetScrollInfo(hwnd, SB_VERT, &back, TRUE), 90) << "the last page's first line";
  EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(Client(hwnd).right, 200 - 16);
  SCROLLINFO read{sizeof(read), SIF_ALL};
  ASSERT_TRUE(::GetScrollInfo(hwnd, SB_VERT, &read));
  EXPECT_EQ(read.nMin, 0);
  EXPECT_EQ(read.nMax, 99);
  EXPECT_EQ(read.nPage, 10u);
  EXPECT_EQ(read.nPos, 90);
  EXPECT_EQ(read.nTrackPos, 90);
  EXPECT_EQ(::GetScrollPos(hwnd, SB_VERT), 90);
  EXPECT_EQ(::SetScrollPos(hwnd, SB_VERT, 3, TRUE), 90);
  int minimum = -1, maximum = -1;
  ASSERT_TRUE(::GetScrollRange(hwnd, SB_VERT, &minimum, &maximum));
  EXPECT_EQ(maximum, 99);
  EXPECT_EQ(::GetScrollPos(hwnd, SB_VERT), 3);
}

TEST_F(WindowBarsTest, ClickingTheWindowsOwnArrowScrollsItOneLine) {
  HWND hwnd = MakeWindow(WS_VSCROLL);
  SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 99, 10};
  ::SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
  RECT window{};
  ::GetWindowRect(hwnd, &window);
  const LPARAM arrow = MAKELPARAM(window.left + 192, window.bottom - 8);
  ::SendMessageW(hwnd, WM_NCLBUTTONDOWN, skin::kHitVerticalBar, arrow);
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
  auto* skin = dynamic_cast<BarsSkin*>(static_cast<CSkinBase*>(::GetPropW(hwnd, skin::kPropSkinObject)));
  ASSERT_NE(skin, nullptr);
  ASSERT_EQ(skin->received.size(), 1u);
  EXPECT_EQ(skin->received[0], SB_LINEDOWN);
}

}  // namespace
