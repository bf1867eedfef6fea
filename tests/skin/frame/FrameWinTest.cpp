// Dialog template 102 dressed with the shipped theme's "PromptDialog": client rectangle, shape, client
// pixels, placement of dressed controls, re-dressing, destruction, "nodraw", GDI use over many repaints,
// and messages 4242 and 2287 carrying pointers the engine did not make.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "FrameFixture_win.h"
#include "framework/Handles.h"
#include "skin/SkinIds.h"
#include "skin/SkinResourceManager.h"
#include "skin/hook/RealFunctions_win.h"

using namespace frame_test;
using Registry = skin::CSkinWndManager::Registry;

namespace {

// Buttons are not skinned yet: a control dressed here gets the common skin, which paints nothing of its own
// but is placed by its frame.
int DressControl(HWND control, const wchar_t* id) {
  return Manager().Attach(control, id, L"button", Registry::kControls,
                          [](HWND w) { return std::make_unique<CSkinBase>(w); });
}

RECT ChildRect(HWND parent, HWND child) {
  RECT rc{};
  ::GetWindowRect(child, &rc);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

CSkinDrawImage& Picture(const wchar_t* id) { return *skin::GetSkinResourceManager().GetPicture(id); }

}  // namespace

TEST(DressedDialog, ClientIsTheWindowLessTwoPixelsOnEverySide) {
  DressedDialog dialog;
  ASSERT_NE(dialog.hwnd(), nullptr);
  ASSERT_NE(dialog.frame(), nullptr);
  RECT window{}, client{};
  ::GetWindowRect(dialog.hwnd(), &window);
  ::GetClientRect(dialog.hwnd(), &client);
  ::MapWindowPoints(dialog.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(client.left - window.left, 2);
  EXPECT_EQ(client.top - window.top, 2);
  EXPECT_EQ(window.right - client.right, 2);
  EXPECT_EQ(window.bottom - client.bottom, 2);
  EXPECT_EQ(dialog.frame()->Kind(), skin::kFrameCaption);
}

TEST(DressedDialog, RegionCutsExactlyThePicturesMagentaCornerPixels) {
  DressedDialog dialog;
  RECT window{};
  ::GetWindowRect(dialog.hwnd(), &window);
  const int W = window.right - window.left, H = window.bottom - window.top;
  fw::UniqueRgn region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(dialog.hwnd(), region.get()), ERROR);
  EXPECT_FALSE(::PtInRegion(region.get(), 0, 0));
  EXPECT_TRUE(::PtInRegion(region.get(), 15, 15));
  EXPECT_TRUE(::PtInRegion(region.get(), W / 2, H / 2));
  const CxImage& pic = Picture(L"standard.Dialog.Background").Decoded();
  const int pw = static_cast<int>(pic.GetWidth()), ph = static_cast<int>(pic.GetHeight());
  int cut = 0;
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 15; ++x) {
      struct {
        int wx, wy, px, py;
      } corners[] = {{x, y, x, y},
                     {W - 15 + x, y, pw - 15 + x, y},
                     {x, H - 15 + y, x, ph - 15 + y},
                     {W - 15 + x, H - 15 + y, pw - 15 + x, ph - 15 + y}};
      for (const auto& c : corners) {
        const bool magenta = pic.GetPixelColor(c.px, c.py) == skin::kKeyColor;
        cut += magenta;
        EXPECT_EQ(::PtInRegion(region.get(), c.wx, c.wy) == FALSE, magenta) << c.wx << "," << c.wy;
      }
    }
  EXPECT_GT(cut, 4);
}

