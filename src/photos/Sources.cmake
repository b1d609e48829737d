list(APPEND KV_CORE_SOURCES
  photos/PhotoList.cpp
)
list(APPEND KV_GUI_SOURCES
  photos/KvPicViewForm.cpp
  photos/KvPicViewForm.h
)
