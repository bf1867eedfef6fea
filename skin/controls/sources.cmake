# Control skins: scroll bars and buttons (Windows only).
set(skin_controls_win32_sources
  controls/SkinScroller_win.cpp
  controls/SkinScrollBarSB_win.cpp
)
