#include "skin/controls/SkinScrollBarSB_win.h"

#include <memory>

#include "framework/Handles.h"
#include "skin/SkinIds.h"
#include "skin/hook/ProcedureChain_win.h"

CSkinScrollBarSB::CSkinScrollBarSB(HWND window) : CSkinScroller(window, true) {}

CSkinScrollBarSB* CSkinScrollBarSB::Dress(HWND window, CSkinDrawImage* sprite, CSkinDrawImage* size_box) {
  if (CSkinScrollBarSB* dressed = FromWindow(window)) {
    dressed->SetPictures(sprite, size_box);
    ::InvalidateRect(window, nullptr, TRUE);
    return dressed;
  }
  auto skin = std::make_unique<CSkinScrollBarSB>(window);
  skin->SetPictures(sprite, size_box);
  skin->Chain().engine = &WindowProc;
  if (!skin::hook::InstallEngineProcedure(window, skin->Chain())) return nullptr;
  CSkinScrollBarSB* raw = skin.release();
  raw->InitializeBars();
  ::InvalidateRect(window, nullptr, TRUE);
  return raw;
}

CSkinScrollBarSB* CSkinScrollBarSB::FromWindow(HWND window) {
  auto* base = static_cast<CSkinBase*>(::GetPropW(window, skin::kPropSkinObject));
  return base ? dynamic_cast<CSkinScrollBarSB*>(base) : nullptr;
}

LRESULT CALLBACK CSkinScrollBarSB::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CSkinScrollBarSB* skin = FromWindow(hwnd);
  if (!skin) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return skin->OnMessage(msg, wp, lp);
}

LRESULT CSkinScrollBarSB::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (HandleScrollMessage(msg, wp, lp, result)) return result;  // the skin may be gone now
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (!Sprite()) break;
      if (msg == WM_PAINT) {
        PAINTSTRUCT paint{};
        if (::BeginPaint(window_, &paint)) ::EndPaint(window_, &paint);
        PaintBars(nullptr, true);
      } else {
        PaintBars(reinterpret_cast<HDC>(wp), true);
      }
      return 0;
    }
    case WM_NCPAINT:
      if (!Sprite()) break;
      PaintBars(nullptr, true);
      return 0;
    case WM_NCDESTROY: {
      result = CallPrevious(msg, wp, lp);
      delete this;
      return result;
    }
    default:
      break;
  }
  return CallPrevious(msg, wp, lp);
}
