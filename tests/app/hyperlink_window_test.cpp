// Hyperlink labels in a real dialog under Wine: colours on screen, underline while hovered, the leave timer,
// clicks that open (or fail to open) the address, sizing to the text, tooltip, cursor, and clean release.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/HyperLink.h"
#include "app/LinkAddresses.h"
#include "framework/DataExchange.h"
#include "framework/Handles.h"
#include "support/WinTestSupport.h"

namespace {

using testing_support::PumpFor;
using testing_support::PumpUntil;

struct LabelSpec {
  int id;
  std::wstring text;
  short x, y, cx, cy;  // dialog units
  DWORD style = SS_LEFT;
};

// The main window's three labels, where its template puts them.
const std::vector<LabelSpec> kMainWindowLabels = {
    {1020, L"关注我们", 142, 135, 30, 8},
    {1021, L"更多实用工具", 81, 135, 42, 8},
    {1022, L"Vendro中文源", 16, 135, 43, 8},
};

// A dialog from an in-memory template whose static controls are attached as hyperlinks by data exchange,
// as the main window does. The hyperlink objects exist before the dialog, so a test can set them up
// before they are attached.
class LinkDialog : public fw::Wnd {
 public:
  explicit LinkDialog(std::vector<LabelSpec> labels) : labels_(std::move(labels)) {
    for (const auto& l : labels_) links_[l.id] = std::make_unique<CXHyperLink>();
  }
  ~LinkDialog() override {
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  }

  bool Create() {
    const std::vector<WORD> tmpl = BuildTemplate();
    HWND h = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                          reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()), nullptr,
                                          &LinkDialog::Proc, reinterpret_cast<LPARAM>(this));
    if (!h) return false;
    ::SetWindowPos(h, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(h);
    PumpFor(50);
    return true;
  }

  CXHyperLink& Link(int id) { return *links_.at(id); }
  // Releases a hyperlink object while its control lives on.
  void DropLink(int id) { links_.erase(id); }

  std::vector<WPARAM> clickedMessages;  // wParam of every WM_XHYPERLINK_CLICKED received

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_XHYPERLINK_CLICKED) {
      clickedMessages.push_back(wp);
      return 0;
    }
    return fw::Wnd::WindowProc(msg, wp, lp);
  }

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<LinkDialog*>(lp);
    if (!self->SubclassWindow(hwnd)) return FALSE;
    fw::DataExchange dx(hwnd, false);
    for (const auto& l : self->labels_) fw::DDX_Control(dx, l.id, *self->links_[l.id]);
    return TRUE;
  }

  std::vector<WORD> BuildTemplate() const {
    std::vector<WORD> t;
    auto dword = [&](DWORD v) {
      t.push_back(LOWORD(v));
      t.push_back(HIWORD(v));
    };
    auto text = [&](const std::wstring& s) {
      for (wchar_t c : s) t.push_back(static_cast<WORD>(c));
      t.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    dword(0);
    t.push_back(static_cast<WORD>(labels_.size()));
    for (short v : {0, 0, 283, 152}) t.push_back(static_cast<WORD>(v));
    t.push_back(0);  // no menu
    t.push_back(0);  // default class
    text(L"iOSLogora实用工具");
    t.push_back(9);
    text(L"MS Shell Dlg");
    for (const auto& l : labels_) {
      if (t.size() % 2) t.push_back(0);  // items start on a DWORD boundary
      dword(WS_CHILD | WS_VISIBLE | l.style);
      dword(0);
      for (short v : {l.x, l.y, l.cx, l.cy}) t.push_back(static_cast<WORD>(v));
      t.push_back(static_cast<WORD>(l.id));
      t.push_back(0xFFFF);
      t.push_back(0x0082);  // static
      text(l.text);
      t.push_back(0);  // no creation data
    }
    return t;
  }

  std::vector<LabelSpec> labels_;
  std::map<int, std::unique_ptr<CXHyperLink>> links_;
};

