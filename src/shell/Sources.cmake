list(APPEND KV_GUI_SOURCES
  ui/WindowSupport.h
  ui/UserDialogs.h
  shell/ChildForm.cpp
  shell/ChildForm.h
  shell/AboutForm.cpp
  shell/AboutForm.h
  shell/FormEditor.cpp
  shell/FormEditor.h
  shell/GridEditorModel.cpp
  shell/GridEditorModel.h
  shell/MainForm.cpp
  shell/MainForm.h
  shell/resources/kvshell.qrc
)

list(APPEND KV_CORE_SOURCES
  shell/GridCells.cpp
  shell/GridCells.h
)

# The icon and the credits are read at run time from the current directory, then from beside
# the program, which is built into this directory.
foreach(shipped Kvistrel4.ICO kviscredits4.txt)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/shell/resources/${shipped}
                 ${CMAKE_CURRENT_BINARY_DIR}/${shipped} COPYONLY)
endforeach()
