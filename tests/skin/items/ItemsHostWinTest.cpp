// DirectUI items hosted by a skin over a real window: host text, clicks and their notification, frame-strip
// animations and their timer, every item kind drawn on a memory surface, and the live GDI count.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <set>

#include "skin/SkinIds.h"
#include "skin/draw/SkinDrawImage_win.h"
#include "skin/draw/SkinGifPlayer.h"
#include "skin/items/DirectUI_DrawItem_win.h"
#include "skin/items/DirectUI_EventItem_win.h"
#include "skin/items/ItemSurface_win.h"
#include "skin/items/ItemTheme_win.h"
#include "skin/items/SkinPngPlayer_win.h"
#include "support/WinTestSupport.h"

using namespace items_test;
using skin_test::MakeBmp;
using skin_test::MakePng;
using skin_test::PngKind;

namespace {

const char kItems[] = R"xml(
<image>
  <item id="strip" value="strip.png"/>
  <item id="pic" value="pic.png"/>
  <item id="bmp" value="pic.bmp"/>
  <item id="spin" value="spin.gif"/>
</image>
<constrol>
  <item class="button" id="text.host">
    <text id="t" string="" color="RGB(255,0,0)" horizAlign="left"/>
  </item>
  <item class="button" id="clicks">
    <eventitem id="ev.top" left="0" top="0" width="20" height="20">
      <rectangle fillColor="RGB(0,0,255)" state="over"/>
    </eventitem>
    <drawitem id="box" left="30" top="0" width="40" height="20">
      <eventitem id="ev.inner" left="5" top="0" width="10" height="20"/>
    </drawitem>
  </item>
  <item class="button" id="gif">
    <animate id="g" picFile="spin.gif" delayTime="20" left="2" top="2"/>
  </item>
  <item class="button" id="animated">
    <animate id="a" picFile="strip" frameCount="4" delayTime="20" left="0" top="0" width="8" height="6"/>
  </item>
  <item class="button" id="every.style">
    <rectangle id="r.fill" left="0" top="0" width="20" height="10" borderColor="RGB(0,0,255)" fillColor="RGB(0,255,0)" round="(4,4)"/>
    <rectangle id="r.hollow" left="20" top="0" width="20" height="10" borderColor="RGB(0,0,255)"/>
    <rectangle id="r.vert" drawStyle="vert" left="40" top="0" width="20" height="10" gradientBeginColor="RGB(255,0,0)" gradientEndColor="RGB(0,0,255)"/>
    <rectangle id="r.horiz" drawStyle="horiz" left="60" top="0" width="20" height="10" gradientBeginColor="RGB(255,0,0)" gradientEndColor="RGB(0,0,255)"/>
    <line id="l" left="0" top="12" width="80" bottom="12" color="RGB(255,0,0)" penStyle="dash"/>
    <animate id="a" picFile="strip" frameCount="4" left="80" top="0"/>
    <image id="i.bitblt" picFile="pic" left="0" top="20"/>
    <image id="i.stretch" picFile="pic" drawStyle="stretchBlt" left="30" top="20" width="40" height="20"/>
    <image id="i.9grid" picFile="bmp" drawStyle="draw9grid" border9grid="(5,5,5,5)" left="70" top="20" width="50" height="40"/>
    <image id="i.fill9" picFile="pic" drawStyle="fill9grid" xSrc="2" ySrc="2" srcWidth="20" srcHeight="20" left="120" top="20" width="40" height="40"/>
    <image id="i.three" picFile="bmp" drawStyle="bitStretchBlt" partOffset="(5,5)" left="160" top="20" width="40" height="20"/>
    <image id="i.keyed" picFile="bmp" drawStyle="transparentBlt" left="160" top="40"/>
    <image id="i.missing" picFile="nothing" drawStyle="draw9grid" left="0" top="0"/>
    <text id="t" string="text" color="RGB(0,0,0)" left="0" top="60" width="100" height="20"/>
    <eventitem id="e" left="100" top="60" width="40" height="20">
      <text string="ev" state="over"/>
      <image picFile="pic" state="normal"/>
    </eventitem>
    <drawitem id="d" left="140" top="60" width="60" height="40">
      <rectangle fillColor="RGB(1,2,3)"/>
      <text string="d" color="RGB(255,255,255)"/>
    </drawitem>
  </item>
</constrol>)xml";

