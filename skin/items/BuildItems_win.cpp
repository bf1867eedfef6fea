#include "skin/items/DirectUI_Animate_win.h"
#include "skin/items/DirectUI_Base_win.h"
#include "skin/items/DirectUI_DrawItem_win.h"
#include "skin/items/DirectUI_EventItem_win.h"
#include "skin/items/DirectUI_Image_win.h"
#include "skin/items/DirectUI_Line_win.h"
#include "skin/items/DirectUI_Rectangle_win.h"
#include "skin/items/DirectUI_Text_win.h"

namespace skin {

DirectUI_List BuildItems(const std::vector<ChildItem>& records, std::optional<ChildKind> owner,
                         const ItemContext& context) {
  DirectUI_List items;
  for (const ChildItem* record : ItemRecords(records, owner)) {
    switch (ItemKindOf(record->kind)) {
      case ItemKind::kText: items.push_back(std::make_unique<DirectUI_Text>(*record, context)); break;
      case ItemKind::kImage: items.push_back(std::make_unique<DirectUI_Image>(*record, context)); break;
      case ItemKind::kLine: items.push_back(std::make_unique<DirectUI_Line>(*record, context)); break;
      case ItemKind::kRectangle: items.push_back(std::make_unique<DirectUI_Rectangle>(*record, context)); break;
      case ItemKind::kAnimate: items.push_back(std::make_unique<DirectUI_Animate>(*record, context)); break;
      case ItemKind::kEventItem: items.push_back(std::make_unique<DirectUI_EventItem>(*record, context)); break;
      case ItemKind::kDrawItem: items.push_back(std::make_unique<DirectUI_DrawItem>(*record, context)); break;
    }
  }
  return items;
}

}  // namespace skin
