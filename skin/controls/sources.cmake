# Control skins: scroll bars and buttons (Windows only).
set(skin_controls_win32_sources
  controls/SkinScroller_win.cpp
  controls/SkinScrollBarSB_win.cpp
  controls/ChildBackground_win.cpp
  controls/ControlTooltip_win.cpp
  controls/SkinButtonSB_win.cpp
  controls/SkinBoxButton_win.cpp
  controls/SkinGroupBtnSB_win.cpp
)
