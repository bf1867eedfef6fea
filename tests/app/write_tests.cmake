# The write command in the real main window against the simulated device library (Windows only).
if(WIN32)
  logora_gtest(app_write_tests WIN32_ONLY TIMEOUT 300
    SOURCES write_window_test.cpp ${PROJECT_SOURCE_DIR}/tests/xml/GTestWideMain_win.cpp
    LIBS logora_app logora_resources logora_device logora_packaging logora_sim_core
    PROPERTIES ${LOGORA_TEST_PROPERTIES})
  add_dependencies(app_write_tests logora_simulator)
endif()
