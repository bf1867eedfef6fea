# Carrier choice and picture slots in the real main window (Windows only).
if(WIN32)
  logora_gtest(app_carrier_tests WIN32_ONLY
    SOURCES carrier_window_test.cpp
    LIBS logora_app logora_resources logora_packaging)
endif()
