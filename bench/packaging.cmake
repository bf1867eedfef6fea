# Zip writer and reader beside zlib's raw deflate/inflate and Poco's Decompress; both package builds.
logora_bench(packaging_bench SOURCES packaging/PackagingBench.cpp LIBS logora_packaging Poco::Zip ZLIB::ZLIB)
add_dependencies(packaging_bench logora_templates)
target_include_directories(packaging_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(packaging_bench PRIVATE LOGORA_GENERATED_DIR="${LOGORA_GENERATED_DIR}")
