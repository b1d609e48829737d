list(APPEND KV_CORE_SOURCES
  attributes/AttributeSets.cpp
  attributes/AttributeFile.cpp
)
list(APPEND KV_GUI_SOURCES
  attributes/AttributeForm1.cpp
  attributes/AttributeForm1.h
  attributes/LineStyleForm.cpp
  attributes/LineStyleForm.h
)
