list(APPEND KV_CORE_SOURCES
  profile/Polygon2D.cpp
  profile/ProfileCore.cpp
  profile/CadInteraction.cpp
)
