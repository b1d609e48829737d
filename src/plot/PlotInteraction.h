// The plot window's interaction state and the decisions behind its mouse, finder and texts.
#pragma once

#include "model/CaveModel.h"
#include "plot/PlotRender.h"
#include "plot/ViewTransform.h"
#include "profile/Polygon2D.h"

#include <cstdint>
#include <string>

// What the pointer and the pop-up commands act on; kept apart from painting.
struct TPlotInteraction {
    std::int32_t SelectedLine = 0; // line of the station chosen with the right button
    TScreenPoint LastDown;         // last button press on the plot surface
    std::string FoundName;         // from the station finder
    bool HintShown = false;
    bool PanelDrag = false;
    TScreenPoint DragOffset;
};

// The line whose drawn station is within 5 pixels of (x, y), the last such line winning;
// 0 when none is hit or station symbols are not drawn.
std::int32_t StationHitTest(const TKviste& cave, const TPlotSwitches& switches, std::int32_t x,
                            std::int32_t y);

// Station finder: rows of 10 names.
inline constexpr std::int32_t kFinderColumns = 10;
std::int32_t FinderRowCount(std::int32_t lineCount);

// Hint box size for a text of the given pixel width.
struct THintSize {
    std::int32_t Width = 0, Height = 0;
};
THintSize HintSize(std::int32_t clientWidth, std::int32_t textWidth, std::int32_t xHeight);
std::string ShowCommentText(const Tdatalinje& line);
std::string PopupTitle(const Tdatalinje& line);

// Texts of the view-limit labels and of the pointer read-out.
std::string LimitLabelText(const char* prefix, double value);
std::string PointerText(const char* prefix, double value);
// The statistics panel's values as shown.
struct TStatTexts {
    std::string Length, Depth, Legs, Area, Volume, Surface;
};
TStatTexts StatTexts(const TStatData& st);
