list(APPEND KV_GUI_SOURCES
  ui/WindowSupport.cpp
  ui/WindowSupport.h
  ui/UserDialogs.cpp
  ui/UserDialogs.h
)
