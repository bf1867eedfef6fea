# Parsers of the simulated device libraries.
logora_fuzzer(simulator_plist_fuzzer SOURCES simulator_plist_fuzzer.cpp LIBS logora_sim_plist)
logora_fuzzer(simulator_package_fuzzer SOURCES simulator_package_fuzzer.cpp LIBS logora_sim_core)
