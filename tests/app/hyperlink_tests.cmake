# Hyperlink labels: the address and command-line rules build and run everywhere; the control itself, and
# opening addresses through the shell, the registry and a stand-in browser, run under Wine.
logora_gtest(hyperlink_command_tests SOURCES hyperlink_command_test.cpp)

if(WIN32)
  add_executable(hyperlink_probe hyperlink_probe.cpp)
  target_compile_options(hyperlink_probe PRIVATE ${LOGORA_WARNINGS})
  target_link_options(hyperlink_probe PRIVATE -municode)

  logora_gtest(hyperlink_tests WIN32_ONLY
    SOURCES hyperlink_open_test.cpp hyperlink_window_test.cpp ${PROJECT_SOURCE_DIR}/app/HyperLink.cpp
    LIBS logora_framework)
  add_dependencies(hyperlink_tests hyperlink_probe)
endif()