RECT ScreenRect(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

RECT RectInParent(HWND hwnd) {
  RECT r = ScreenRect(hwnd);
  ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The label's client area as it is on screen.
struct Capture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;

  explicit Capture(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    width = rc.right;
    height = rc.bottom;
    fw::WindowDC screen(hwnd);
    fw::UniqueMemDC mem(::CreateCompatibleDC(screen.get()));
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    fw::UniqueBitmap dib(::CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return;
    {
      fw::ScopedSelectObject select(mem.get(), dib.get());
      ::BitBlt(mem.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
      ::GdiFlush();
    }
    const auto* p = static_cast<const DWORD*>(bits);
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
  }

  int Count(COLORREF c) const {
    int n = 0;
    for (COLORREF p : pixels) n += p == c;
    return n;
  }
  // A row that is `c` across nearly the whole width: an underline.
  bool HasLine(COLORREF c) const {
    for (int y = 0; y < height; ++y) {
      int n = 0;
      for (int x = 0; x < width; ++x) n += pixels[static_cast<size_t>(y) * width + x] == c;
      if (width > 0 && n * 10 >= width * 9) return true;
    }
    return false;
  }
};

bool FontUnderlined(HWND hwnd) {
  LOGFONTW lf{};
  auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
  return font && ::GetObjectW(font, sizeof(lf), &lf) && lf.lfUnderline;
}

// The text colour the label asks its parent's DC for, through the reflected control-colour message.
COLORREF ReflectedTextColour(HWND label) {
  fw::WindowDC dc(label);
  ::SendMessageW(::GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(label));
  return ::GetTextColor(dc.get());
}

void MoveMouseTo(POINT p) {
  ::SetCursorPos(p.x, p.y);
  PumpFor(30);
}

POINT CentreOf(HWND hwnd) {
  const RECT r = ScreenRect(hwnd);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT Outside(HWND dialog) {
  const RECT r = ScreenRect(dialog);
  return {r.right + 40, r.bottom + 40};
}

void ClickHere() {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, input, sizeof(INPUT));
}

class HyperlinkWindow : public testing::Test {
 protected:
  void SetUp() override {
    // Start each test with the mouse away from where the dialog will be.
    ::SetCursorPos(900, 700);
    PumpFor(20);
  }
};

TEST_F(HyperlinkWindow, HoverUnderlinesInRedAndLeavingRestoresWithinTheTimer) {
  LinkDialog dialog(kMainWindowLabels);
  ASSERT_TRUE(dialog.Create());
  CXHyperLink& link = dialog.Link(1021);
  link.SetURL(kForumAddress);

  Capture before(link);
  EXPECT_GT(before.Count(CXHyperLink::kLinkColour), 0);
  EXPECT_EQ(before.Count(CXHyperLink::kHoverColour), 0);
  EXPECT_FALSE(before.HasLine(CXHyperLink::kLinkColour));
  EXPECT_EQ(ReflectedTextColour(link), CXHyperLink::kLinkColour);

  MoveMouseTo(CentreOf(link));
  ASSERT_TRUE(PumpUntil([&] { return link.IsMouseOver(); }, 2000)) << "no mouse move reached the label";
  EXPECT_TRUE(FontUnderlined(link));
  Capture hovered(link);
  EXPECT_TRUE(hovered.HasLine(CXHyperLink::kHoverColour));
  EXPECT_EQ(hovered.Count(CXHyperLink::kLinkColour), 0);
  EXPECT_EQ(ReflectedTextColour(link), CXHyperLink::kHoverColour);

  // The timer keeps watching while the mouse stays.
  PumpFor(350);
  EXPECT_TRUE(link.IsMouseOver());
  EXPECT_TRUE(FontUnderlined(link));

  MoveMouseTo(Outside(dialog));
  ASSERT_TRUE(PumpUntil([&] { return !link.IsMouseOver(); }, 2000)) << "the leave timer never noticed";
  EXPECT_FALSE(FontUnderlined(link));
  Capture after(link);
  EXPECT_GT(after.Count(CXHyperLink::kLinkColour), 0);
  EXPECT_FALSE(after.HasLine(CXHyperLink::kLinkColour));
  EXPECT_FALSE(link.IsVisited());
}

TEST_F(HyperlinkWindow, ClickOpensTheAddressAndTakesTheVisitedColour) {
  LinkDialog dialog(kMainWindowLabels);
  ASSERT_TRUE(dialog.Create());
  CXHyperLink& link = dialog.Link(1022);
  link.SetURL(kSourceAddress);
  link.EnableURL(true);
  std::vector<std::wstring> opened;
  int failures = 0;
  link.SetOpener([&](const std::wstring& address, bool newWindow) -> hyperlink::OpenResult {
    opened.push_back(address + (newWindow ? L" (new)" : L""));
    return 42;
  });
  link.SetFailureSignal([&] { ++failures; });

  MoveMouseTo(CentreOf(link));
  ASSERT_TRUE(PumpUntil([&] { return link.IsMouseOver(); }, 2000));
  ClickHere();
  ASSERT_TRUE(PumpUntil([&] { return !opened.empty(); }, 2000)) << "the click never reached the label";
  EXPECT_EQ(opened, std::vector<std::wstring>{kSourceAddress});
  EXPECT_TRUE(link.IsVisited());
  EXPECT_EQ(failures, 0);
  EXPECT_TRUE(dialog.clickedMessages.empty()) << "the parent did not ask to be told";

  MoveMouseTo(Outside(dialog));
  ASSERT_TRUE(PumpUntil([&] { return !link.IsMouseOver() && !FontUnderlined(link); }, 2000));
  Capture visited(link);
  EXPECT_GT(visited.Count(CXHyperLink::kVisitedColour), 0);
  EXPECT_EQ(visited.Count(CXHyperLink::kLinkColour), 0);
  EXPECT_FALSE(visited.HasLine(CXHyperLink::kVisitedColour));
  EXPECT_EQ(ReflectedTextColour(link), CXHyperLink::kVisitedColour);
  // The other labels were not touched.
  EXPECT_FALSE(dialog.Link(1021).IsVisited());
  EXPECT_EQ(ReflectedTextColour(dialog.Link(1021)), CXHyperLink::kLinkColour);
}

// Clicks sent the way the static control reports them, for the cases that need no mouse.
void ReportClick(HWND label) {
  ::SendMessageW(::GetParent(label), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(label), STN_CLICKED),
                 reinterpret_cast<LPARAM>(label));
}

TEST_F(HyperlinkWindow, ClickOutcomes) {
  struct Case {
    const char* name;
    bool addressEnabled;
    bool notifyParent;
    bool visitedBefore;
    hyperlink::OpenResult openResult;
    bool expectOpened, expectVisited, expectBeep, expectMessage;
  } const cases[] = {
      {"opens", true, false, false, 42, true, true, false, false},
      {"cannot open", true, false, false, SE_ERR_NOASSOC, true, false, true, false},
      {"cannot open again after a visit", true, false, true, 0, true, false, true, false},
      {"address disabled counts as opened", false, false, false, SE_ERR_NOASSOC, false, true, false, false},
      {"parent asked to be told", true, true, false, 42, true, true, false, true},
      {"parent told of a failure too", true, true, false, SE_ERR_FNF, true, false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkDialog dialog(kMainWindowLabels);
    ASSERT_TRUE(dialog.Create());
    CXHyperLink& link = dialog.Link(1020);
    link.SetURL(kMicroblogAddress);
    link.EnableURL(c.addressEnabled);
    link.SetNotifyParent(c.notifyParent);
    link.SetVisited(c.visitedBefore);
    int opens = 0, beeps = 0;
    link.SetOpener([&](const std::wstring&, bool) {
      ++opens;
      return c.openResult;
    });
    link.SetFailureSignal([&] { ++beeps; });

    ReportClick(link);
    EXPECT_EQ(opens, c.expectOpened ? 1 : 0);
    EXPECT_EQ(link.IsVisited(), c.expectVisited);
    EXPECT_EQ(beeps, c.expectBeep ? 1 : 0);
    EXPECT_EQ(ReflectedTextColour(link), c.expectVisited ? CXHyperLink::kVisitedColour : CXHyperLink::kLinkColour);
    if (c.expectMessage) {
      EXPECT_EQ(dialog.clickedMessages, std::vector<WPARAM>{1020});
    } else {
      EXPECT_TRUE(dialog.clickedMessages.empty());
    }
  }
}

// The failure forced through the real opening path: the shell is overridden to fail and the registered
// browser does not exist, so the label beeps and keeps its unvisited colour.
TEST_F(HyperlinkWindow, BrowserThatCannotStartLeavesTheLabelUnvisited) {
  LinkDialog dialog(kMainWindowLabels);
  ASSERT_TRUE(dialog.Create());
  CXHyperLink& link = dialog.Link(1021);
  link.SetURL(kForumAddress);
  hyperlink::Launcher broken = hyperlink::SystemLauncher();
  broken.shellExecute = [](const wchar_t*, const std::wstring&) -> hyperlink::OpenResult { return SE_ERR_NOASSOC; };
  broken.browserCommand = [] { return std::wstring(L"\"C:\\no such browser\\browser.exe\" \"%1\""); };
  link.SetOpener([&](const std::wstring& address, bool newWindow) {
    return hyperlink::OpenAddress(address, newWindow, broken);
  });
  int beeps = 0;
  link.SetFailureSignal([&] { ++beeps; });

  ReportClick(link);
  EXPECT_EQ(beeps, 1);
  EXPECT_FALSE(link.IsVisited());
  Capture shown(link);
  EXPECT_GT(shown.Count(CXHyperLink::kLinkColour), 0);
  EXPECT_EQ(shown.Count(CXHyperLink::kVisitedColour), 0);
}

int TextWidth(HWND label) {
  const std::wstring text = [&] {
    std::wstring s(static_cast<size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
    s.resize(static_cast<size_t>(::GetWindowTextW(label, s.data(), static_cast<int>(s.size()))));
    return s;
  }();
  fw::WindowDC dc(label);
  fw::ScopedSelectObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE extent{};
  ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  ::GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

TEST_F(HyperlinkWindow, EmptyLabelShowsItsAddressSizedToIt) {
  // Address given before the label is attached, and after.
  for (bool before : {true, false}) {
    SCOPED_TRACE(before ? "address before attaching" : "address after attaching");
    LinkDialog dialog({{1021, L"", 81, 135, 10, 8}});
    if (before) dialog.Link(1021).SetURL(kForumAddress);
    ASSERT_TRUE(dialog.Create());
    CXHyperLink& link = dialog.Link(1021);
    if (!before) link.SetURL(kForumAddress);
    EXPECT_EQ(TextOf(link), kForumAddress);
    EXPECT_EQ(link.GetURL(), kForumAddress);
    RECT client{};
    ::GetClientRect(link, &client);
    EXPECT_EQ(client.right, TextWidth(link));
    EXPECT_GT(client.right, 100) << "sized to the address, not to the template's width";

    // A new address replaces the shown one, and the size follows.
    link.SetURL(kSourceAddress);
    EXPECT_EQ(TextOf(link), kSourceAddress);
    ::GetClientRect(link, &client);
    EXPECT_EQ(client.right, TextWidth(link));
  }
}

TEST_F(HyperlinkWindow, LabelWithTextTakesItAsAddressUntilGivenOne) {
  LinkDialog dialog(kMainWindowLabels);
  ASSERT_TRUE(dialog.Create());
  CXHyperLink& link = dialog.Link(1022);
  EXPECT_EQ(link.GetURL(), L"Vendro中文源");
  link.SetURL(kSourceAddress);
  EXPECT_EQ(TextOf(link), L"Vendro中文源") << "a label with text keeps it";
  RECT client{};
  ::GetClientRect(link, &client);
  EXPECT_EQ(client.right, TextWidth(link));
}

TEST_F(HyperlinkWindow, ResizingKeepsTheEdgeItsAlignmentNames) {
  const short x = 20, y = 20, cx = 120, cy = 20;
  LinkDialog dialog({
      {1, L"Link", x, y, cx, cy, SS_LEFT},
      {2, L"Link", x, y + 25, cx, cy, SS_RIGHT},
      {3, L"Link", x, y + 50, cx, cy, SS_CENTER},
      {4, L"Link", x, y + 75, cx, cy, SS_LEFT | SS_CENTERIMAGE},
  });
  ASSERT_TRUE(dialog.Create());
  // Where the template put the controls, in pixels.
  auto templateRect = [&](short top) {
    RECT r{x, top, x + cx, top + cy};
    ::MapDialogRect(dialog, &r);
    return r;
  };
  enum class Keeps { Left, Right, Centre, Middle };
  struct Case {
    int id;
    short top;
    Keeps keeps;
  } const cases[] = {{1, y, Keeps::Left},
                     {2, static_cast<short>(y + 25), Keeps::Right},
                     {3, static_cast<short>(y + 50), Keeps::Centre},
                     {4, static_cast<short>(y + 75), Keeps::Middle}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const RECT was = templateRect(c.top);
    const RECT now = RectInParent(dialog.Link(c.id));
    ASSERT_LT(now.right - now.left, was.right - was.left) << "shrunk to the short text";
    switch (c.keeps) {
      case Keeps::Left:
        EXPECT_EQ(now.left, was.left);
        EXPECT_EQ(now.top, was.top);
        break;
      case Keeps::Right:
        EXPECT_EQ(now.right, was.right);
        EXPECT_EQ(now.top, was.top);
        break;
      case Keeps::Centre:
        EXPECT_LE(std::abs((now.left + now.right) - (was.left + was.right)), 2);
        EXPECT_EQ(now.top, was.top);
        break;
      case Keeps::Middle:
        EXPECT_LE(std::abs((now.top + now.bottom) - (was.top + was.bottom)), 2);
        EXPECT_EQ(now.left, was.left);
        break;
    }
  }
}

TEST_F(HyperlinkWindow, TooltipShowsTheCurrentAddressOverTheLabel) {
  LinkDialog dialog(kMainWindowLabels);
  ASSERT_TRUE(dialog.Create());
  CXHyperLink& link = dialog.Link(1020);
  ASSERT_TRUE(link.GetTooltip());
  link.SetURL(kMicroblogAddress);

  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = link;
  tool.uId = 1;
  tool.lpszText = text;
  ::SendMessageW(link.GetTooltip(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, kMicroblogAddress);
  tool.lpszText = nullptr;
  ASSERT_TRUE(::SendMessageW(link.GetTooltip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
  RECT client{};
  ::GetClientRect(link, &client);
  EXPECT_TRUE(::EqualRect(&tool.rect, &client));
}

TEST_F(HyperlinkWindow, UnderlineModes) {
  struct Case {
    int mode;
    bool idle, hovered, left;  // underlined before hovering, while hovered, after the mouse left
  } const cases[] = {
      {CXHyperLink::kUnderlineHover, false, true, false},
      {CXHyperLink::kUnderlineAlways, true, true, true},
      {CXHyperLink::kUnderlineNever, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    LinkDialog dialog(kMainWindowLabels);
    ASSERT_TRUE(dialog.Create());
    CXHyperLink& link = dialog.Link(1021);
    link.SetUnderline(c.mode);
    EXPECT_EQ(FontUnderlined(link), c.idle);
    // The mouse is far away (see SetUp), so the leave timer ends the hover on its first tick.
    ::SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(FontUnderlined(link), c.hovered);
    EXPECT_TRUE(PumpUntil([&] { return !link.IsMouseOver(); }, 2000));
    EXPECT_EQ(FontUnderlined(link), c.left);
  }
}

TEST_F(HyperlinkWindow, HandCursorOverTheLabel) {
  LinkDialog dialog(kMainWindowLabels);
  ASSERT_TRUE(dialog.Create());
  HWND label = dialog.Link(1021);
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_TRUE(::SendMessageW(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(HyperlinkWindow, ReleasingTheLabelGivesBackTheDialogFontAndFreesEverything) {
  const long before = fw::LiveGdiObjectCount().load();
  {
    LinkDialog dialog(kMainWindowLabels);
    ASSERT_TRUE(dialog.Create());
    HWND label = dialog.Link(1021);
    HWND tooltip = dialog.Link(1021).GetTooltip();
    dialog.Link(1021).SetBackgroundColour(RGB(1, 2, 3));
    const auto dialogFont = ::SendMessageW(dialog, WM_GETFONT, 0, 0);
    EXPECT_NE(::SendMessageW(label, WM_GETFONT, 0, 0), dialogFont);

    dialog.DropLink(1021);
    EXPECT_EQ(::SendMessageW(label, WM_GETFONT, 0, 0), dialogFont);
    EXPECT_EQ(fw::Wnd::FromHandle(label), nullptr);
    // The control still paints, with a font that is alive.
    ::RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(::IsWindow(label));
    EXPECT_FALSE(::IsWindow(tooltip));
  }
  EXPECT_EQ(fw::LiveGdiObjectCount().load(), before);
}

}  // namespace
