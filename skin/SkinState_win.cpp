#include "skin/SkinState_win.h"

namespace skin {

EngineState& State() {
  static EngineState state;
  return state;
}

}  // namespace skin
