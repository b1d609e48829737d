// The plot's view written as a vector drawing (SVG or PDF) through the same drawing pass.
#pragma once

#include "model/CaveModel.h"
#include "plot/PlotRender.h"
#include "plot/ViewTransform.h"
#include "reduction/Reduction.h"

#include <string>

enum class TVectorFormat { Svg, Pdf };

// Draws the cave (and the grid when it is on) as the view shows it on a surface of width by
// height pixels: the screen's colours and pen styles, labels as text, overlapping names left
// out as the window leaves them out. The file appears only once complete; false with a reason
// otherwise.
bool WriteVectorView(TVectorFormat format, const std::string& path, int width, int height,
                     TKviste& cave, TPlotView view, const TPlotSwitches& switches,
                     const TPlotColorTable& colors, const TStationIndex& index,
                     bool hideOverlappingLabels, std::string& reason);
