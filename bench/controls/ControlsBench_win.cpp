// Control skins under Wine: PaintBars (both bars forced) into a memory context beside one plain BitBlt of
// the same bar, and a push button's repaint in the over look.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "framework/Handles.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeResource.h"
#include "skin/controls/SkinButtonSB_win.h"
#include "skin/controls/SkinScrollBarSB_win.h"

namespace {

skin::CSkinResourceManager& Theme() {
  static skin::CSkinResourceManager* theme = [] {
    auto* m = new skin::CSkinResourceManager();
    skin::LoadThemeResource(*m, ::GetModuleHandleW(nullptr), L"DATA", 140, "");
    return m;
  }();
  return *theme;
}

struct Surface {
  Surface(int width, int height)
      : dc(::CreateCompatibleDC(nullptr)), bitmap(::CreateBitmap(width, height, 1, 32, nullptr)), select(dc.get(), bitmap.get()) {}
  fw::UniqueMemDC dc;
  fw::UniqueBitmap bitmap;
  fw::ScopedSelectObject select;
};

struct Parent {
  Parent() : hwnd(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr)) {}
  ~Parent() { ::DestroyWindow(hwnd); }
  HWND hwnd;
};

void BM_PaintBars_ScrollBarControl(benchmark::State& state) {
  Parent parent;
  HWND bar = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 16, 232,
                               parent.hwnd, nullptr, nullptr, nullptr);
  CSkinScrollBarSB* skin = CSkinScrollBarSB::Dress(bar, Theme().GetPicture(L"test.scrollbar"), nullptr);
  if (!skin) return state.SkipWithError("not dressed");
  SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 40};
  skin->SetScrollInfo(SB_CTL, info, FALSE);
  Surface surface(16, 232);
  for (auto _ : state) skin->PaintBars(surface.dc.get(), true);
}
BENCHMARK(BM_PaintBars_ScrollBarControl);

// The platform's cheapest way to put a bar of that size on a context: one block copy.
void BM_BitBlt_SameSize(benchmark::State& state) {
  Surface source(16, 232), target(16, 232);
  for (auto _ : state) ::BitBlt(target.dc.get(), 0, 0, 16, 232, source.dc.get(), 0, 0, SRCCOPY);
}
BENCHMARK(BM_BitBlt_SameSize);

void BM_PushButton_HoverRepaint(benchmark::State& state) {
  Parent parent;
  HWND button = ::CreateWindowExW(0, L"BUTTON", L"Write", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 69, 26,
                                  parent.hwnd, nullptr, nullptr, nullptr);
  CSkinButtonSB* skin = CSkinButtonSB::Dress(button, Theme(), L"test.button");
  if (!skin) return state.SkipWithError("not dressed");
  ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Surface surface(69, 26);
  for (auto _ : state) skin->PaintTo(surface.dc.get());
  if (!skin->Over()) state.SkipWithError("not hovered");
}
BENCHMARK(BM_PushButton_HoverRepaint);

}  // namespace
