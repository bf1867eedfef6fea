#pragma once
// The part every control skin shares: the dressed window, its caption font and the DirectUI items built from
// its theme item, with the host operations that draw them and route the mouse to them. The skins of windows
// and controls derive from it.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "skin/ThemeValues.h"
#include "skin/hook/HookEngine_win.h"
#include "skin/items/DirectUI_Base_win.h"

namespace skin {
class CSkinResourceManager;
class CSkinPaintRedirect;
class SkinScrollBars;
class CSkinWndManager;
struct ThemeItem;

// What a child hands its frame with message 2287: paint my background into `dc` at `rect` (the child's
// client coordinates). Only records a registered skin holds are accepted, so the message never makes the
// frame follow a pointer someone else made.
struct ChildBackgroundRequest {
  HWND window = nullptr;
  HDC dc = nullptr;
  RECT rect{};
};
}  // namespace skin

// The virtual operations, in slot order: the destructor (Destroy), RegisterLayout, Layout, ApplyAttributes,
// ApplyColorAdjust, OnTimer; derived skins add theirs after these.
class CSkinBase : public skin::ItemHost, public skin::hook::DressedWindow {
 public:
  // Stores itself in the window's "SKINSE_PROC" property; the previous procedure is the default window
  // procedure until the window manager subclasses the window.
  explicit CSkinBase(HWND window);
  // Destroy: removes "SKINSE_PROC" (when it still names this skin), lets the window manager that dressed the
  // window forget it, destroys the items.
  virtual ~CSkinBase();
  // When the placement has any of left, top, right or bottom, asks the parent's skin to place this control
  // whenever the parent is resized (message 4242). True when the parent was asked.
  virtual bool RegisterLayout();
  // Places the window by the placement rule inside (left, top, right, bottom) of the parent's client area:
  // into `defer` when given (no z-order change, no activation, old client bits discarded), else moved at
  // once with repaint. False, and nothing moved, without placement.
  virtual bool Layout(HDWP* defer, int left, int top, int right, int bottom);
  // Base: RegisterLayout only.
  virtual void ApplyAttributes();
  // Base: tints the items.
  virtual void ApplyColorAdjust(int hue, int saturation, int brightness);
  virtual void OnTimer(UINT_PTR timer_id);

