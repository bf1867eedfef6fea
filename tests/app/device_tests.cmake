# The device selector in the real main window against the simulated device library (Windows only).
if(WIN32)
  logora_gtest(app_device_selector_tests WIN32_ONLY TIMEOUT 300
    SOURCES device_selector_test.cpp
    LIBS logora_app logora_resources logora_device logora_sim_core)
  add_dependencies(app_device_selector_tests logora_simulator)
endif()
if(WIN32)
  # GoogleTest's main is a narrow main(): not a Unicode-entry program.
  get_target_property(opts app_device_selector_tests LINK_OPTIONS)
  list(REMOVE_ITEM opts -municode)
  set_target_properties(app_device_selector_tests PROPERTIES LINK_OPTIONS "${opts}")
endif()
