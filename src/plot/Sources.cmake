list(APPEND KV_CORE_SOURCES
  plot/ViewTransform.cpp
  plot/PlotRender.cpp
  plot/PlotInteraction.cpp
  plot/HPGLWriter.cpp
  plot/ClipPolygonFile.cpp
  plot/ClipPolyInteraction.cpp
)
list(APPEND KV_GUI_SOURCES
  plot/QtCanvas.cpp
  plot/KvisPlotForm1.cpp
  plot/KvisPlotForm1Export.cpp
  plot/KvisPlotForm1Clip.cpp
  plot/KvisPlotForm1.h
  plot/PlotVectorFile.cpp
)
