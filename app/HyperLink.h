#pragma once
// CXHyperLink: a static text control that behaves like a web link. It is drawn in the link colour, turns
// to the hover colour and is underlined with a hand cursor while the mouse is over it, shows its address
// as a tooltip, and opens the address in the browser when clicked, after which it takes the visited colour.
// Attach it to a dialog's static control with fw::DDX_Control; the dialog must be an fw::Wnd so that the
// control-colour message and the click notification are reflected to it.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "framework/Handles.h"
#include "framework/Wnd.h"

// Registered at static initialisation. Sent to the parent after a click when the parent asked for it
// (SetNotifyParent): wParam is the control's identifier, lParam 0.
extern const UINT WM_XHYPERLINK_CLICKED;

namespace hyperlink {

// Result of opening an address, in the shell's convention: greater than 32 on success.
using OpenResult = INT_PTR;
inline constexpr OpenResult kOpened = 33;         // what a successful fallback launch reports
inline constexpr OpenResult kEmptyAddress = 36;   // an empty address: nothing is opened
inline constexpr OpenResult kRefused = SE_ERR_ACCESSDENIED;  // not an http:// or https:// address

// The parts of opening an address that reach outside the process. Tests replace them to observe what
// would be launched; the defaults use the shell, the registry and CreateProcessW.
struct Launcher {
  // ShellExecuteW(verb, address), shown normally.
  std::function<OpenResult(const wchar_t* verb, const std::wstring& address)> shellExecute;
  // The command registered for opening web pages (the "open" command of the ".htm" document type),
  // empty when there is none.
  std::function<std::wstring()> browserCommand;
  // Starts `commandLine`, shown normally; true when the process started.
  std::function<bool(const std::wstring& commandLine)> run;
};

// The launcher that really opens pages.
const Launcher& SystemLauncher();

// Opens `address` with the verb "open" ("new" when `newWindow`). Only http:// and https:// addresses are
// opened. When the shell fails, the registered browser command is run with the quoted address instead.
// Returns the result of the last attempt.
OpenResult OpenAddress(const std::wstring& address, bool newWindow, const Launcher& launcher = SystemLauncher());

// The "open" command of the ".htm" document type under `classesRoot` (HKEY_CLASSES_ROOT by default),
// environment strings expanded; empty when any part is missing.
std::wstring ReadBrowserCommand(HKEY classesRoot = HKEY_CLASSES_ROOT);

// Starts `commandLine` with CreateProcessW, shown normally. The process is not waited for.
bool RunCommandLine(const std::wstring& commandLine);

}  // namespace hyperlink

class CXHyperLink : public fw::Wnd {
 public:
  // Opens an address; returns a value greater than 32 on success.
  using Opener = std::function<hyperlink::OpenResult(const std::wstring& address, bool newWindow)>;

  static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
  static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
  static constexpr COLORREF kHoverColour = RGB(255, 0, 0);
  static constexpr UINT_PTR kLeaveTimer = 100;
  static constexpr UINT kLeaveTimerPeriodMs = 100;

  // Underline modes.
  static constexpr int kUnderlineHover = -1;  // underlined only while the mouse is over the control
  static constexpr int kUnderlineNever = 0;
  static constexpr int kUnderlineAlways = 1;

  CXHyperLink();
  ~CXHyperLink() override;

  // Stores the address; once attached, the control is resized to its text and the tooltip shows the
  // address. A control without text of its own shows the address as its text.
  void SetURL(const std::wstring& address);
  const std::wstring& GetURL() const { return address_; }
  // Whether a click opens the address (on by default; a disabled address counts as opened).
  void EnableURL(bool enable) { addressEnabled_ = enable; }
  bool IsURLEnabled() const { return addressEnabled_; }

  // Colours of the text before the first successful click, after it, and while hovered.
  void SetColours(COLORREF link, COLORREF visited, COLORREF hover);
  // Erases with `colour` and draws the text on it; without one the text is drawn on a hollow background
  // over the system's button-face colour.
  void SetBackgroundColour(COLORREF colour);
  void SetVisited(bool visited);
  bool IsVisited() const { return visited_; }
  bool IsMouseOver() const { return mouseOver_; }
  void SetUnderline(int mode);
  // Whether the control is resized to its text (on by default).
  void SetAutoSize(bool autoSize) { adjustToFit_ = autoSize; }
  // Whether a click also sends WM_XHYPERLINK_CLICKED to the parent (off by default).
  void SetNotifyParent(bool notify) { notifyParent_ = notify; }
  // Whether the tooltip is created when the control is attached (on by default).
  void EnableTooltip(bool enable) { tooltipEnabled_ = enable; }
  // Chooses the shell verb "new" instead of "open".
  void SetOpenInNewWindow(bool newWindow) { newWindow_ = newWindow; }
  // The tooltip window, null until attached (or when tooltips are off).
  HWND GetTooltip() const { return tooltip_.get(); }

  // Replaces how the address is opened (hyperlink::OpenAddress by default) and how a failure is signalled
  // (the exclamation beep by default). Null restores the default.
  void SetOpener(Opener opener);
  void SetFailureSignal(std::function<void()> signal);

  // Resizes the control to its text, keeping the edge or centre its alignment names.
  void AdjustToFit();

 protected:
  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  static void DestroyTooltipWindow(HWND tooltip);
  using UniqueTooltip = fw::UniqueAny<HWND, &CXHyperLink::DestroyTooltipWindow>;

  HBRUSH OnControlColour(HDC dc);
  void OnClicked();
  void OnMouseMove();
  void OnTimer(UINT_PTR id);
  bool OnSetCursor();
  void EraseBackground(HDC dc);
  void MakeFonts();
  void LoadHandCursor();
  void CreateTooltip();
  void UpdateTooltip();
  void UseFont(HFONT font);
  void Repaint(const RECT* rect = nullptr);
  void StopLeaveTimer();

  COLORREF linkColour_ = kLinkColour;
  COLORREF visitedColour_ = kVisitedColour;
  COLORREF hoverColour_ = kHoverColour;
  COLORREF backgroundColour_ = 0;  // used once backgroundBrush_ exists
  fw::UniqueBrush backgroundBrush_;
  bool mouseOver_ = false;
  bool visited_ = false;
  int underline_ = kUnderlineHover;
  bool adjustToFit_ = true;
  std::wstring address_;
  bool showsAddress_ = false;  // the control had no text of its own and shows the address
  HFONT originalFont_ = nullptr;  // the dialog's font, not owned; given back when the control is released
  fw::UniqueFont underlineFont_;
  fw::UniqueFont normalFont_;
  HCURSOR cursor_ = nullptr;      // the shared system cursor, or ownedCursor_
  fw::UniqueCursor ownedCursor_;  // a copy loaded from a file when the system has no hand cursor
  UniqueTooltip tooltip_;
  bool timerRunning_ = false;
  bool addressEnabled_ = true;
  bool notifyParent_ = false;
  bool tooltipEnabled_ = true;
  bool newWindow_ = false;
  Opener opener_;
  std::function<void()> failureSignal_;
};
