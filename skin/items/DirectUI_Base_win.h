#pragma once
// The drawable item every child element of a theme item becomes: its rectangle (recomputed on every draw),
// host, kind, state mask, layout values, cursor, id and press flag, and the twelve operations hosts call.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skin/ThemeItem.h"
#include "skin/items/ColorAdjust.h"
#include "skin/items/ItemHost.h"
#include "skin/items/ItemSpecs.h"

namespace skin {
class CSkinResourceManager;

// What building an item needs: its host, the theme it reads pictures, fonts and cursors from, and the tint.
struct ItemContext {
  ItemHost* host = nullptr;
  CSkinResourceManager* theme = nullptr;
  HsbShift shift;
};
}  // namespace skin

class DirectUI_Base {
 public:
  virtual ~DirectUI_Base() = default;
  DirectUI_Base(const DirectUI_Base&) = delete;
  DirectUI_Base& operator=(const DirectUI_Base&) = delete;

  virtual bool IsVisible() const = 0;
  // Stores the flag; a change with `redraw` repaints the item's rectangle. Returns whether it changed.
  virtual bool SetVisible(bool visible, bool redraw) = 0;
  // Sets the item's cursor when the point is over it; true when a cursor was set.
  virtual bool OnSetCursor(int x, int y) = 0;
  // Lays the item out inside (left, top, right, bottom) of `owner` and draws it.
  virtual void Draw(HDC dc, skin::ItemHost* owner, int left, int top, int right, int bottom);
  // The item that takes the mouse at (x, y), or none.
  virtual DirectUI_Base* OnMouseMove(unsigned keys, int x, int y);
  virtual void OnMouseLeave();
  virtual bool OnLButtonDown(unsigned keys, int x, int y);
  virtual bool OnLButtonUp(unsigned keys, int x, int y);
  virtual bool ReservedQuery(intptr_t argument);
  // Recomputes colours (or looks pictures up again) for the window manager's tint.
  virtual void ApplyColorAdjust(int hue, int saturation, int brightness) = 0;
  // Containers recompute their own and their children's rectangles without drawing; other items do nothing.
  virtual void Relayout(int left, int top, int right, int bottom);

  // Computes the item's rectangle inside the parent rectangle, without drawing.
  void LayoutIn(int left, int top, int right, int bottom);

  const skin::Rect& GetRect() const { return rect_; }
  skin::ItemKind Kind() const { return kind_; }
  uint32_t StateMask() const { return state_mask_; }
  const std::wstring& Id() const { return id_; }
  HCURSOR Cursor() const { return cursor_; }
  bool IsPressed() const { return pressed_; }

 protected:
  DirectUI_Base(skin::ItemKind kind, const skin::ChildItem& record, skin::ItemHost* owner);

  bool Contains(int x, int y) const { return x >= rect_.left && x < rect_.right && y >= rect_.top && y < rect_.bottom; }
  void InvalidateSelf();
  bool ChangeVisible(bool& flag, bool visible, bool redraw);
  bool SetOwnCursor(int x, int y);

  skin::Rect rect_;
  skin::ItemHost* owner_;
  skin::ItemKind kind_;
  uint32_t state_mask_;
  skin::Placement layout_;
  HCURSOR cursor_ = nullptr;
  std::wstring id_;
  bool pressed_ = false;
};

using DirectUI_List = std::vector<std::unique_ptr<DirectUI_Base>>;

namespace skin {
// Builds the items of `records` (the children of a theme item, draw item or event item, as `owner` says),
// skipping kinds the owner does not hold, in record order.
DirectUI_List BuildItems(const std::vector<ChildItem>& records, std::optional<ChildKind> owner,
                         const ItemContext& context);
}  // namespace skin
