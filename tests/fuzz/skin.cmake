# Skin engine: one fuzzer per picture decoder and one for the theme reader (archive and bare document).
foreach(kind bmp:1 gif:2 jpeg:3 png:4 ico:5)
  string(REPLACE ":" ";" parts ${kind})
  list(GET parts 0 name)
  list(GET parts 1 code)
  logora_fuzzer(skin_${name}_fuzzer SOURCES skin_picture_fuzzer.cpp LIBS logora_skin)
  target_compile_definitions(skin_${name}_fuzzer PRIVATE FUZZ_PICTURE_KIND=${code})
endforeach()
logora_fuzzer(skin_theme_fuzzer SOURCES skin_theme_fuzzer.cpp LIBS logora_skin)
