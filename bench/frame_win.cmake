# The skinned frame under Wine: dialog template 102 dressed with the shipped theme, repainted whole and
# resized (frame re-render, region and layout).
logora_bench(frame_bench SOURCES frame/FrameBench_win.cpp $<TARGET_OBJECTS:logora_resources>
             LIBS logora_skin logora_framework)
