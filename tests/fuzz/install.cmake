logora_fuzzer(fuzz_install_replies SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_replies_fuzzer.cpp
              LIBS logora_install_core)
