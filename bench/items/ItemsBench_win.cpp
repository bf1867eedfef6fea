// DirectUI items under Wine: the main window's title drawn by its text item beside a bare DrawTextW with the
// same font, colour, rectangle and format, and the "standard.button" item list drawn in each host state.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <memory>

#include "framework/Handles.h"
#include "skin/SkinBase_win.h"
#include "skin/SkinResourceManager.h"
#include "skin/ThemeGdi.h"
#include "skin/ThemeResource.h"
#include "skin/items/DirectUI_Text_win.h"

namespace {

constexpr int kClientWidth = 425, kClientHeight = 250;  // the main window's client area

skin::CSkinResourceManager& Theme() {
  static skin::CSkinResourceManager* theme = [] {
    auto* m = new skin::CSkinResourceManager();
    skin::LoadThemeResource(*m, ::GetModuleHandleW(nullptr), L"DATA", 133, "");
    return m;
  }();
  return *theme;
}

// A memory surface of the given size and a skin over a hidden window, dressed with a theme item.
struct Bench {
  Bench(const wchar_t* class_name, const wchar_t* id, int width, int height, const wchar_t* text)
      : dc(::CreateCompatibleDC(nullptr)),
        bitmap(::CreateBitmap(width, height, 1, 32, nullptr)),
        select(dc.get(), bitmap.get()),
        window(
            ::CreateWindowExW(0, L"STATIC", text, WS_POPUP, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr)),
        skin(window) {
    if (skin::ThemeItem* item = Theme().FindItem(class_name, id)) skin.BuildItems(*item, Theme());
  }
  ~Bench() { ::DestroyWindow(window); }
  fw::UniqueMemDC dc;
  fw::UniqueBitmap bitmap;
  fw::ScopedSelectObject select;
  HWND window;
  CSkinBase skin;
};

DirectUI_Text* TitleItem(CSkinBase& skin) {
  for (const auto& item : skin.Items())
    if (item->Id() == L"text.windowTitle") return static_cast<DirectUI_Text*>(item.get());
  return nullptr;
}

void BM_DirectUIText_Title(benchmark::State& state) {
  Bench b(L"window", L"PromptDialog", kClientWidth, kClientHeight, L"");
  DirectUI_Text* title = TitleItem(b.skin);
  if (!title) return state.SkipWithError("no title item");
  for (auto _ : state) title->Draw(b.dc.get(), &b.skin, 0, 0, kClientWidth, kClientHeight);
}
BENCHMARK(BM_DirectUIText_Title);

// The floor: what the item does, made directly.
void BM_DrawTextW_Title(benchmark::State& state) {
  Bench b(L"window", L"PromptDialog", kClientWidth, kClientHeight, L"");
  DirectUI_Text* title = TitleItem(b.skin);
  if (!title) return state.SkipWithError("no title item");
  title->Draw(b.dc.get(), &b.skin, 0, 0, kClientWidth, kClientHeight);  // lays it out
  const skin::Rect& r = title->GetRect();
  const std::wstring text = title->DisplayText();
  const UINT format = title->Format();
  HFONT font = skin::ThemeFont(Theme(), L"default_title_bold");
  HDC dc = b.dc.get();
  for (auto _ : state) {
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetTextColor(dc, title->EffectiveColor());
    ::SetBkMode(dc, TRANSPARENT);
    RECT rc{r.left, r.top, r.right, r.bottom};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
    ::SelectObject(dc, old);
  }
}
BENCHMARK(BM_DrawTextW_Title);

void BM_StandardButtonItems(benchmark::State& state) {
  Bench b(L"button", L"standard.button", 69, 26, L"\x5199\x5165");
  b.skin.SetHostState(static_cast<uint32_t>(state.range(0)));
  for (auto _ : state) b.skin.DrawItems(b.dc.get(), 0, 0, 69, 26);
}
BENCHMARK(BM_StandardButtonItems)
    ->Arg(skin::kStateNormal)
    ->Arg(skin::kStateOver)
    ->Arg(skin::kStateDown)
    ->Arg(skin::kStateDisable);

}  // namespace
