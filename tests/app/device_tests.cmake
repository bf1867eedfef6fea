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

# The program against each way the vendor's device support can be installed, each in a Wine prefix of its
# own (a copy of this build's), and with a library of the device library's name planted beside it.
if(WIN32)
  add_executable(app_library_layout_probe library_layout_probe.cpp)
  target_compile_options(app_library_layout_probe PRIVATE ${LOGORA_WARNINGS})
  target_include_directories(app_library_layout_probe PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(app_library_layout_probe PRIVATE logora_app logora_resources logora_device logora_sim_core)
  target_link_options(app_library_layout_probe PRIVATE -municode)
  add_dependencies(app_library_layout_probe logora_simulator)
  add_test(NAME app_library_layouts
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/library_layouts.sh ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(app_library_layouts PROPERTIES TIMEOUT 300 ${LOGORA_TEST_PROPERTIES})
endif()

# The connect workers held at exact points inside a scripted device library (Windows only).
if(WIN32)
  logora_gtest(app_connect_worker_tests WIN32_ONLY
    SOURCES connect_worker_test.cpp ${PROJECT_SOURCE_DIR}/tests/device/FakeDeviceLibrary.cpp
    LIBS logora_app logora_resources logora_device logora_sim_core
    PROPERTIES ${LOGORA_TEST_PROPERTIES})
  add_dependencies(app_connect_worker_tests logora_simulator)
  get_target_property(opts app_connect_worker_tests LINK_OPTIONS)
  list(REMOVE_ITEM opts -municode)
  set_target_properties(app_connect_worker_tests PROPERTIES LINK_OPTIONS "${opts}")
endif()
