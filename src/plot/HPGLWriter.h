// HPGL plotter files: the cave view, its frame with scale bar and north arrow, and the grid.
#pragma once

#include "model/CaveModel.h"
#include "model/FileIO.h"
#include "plot/PlotCanvas.h"
#include "plot/PlotRender.h"
#include "plot/ViewTransform.h"
#include "reduction/Reduction.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The three files of an export; any other kind is written as the cave file.
enum : std::uint8_t { kHPGLCave = 1, kHPGLFrame = 2, kHPGLGrid = 3 };

// Where a file of the kind goes for the data file: the cave file has the data file's name with
// ".plt", the frame file the base name (without its last 4 characters) + "RM.plt", the grid
// file "Rutenett.plt", both in the data file's directory.
std::string HPGLFileName(std::uint8_t kind, const std::string& dataFile);

// Extent of the cave in the current view plane, metres.
struct TPlotExtents {
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
};
// Over every line's Pos, visible or not; the start point counts only where a line ends there.
TPlotExtents RotatedExtents(const TKviste& cave, const TPlotView& view);
// Metres of the world per centimetre of paper for a view this wide.
double ScaleForWidth(double width);
// The frame's margins: 15 % on three sides and 30 % below, rounded to whole metres.
TPlotExtents EnlargedExtents(const TPlotExtents& e);

// One open plotter file at a time. Commands go to a temporary file that replaces the final
// name only when CloseHPGL succeeds; after a failed write the rest of the export is dropped.
class THPGLWriter final : public TPlotWorldSink {
public:
    double HPGLScale = 1;    // metres per centimetre of paper, set by WritePlotFrame
    bool HPGLActive = false; // the drawing pass writes to the open file
    std::int32_t PaperX = 0; // paper extent in plotter units for the header
    std::int32_t PaperY = 0;
    bool UseGivenExtents = false;
    TPlotExtents GivenExtents;

    ~THPGLWriter() override;

    bool OpenHPGL(std::uint8_t kind, const std::string& dataFile, std::string& reason);
    bool OpenHPGLFile(const std::string& path, std::string& reason);
    // "PU0 0;" and "SP0;", then the file takes its name. False with a reason when any write failed.
    bool CloseHPGL(std::string& reason);
    // Drops an open file without leaving anything under its name.
    void AbandonHPGL();
    const std::string& FileName() const { return name_; }

    // World lengths in metres of the view plane to plotter units: 400 make a centimetre.
    long long PlotterUnits(double v) const;

    void PenUp(double x, double y) override;
    void PenDown(double x, double y) override;
    void Label(int size, const std::string& text, double x, double y) override {
        HPGLLabel(size, text, x, y);
    }
    void Circle(int sides, double cx, double cy, double radius, double startAngle) override {
        HPGLCircle(sides, cx, cy, radius, startAngle);
    }

    void HPGLLabel(int size, std::string_view text, double x, double y);
    // Regular polygon, start angle in degrees; closed with n + 1 pen-downs.
    void HPGLCircle(int sides, double cx, double cy, double radius, double startAngle);
    void HPGLRect(double x1, double y1, double x2, double y2);
    // Bearing in degrees clockwise from +Y.
    void HPGLArrow(double x, double y, double length, double bearing);
    void HPGLNorthArrow(double x, double y, double length, double bearing);
    void HPGLScaleBar(int divisions, double x, double y, double length);
    // Chooses HPGLScale from the extents, then frame, scale bar, north arrow and titles.
    void WritePlotFrame(const TKviste& cave, const TPlotView& view, const std::string& stamp);
    // Grid lines at HPGLScale spacing over the enlarged extents. False when absurdly many.
    bool WriteGridFile(const TKviste& cave, const TPlotView& view, std::string& reason);

private:
    void Command(std::string_view text);
    void Point(const char* command, double x, double y);
    void Flush();

    TAtomicFile file_;
    std::string name_;
    std::string buffer_;
    std::string point_; // one coordinate command, kept to spare allocations
    bool failed_ = false;
    std::string failure_;
};

// The drawing pass's inputs for an export; the pass itself also paints the canvas.
struct THPGLExportInput {
    TPlotCanvas& Canvas;
    TKviste& Cave;
    TPlotView& View;
    const TPlotSwitches& Switches;
    const TPlotColorTable& Colors;
    const TStationIndex& Index;
    std::string DataFile;
    std::string Stamp; // date and time for the frame's "Laget" line
    // Writes the clip polygon when it is marked printable; empty when there is none.
    std::function<void(TPlotWorldSink&)> PrintableClip;
};

// The three files of a plot export: frame, cave and (with the grid on) grid. On failure the
// message is "Could NOT write " + file + " (" + reason + ")", or kNothingToPlot for a cave
// without shots (then no file is written); HPGLActive is false afterwards.
bool HPGLExport(THPGLWriter& writer, THPGLExportInput& in, std::string& message);
// Ends a failed export: nothing is left half-written and later redraws write nothing. Sets the
// message for the open file and the reason; always false.
bool FailHPGLExport(THPGLWriter& w, const std::string& reason, std::string& message);
inline constexpr const char* kNothingToPlot = "Nothing to plot: the cave has no shots";

// The program's one plotter writer, shared by every plot window.
THPGLWriter& PlotHPGL();
