# DirectUI items on GDI memory contexts: the title's text item beside a bare DrawTextW, and the push button's
# item list in each host state.
set(items_bench_rc ${CMAKE_CURRENT_BINARY_DIR}/items_bench_theme.rc)
file(WRITE ${items_bench_rc} "133 DATA \"${LOGORA_THEME_ARCHIVE}\"\n")
set_source_files_properties(${items_bench_rc} PROPERTIES OBJECT_DEPENDS ${LOGORA_THEME_ARCHIVE})
logora_bench(items_bench SOURCES items/ItemsBench_win.cpp ${items_bench_rc} LIBS logora_skin logora_framework)
add_dependencies(items_bench logora_theme)
