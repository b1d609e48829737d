list(APPEND KV_GUI_SOURCES
  ui/WindowSupport.cpp
  ui/EscapeLineEdit.h
  ui/WindowSupport.h
  ui/UserDialogs.cpp
  ui/UserDialogs.h
)
