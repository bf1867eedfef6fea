#include "skin/draw/SkinDC_win.h"

#include <climits>

#include "skin/draw/PixelBuffer.h"

HGDIOBJ CSkinDC::SelectObject(HGDIOBJ object) const { return dc_ && object ? ::SelectObject(dc_, object) : nullptr; }

int CSkinDC::SetBkMode(int mode) const { return dc_ ? ::SetBkMode(dc_, mode) : 0; }

COLORREF CSkinDC::SetTextColor(COLORREF color) const { return dc_ ? ::SetTextColor(dc_, color) : CLR_INVALID; }

void CSkinDC::FillSolid(const RECT& rect, COLORREF color) const {
  if (!dc_) return;
  const COLORREF old = ::SetBkColor(dc_, color);
  ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc_, old);
}

int CSkinDC::DrawText(std::wstring_view text, RECT& rect, UINT format) const {
  if (!dc_ || text.size() > static_cast<size_t>(INT_MAX)) return 0;
  return ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &rect, format);
}

CSkinMemDC::CSkinMemDC(HDC target, int left, int top, int right, int bottom)
    : target_(target), rect_{left, top, right, bottom} {
  // The size comes from windows and pictures: checked in 64 bits against the picture caps.
  if (!target || !skin::MakeDibLayout(static_cast<int64_t>(right) - left, static_cast<int64_t>(bottom) - top, 32))
    return;
  memory_.reset(::CreateCompatibleDC(target));
  bitmap_.reset(::CreateCompatibleBitmap(target, right - left, bottom - top));
  if (!memory_ || !bitmap_) return;
  previous_ = ::SelectObject(memory_.get(), bitmap_.get());
  if (!previous_ || previous_ == HGDI_ERROR) {
    previous_ = nullptr;
    return;
  }
  dc_ = memory_.get();
  valid_ = true;
}

CSkinMemDC::~CSkinMemDC() {
  if (valid_) ::BitBlt(target_, rect_.left, rect_.top, Width(), Height(), memory_.get(), 0, 0, SRCCOPY);
  if (previous_) ::SelectObject(memory_.get(), previous_);
}

namespace skin {

bool ScratchBuffer::Begin(HDC target, int width, int height, bool copy_clip) {
  End();
  if (!target || !MakeDibLayout(width, height, 32)) return false;
  dc_.reset(::CreateCompatibleDC(target));
  bitmap_.reset(::CreateCompatibleBitmap(target, width, height));
  if (!dc_ || !bitmap_) {
    End();
    return false;
  }
  previous_ = ::SelectObject(dc_.get(), bitmap_.get());
  if (copy_clip) {
    fw::UniqueRgn clip(::CreateRectRgn(0, 0, 0, 0));
    if (clip && ::GetClipRgn(target, clip.get()) == 1) ::SelectClipRgn(dc_.get(), clip.get());
  }
  width_ = width, height_ = height;
  return true;
}

void ScratchBuffer::End() {
  if (dc_ && previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_.get(), previous_);
  previous_ = nullptr;
  dc_.reset();
  bitmap_.reset();
  width_ = height_ = 0;
}

void ResetMapping(HDC dc) {
  ::SetMapMode(dc, MM_TEXT);
  ::SetWindowOrgEx(dc, 0, 0, nullptr);
  ::SetViewportOrgEx(dc, 0, 0, nullptr);
  ::SetWindowExtEx(dc, 1, 1, nullptr);
  ::SetViewportExtEx(dc, 1, 1, nullptr);
}

}  // namespace skin
