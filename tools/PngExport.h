// The plot's fitted view of a processed cave written as a PNG picture.
#pragma once

#include "model/CaveModel.h"
#include "plot/PlotRender.h"
#include "reduction/Reduction.h"

#include <memory>
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
class QGuiApplication;
// The view of the picture: the options' angles, fitted as the plot window fits its view.
void SetPngView(TPlotView& view, const TKviste& cave, const TSummaryValues& summary,
                const TPngOptions& options);

// Draws the cave with the plot's drawing pass and saves it; false with a reason otherwise.
bool ExportPng(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& outFile, std::string& reason);

// Helpers the drawing exports share: the options' limits, and a GUI application for text when
// there is none yet (null when there is).
bool CheckPngOptions(const TPngOptions& options, std::string& reason);
std::unique_ptr<QGuiApplication> EnsureGuiApplication();

// The display switches the options ask for; the batch's plotter files use them too.
inline TPlotSwitches PngSwitches(const TPngOptions& options) {
    TPlotSwitches sw;
    sw.ShowLabels = options.Labels;
    sw.ShowWalls = options.Walls;
    sw.ShowStations = options.Stations;
    sw.ShowGrid = options.Grid;
    sw.ShowCrossSections = options.Scans;
    return sw;
}
