# The zip reader on arbitrary bytes:
#   build/fuzz/tests/fuzz/zip_reader_fuzzer -max_total_time=600 -jobs=1 <corpus folder>
# A seed corpus is the generated templates (build/fuzz/generated/template_*.zip).
logora_fuzzer(zip_reader_fuzzer SOURCES packaging/ZipReaderFuzz.cpp LIBS logora_packaging)
