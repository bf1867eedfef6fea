#include "skin/items/ItemTheme_win.h"

#include "skin/SkinIds.h"
#include "skin/ThemeResource.h"
#include "skin/ZipFixture.h"

namespace items_test {

skin::CSkinResourceManager& ShippedTheme() {
  static skin::CSkinResourceManager* theme = [] {
    auto* m = new skin::CSkinResourceManager();
    skin::LoadThemeResource(*m, ::GetModuleHandleW(nullptr), L"DATA", 133, "");
    return m;
  }();
  return *theme;
}

bool LoadTheme(skin::CSkinResourceManager& theme, const std::string& document,
               std::vector<std::pair<std::string, skin_test::Bytes>> pictures) {
  pictures.emplace_back("skin.xml",
                        skin_test::AsBytes("<?xml version=\"1.0\"?><theme version=\"3.0\">" + document + "</theme>"));
  const skin_test::Bytes zip = skin_test::MakeStoredZip(pictures);
  return theme.LoadArchiveTheme(zip.data(), zip.size(), "") == 1;
}

namespace {
const wchar_t kHostClass[] = L"LogoraItemTestHost";
}

HostWindows::HostWindows(int width, int height, const wchar_t* text) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &HostWindows::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    return ::RegisterClassW(&wc);
  }();
  (void)atom;
  parent_ = ::CreateWindowExW(0, kHostClass, L"host", WS_POPUP, 0, 0, width + 20, height + 20, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), this);
  ::SetWindowLongPtrW(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  control_ = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent_, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
}

HostWindows::~HostWindows() {
  if (parent_) ::DestroyWindow(parent_);
}

LRESULT CALLBACK HostWindows::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<HostWindows*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == skin::SKINMSG_ITEMCLICK && self) {
    // Run the receiver's own work first: the id must still be readable after it re-dressed the host.
    if (self->on_click) self->on_click();
    self->clicks.emplace_back(reinterpret_cast<const wchar_t*>(lp));
    self->click_sources.push_back(reinterpret_cast<HWND>(wp));
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

fw::UniqueFont CrispFont(int height) {
  return fw::UniqueFont(::CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                      DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

}  // namespace items_test
