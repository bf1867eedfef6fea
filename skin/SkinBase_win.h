#pragma once
// The part every control skin shares: the dressed window, its caption font and the DirectUI items built from
// its theme item, with the host operations that draw them and route the mouse to them. The skins of windows
// and controls derive from it.
#include <windows.h>

#include <optional>
#include <string>

#include "skin/items/DirectUI_Base_win.h"

namespace skin {
class CSkinResourceManager;
struct ThemeItem;
}  // namespace skin

class CSkinBase : public skin::ItemHost {
 public:
  explicit CSkinBase(HWND window);
  virtual ~CSkinBase();
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

 private:
  void DrawFiltered(HDC dc, int left, int top, int right, int bottom, bool skip_draw_items);
  bool SetItemValue(const std::wstring& item_id, const std::wstring& value, bool images_only, bool redraw);

  skin::CSkinResourceManager* theme_ = nullptr;
  std::optional<std::wstring> pending_click_;
};
