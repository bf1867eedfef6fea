#include "device/MobileDeviceFunctions.h"

// Process-wide; never freed (the libraries they point into are never unloaded).
MobileDeviceFunctions& MobileDeviceTable() {
  static MobileDeviceFunctions table;
  return table;
}

CoreFoundationFunctions& CoreFoundationTable() {
  static CoreFoundationFunctions table;
  return table;
}

CoreFoundationValueFunctions& CoreFoundationValueTable() {
  static CoreFoundationValueFunctions table;
  return table;
}
