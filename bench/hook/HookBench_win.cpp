// The price of the interception on windows the engine does not dress: intercepted BeginPaint/EndPaint and
// GetWindowLongPtrW beside the real calls, with a registry of dressed windows the lookups miss.
#include <windows.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <unordered_map>

#include "skin/hook/SkinDetours_win.h"

namespace {

using skin::hook::CSkinDetours;

class RegistryLikeEngine : public skin::hook::HookEngine {
 public:
  skin::hook::DressedWindow* FindDressed(HWND hwnd) override {
    auto it = dressed_.find(hwnd);
    return it == dressed_.end() ? nullptr : it->second.get();
  }
  void Add(HWND hwnd) { dressed_[hwnd] = nullptr; }

 private:
  std::unordered_map<HWND, std::unique_ptr<skin::hook::DressedWindow>> dressed_;
};

struct Setup {
  RegistryLikeEngine engine;
  CSkinDetours detours;
  HWND window = nullptr;
  Setup() {
    window = ::CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
    for (int i = 0; i < 24; ++i)
      engine.Add(::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr));
    detours.Hook(engine);
  }
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

void BM_BeginEndPaintReal(benchmark::State& state) {
  HWND hwnd = TheSetup().window;
  const auto& real = CSkinDetours::Real();
  for (auto _ : state) {
    PAINTSTRUCT ps;
    benchmark::DoNotOptimize(real.BeginPaint(hwnd, &ps));
    real.EndPaint(hwnd, &ps);
  }
}
BENCHMARK(BM_BeginEndPaintReal);

void BM_BeginEndPaintIntercepted(benchmark::State& state) {
  HWND hwnd = TheSetup().window;
  if (!TheSetup().detours.IsHooked()) state.SkipWithError("not hooked");
  for (auto _ : state) {
    PAINTSTRUCT ps;
    benchmark::DoNotOptimize(::BeginPaint(hwnd, &ps));
    ::EndPaint(hwnd, &ps);
  }
}
BENCHMARK(BM_BeginEndPaintIntercepted);

void BM_GetWindowProcedureReal(benchmark::State& state) {
  HWND hwnd = TheSetup().window;
  const auto& real = CSkinDetours::Real();
  for (auto _ : state) benchmark::DoNotOptimize(real.GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}
BENCHMARK(BM_GetWindowProcedureReal);

void BM_GetWindowProcedureIntercepted(benchmark::State& state) {
  HWND hwnd = TheSetup().window;
  if (!TheSetup().detours.IsHooked()) state.SkipWithError("not hooked");
  for (auto _ : state) benchmark::DoNotOptimize(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}
BENCHMARK(BM_GetWindowProcedureIntercepted);

void BM_GetWindowStyleReal(benchmark::State& state) {
  HWND hwnd = TheSetup().window;
  const auto& real = CSkinDetours::Real();
  for (auto _ : state) benchmark::DoNotOptimize(real.GetWindowLongPtrW(hwnd, GWL_STYLE));
}
BENCHMARK(BM_GetWindowStyleReal);

void BM_GetWindowStyleIntercepted(benchmark::State& state) {
  HWND hwnd = TheSetup().window;
  for (auto _ : state) benchmark::DoNotOptimize(::GetWindowLongPtrW(hwnd, GWL_STYLE));
}
BENCHMARK(BM_GetWindowStyleIntercepted);

}  // namespace
