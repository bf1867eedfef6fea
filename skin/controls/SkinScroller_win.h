#pragma once
// CSkinScroller: the common base of skins whose window shows scroll bars drawn from the theme's bar sprite
// instead of the platform's. It reserves the 16-pixel strips in the non-client area, paints the bars, follows
// hover and press, drags the thumb in a message loop of its own and sends the window (a standalone scroll-bar
// control: its parent) the usual scroll notifications. It keeps the bars' scroll state itself and answers the
// intercepted scroll functions from it, so the platform's state and its own bars never show.
#include <windows.h>

#include <optional>

#include "skin/ScrollDrag.h"
#include "skin/ScrollGeometry.h"
#include "skin/ScrollState.h"
#include "skin/SkinBase_win.h"
#include "skin/hook/HookEngine_win.h"

class CSkinDrawImage;
namespace skin {
class CSkinResourceManager;
}

class CSkinScroller : public CSkinBase, public skin::hook::DressedWindow {
 public:
  // `standalone`: the skin belongs to a scroll-bar control, whose whole window is the bar.
  CSkinScroller(HWND window, bool standalone);
  ~CSkinScroller() override;

  // The sprite (16 × 16 cells) and size-box pictures; either may be null (then nothing is painted). Not owned.
  void SetPictures(CSkinDrawImage* sprite, CSkinDrawImage* size_box);
  // Takes both pictures from the theme's `scrollbar` item `id` ("bmpScrollbar", "imageSizebox").
  bool AttachScrollbarItem(skin::CSkinResourceManager& theme, std::wstring_view id);

  // The procedure chain the engine installs on the window; the message handler passes on through it.
  skin::hook::ProcedureChain& Chain() { return chain_; }

  // Handles the messages this base owns; false sends the message on to the window's procedure unhandled.
  // The window may be destroyed when this returns (a drag loop dispatches other messages): the caller must
  // not touch the skin then unless `Alive(hwnd, skin)` says it still lives.
  bool HandleScrollMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  // Paints the bars that need it into `dc` (a window device context; none: the window's own, released
  // afterwards). `force` repaints both bars.
  void PaintBars(HDC dc, bool force);
  // Outlines the border between window and client rectangles (widened by the bars) in `color` when the
  // window has an edge or border style; `skip_outline` only checks.
  virtual void PaintBorder(HDC dc, COLORREF color, bool skip_outline);

  // The first create notification's work: reads both bars' state from the platform and recomputes the frame.
  void InitializeBars();
  // Writes both bars' state back to the platform.
  void WriteBackBars();

  // Whether `hwnd` still exists and carries `skin` under "SKINSE_PROC".
  static bool Alive(HWND hwnd, const CSkinScroller* skin);

  const skin::BarScrollState& BarState(int bar) const { return bars_[BarIndex(bar)].state; }
  bool Dragging() const { return dragging_; }
  skin::MouseState Mouse() const { return mouse_; }
  skin::BarPart HoveredPart() const { return hovered_part_; }
  int ActiveBar() const { return active_bar_; }
  // The bar rectangle and the thumb (relative to the bar) as last laid out; bar 0 horizontal, 1 vertical.
  RECT BarRect(int index) const { return bars_[index].rect; }
  std::optional<skin::Rect> ThumbRect(int index) const;

  // skin::hook::DressedWindow
  skin::hook::ProcedureChain* Procedures() override { return &chain_; }
  std::optional<int> SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw) override;
  std::optional<BOOL> GetScrollInfo(int bar, SCROLLINFO& info) override;
  std::optional<int> SetScrollPos(int bar, int position, BOOL redraw) override;
  std::optional<int> GetScrollPos(int bar) override;
  std::optional<BOOL> SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) override;
  std::optional<BOOL> GetScrollRange(int bar, int& minimum, int& maximum) override;
  std::optional<BOOL> ShowScrollBar(int bar, BOOL show) override;
  std::optional<BOOL> EnableScrollBar(UINT bars, UINT arrows) override;

 protected:
  LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp);
  CSkinDrawImage* Sprite() const { return sprite_; }

 private:
  struct Bar {
    bool changed = true;
    bool present = false;
    bool disabled = false;
    RECT rect{};  // window coordinates
    skin::BarParts parts;
    skin::BarScrollState state;
  };

  // Bar index of a platform bar code (SB_HORZ, SB_VERT, SB_CTL); -1 for any other.
  int BarIndex(int bar) const;
  bool OwnsBar(int bar) const { return BarIndex(bar) >= 0; }
  void Layout();
  // The cursor in window coordinates.
  POINT CursorInWindow() const;
  // The bar (0 or 1) and the point relative to it, when `window_point` is on a present, enabled bar.
  std::optional<int> BarAt(POINT window_point, bool enabled_only, POINT& relative) const;
  bool UpdateHover(POINT window_point);
  // A press at `window_point`; false when it is not on a bar.
  bool Press(POINT window_point, bool capture);
  void RunDragLoop(bool capture);
  void MoveDrag(POINT window_point);
  void EndDrag();
  void SendScroll(int code, int position);
  void ApplyVisibility(int index);
  void StateChanged(int index, BOOL redraw);

  skin::hook::ProcedureChain chain_;
  const bool standalone_;
  CSkinDrawImage* sprite_ = nullptr;
  CSkinDrawImage* size_box_picture_ = nullptr;
  Bar bars_[2];
  RECT size_box_{};
  bool left_scroll_bar_ = false;
  bool initialized_ = false;
  bool suspend_painting_ = false;

  bool dragging_ = false;
  skin::ThumbDrag drag_{};
  skin::DragTrack drag_track_{};
  int pressed_code_ = -1;
  int scroll_message_ = -1;
  int active_bar_ = 0;
  skin::MouseState mouse_ = skin::MouseState::kNone;
  skin::BarPart hovered_part_ = skin::BarPart::kNone;
};
