#include "skin/SkinMDIClient_win.h"

#include "skin/SkinIds.h"
#include "skin/SkinResourceManager.h"
#include "skin/SkinWndManager_win.h"

void CSkinMDIClient::PaintBorder(HDC dc) {
  RECT window{}, client{};
  ::GetWindowRect(window_, &window);
  ::GetClientRect(window_, &client);
  ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ::OffsetRect(&client, -window.left, -window.top);
  if (client.left <= 0 && client.top <= 0) return;  // no edge to draw on
  RECT edge{client.left - 1, client.top - 1, client.right + 1, client.bottom + 1};
  ::FrameRect(dc, &edge, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

LRESULT CSkinMDIClient::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCPAINT: {
      const LRESULT result = CallPrevious(msg, wp, lp);
      if (::IsWindowVisible(window_)) {
        fw::WindowDC dc(window_, true);
        if (dc) PaintBorder(dc.get());
      }
      ::SendMessageW(window_, skin::kMsgNonClientPainted, wp, lp);
      return result;
    }
    case WM_NCACTIVATE: {
      const LRESULT result = CallPrevious(msg, wp, lp);
      ::SendMessageW(window_, skin::kMsgNonClientPainted, 1, 0);
      return result;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
      CallPrevious(msg, wp, lp);
      skin::CSkinWndManager* manager = Manager();
      if (!manager) break;
      HDC dc = reinterpret_cast<HDC>(wp);
      CSkinBase* skin = msg == WM_CTLCOLORSTATIC ? manager->SkinOf(reinterpret_cast<HWND>(lp)) : nullptr;
      if (msg == WM_CTLCOLORSTATIC) {
        if (!skin || skin->IsFrame())
          ::SetBkMode(dc, TRANSPARENT);
        else
          ::SetBkColor(dc, manager->Theme().DefaultBackgroundColor());
      }
      return reinterpret_cast<LRESULT>(manager->CommonBackgroundBrush());
    }
    default:
      break;
  }
  // Not the frame's handling: straight to the previous procedure (the base destroys the skin at the end).
  return CSkinBase::WindowProc(msg, wp, lp);
}
