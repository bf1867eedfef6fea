logora_fuzzer(fuzz_xml_document SOURCES ${CMAKE_CURRENT_LIST_DIR}/xml_document_fuzzer.cpp LIBS logora_xml)
