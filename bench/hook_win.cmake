# The interception: intercepted painting and procedure reads on an undressed window beside the real calls.
logora_bench(skin_hook_bench SOURCES hook/HookBench_win.cpp LIBS logora_skin_hook)
