// The plotter files of a drawn cross-section: a frame titled with the station, plane and area,
// and the polygon itself, both written through the program's HPGL writer.
#pragma once

#include "model/CaveModel.h"
#include "plot/HPGLWriter.h"
#include "plot/ViewTransform.h"
#include "profile/Polygon2D.h"

#include <cstdint>
#include <string>
#include <string_view>

// "<cave> Profile (<station>) : <plane>Area = <area> m2", plane 5.2 and area 6.2 wide.
std::string ProfileHPGLTitle(const std::string& caveName, std::string_view toName, double scanPlane,
                             double area);

// The data file's name without its last four characters, the station's name and ".plt".
// Trailing blanks of the name are dropped and path separators become '_', so that the file
// lands beside the data file. Empty when the data file's name is too short or the name blank.
std::string ProfileHPGLName(const std::string& dataFile, std::string_view station);

// The polygon's world bounding box as the frame's given extents (all 0 without nodes).
TPlotExtents ProfileExtents(const TPolyGon& poly);

struct TProfileHPGLInput {
    TKviste& Cave;            // its CaveName carries the title while the frame is written
    std::string& CurrentFile; // carries the output name while writing
    std::int32_t Station = 0; // the line the profile belongs to
    const TPolyGon& Poly;     // world nodes already converted
    std::string StationName;  // names the file when the line's ToName is blank
    const TPlotView& View;    // the frame's view angles
    std::string Stamp;        // date and time for the frame's "Laget" line
};

// Writes the frame file and the polygon file. The cave's name, the current file and the
// writer's given extents are restored on every path; HPGLActive is false afterwards. On
// failure the message says why, "Could NOT write " + file + " (" + reason + ")" for a file.
bool ProfileHPGLExport(THPGLWriter& writer, TProfileHPGLInput& in, std::string& message);
