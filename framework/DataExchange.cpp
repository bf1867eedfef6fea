#include "framework/DataExchange.h"

#include "framework/Wnd.h"

namespace fw {

bool DDX_Control(DataExchange& dx, int id, Wnd& control) {
  if (control.GetSafeHwnd()) return true;
  return control.SubclassDlgItem(id, dx.dialog());
}

}  // namespace fw
