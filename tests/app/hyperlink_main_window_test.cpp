// The three hyperlink labels at the bottom of the real main window (its template, its resources and its
// common-controls version): their addresses, their size, and hovering with the real mouse.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/AppFormMain.h"
#include "app/LinkAddresses.h"
#include "support/WinTestSupport.h"

namespace {

using testing_support::PumpFor;
using testing_support::PumpUntil;

bool FontUnderlined(HWND hwnd) {
  LOGFONTW lf{};
  auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
  return font && ::GetObjectW(font, sizeof(lf), &lf) && lf.lfUnderline;
}

COLORREF ReflectedTextColour(HWND label) {
  fw::WindowDC dc(label);
  ::SendMessageW(::GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(label));
  return ::GetTextColor(dc.get());
}

std::wstring TooltipText(HWND label) {
  auto* link = dynamic_cast<CXHyperLink*>(fw::Wnd::FromHandle(label));
  if (!link || !link->GetTooltip()) return {};
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = label;
  tool.uId = 1;
  tool.lpszText = text;
  ::SendMessageW(link->GetTooltip(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  return text;
}

class HyperlinkMainWindow : public testing::Test {
 protected:
  void SetUp() override {
    ::SetCursorPos(1000, 740);
    ASSERT_TRUE(dialog.Create());
    hwnd = dialog.GetSafeHwnd();
    ::SetWindowPos(hwnd, HWND_TOP, 50, 50, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(hwnd);
    PumpFor(50);
  }
  void TearDown() override {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }
  testing_support::RecordingMessageBoxes boxes;
  AppFormMain dialog;
  HWND hwnd = nullptr;
};

TEST_F(HyperlinkMainWindow, LabelsCarryTheProjectsAddressesAndFitTheirText) {
  struct Row {
    int id;
    const wchar_t* text;
    const wchar_t* address;
  } const rows[] = {
      {1021, L"更多实用工具", kForumAddress},
      {1020, L"关注我们", kMicroblogAddress},
      {1022, L"Vendro中文源", kSourceAddress},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    HWND label = ::GetDlgItem(hwnd, row.id);
    auto* link = dynamic_cast<CXHyperLink*>(fw::Wnd::FromHandle(label));
    ASSERT_NE(link, nullptr) << "not attached";
    EXPECT_EQ(link->GetURL(), row.address);
    EXPECT_TRUE(link->IsURLEnabled());
    EXPECT_EQ(testing_support::TextOf(label), row.text);
    EXPECT_EQ(TooltipText(label), row.address);
    EXPECT_EQ(ReflectedTextColour(label), CXHyperLink::kLinkColour);

    fw::WindowDC dc(label);
    fw::ScopedSelectObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), row.text, static_cast<int>(wcslen(row.text)), &extent);
    RECT client{};
    ::GetClientRect(label, &client);
    EXPECT_EQ(client.right, extent.cx);
  }
}

TEST_F(HyperlinkMainWindow, HoveringWithTheMouseUnderlinesInRed) {
  HWND label = ::GetDlgItem(hwnd, 1021);
  auto* link = dynamic_cast<CXHyperLink*>(fw::Wnd::FromHandle(label));
  ASSERT_NE(link, nullptr);
  RECT r{};
  ::GetWindowRect(label, &r);
  ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ASSERT_TRUE(PumpUntil([&] { return link->IsMouseOver(); }, 2000));
  PumpFor(300);  // a few ticks of the leave timer with the mouse still there
  EXPECT_TRUE(link->IsMouseOver());
  EXPECT_TRUE(FontUnderlined(label));
  EXPECT_EQ(ReflectedTextColour(label), CXHyperLink::kHoverColour);

  ::SetCursorPos(1000, 740);
  EXPECT_TRUE(PumpUntil([&] { return !link->IsMouseOver() && !FontUnderlined(label); }, 2000));
  EXPECT_EQ(ReflectedTextColour(label), CXHyperLink::kLinkColour);
}

}  // namespace
