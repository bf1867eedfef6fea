# Skin pictures: CxImage beside libpng on the same PNG bytes, and the shipped theme's load time.
logora_bench(skin_bench SOURCES skin_bench.cpp LIBS logora_skin logora_packaging PNG::PNG)
target_compile_definitions(skin_bench PRIVATE LOGORA_THEME_ARCHIVE_PATH="${LOGORA_THEME_ARCHIVE}")
add_dependencies(skin_bench logora_theme)
