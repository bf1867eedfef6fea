// The dressed main-window template: a full repaint (frame and client, with erasing asked for), a client
// repaint, and a resize that re-renders the frame, rebuilds the region and re-places the children.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <memory>
#include <utility>

#include "skin/SkinBase_win.h"
#include "skin/SkinResourceManager.h"
#include "skin/SkinWndManager_win.h"
#include "skin/ThemeResource.h"

namespace {

int g_erases = 0;  // erase messages that reached the dialog's own procedure, which would paint

INT_PTR CALLBACK DialogProc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_ERASEBKGND) ++g_erases;
  return msg == WM_INITDIALOG;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

// Dialog 102 dressed as the main window is, its three placed buttons dressed by the common skin.
HWND DressedDialog() {
  static HWND dialog = [] {
    skin::LoadThemeResource(skin::GetSkinResourceManager(), ::GetModuleHandleW(nullptr), L"DATA", 133, "");
    skin::CSkinWndManager& manager = skin::CSkinWndManager::Get();
    HWND d = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(102), nullptr, &DialogProc, 0);
    manager.AttachFrame(d, L"PromptDialog");
    const std::pair<int, const wchar_t*> controls[] = {{1003, L"sysbtn.close"}, {1004, L"sysbtn.min"},
                                                       {1018, L"btnChoseDevice"}};
    for (const auto& [id, theme_id] : controls)
      manager.Attach(::GetDlgItem(d, id), theme_id, L"button", skin::CSkinWndManager::Registry::kControls,
                     [](HWND w) { return std::make_unique<CSkinBase>(w); });
    ::ShowWindow(d, SW_SHOW);
    ::UpdateWindow(d);
    Pump();
    return d;
  }();
  return dialog;
}

void BM_FullRepaint(benchmark::State& state) {
  HWND d = DressedDialog();
  g_erases = 0;
  for (auto _ : state) {
    ::RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    ::GdiFlush();
  }
  state.counters["erases_per_repaint"] = benchmark::Counter(g_erases, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ClientRepaint(benchmark::State& state) {
  HWND d = DressedDialog();
  for (auto _ : state) {
    ::RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    ::GdiFlush();
  }
}
BENCHMARK(BM_ClientRepaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ResizeRerenderAndRegion(benchmark::State& state) {
  HWND d = DressedDialog();
  RECT rc{};
  ::GetWindowRect(d, &rc);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int i = 0;
  for (auto _ : state) {
    ++i;
    ::SetWindowPos(d, nullptr, 0, 0, w + (i & 1) * 24, h + (i & 1) * 12, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::GdiFlush();
  }
  ::SetWindowPos(d, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
}
BENCHMARK(BM_ResizeRerenderAndRegion)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
