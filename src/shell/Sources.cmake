list(APPEND KV_CORE_SOURCES
  shell/TextLines.cpp
  shell/TextLines.h
  shell/TextEditLogic.cpp
  shell/TextEditLogic.h
  shell/GridCells.cpp
  shell/GridCells.h
)

list(APPEND KV_GUI_SOURCES
  ui/WindowSupport.h
  ui/UserDialogs.h
  shell/ChildFirstShortcuts.cpp
  shell/ChildFirstShortcuts.h
  shell/ChildForm.cpp
  shell/ChildForm.h
  shell/TextLinesView.cpp
  shell/TextLinesView.h
  shell/AboutForm.cpp
  shell/AboutForm.h
  shell/FormEditor.cpp
  shell/FormEditor.h
  shell/GridEditorModel.cpp
  shell/GridEditorModel.h
  shell/MainForm.cpp
  shell/MainForm.h
  shell/TextEditForm1.cpp
  shell/TextEditForm1.h
  shell/DataLinje.cpp
  shell/DataLinje.h
  shell/AdjustmentDialog.cpp
  shell/AdjustmentDialog.h
  shell/resources/kvshell.qrc
)

# The icon and the credits are read at run time from the current directory, then from beside
# the program, which is built into this directory.
foreach(shipped Kvistrel4.ICO kviscredits4.txt)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/shell/resources/${shipped}
                 ${CMAKE_CURRENT_BINARY_DIR}/${shipped} COPYONLY)
endforeach()