TEST(DressedDialog, ClientShowsTheRectangleTheBottomBandAndTheFramePicturesTopBand) {
  DressedDialog dialog;
  RECT client{};
  ::GetClientRect(dialog.hwnd(), &client);
  const int cw = client.right, ch = client.bottom;
  Capture shot(dialog.hwnd());
  auto at = [&](int x, int y) { return shot.At(x + 2, y + 2); };  // client to window coordinates
  EXPECT_EQ(at(cw / 2, ch / 2 - 20), RGB(243, 247, 255));
  // The bottom band: bg_bottom stretched over (4, ch - 47) .. (cw - 4, ch - 4); its rows below the top two
  // are the button face.
  const CxImage& bottom = Picture(L"standard.bg_bottom").Decoded();
  EXPECT_TRUE(Near(at(cw / 2, ch - 20), bottom.GetPixelColor(0, 22), 2)) << std::hex << at(cw / 2, ch - 20);
  EXPECT_NE(at(cw / 2, ch - 20), RGB(243, 247, 255));
  // The top band above the rectangle, left of the title text: the frame picture's inner part as a nine-grid,
  // its top rows unscaled (client row 10 is picture row 12).
  const CxImage& frame = Picture(L"standard.Dialog.Background").Decoded();
  const COLORREF band = frame.GetPixelColor(frame.GetWidth() / 2, 12);
  EXPECT_TRUE(Near(at(160, 10), band, 6)) << std::hex << at(160, 10) << " " << band;
  // The border: the picture's left strip.
  EXPECT_TRUE(Near(shot.At(0, shot.height() / 2), frame.GetPixelColor(0, frame.GetHeight() / 2), 2));
  const wchar_t* out = L"dressed_dialog.bmp";
  EXPECT_TRUE(shot.Save(out));
}