skin::CSkinResourceManager& ItemsTheme() {
  static skin::CSkinResourceManager* theme = [] {
    auto* m = new skin::CSkinResourceManager();
    LoadTheme(*m, kItems,
              {{"strip.png", MakePng(32, 6, PngKind::kRgb)},
               {"pic.png", MakePng(30, 30, PngKind::kRgba)},
               {"pic.bmp", MakeBmp(30, 30, 24)},
               {"spin.gif", skin_test::MakeGif(6, 4, {{0, 0, 6, 4, 1}, {0, 0, 6, 4, 2}, {0, 0, 6, 4, 3}})}});
    return m;
  }();
  return *theme;
}

const skin::ThemeItem& Item(const wchar_t* id) {
  skin::ThemeItem* item = ItemsTheme().FindItem(L"button", id);
  EXPECT_NE(item, nullptr);
  static skin::ThemeItem empty;
  return item ? *item : empty;
}

// Pumps messages for `ms` milliseconds and counts the timer messages that reached `window`.
int TimerTicks(HWND window, int ms) {
  int ticks = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.hwnd == window && msg.wParam == skin::kTimerPngPlayer) ++ticks;
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return ticks;
}

struct Host {
  explicit Host(const wchar_t* id, int width = 200, int height = 100, const wchar_t* text = L"")
      : windows(width, height, text), skin(std::make_unique<CSkinBase>(windows.control())), font(CrispFont()) {
    skin->BuildItems(Item(id), ItemsTheme());
    skin->SetFont(font.get());
  }
  void Draw(Surface& s) { skin->DrawItems(s.dc(), 0, 0, s.width(), s.height()); }
  HostWindows windows;
  std::unique_ptr<CSkinBase> skin;
  fw::UniqueFont font;
};

TEST(ItemsHost, EmptyTextDrawsTheHostTextUntilTheItemGetsItsOwn) {
  const COLORREF red = RGB(255, 0, 0);
  Host host(L"text.host", 200, 24);
  const auto draw = [&] {
    Surface s(200, 24);
    host.Draw(s);
    return BoundsOf(s, red);
  };
  EXPECT_EQ(draw().right, 0) << "no host text, nothing drawn";
  ::SetWindowTextW(host.windows.control(), L"W");
  const RECT one = draw();
  ASSERT_GT(one.right - one.left, 0);
  EXPECT_TRUE(host.skin->SetItemProperty(L"t", L"WWWWWWWW", false));
  EXPECT_FALSE(host.skin->SetItemProperty(L"none", L"x", false));
  ::SetWindowTextW(host.windows.control(), L"");
  const RECT own = draw();
  EXPECT_GT(own.right - own.left, 4 * (one.right - one.left));
  host.skin->ColorAdjustItems(0, 0, 0);  // resets the display text to the configured one: the new text
  const RECT after_tint = draw();
  EXPECT_EQ(after_tint.right - after_tint.left, own.right - own.left);
}

TEST(ItemsHost, EventItemsClickOnceForAPressAndReleaseInside) {
  Host host(L"clicks", 100, 20);
  Surface s(100, 20);
  host.Draw(s);  // lays the items out
  auto& clicks = host.windows.clicks;

  host.skin->MouseMoveItems(0, 5, 5);
  ASSERT_NE(host.skin->HoveredItem(), nullptr);
  EXPECT_EQ(host.skin->HoveredItem()->Id(), L"ev.top");
  EXPECT_FALSE(host.skin->ButtonUpItems(0, 5, 5)) << "a release without a press clicks nothing";
  EXPECT_TRUE(host.skin->ButtonDownItems(0, 5, 5));
  EXPECT_TRUE(host.skin->ButtonUpItems(0, 5, 5));
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"ev.top"});
  EXPECT_EQ(host.windows.click_sources, std::vector<HWND>{host.windows.control()});

  EXPECT_TRUE(host.skin->ButtonDownItems(0, 5, 5));
  EXPECT_FALSE(host.skin->ButtonUpItems(0, 60, 60)) << "released outside";
  EXPECT_EQ(clicks.size(), 1u);

  host.skin->MouseMoveItems(0, 40, 5);
  EXPECT_EQ(host.skin->HoveredItem()->Id(), L"ev.inner");
  EXPECT_TRUE(host.skin->ButtonDownItems(0, 40, 5));
  EXPECT_TRUE(host.skin->ButtonUpItems(0, 40, 5));
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"ev.top", L"ev.inner"}));
  auto& box = static_cast<DirectUI_DrawItem&>(*host.skin->Items()[0]);
  EXPECT_EQ(box.ClickedChildId(), L"ev.inner");
  ASSERT_NE(box.HitTest(40, 5), nullptr);
  EXPECT_EQ(box.ClickedChildId(), L"") << "a hit test empties the clicked child";
  EXPECT_EQ(box.HitTest(31, 5), nullptr);

  box.Relayout(10, 5, 210, 25);  // a new rectangle for the container, children placed inside it
  EXPECT_EQ(box.GetRect(), (skin::Rect{40, 5, 80, 25}));
  EXPECT_EQ(box.Children()[0]->GetRect(), (skin::Rect{45, 5, 55, 25}));
}

