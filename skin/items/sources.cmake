# DirectUI items: platform-free layout, record parsing and state machines; the items themselves draw with GDI.
set(skin_items_sources
  items/ItemLayout.cpp
  items/ItemSpecs.cpp
  items/EventItemState.cpp
  items/FrameStrip.cpp
  items/ColorAdjust.cpp
)
set(skin_items_win32_sources
)