  // The window's messages, from the engine's procedure. The base passes everything to the previous
  // procedure and destroys this skin after the non-client destroy message.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // What a frame hands a skinned child of it (draw, measure, notify, key-to-item messages of list skins);
  // nullopt: the frame's previous procedure answers. Only list skins answer.
  virtual std::optional<LRESULT> FromParent(UINT msg, WPARAM wp, LPARAM lp) { return std::nullopt; }
  LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp);
  CSkinBase(const CSkinBase&) = delete;
  CSkinBase& operator=(const CSkinBase&) = delete;

  // Destroys the current items and builds those of `item` from `theme`, tinted by the current shifts.
  void BuildItems(const skin::ThemeItem& item, skin::CSkinResourceManager& theme);
  void DestroyItems();

  // Draws the visible items shown in the host state, in list order, inside the client rectangle.
  void DrawItems(HDC dc, int left, int top, int right, int bottom);
  // The same without draw items, which list skins use as row templates.
  void DrawListItems(HDC dc, int left, int top, int right, int bottom);
  void MouseMoveItems(unsigned keys, int x, int y);
  bool ButtonDownItems(unsigned keys, int x, int y);
  // Routes a release to the items. When an event item was clicked, its window (or, for a control, the
  // parent) is sent SKINMSG_ITEMCLICK with a copy of the item's id that lives until the message returns. The
  // receiver may re-dress or destroy this window: nothing of this object is touched after the send.
  bool ButtonUpItems(unsigned keys, int x, int y);
  void ColorAdjustItems(int hue, int saturation, int brightness);
  // Gives the first top-level text or image item with this id a new text or picture id. True when one was
  // found; with `redraw` the client area is repainted.
  bool SetItemProperty(const std::wstring& item_id, const std::wstring& value, bool redraw);
  // Registers the picture file with the theme, then names it in the image item with this id.
  bool SetItemImage(const std::wstring& item_id, const std::wstring& path, bool redraw);

  HWND Window() const { return window_; }
  bool IsFrame() const { return is_frame_; }
  void SetIsFrame(bool frame) { is_frame_ = frame; }
  HFONT Font() const { return font_; }
  void SetFont(HFONT font) { font_ = font; }
  uint32_t HostState() const { return host_state_; }
  void SetHostState(uint32_t state_bit) { host_state_ = state_bit; }
  const DirectUI_List& Items() const { return items_; }
  DirectUI_Base* HoveredItem() const { return hovered_; }

  // The dressing record the window manager keeps.
  const std::wstring& ThemeId() const { return theme_id_; }
  const std::wstring& ThemeName() const { return theme_name_; }
  void SetDressing(std::wstring theme_id, std::wstring theme_name) {
    theme_id_ = std::move(theme_id);
    theme_name_ = std::move(theme_name);
  }
  // The theme item's placement, copied (the theme item may go away with a theme reload).
  const skin::Placement& ThemePlacement() const { return placement_; }
  void SetPlacement(const skin::Placement& placement) { placement_ = placement; }
  DWORD DressedStyle() const { return style_; }
  void SetDressedStyle(DWORD style) { style_ = style; }
  void SetManager(skin::CSkinWndManager* manager) { manager_ = manager; }
  skin::CSkinWndManager* Manager() const { return manager_; }
  skin::ChildBackgroundRequest& BackgroundRequest() { return background_request_; }
  // The theme this skin was built from (null before BuildItems).
  skin::CSkinResourceManager* Theme() const { return theme_; }

  // The control's "SKINSE_D" (begin/end paint) and "SKINSE_E" (get/release device context) redirection
  // records, made on first request; null while no window manager has registered this skin.
  skin::CSkinPaintRedirect* PaintRedirect();
  skin::CSkinPaintRedirect* DeviceContextRedirect();
  // Removes both records (their memory contexts are freed).
  void EndRedirection();
  // From now on the skin keeps the window's scroll state and answers the scroll functions (it draws its
  // bars itself). Returns the state; null before KeepScrollState.
  skin::SkinScrollBars& KeepScrollState();
  skin::SkinScrollBars* ScrollBars() const { return scroll_bars_.get(); }

  // skin::hook::DressedWindow
  skin::hook::ProcedureChain* Procedures() override { return &chain_; }
  std::optional<HDC> BeginPaint(PAINTSTRUCT* paint) override;
  std::optional<BOOL> EndPaint(const PAINTSTRUCT* paint) override;
  std::optional<HDC> GetDC() override;
  std::optional<HDC> GetWindowDC() override;
  std::optional<int> ReleaseDC(HDC dc) override;
  std::optional<int> SetScrollInfo(int bar, const SCROLLINFO& info, BOOL redraw) override;
  std::optional<BOOL> GetScrollInfo(int bar, SCROLLINFO& info) override;
  std::optional<int> SetScrollPos(int bar, int position, BOOL redraw) override;
  std::optional<int> GetScrollPos(int bar) override;
  std::optional<BOOL> SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) override;
  std::optional<BOOL> GetScrollRange(int bar, int& minimum, int& maximum) override;
  std::optional<BOOL> ShowScrollBar(int bar, BOOL show) override;
  std::optional<BOOL> EnableScrollBar(UINT bars, UINT arrows) override;

  // skin::ItemHost
  void* HostWindow() const override { return window_; }
  void* HostFont() const override { return font_; }
  std::wstring HostText() const override;
  void InvalidateArea(const skin::Rect& area, bool erase) override;
  void ItemClicked(std::wstring_view id) override;

 protected:
  HWND window_;
  bool is_frame_ = false;
  HFONT font_ = nullptr;  // not owned
  DirectUI_List items_;
  DirectUI_Base* hovered_ = nullptr;
  uint32_t host_state_ = skin::kStateAll;
  skin::hook::ProcedureChain chain_;
  skin::Placement placement_;
  DWORD style_ = 0;
  std::wstring theme_id_;
  std::wstring theme_name_;
  skin::CSkinWndManager* manager_ = nullptr;  // the manager that registered this skin; none when unregistered
  skin::ChildBackgroundRequest background_request_;
  std::unique_ptr<skin::CSkinPaintRedirect> paint_redirect_;
  std::unique_ptr<skin::CSkinPaintRedirect> dc_redirect_;
  std::unique_ptr<skin::SkinScrollBars> scroll_bars_;

 private:
  void DrawFiltered(HDC dc, int left, int top, int right, int bottom, bool skip_draw_items);
  bool SetItemValue(const std::wstring& item_id, const std::wstring& value, bool images_only, bool redraw);

  skin::CSkinResourceManager* theme_ = nullptr;
  std::optional<std::wstring> pending_click_;
};
