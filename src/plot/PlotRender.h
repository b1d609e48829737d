// The plot's drawing pass: cave, walls, scans, grid and gnomon onto a canvas; cave statistics.
#pragma once

#include "model/CaveModel.h"
#include "plot/PlotCanvas.h"
#include "plot/ViewTransform.h"
#include "reduction/Reduction.h"

#include <array>
#include <cstdint>
#include <vector>

// One plot window's display switches.
struct TPlotSwitches {
    bool ShowLabels = false;
    bool ShowWalls = false;
    bool ShowCrossSections = false;
    bool ShowGrid = false;
    bool ShowCentreLines = true;
    bool ShowStations = false;
    bool CommentedOnly = false;
    bool ShowPhotoStations = false;
    bool ScanPointMode = false;
    bool OnlyContinuous = false; // set by its menu item; nothing draws differently for it
    std::uint32_t ScanColour = 0x00FFFF00;
    std::uint8_t ScanPenStyle = kPenSolid;
    std::int32_t StationSize = 5; // radius of station symbols, pixels
};

using TPlotColorTable = std::array<std::uint32_t, 6>;
enum : int {
    kColDefault = 0,
    kColLabel = 1,
    kColWall = 2,
    kColWallEnd = 3,
    kColGrid = 4,
    kColAxis = 5
};
void SetPlotColors(TPlotColorTable& colors);

inline constexpr std::uint32_t kColourBlack = 0x00000000;
inline constexpr std::uint32_t kColourYellow = 0x0000FFFF;
inline constexpr std::uint32_t kColourRed = 0x000000FF;
inline constexpr std::uint32_t kColourBlue = 0x00FF0000;
inline constexpr std::uint32_t kColourFuchsia = 0x00FF00FF;
inline constexpr std::uint32_t kColourNavy = 0x00800000;
inline constexpr std::uint32_t kColourSkyBlue = 0x00F0CAA6;
inline constexpr std::uint32_t kColourWhite = 0x00FFFFFF;
// Outline of the start marker: the usual border colour of an active window.
inline constexpr std::uint32_t kStartMarkerColour = 0x00B4B4B4;

// Everything one drawing pass reads; it writes only the lines' ScreenPos.
struct TPlotPass {
    TPlotCanvas& Canvas;
    TKviste& Cave;
    const TPlotView& View;
    const TPlotSwitches& Switches;
    const TPlotColorTable& Colors;
    const TStationIndex& Index;     // built from Cave: from-station lookup without a search
    TPlotWorldSink* Sink = nullptr; // the plotter file during an export
    // Screen only (ignored while a Sink records): leave out what lies wholly outside the
    // viewport, and a label that would overprint one already drawn. Files keep every element.
    bool CullToViewport = false;
    bool HideOverlappingLabels = false;
    // Index's answer for every line's FromName, worked out once (FromLines of TStationIndex)
    // for passes that follow each other while the view moves; used when it fits the cave.
    const std::vector<std::int32_t>* FromLines = nullptr;
    // Symbols left out for speed: each station's ScreenPos is still set as its symbol would
    // set it, so that hit tests and clipping see the same points.
    bool StationPositionsOnly = false;
};
// The first line ending at each line's FromName, 0 where none does (entry 0 unused).
std::vector<std::int32_t> FromLines(const TKviste& cave, const TStationIndex& index);

// Fills the viewport black, then pen yellow and font Arial in white.
void ClearPlotScreen(TPlotCanvas& canvas, const TPlotView& view);
void PlottPolygon(TPlotPass& pass);
void PlottHVNO(TPlotPass& pass, std::int32_t line);
void PlottProfil(TPlotPass& pass, std::int32_t line);
// Grid and axes over the view-plane window (metres).
void TegnGrid(TPlotCanvas& canvas, const TPlotView& view, const TPlotColorTable& colors,
              double west, double north, double east, double south);
double GridSpacing(double width);
struct TGridExtent {
    double West, East, South, North;
};
TGridExtent GridExtent(double west, double north, double east, double south);
// Sets the gnomon mapping and draws the gnomon box (its own canvas, origin at the box).
void PlottGnomon(TPlotCanvas& canvas, TPlotView& view);

// Totals of the statistics panel over the visible legs of non-zero length.
struct TStatData {
    double Length = 0;
    double Depth = 0;
    std::int32_t Legs = 0;
    double Area = 0;    // square metres of plan
    double Volume = 0;  // cubic metres
    double Surface = 0; // square metres of wall
};
TStatData GetStatData(const TKviste& cave, const TStationIndex& index);
