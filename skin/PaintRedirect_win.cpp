#include "skin/PaintRedirect_win.h"

#include <algorithm>

#include "skin/SkinBase_win.h"
#include "skin/SkinIds.h"
#include "skin/SkinWndManager_win.h"
#include "skin/SkinWndSB_win.h"
#include "skin/hook/RealFunctions_win.h"

namespace skin {

CSkinPaintRedirect::CSkinPaintRedirect(CSkinBase& skin, CSkinWndManager& manager, Calls calls)
    : skin_(skin), manager_(manager), calls_(calls) {
  ::SetPropW(skin_.Window(), calls_ == Calls::kPaint ? kPropPaintRedirect : kPropDcRedirect, this);
}

CSkinPaintRedirect::~CSkinPaintRedirect() {
  const wchar_t* name = calls_ == Calls::kPaint ? kPropPaintRedirect : kPropDcRedirect;
  if (::GetPropW(skin_.Window(), name) == this) ::RemovePropW(skin_.Window(), name);
  while (!handed_.empty()) Free(handed_.back()->memory.get());
}

void CSkinPaintRedirect::Clip(HDC dc) const {
  if (mode == kInside)
    ::IntersectClipRect(dc, rect.left, rect.top, rect.right + 1, rect.bottom + 1);
  else if (mode == kOutside)
    ::ExcludeClipRect(dc, rect.left, rect.top, rect.right + 1, rect.bottom + 1);
}

HDC CSkinPaintRedirect::HandOut(HDC real, int width, int height) {
  auto handed = std::make_unique<Handed>();
  handed->memory.reset(::CreateCompatibleDC(real));
  handed->bitmap.reset(::CreateCompatibleBitmap(real, std::max(width, 1), std::max(height, 1)));
  if (!handed->memory || !handed->bitmap) return nullptr;
  handed->old_bitmap = ::SelectObject(handed->memory.get(), handed->bitmap.get());
  ::BitBlt(handed->memory.get(), 0, 0, width, height, real, 0, 0, SRCCOPY);
  handed->old_brush = ::SelectObject(handed->memory.get(), ::GetStockObject(GRAY_BRUSH));
  handed->real = real;
  HDC memory = handed->memory.get();
  manager_.AddMemoryDC(memory, skin_.Window());
  handed_.push_back(std::move(handed));
  return memory;
}

CSkinPaintRedirect::Handed* CSkinPaintRedirect::Find(HDC memory) {
  for (auto& h : handed_)
    if (h->memory.get() == memory) return h.get();
  return nullptr;
}

void CSkinPaintRedirect::Free(HDC memory) {
  auto it = std::find_if(handed_.begin(), handed_.end(), [&](const auto& h) { return h->memory.get() == memory; });
  if (it == handed_.end()) return;
  Handed& h = **it;
  manager_.RemoveMemoryDC(memory);  // the handle value may be reused for another context
  if (h.old_brush) ::SelectObject(memory, h.old_brush);
  if (h.old_bitmap) ::SelectObject(memory, h.old_bitmap);
  handed_.erase(it);
}

void CSkinPaintRedirect::Composite(HDC memory, HDC real, const RECT& area, bool frame_background) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return;
  fw::UniqueMemDC buffer(::CreateCompatibleDC(real));
  fw::UniqueBitmap bitmap(::CreateCompatibleBitmap(real, w, h));
  if (!buffer || !bitmap) return;
  fw::ScopedSelectObject select(buffer.get(), bitmap.get());
  const RECT local{0, 0, w, h};
  if (frame_background) {
    CSkinWndSB* frame = owner ? manager_.FrameOf(owner) : nullptr;
    if (frame) {
      ::FillRect(buffer.get(), &local, frame->BackgroundBrush());
    } else {
      // The background behind the control, drawn in the control's coordinates at the painted area.
      POINT old{};
      ::SetViewportOrgEx(buffer.get(), -area.left, -area.top, &old);
      manager_.PaintChildBackground(skin_.Window(), buffer.get(), area, 255);
      ::SetViewportOrgEx(buffer.get(), old.x, old.y, nullptr);
    }
  } else {
    ::FillRect(buffer.get(), &local, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
  }
  ::GdiTransparentBlt(buffer.get(), 0, 0, w, h, memory, area.left, area.top, w, h, key);
  ::BitBlt(real, area.left, area.top, w, h, buffer.get(), 0, 0, SRCCOPY);
}

std::optional<HDC> CSkinPaintRedirect::BeginPaint(PAINTSTRUCT* paint) {
  if (calls_ != Calls::kPaint || !paint || mode < kComposite || mode > kOutside) return std::nullopt;
  HWND hwnd = skin_.Window();
  HDC real = hook::Real().BeginPaint(hwnd, paint);
  if (!real) return real;
  if (!Redirecting()) {
    Clip(real);
    return real;
  }
  RECT client{};
  ::GetClientRect(hwnd, &client);
  HDC memory = HandOut(real, client.right, client.bottom);
  if (!memory) return real;
  paint->hdc = memory;
  return memory;
}

std::optional<BOOL> CSkinPaintRedirect::EndPaint(const PAINTSTRUCT* paint) {
  if (calls_ != Calls::kPaint || !paint) return std::nullopt;
  Handed* handed = Find(paint->hdc);
  if (!handed) return std::nullopt;
  PAINTSTRUCT real_paint = *paint;
  real_paint.hdc = handed->real;
  if (mode == kComposite && !::IsRectEmpty(&paint->rcPaint))
    Composite(paint->hdc, handed->real, paint->rcPaint, true);
  Free(paint->hdc);
  return hook::Real().EndPaint(skin_.Window(), &real_paint);
}

std::optional<HDC> CSkinPaintRedirect::GetDC(bool whole_window) {
  if (calls_ != Calls::kDeviceContext || !enabled || mode < kComposite || mode > kOutside) return std::nullopt;
  HWND hwnd = skin_.Window();
  HDC real = whole_window ? hook::Real().GetWindowDC(hwnd) : hook::Real().GetDC(hwnd);
  if (!real) return real;
  if (!Redirecting()) {
    Clip(real);
    return real;
  }
  RECT area{};
  if (whole_window) {
    ::GetWindowRect(hwnd, &area);
    ::OffsetRect(&area, -area.left, -area.top);
  } else {
    ::GetClientRect(hwnd, &area);
  }
  HDC memory = HandOut(real, area.right, area.bottom);
  return memory ? memory : real;
}

std::optional<int> CSkinPaintRedirect::ReleaseDC(HDC dc) {
  if (calls_ != Calls::kDeviceContext || !enabled) return std::nullopt;
  Handed* handed = Find(dc);
  if (!handed) return std::nullopt;
  HDC real = handed->real;
  if (mode == kComposite) {
    BITMAP info{};
    ::GetObjectW(handed->bitmap.get(), sizeof(info), &info);
    Composite(dc, real, RECT{0, 0, info.bmWidth, info.bmHeight}, false);
  }
  Free(dc);
  HWND hwnd = skin_.Window();
  if (invalidate_after_release) ::InvalidateRect(hwnd, nullptr, TRUE);
  return hook::Real().ReleaseDC(hwnd, real);
}

}  // namespace skin
