list(APPEND KV_GUI_SOURCES
  shell/MainForm.cpp
  shell/MainForm.h
)
