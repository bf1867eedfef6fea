#include "ControlsFixture_win.h"

#include <memory>

#include "skin/SkinBase_win.h"
#include "skin/SkinIds.h"
#include "skin/ThemeResource.h"

namespace controls_test {

skin::CSkinResourceManager& TestTheme() {
  static skin::CSkinResourceManager* theme = [] {
    auto* m = new skin::CSkinResourceManager();
    skin::LoadThemeResource(*m, ::GetModuleHandleW(nullptr), L"DATA", 140, "");
    return m;
  }();
  return *theme;
}

COLORREF CellColour(int row, int column) { return RGB(20 + column * 15, 60 + row * 100, 200); }

skin::hook::DressedWindow* PropertyEngine::FindDressed(HWND hwnd) {
  auto* skin = static_cast<CSkinBase*>(::GetPropW(hwnd, skin::kPropSkinObject));
  return skin ? dynamic_cast<skin::hook::DressedWindow*>(skin) : nullptr;
}

HookedTest::HookedTest() { detours_.Hook(engine_); }
HookedTest::~HookedTest() { detours_.Unhook(); }

namespace {
const wchar_t kParentClass[] = L"LogoraControlsTestParent";
}

ParentWindow::ParentWindow(int width, int height) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ParentWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kParentClass;
    return ::RegisterClassW(&wc);
  }();
  (void)atom;
  hwnd_ = ::CreateWindowExW(0, kParentClass, L"controls", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, width,
                            height, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Pump();
}

ParentWindow::~ParentWindow() {
  if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK ParentWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<ParentWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && (msg == WM_HSCROLL || msg == WM_VSCROLL || msg == WM_COMMAND || msg == skin::SKINMSG_SPINCLICK)) {
    self->notifications.push_back(
        {msg, static_cast<int>(LOWORD(wp)), static_cast<int>(static_cast<short>(HIWORD(wp))),
         reinterpret_cast<HWND>(msg == skin::SKINMSG_SPINCLICK ? wp : lp)});
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

WindowPixels::WindowPixels(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  HDC screen = ::GetDC(nullptr);
  dc_.reset(::CreateCompatibleDC(screen));
  bitmap_.reset(::CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
  ::ReleaseDC(nullptr, screen);
  selection_.emplace(dc_.get(), bitmap_.get());
  RECT all{0, 0, r.right - r.left, r.bottom - r.top};
  ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

COLORREF ScreenPixel(HWND hwnd, int x, int y) {
  fw::WindowDC dc(hwnd, true);
  return ::GetPixel(dc.get(), x, y);
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace controls_test
