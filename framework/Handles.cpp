#include "framework/Handles.h"

namespace fw {

std::atomic<long>& LiveGdiObjectCount() {
  static std::atomic<long> count{0};
  return count;
}

}  // namespace fw
