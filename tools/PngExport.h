// The plot's fitted view of a processed cave written as a PNG picture.
#pragma once

#include "model/CaveModel.h"
#include "reduction/Reduction.h"

#include <string>

struct TPngOptions {
    int Width = 1600; // pixels
    int Height = 1000;
    double Rotation = 0; // RotAngle, degrees
    double Tilt = -90;   // TiltAngle, degrees; -90 is the plan view
    bool Labels = false;
    bool Walls = false;
    bool Stations = false;
    bool Grid = false;
    bool Scans = false;
};

struct TPlotView;
// The view of the picture: the options' angles, fitted as the plot window fits its view.
void SetPngView(TPlotView& view, const TKviste& cave, const TSummaryValues& summary,
                const TPngOptions& options);

// Draws the cave with the plot's drawing pass and saves it; false with a reason otherwise.
bool ExportPng(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& outFile, std::string& reason);
