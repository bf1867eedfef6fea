# Control skins under Wine: PaintBars of a scroll-bar control and of a window with both bars, and the
# repaint a push button makes when the pointer arrives. The fixture is the control tests' small theme.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(controls_bench_theme ${LOGORA_GENERATED_DIR}/controls_bench_theme.zip)
add_custom_command(
  OUTPUT ${controls_bench_theme}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/theme/make_test_theme.py ${controls_bench_theme}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/theme/make_test_theme.py ${PROJECT_SOURCE_DIR}/tools/theme/imaging.py
  VERBATIM)
set(controls_bench_rc ${CMAKE_CURRENT_BINARY_DIR}/controls_bench_theme.rc)
file(WRITE ${controls_bench_rc} "140 DATA \"${controls_bench_theme}\"\n")
set_source_files_properties(${controls_bench_rc} PROPERTIES OBJECT_DEPENDS ${controls_bench_theme})
logora_bench(controls_bench SOURCES controls/ControlsBench_win.cpp ${controls_bench_rc}
  LIBS logora_skin logora_skin_hook logora_framework)
