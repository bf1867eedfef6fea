#include "skin/items/DirectUI_Animate_win.h"
#include "skin/items/DirectUI_Base_win.h"
#include "skin/items/DirectUI_DrawItem_win.h"
#include "skin/items/DirectUI_EventItem_win.h"
#include "skin/items/DirectUI_Image_win.h"
#include "skin/items/DirectUI_Line_win.h"
#include "skin/items/DirectUI_Rectangle_win.h"
#include "skin/items/DirectUI_Text_win.h"

namespace skin {
namespace {

std::unique_ptr<DirectUI_Base> MakeItem(const ChildItem& record, const ItemContext& context) {
  switch (ItemKindOf(record.kind)) {
    case ItemKind::kText: return std::make_unique<DirectUI_Text>(record, context);
    case ItemKind::kImage: return std::make_unique<DirectUI_Image>(record, context);
    case ItemKind::kLine: return std::make_unique<DirectUI_Line>(record, context);
    case ItemKind::kRectangle: return std::make_unique<DirectUI_Rectangle>(record, context);
    case ItemKind::kAnimate: return std::make_unique<DirectUI_Animate>(record, context);
    case ItemKind::kEventItem: return std::make_unique<DirectUI_EventItem>(record, context);
    case ItemKind::kDrawItem: return std::make_unique<DirectUI_DrawItem>(record, context);
  }
  return nullptr;
}

}  // namespace

DirectUI_List BuildItems(const std::vector<ChildItem>& records, std::optional<ChildKind> owner,
                         const ItemContext& context) {
  DirectUI_List items;
  for (const ChildItem* record : ItemRecords(records, owner))
    if (auto item = MakeItem(*record, context)) items.push_back(std::move(item));
  return items;
}

}  // namespace skin
