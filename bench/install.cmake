# The write path's upload and installation against the simulated device's services on loopback, beside the
# floor of the same bytes sent through a plain loopback socket and written to the media folder.
logora_bench(install_bench SOURCES xmlinst/InstallBench.cpp LIBS logora_install_core logora_sim_core Threads::Threads)
add_dependencies(install_bench logora_templates)
target_compile_definitions(install_bench PRIVATE LOGORA_GENERATED_DIR="${LOGORA_GENERATED_DIR}")
