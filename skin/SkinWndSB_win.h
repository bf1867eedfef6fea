#pragma once
// CSkinWndSB: the skinned frame of a dialog or top-level window, dressed from a theme item of class
// "window". It replaces the system border with the frame picture (rendered once per window size), shapes
// the window, paints the client background and the theme item's child items into a back buffer that child
// controls reuse for their "transparent" backgrounds, and places skinned children by their placement.
// Caption buttons, caption text and the caption's mouse input are drawn and answered by the caption layer.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "skin/FrameGeometry.h"
#include "skin/SkinBase_win.h"
#include "skin/ThemeItem.h"

class CSkinDrawImage;

class CSkinWndSB : public CSkinBase {
 public:
  explicit CSkinWndSB(HWND window);
  ~CSkinWndSB() override;

  // Copies the theme item (the frame keeps no pointer into the theme) and builds its child items.
  void SetThemeItem(const skin::ThemeItem& item, skin::CSkinResourceManager& theme);
  // After a re-dress: cached sizes cleared; a visible window is re-rendered and re-shaped.
  void Redressed();

  // RegisterLayout, then the frame's font.
  void ApplyAttributes() override;
  // Tints the items and re-creates the background brush.
  void ApplyColorAdjust(int hue, int saturation, int brightness) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // The thin border around the client area and the skin-drawn scroll bars (none here).
  virtual void PaintBorder(HDC dc) {}
  // Called after the client items are drawn into the back buffer.
  virtual void PaintClientExtra(HDC dc) {}

  skin::FrameKind Kind() const { return kind_; }
  COLORREF BackgroundColor() const { return background_color_; }
  HBRUSH BackgroundBrush() const { return background_brush_.get(); }
  bool IsNoDraw() const { return draw_style_ == L"nodraw"; }
  // The client back buffer of the last client paint; null before the first.
  HDC BackBufferDC() const { return back_dc_.get(); }
  HBITMAP BackBufferBitmap() const { return back_bitmap_.get(); }
  // The window-size frame rendering; null before the first non-client paint.
  HBITMAP FrameRendering() const { return frame_bitmap_.get(); }
  // Skinned children placed by this frame, in registration order.
  const std::vector<CSkinBase*>& LayoutChildren() const { return layout_children_; }
  void ForgetChild(const CSkinBase* child);
  // Places every registered child in one deferred batch against the client rectangle.
  void LayoutAll();

  // Renders the client area (background, items, 6326, extra) into the back buffer and copies it to `dc`
  // at the client origin of `dc`.
  void PaintClientTo(HDC dc);
  // Renders the frame picture at the window's size when that size changed and re-applies the shape.
  void RefreshFrame();

  // skin::hook::DressedWindow: a framed window keeps the shape the frame gave it.
  std::optional<int> SetWindowRgn(HRGN region, BOOL redraw) override;

 protected:
  skin::ThemeItem item_;

 private:
  void ReadBackground(skin::CSkinResourceManager& theme);
  CSkinDrawImage* Picture() const;
  void ComputeKind();
  SIZE WindowSize() const;
  skin::Rect ClientFromWindow(const skin::Rect& window) const;
  bool RenderFrame(int width, int height);
  void ApplyShape();
  bool EnsureBackBuffer(int width, int height);
  void PaintNonClient();
  void PaintClient();
  void PrintWindowTo(HDC dc, LPARAM flags);
  LRESULT OnNcCalcSize(WPARAM wp, LPARAM lp);
  std::optional<LRESULT> OnControlColor(UINT msg, WPARAM wp, LPARAM lp);
  std::optional<LRESULT> ForwardToChildSkin(UINT msg, WPARAM wp, LPARAM lp);
  void OnRegisterLayout(WPARAM wp);
  void OnPaintChildBackground(WPARAM wp);
  bool IsDressedChild(const CSkinBase* skin) const;
  bool IsMdiChild() const;

  // Theme values, copied.
  std::wstring picture_id_;
  std::wstring draw_style_;
  std::wstring frame_style_;
  int caption_height_ = 0;
  skin::Quad border_{};
  skin::Quad offset_{};
  skin::Quad grid_{};
  skin::Pair caption_offset_{};
  COLORREF configured_background_ = 0;
  COLORREF background_color_ = 0;

  skin::FrameKind kind_ = skin::kFrameNone;
  fw::UniqueBrush background_brush_;
  DWORD seen_style_ = 0, seen_ex_style_ = 0;
  bool style_changing_ = false;

  fw::UniqueMemDC back_dc_;
  fw::UniqueBitmap back_bitmap_;
  HGDIOBJ back_old_ = nullptr;
  SIZE back_size_{};

  fw::UniqueMemDC frame_dc_;
  fw::UniqueBitmap frame_bitmap_;
  HGDIOBJ frame_old_ = nullptr;
  SIZE frame_size_{};
  SIZE shaped_size_{};

  std::vector<CSkinBase*> layout_children_;
};
