// The main window as the user meets it: its controls, closing, the caption band and the default button.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/AppFormMain.h"
#include "support/WinTestSupport.h"

using testing_support::ClassNameOf;
using testing_support::PumpFor;
using testing_support::PumpUntil;
using testing_support::TextOf;

namespace {

struct ControlRow {
  int id;
  const wchar_t* class_name;
  DWORD kind;  // low style bits for buttons and statics
  const wchar_t* text;  // template text, or null when the text comes from the presentation
  RECT dlu;             // x, y, width, height in dialog units
};

// The template's controls in tab order.
const ControlRow kControls[] = {
    {1005, L"Button", BS_DEFPUSHBUTTON, nullptr, {186, 133, 41, 14}},
    {1006, L"Button", BS_PUSHBUTTON, nullptr, {230, 133, 41, 14}},
    {1003, L"Button", BS_PUSHBUTTON, nullptr, {226, 6, 50, 14}},
    {1004, L"Button", BS_PUSHBUTTON, nullptr, {176, 6, 50, 14}},
    {1013, L"Button", BS_GROUPBOX, L"运营商选择", {7, 23, 269, 33}},
    {1008, L"Button", BS_AUTORADIOBUTTON, L"中国联通", {11, 37, 43, 10}},
    {1009, L"Button", BS_AUTORADIOBUTTON, L"中国移动", {58, 37, 43, 10}},
    {1014, L"Button", BS_GROUPBOX, L"图片预览", {7, 59, 269, 51}},
    {1015, L"Button", BS_PUSHBUTTON, nullptr, {12, 75, 47, 24}},
    {1016, L"Button", BS_PUSHBUTTON, nullptr, {65, 75, 47, 24}},
    {1017, L"Button", BS_PUSHBUTTON, nullptr, {118, 75, 47, 24}},
    {1018, L"Button", BS_PUSHBUTTON, nullptr, {7, 6, 69, 14}},
    {1020, L"Static", SS_LEFT, nullptr, {142, 135, 30, 8}},
    {1021, L"Static", SS_LEFT, nullptr, {81, 135, 42, 8}},
    {-1, L"Static", SS_LEFT, L"Default", {24, 100, 26, 8}},
    {-1, L"Static", SS_LEFT, L"FSO", {82, 99, 16, 8}},
    {-1, L"Static", SS_LEFT, L"TS", {137, 99, 10, 8}},
    {1022, L"Static", SS_LEFT, nullptr, {16, 135, 43, 8}},
};

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create());
    hwnd = dialog.GetSafeHwnd();
    PumpFor(50);
  }
  void TearDown() override {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }
  RECT ClientRectOfChild(HWND child) const {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  testing_support::RecordingMessageBoxes boxes;
  AppFormMain dialog;
  HWND hwnd = nullptr;
};

TEST_F(MainWindow, HasTheTemplateControlsInTabOrder) {
  EXPECT_EQ(TextOf(hwnd), L"iOSLogora实用工具");
  const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  HWND child = ::GetWindow(hwnd, GW_CHILD);
  for (const ControlRow& row : kControls) {
    SCOPED_TRACE(row.id);
    ASSERT_NE(child, nullptr);
    // Controls that skin code creates (tooltips, ...) are top-level windows, never children in this list.
    EXPECT_EQ(::GetDlgCtrlID(child), row.id);
    EXPECT_EQ(ClassNameOf(child), row.class_name);
    const LONG s = ::GetWindowLongW(child, GWL_STYLE);
    const DWORD mask = std::wstring(row.class_name) == L"Button" ? BS_TYPEMASK : SS_TYPEMASK;
    EXPECT_EQ(static_cast<DWORD>(s) & mask, row.kind);
    EXPECT_TRUE(s & WS_VISIBLE);
    if (row.text) EXPECT_EQ(TextOf(child), row.text);
    // The dialog manager converts position and size separately, as MapDialogRect does field by field.
    RECT expected = row.dlu;
    ::MapDialogRect(hwnd, &expected);
    expected.right += expected.left;
    expected.bottom += expected.top;
    RECT actual = ClientRectOfChild(child);
    if (row.id < 1020 || row.id > 1022) {  // hyperlink labels size themselves to their text
      EXPECT_EQ(actual.left, expected.left);
      EXPECT_EQ(actual.top, expected.top);
      EXPECT_EQ(actual.right, expected.right);
      EXPECT_EQ(actual.bottom, expected.bottom);
    } else {
      EXPECT_EQ(actual.top, expected.top);
    }
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
}

TEST_F(MainWindow, OpensWithChinaUnicomChosenAndTheDeviceButtonDisabled) {
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, 1008), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(hwnd, 1009), BST_UNCHECKED);
  HWND device = ::GetDlgItem(hwnd, 1018);
  EXPECT_FALSE(::IsWindowEnabled(device));
  EXPECT_EQ(TextOf(device), L"没有插入设备");
  EXPECT_EQ(TextOf(::GetDlgItem(hwnd, 1005)), L"写入");
  EXPECT_EQ(TextOf(::GetDlgItem(hwnd, 1006)), L"取消");
  EXPECT_EQ(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), ::SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0));
  EXPECT_NE(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_TRUE(boxes.boxes.empty());
}

