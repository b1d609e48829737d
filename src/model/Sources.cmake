list(APPEND KV_CORE_SOURCES
  model/CaveModel.cpp
  model/Geometry.cpp
  model/StringRoutines.cpp
  model/ProgramState.cpp
  model/TextClock.cpp
  model/FileIO.cpp
  model/SurveyReader.cpp
  model/SurveyWriter.cpp
)
