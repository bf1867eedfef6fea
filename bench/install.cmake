# The program's own share of a write (reading the package back, the staging upload, the request and the
# reply loop) beside the floor of the same bytes through the same loopback socket, the device answering at
# once from memory.
logora_bench(install_bench SOURCES xmlinst/InstallBench.cpp LIBS logora_install_core logora_packaging Threads::Threads)
add_dependencies(install_bench logora_templates)
target_compile_definitions(install_bench PRIVATE LOGORA_GENERATED_DIR="${LOGORA_GENERATED_DIR}")