TEST(ItemsHost, ClickReceiverMayReDressOrDestroyTheHost) {
  Host host(L"clicks", 100, 20);
  Surface s(100, 20);
  host.Draw(s);
  host.windows.on_click = [&] { host.skin->BuildItems(Item(L"clicks"), ItemsTheme()); };
  host.skin->MouseMoveItems(0, 40, 5);
  ASSERT_TRUE(host.skin->ButtonDownItems(0, 40, 5));
  EXPECT_TRUE(host.skin->ButtonUpItems(0, 40, 5));
  EXPECT_EQ(host.windows.clicks, std::vector<std::wstring>{L"ev.inner"});
  EXPECT_EQ(static_cast<DirectUI_DrawItem&>(*host.skin->Items()[0]).ClickedChildId(), L"")
      << "the receiver rebuilt the items: the new container has seen no click";
  EXPECT_EQ(host.skin->HoveredItem(), nullptr);
  testing_support::PumpFor(30);
  EXPECT_EQ(host.windows.clicks.size(), 1u) << "exactly one notification";

  // The new items work as before, and a receiver may even destroy the skin that reported the click.
  host.Draw(s);
  host.windows.on_click = [&] { host.skin.reset(); };
  host.skin->MouseMoveItems(0, 5, 5);
  ASSERT_TRUE(host.skin->ButtonDownItems(0, 5, 5));
  EXPECT_TRUE(host.skin->ButtonUpItems(0, 5, 5));
  EXPECT_EQ(host.skin, nullptr);
  EXPECT_EQ(host.windows.clicks, (std::vector<std::wstring>{L"ev.inner", L"ev.top"}));
}

TEST(ItemsHost, AnimationStopsWithItsItems) {
  Host host(L"animated", 40, 20);
  Surface s(40, 20);
  host.Draw(s);
  HWND window = host.windows.control();
  ASSERT_NE(::GetPropW(window, skin::kPropAnimate), nullptr);
  EXPECT_GT(TimerTicks(window, 150), 0) << "the animation runs";
  host.skin->DestroyItems();
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), nullptr);
  EXPECT_EQ(TimerTicks(window, 60), 0) << "no tick in three delays after the items died";
}

TEST(ItemsHost, GifAnimationRunsOnItsHostAndStopsWithItsItem) {
  Host host(L"gif", 40, 20);
  HWND window = host.windows.control();
  CSkinGifPlayer* gif = ItemsTheme().GetAnimation(L"spin.gif");
  ASSERT_NE(gif, nullptr);
  EXPECT_TRUE(gif->IsRunning());
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), gif);
  Surface s(40, 20);
  host.Draw(s);
  EXPECT_EQ(CountColor(s, RGB(255, 255, 255), 2, 2, 8, 6), 0) << "the current frame covers its 6 x 4 pixels";
  EXPECT_EQ(s.At(8, 2), RGB(255, 255, 255));
  host.skin->DestroyItems();
  EXPECT_FALSE(gif->IsRunning());
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), nullptr);
}

TEST(ItemsHost, SecondPlayerTakesOverAndOutlivesTheFirst) {
  HostWindows windows(40, 20);
  HWND window = windows.control();
  CSkinDrawImage* strip = ItemsTheme().GetPicture(L"strip");
  ASSERT_NE(strip, nullptr);
  auto first = std::make_unique<CSkinPngPlayer>();
  auto second = std::make_unique<CSkinPngPlayer>();
  first->Setup(window, strip, 4, 20, true);
  first->Switch(true);
  second->Setup(window, strip, 4, 20, true);
  second->Switch(true);
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), second.get());
  first.reset();
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), second.get()) << "the first player left the second's property";
  std::set<int> frames;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  while (std::chrono::steady_clock::now() < end) {
    testing_support::PumpFor(10);
    frames.insert(second->CurrentFrame());
  }
  EXPECT_GE(frames.size(), 3u) << "the second player still steps";
  second.reset();
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), nullptr);
  EXPECT_EQ(TimerTicks(window, 60), 0);
}

