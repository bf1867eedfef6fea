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

# GoogleTest's main is a narrow main(); these programs are not Unicode-entry programs.
if(WIN32)
  foreach(t hyperlink_command_tests hyperlink_tests)
    get_target_property(opts ${t} LINK_OPTIONS)
    list(REMOVE_ITEM opts -municode)
    set_target_properties(${t} PROPERTIES LINK_OPTIONS "${opts}")
  endforeach()
endif()

# The labels in the real main window, with the program's resources (and so its common-controls version).
if(WIN32)
  logora_gtest(hyperlink_main_window_tests WIN32_ONLY
    SOURCES hyperlink_main_window_test.cpp
    LIBS logora_app logora_resources)
  get_target_property(opts hyperlink_main_window_tests LINK_OPTIONS)
  list(REMOVE_ITEM opts -municode)
  set_target_properties(hyperlink_main_window_tests PROPERTIES LINK_OPTIONS "${opts}")
endif()