TEST(DressedDialog, PlacesDressedControlsByTheirPlacementAfterDressingAndAfterAResize) {
  DressedDialog dialog;
  HWND close = ::GetDlgItem(dialog.hwnd(), 1003), minimise = ::GetDlgItem(dialog.hwnd(), 1004),
       device = ::GetDlgItem(dialog.hwnd(), 1018);
  ASSERT_EQ(DressControl(close, L"sysbtn.close"), 1);
  ASSERT_EQ(DressControl(minimise, L"sysbtn.min"), 1);
  ASSERT_EQ(DressControl(device, L"btnChoseDevice"), 1);
  EXPECT_EQ(dialog.frame()->LayoutChildren().size(), 3u);
  for (int pass = 0; pass < 2; ++pass) {
    RECT client{};
    ::GetClientRect(dialog.hwnd(), &client);
    const int cw = client.right;
    EXPECT_EQ(ChildRect(dialog.hwnd(), close), (RECT{cw - 51, 0, cw, 32})) << pass;
    EXPECT_EQ(ChildRect(dialog.hwnd(), minimise), (RECT{cw - 84, 0, cw - 51, 32})) << pass;
    EXPECT_EQ(ChildRect(dialog.hwnd(), device), (RECT{10, 0, 152, 25})) << pass;
    RECT window{};
    ::GetWindowRect(dialog.hwnd(), &window);
    ::SetWindowPos(dialog.hwnd(), nullptr, 0, 0, window.right - window.left + 60, window.bottom - window.top + 30,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
  }
}

TEST(DressedDialog, RedressingKeepsTheProcedureAndTheRegistrySize) {
  DressedDialog dialog;
  HWND close = ::GetDlgItem(dialog.hwnd(), 1003);
  ASSERT_EQ(DressControl(close, L"sysbtn.close"), 1);
  const auto& real = skin::hook::Real();
  const LONG_PTR frame_proc = real.GetWindowLongPtrW(dialog.hwnd(), GWLP_WNDPROC);
  const LONG_PTR control_proc = real.GetWindowLongPtrW(close, GWLP_WNDPROC);
  const size_t frames = Manager().RegistrySize(Registry::kFrames);
  const size_t controls = Manager().RegistrySize(Registry::kControls);
  CSkinWndSB* frame = dialog.frame();
  EXPECT_EQ(Manager().AttachFrame(dialog.hwnd(), L"PromptDialog"), 1);
  EXPECT_EQ(DressControl(close, L"sysbtn.close"), 1);
  Manager().RedressAll();
  Pump();
  EXPECT_EQ(real.GetWindowLongPtrW(dialog.hwnd(), GWLP_WNDPROC), frame_proc);
  EXPECT_EQ(real.GetWindowLongPtrW(close, GWLP_WNDPROC), control_proc);
  EXPECT_EQ(frame_proc, reinterpret_cast<LONG_PTR>(&skin::CSkinWndManager::EngineProcedure));
  EXPECT_EQ(Manager().RegistrySize(Registry::kFrames), frames);
  EXPECT_EQ(Manager().RegistrySize(Registry::kControls), controls);
  EXPECT_EQ(dialog.frame(), frame);
  EXPECT_EQ(frame->LayoutChildren().size(), 1u);
  // An unknown id leaves the old skin in place.
  EXPECT_EQ(Manager().AttachFrame(dialog.hwnd(), L"no.such.window.item"), 0);
  EXPECT_EQ(dialog.frame(), frame);
  EXPECT_EQ(frame->ThemeId(), L"PromptDialog");
}

namespace {
// Whether the window still carried "SKINSE_PROC" once its non-client destroy message was handled.
bool g_had_property_after_destroy = true;
HWND g_watched = nullptr;
LRESULT CALLBACK AfterCall(int code, WPARAM wp, LPARAM lp) {
  const auto* c = reinterpret_cast<const CWPRETSTRUCT*>(lp);
  if (code == HC_ACTION && c->hwnd == g_watched && c->message == WM_NCDESTROY)
    g_had_property_after_destroy = ::GetPropW(c->hwnd, skin::kPropSkinObject) != nullptr;
  return ::CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST(DressedDialog, ADestroyedControlLosesItsPropertyItsEntryAndItsPlaceInTheLayout) {
  DressedDialog dialog;
  HWND close = ::GetDlgItem(dialog.hwnd(), 1003);
  ASSERT_EQ(DressControl(close, L"sysbtn.close"), 1);
  const size_t controls = Manager().RegistrySize(Registry::kControls);
  ASSERT_NE(::GetPropW(close, skin::kPropSkinObject), nullptr);
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterCall, nullptr, ::GetCurrentThreadId());
  g_watched = close;
  ::DestroyWindow(close);
  ::UnhookWindowsHookEx(hook);
  EXPECT_FALSE(g_had_property_after_destroy);
  EXPECT_EQ(Manager().RegistrySize(Registry::kControls), controls - 1);
  EXPECT_EQ(Manager().SkinOf(close), nullptr);
  EXPECT_TRUE(dialog.frame()->LayoutChildren().empty());
}

TEST(DressedDialog, EraseIsAnsweredWithoutDrawingAndNodrawGetsItsOwnPaintAndErase) {
  DressedDialog dialog;
  DressedDialog::erase_count = 0;
  DressedDialog::paint_count = 0;
  ::RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(DressedDialog::erase_count, 0);
  EXPECT_EQ(DressedDialog::paint_count, 0);

  skin::ThemeItem nodraw = *skin::GetSkinResourceManager().FindItem(L"window", L"PromptDialog");
  for (auto& [name, attrs] : nodraw.elements)
    if (name == L"background") attrs.Set(L"drawStyle", L"nodraw");
  dialog.frame()->SetThemeItem(nodraw, skin::GetSkinResourceManager());
  ASSERT_TRUE(dialog.frame()->IsNoDraw());
  ::RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_GT(DressedDialog::erase_count, 0);
  EXPECT_GT(DressedDialog::paint_count, 0);
}

TEST(DressedDialog, HundredRepaintsAndResizesKeepTheLiveGdiCount) {
  DressedDialog dialog;
  RECT window{};
  ::GetWindowRect(dialog.hwnd(), &window);
  const int w = window.right - window.left, h = window.bottom - window.top;
  ::RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  const long before = fw::LiveGdiObjectCount().load();
  HBITMAP first_buffer = dialog.frame()->BackBufferBitmap();
  for (int i = 0; i < 100; ++i) {
    ::SetWindowPos(dialog.hwnd(), nullptr, 0, 0, w + (i % 2) * 17, h + (i % 2) * 9,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  }
  Pump();
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before);
  // Same size again: repaints reuse the back buffer.
  HBITMAP buffer = dialog.frame()->BackBufferBitmap();
  ::RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(dialog.frame()->BackBufferBitmap(), buffer);
  (void)first_buffer;
}

TEST(DressedDialog, RegisterLayoutAndChildBackgroundIgnorePointersTheEngineDidNotMake) {
  DressedDialog dialog, other;
  HWND close = ::GetDlgItem(dialog.hwnd(), 1003);
  HWND foreign = ::GetDlgItem(other.hwnd(), 1003);
  HWND doomed = ::GetDlgItem(dialog.hwnd(), 1004);
  ASSERT_EQ(DressControl(close, L"sysbtn.close"), 1);
  ASSERT_EQ(DressControl(foreign, L"sysbtn.close"), 1);
  ASSERT_EQ(DressControl(doomed, L"sysbtn.min"), 1);
  CSkinBase* freed = Manager().SkinOf(doomed);
  ::DestroyWindow(doomed);
  CSkinBase* foreign_skin = Manager().SkinOf(foreign);
  const RECT foreign_place = ChildRect(other.hwnd(), foreign);

  std::vector<uint8_t> garbage(256, 0xCD);
  const WPARAM bad[] = {reinterpret_cast<WPARAM>(garbage.data()), reinterpret_cast<WPARAM>(freed),
                        reinterpret_cast<WPARAM>(foreign_skin), 0x10, ~WPARAM{0} - 15};
  for (WPARAM wp : bad) ::SendMessageW(dialog.hwnd(), skin::kMsgRegisterLayout, wp, 0);
  EXPECT_EQ(dialog.frame()->LayoutChildren().size(), 1u);
  EXPECT_EQ(ChildRect(other.hwnd(), foreign), foreign_place);

  // 2287: only the record held by a dressed child's skin is read; a sentinel surface shows any drawing.
  fw::UniqueMemDC dc(::CreateCompatibleDC(nullptr));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -20, 1, 32, BI_RGB};
  void* bits = nullptr;
  fw::UniqueBitmap surface(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  fw::ScopedSelectObject select(dc.get(), surface.get());
  const COLORREF sentinel = RGB(1, 2, 3);
  auto reset = [&] {
    fw::UniqueBrush b(::CreateSolidBrush(sentinel));
    RECT all{0, 0, 40, 20};
    ::FillRect(dc.get(), &all, b.get());
  };
  skin::ChildBackgroundRequest forged{close, dc.get(), RECT{0, 0, 40, 20}};
  skin::ChildBackgroundRequest& foreign_record = foreign_skin->BackgroundRequest();
  foreign_record.dc = dc.get();
  foreign_record.rect = RECT{0, 0, 40, 20};
  const WPARAM bad_records[] = {reinterpret_cast<WPARAM>(garbage.data()), reinterpret_cast<WPARAM>(&forged),
                                reinterpret_cast<WPARAM>(freed), reinterpret_cast<WPARAM>(&foreign_record),
                                reinterpret_cast<WPARAM>(Manager().SkinOf(close))};
  for (WPARAM wp : bad_records) {
    reset();
    ::SendMessageW(dialog.hwnd(), skin::kMsgPaintChildBackground, wp, 0);
    ::GdiFlush();
    EXPECT_EQ(::GetPixel(dc.get(), 20, 10), sentinel);
  }
  // The genuine record of the dialog's own dressed child is painted from the frame's back buffer.
  reset();
  skin::ChildBackgroundRequest& own = Manager().SkinOf(close)->BackgroundRequest();
  own.dc = dc.get();
  own.rect = RECT{0, 0, 40, 20};
  ::SendMessageW(dialog.hwnd(), skin::kMsgPaintChildBackground, reinterpret_cast<WPARAM>(&own), 0);
  ::GdiFlush();
  EXPECT_NE(::GetPixel(dc.get(), 20, 10), sentinel);
  own.dc = nullptr;
  foreign_record.dc = nullptr;
}

// Not run by ctest: shows the dressed dialog for LOGORA_SHOW_SECONDS (default 5) so a screenshot can be taken
// (--gtest_also_run_disabled_tests --gtest_filter=*ShowForScreenshot).
TEST(DressedDialog, DISABLED_ShowForScreenshot) {
  DressedDialog dialog;
  const std::pair<int, const wchar_t*> controls[] = {{1003, L"sysbtn.close"}, {1004, L"sysbtn.min"},
                                                     {1018, L"btnChoseDevice"}};
  for (const auto& [id, theme_id] : controls) DressControl(::GetDlgItem(dialog.hwnd(), id), theme_id);
  char seconds[8] = "5";
  ::GetEnvironmentVariableA("LOGORA_SHOW_SECONDS", seconds, sizeof(seconds));
  const DWORD until = ::GetTickCount() + static_cast<DWORD>(atoi(seconds)) * 1000;
  while (::GetTickCount() < until) {
    Pump();
    ::Sleep(20);
  }
}