TEST(ItemsHost, TimerWithoutItsPlayerStopsItself) {
  HostWindows windows(40, 20);
  HWND window = windows.control();
  CSkinPngPlayer player;
  player.Setup(window, ItemsTheme().GetPicture(L"strip"), 4, 20, true);
  player.Switch(true);
  int stranger = 0;
  ::SetPropW(window, skin::kPropAnimate, &stranger);  // someone else's property
  EXPECT_LE(TimerTicks(window, 100), 1);
  EXPECT_EQ(TimerTicks(window, 60), 0);
  EXPECT_EQ(player.CurrentFrame(), 1);
  player.Switch(false);
  EXPECT_EQ(::GetPropW(window, skin::kPropAnimate), &stranger) << "not this player's property: left alone";
  ::RemovePropW(window, skin::kPropAnimate);
}

TEST(ItemsHost, FrameStripDrawsTheCurrentFrame) {
  HostWindows windows(40, 20);
  CSkinDrawImage* strip = ItemsTheme().GetPicture(L"strip");
  CSkinPngPlayer player;
  player.Setup(windows.control(), strip, 4, 20, true);
  for (int frame = 1; frame <= 4; ++frame) {
    Surface drawn(20, 10), reference(20, 10);
    player.Draw(drawn.dc(), 2, 1, 10, 7);
    skin::DrawTransparentBlt(reference.dc(), *strip, 2, 1, (frame - 1) * 8, 0, 8, 6);
    EXPECT_EQ(Differences(drawn, reference, 0, 0, 20, 10), 0) << frame;
    EXPECT_NE(drawn.At(2, 1), RGB(255, 255, 255));
    EXPECT_EQ(drawn.At(10, 1), RGB(255, 255, 255)) << "one frame wide";
    player.Step();
  }
  EXPECT_EQ(player.CurrentFrame(), 1) << "cycled back";
}

TEST(ItemsHost, RectanglesAndLines) {
  Host host(L"every.style");
  Surface s(200, 100);
  host.skin->SetHostState(skin::kStateNormal);
  host.Draw(s);
  EXPECT_EQ(s.At(10, 5), RGB(0, 255, 0)) << "filled";
  EXPECT_EQ(s.At(10, 0), RGB(0, 0, 255)) << "border";
  EXPECT_EQ(s.At(30, 5), RGB(255, 255, 255)) << "fill colour 0 draws hollow";
  EXPECT_EQ(s.At(30, 0), RGB(0, 0, 255));
  // Gradients: top to bottom, left to right, from red to blue.
  EXPECT_GT(GetRValue(s.At(50, 0)), 200);
  EXPECT_GT(GetBValue(s.At(50, 9)), 200);
  EXPECT_GT(GetRValue(s.At(60, 5)), 200);
  EXPECT_GT(GetBValue(s.At(79, 5)), 200);
  EXPECT_EQ(GetRValue(s.At(60, 9)), GetRValue(s.At(60, 0))) << "horizontal gradient is constant down a column";
  const int red = CountColor(s, RGB(255, 0, 0), 0, 12, 80, 13);
  EXPECT_GT(red, 20);
  EXPECT_LT(red, 80) << "dashed";
  EXPECT_EQ(CountColor(s, RGB(1, 2, 3), 140, 60, 200, 100) > 0, true) << "draw item children inside its rectangle";
}

TEST(ItemsHost, MovedOwnersStayOneLiveObject) {
  const long start = fw::LiveGdiObjectCount().load();
  {
    fw::UniqueBrush first(::CreateSolidBrush(RGB(1, 2, 3)));
    fw::UniqueBrush second(std::move(first));
    fw::UniqueBrush third;
    third = std::move(second);
    EXPECT_EQ(fw::LiveGdiObjectCount().load(), start + 1);
  }
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), start);
}

TEST(ItemsHost, EveryStyleKeepsTheLiveGdiCount) {
  {
    // Pictures keep the bitmaps their first draw makes: they belong to the theme, not to the items.
    Host warm(L"every.style");
    Surface s(200, 100);
    warm.Draw(s);
  }
  const long start = fw::LiveGdiObjectCount().load();
  {
    Host host(L"every.style");
    Surface s(200, 100);
    const long built = fw::LiveGdiObjectCount().load();
    const uint32_t states[] = {skin::kStateNormal, skin::kStateOver, skin::kStateDown, skin::kStateDisable};
    for (int i = 0; i < 100; ++i) {
      host.skin->SetHostState(states[i % 4]);
      host.skin->MouseMoveItems(0, i * 2, i);
      host.Draw(s);
      if (i % 10 == 0) host.skin->ColorAdjustItems(0, 0, 0);
    }
    EXPECT_EQ(fw::LiveGdiObjectCount().load(), built);
    EXPECT_GT(CountColor(s, RGB(255, 255, 255)), 0);
    EXPECT_LT(CountColor(s, RGB(255, 255, 255)), 200 * 100 / 2) << "the items drew";
  }
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), start);
}

}  // namespace