// A press in the client area posts a caption hit to the window only within the top 32 pixels.
TEST_F(MainWindow, CaptionBandStartsADragOnlyWithinThirtyTwoPixels) {
  RECT free_area = {100, 0, 170, 0};  // dialog units between the device button and the minimise button
  ::MapDialogRect(hwnd, &free_area);
  const int x = (free_area.left + free_area.right) / 2;
  struct Case {
    int y;
    bool drags;
  } const cases[] = {{0, true}, {32, true}, {33, false}, {60, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    POINT screen{x, c.y};
    ::ClientToScreen(hwnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ASSERT_TRUE(PumpUntil([&] {  // Wine moves the pointer asynchronously
      POINT now{};
      ::GetCursorPos(&now);
      return now.x == screen.x && now.y == screen.y;
    }, 2000));
    MSG stale;
    while (::PeekMessageW(&stale, hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
    }
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, c.y));
    MSG posted{};
    const bool got = ::PeekMessageW(&posted, hwnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
    EXPECT_EQ(got, c.drags);
    if (got) {
      EXPECT_EQ(posted.wParam, static_cast<WPARAM>(HTCAPTION));
      EXPECT_EQ(static_cast<short>(LOWORD(posted.lParam)), screen.x);
      EXPECT_EQ(static_cast<short>(HIWORD(posted.lParam)), screen.y);
    }
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, c.y));
  }
}

// Enter in the dialog goes to the default button, the write command.
TEST_F(MainWindow, EnterKeyRunsTheWriteCommand) {
  EXPECT_EQ(LOWORD(::SendMessageW(hwnd, DM_GETDEFID, 0, 0)), 1005);
  static std::vector<WPARAM>* commands = nullptr;
  std::vector<WPARAM> seen;
  commands = &seen;
  HHOOK hook = ::SetWindowsHookExW(
      WH_CALLWNDPROC,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        auto* cwp = reinterpret_cast<CWPSTRUCT*>(lp);
        if (code == HC_ACTION && cwp->message == WM_COMMAND && commands) commands->push_back(cwp->wParam);
        return ::CallNextHookEx(nullptr, code, wp, lp);
      },
      nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  ::SetFocus(::GetDlgItem(hwnd, 1008));
  MSG enter{hwnd, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {}};
  enter.hwnd = ::GetFocus();
  ::IsDialogMessageW(hwnd, &enter);
  PumpFor(20);
  ::UnhookWindowsHookEx(hook);
  commands = nullptr;
  bool wrote = false;
  for (WPARAM wp : seen) wrote |= LOWORD(wp) == 1005;
  EXPECT_TRUE(wrote);
}

TEST_F(MainWindow, MinimiseButtonIconisesAndPaintingWhileIconicDrawsTheIcon) {
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, 1004)));
  EXPECT_TRUE(PumpUntil([&] { return ::IsIconic(hwnd) != 0; }, 2000));
  ::InvalidateRect(hwnd, nullptr, TRUE);
  ::UpdateWindow(hwnd);  // must not crash or loop while iconic
  EXPECT_TRUE(::IsIconic(hwnd));
}

// The modal loop ends with result 1 whichever of the two close commands is used; Escape cancels too.
TEST(MainWindowModal, CloseAndCancelEndTheDialogWithTheSameResult) {
  struct Case {
    const char* name;
    WPARAM command;
  } const cases[] = {{"close", 1003}, {"cancel", 1006}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    static WPARAM pending;
    pending = MAKEWPARAM(c.command, BN_CLICKED);
    UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
      HWND dlg = ::FindWindowW(L"#32770", L"iOSLogora实用工具");
      if (dlg && ::GetWindowThreadProcessId(dlg, nullptr) == ::GetCurrentThreadId())
        ::PostMessageW(dlg, WM_COMMAND, pending, reinterpret_cast<LPARAM>(::GetDlgItem(dlg, LOWORD(pending))));
    });
    testing_support::RecordingMessageBoxes boxes;
    AppFormMain dialog;
    EXPECT_EQ(dialog.DoModal(), 1);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  }
}

}  // namespace
