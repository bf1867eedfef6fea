# The drawing primitives on GDI memory contexts beside the platform calls they are built on: nine-grids of the
# shipped theme's bitmap and decoded pictures, and part copies of decoded pictures beside AlphaBlend.
set(draw_bench_rc ${CMAKE_CURRENT_BINARY_DIR}/draw_bench_theme.rc)
file(WRITE ${draw_bench_rc} "133 DATA \"${LOGORA_THEME_ARCHIVE}\"\n")
set_source_files_properties(${draw_bench_rc} PROPERTIES OBJECT_DEPENDS ${LOGORA_THEME_ARCHIVE})
logora_bench(draw_bench SOURCES draw/DrawBench_win.cpp ${draw_bench_rc} LIBS logora_skin logora_framework)
add_dependencies(draw_bench logora_theme)
