list(APPEND KV_CORE_SOURCES
  profile/Polygon2D.cpp
  profile/ProfileCore.cpp
  profile/ProfileHPGL.cpp
  profile/CadInteraction.cpp
)
list(APPEND KV_GUI_SOURCES
  profile/KvisCadForm1.cpp
  profile/KvisCadForm1.h
  profile/resources/kvprofile.qrc
)
