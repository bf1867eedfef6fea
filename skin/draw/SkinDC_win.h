#pragma once
// Device-context wrappers: CSkinDC (a borrowed context with the few calls the skins make), CSkinMemDC (an
// off-screen copy of a target rectangle, copied back on destruction), the scratch buffer context, and
// ResetMapping.
#include <windows.h>

#include <string_view>

#include "framework/Handles.h"

class CSkinDC {
 public:
  CSkinDC() = default;
  // Borrows `dc`; the caller keeps it alive and releases it.
  explicit CSkinDC(HDC dc) : dc_(dc) {}
  virtual ~CSkinDC() = default;
  CSkinDC(const CSkinDC&) = delete;
  CSkinDC& operator=(const CSkinDC&) = delete;

  HDC GetSafeHdc() const { return dc_; }
  operator HDC() const { return dc_; }

  // Selects `object` and returns the previous one; prefer fw::ScopedSelectObject, which puts it back.
  HGDIOBJ SelectObject(HGDIOBJ object) const;
  int SetBkMode(int mode) const;
  COLORREF SetTextColor(COLORREF color) const;
  // Fills the rectangle with the colour (background colour set, opaque text-out of nothing).
  void FillSolid(const RECT& rect, COLORREF color) const;
  int DrawText(std::wstring_view text, RECT& rect, UINT format) const;

 protected:
  HDC dc_ = nullptr;
};

// Draws off screen: a compatible context and bitmap of the target rectangle's size, selected while the object
// lives; on destruction (when valid) the whole bitmap is copied to the target at the rectangle's top-left.
// Coordinates inside are relative to the rectangle's top-left corner.
class CSkinMemDC : public CSkinDC {
 public:
  CSkinMemDC(HDC target, int left, int top, int right, int bottom);
  CSkinMemDC(HDC target, const RECT& rect) : CSkinMemDC(target, rect.left, rect.top, rect.right, rect.bottom) {}
  ~CSkinMemDC() override;

  // False when the rectangle is empty, over the picture caps, or no context could be made.
  bool IsValid() const { return valid_; }
  // The target is not written on destruction.
  void Discard() { valid_ = false; }
  int Width() const { return rect_.right - rect_.left; }
  int Height() const { return rect_.bottom - rect_.top; }

 private:
  HDC target_;
  RECT rect_;
  fw::UniqueMemDC memory_;
  fw::UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  bool valid_ = false;
};

namespace skin {

// A scratch context for composing a part before it is copied out: Begin makes a compatible context and bitmap
// of the size (with `copy_clip`, the target's clip region too); End (or destruction) puts the old bitmap back
// and deletes both.
class ScratchBuffer {
 public:
  ScratchBuffer() = default;
  ~ScratchBuffer() { End(); }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;

  bool Begin(HDC target, int width, int height, bool copy_clip);
  void End();
  HDC GetDC() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_ = 0, height_ = 0;
  fw::UniqueMemDC dc_;
  fw::UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
};

// Text mapping mode, window and viewport origins at 0, extents 1.
void ResetMapping(HDC dc);

}  // namespace skin
