#pragma once
// Theme items: a control class's id, placement, the attributes its class reads (raw text, parsed when the
// skin is applied) and its child items. Platform-free.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "skin/ThemeValues.h"

namespace skin {

// Raw attribute values of one element, in the order read.
class Attributes {
 public:
  void Set(std::wstring name, std::wstring value);
  // The value, or none when the attribute was absent.
  const std::wstring* Find(std::wstring_view name) const;
  std::wstring Text(std::wstring_view name) const;
  int32_t Int(std::wstring_view name, int32_t fallback = 0) const;
  // True when the value equals "true" (`IsTrue`) or "false" (`IsFalse`); anything else gives the fallback.
  bool IsTrue(std::wstring_view name, bool fallback = false) const;
  bool IsFalse(std::wstring_view name, bool fallback = false) const;
  Quad QuadValue(std::wstring_view name, const Quad& fallback) const;
  Pair PairValue(std::wstring_view name, const Pair& fallback) const;
  bool Empty() const { return values_.empty(); }
  const std::vector<std::pair<std::wstring, std::wstring>>& All() const { return values_; }

 private:
  std::vector<std::pair<std::wstring, std::wstring>> values_;
};

enum class ChildKind { kRectangle, kText, kImage, kLine, kAnimate, kEventItem, kDrawItem };
const wchar_t* ChildKindName(ChildKind kind);

struct ChildItem {
  ChildKind kind = ChildKind::kRectangle;
  std::wstring id;
  bool visible = true;
  Placement place;
  uint32_t state = kStateAll;
  Attributes attrs;
  // For event and draw items: their own children, grouped by kind in the reader's order.
  std::vector<ChildItem> children;
};

struct ThemeItem {
  std::wstring class_name;
  std::wstring id;
  Placement place;
  // Class attributes by element ("attribute", "background", "btnclose", ...).
  std::vector<std::pair<std::wstring, Attributes>> elements;
  std::vector<ChildItem> children;

  // The element's attributes, or an empty set.
  const Attributes& Element(std::wstring_view name) const;
  // The class attribute `name` of element `element`, with the class's default when absent.
  std::wstring Raw(std::wstring_view element, std::wstring_view name) const;
  // First child item (not nested in event or draw items) of the kind and id.
  ChildItem* FindChild(std::wstring_view id, std::optional<ChildKind> kind = std::nullopt);
};

// The 28 class names of the theme, in table order.
inline constexpr int kThemeClassCount = 28;
const wchar_t* ThemeClassName(int index);
// Index of a class name, or -1 when the theme does not know it.
int ThemeClassIndex(std::wstring_view name);

// What the class reads: element names with their attribute names, and the defaults of absent attributes.
struct ClassElement {
  const wchar_t* element;
  std::vector<const wchar_t*> attributes;
};
const std::vector<ClassElement>& ClassElements(std::wstring_view class_name);
// Default text of an absent class attribute (nullptr: none, the attribute reads empty).
const wchar_t* ClassAttributeDefault(std::wstring_view class_name, std::wstring_view element,
                                     std::wstring_view name);
// Attribute names a child item of the kind reads besides the common ones.
const std::vector<const wchar_t*>& ChildAttributes(ChildKind kind);
// Order in which the reader stores the child kinds of an owner (a theme item, a draw item, an event item).
const std::vector<ChildKind>& ChildOrder(std::optional<ChildKind> owner);

}  // namespace skin
