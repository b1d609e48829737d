// Profile drawing arithmetic: the world-to-screen mapping, grid steps, the conversions between
// polygon nodes and a line's stored scan, the one-level undo and the data-file text block.
#pragma once

#include "model/CaveModel.h"
#include "profile/Polygon2D.h"

#include <cstdint>
#include <string>
#include <vector>

// Client rectangle of the drawing surface in pixels.
struct TCadRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// World metres (X right, Y up, the station at the origin) to drawing pixels.
struct TCadMapping {
    double ScaleX = 1, OffsetX = 0, ScaleY = -1, OffsetY = 0;
};

// Maps the world rectangle left a, bottom b, right c, top d onto the client rectangle. A
// rectangle of no width or height leaves the mapping as it was (it could only divide by zero).
void SetToPCParams(TCadMapping& m, const TCadRect& client, double a, double b, double c, double d);
// Widens the world rectangle about its centre, along one axis, so that a metre is as many pixels
// across as up on a client of that size: cross-sections keep their shape.
void FitAspect(const TCadRect& client, double& a, double& b, double& c, double& d);
TScreenPoint WorldToScreen(const TCadMapping& m, double wx, double wy);
void ScreenToWorld(const TCadMapping& m, std::int32_t x, std::int32_t y, double& wx, double& wy);

// Grid of half-extent R: lines 0 .. N either side, Step metres apart, every Major-th line
// thick and every Medium-th line (or Major-th) in the darker colour.
struct TGridSteps {
    std::int32_t N = 0;
    double Step = 0.1;
    std::int32_t Major = 10;
    std::int32_t Medium = 5;
};
TGridSteps GridSteps(double r);

// Half-extent of the window for a line from its passage dimensions (at least 2 m).
double DimensionExtent(const Tdatalinje& line);

// The line's instrument, or the default (degrees) for a line whose index is out of range.
TInstrument InstrumentOf(const TKviste& cave, const Tdatalinje& line);

// Unit text of a compass circle: "deg", " gon" or " ???".
std::string CircleUnitText(double compassCircle);

// World node to stored scan point: distance in metres, angle in degrees in [-90, 270),
// counter-clockwise from +X. A node at the station has no direction and gets angle 0.
void NodeToScan(double x, double y, double& distance, double& angleDeg);

// Stores the polygon's world nodes (Count of them, WPts must hold them) as the scan of line s,
// backing the old scan up in undo first; then recomputes the scan's offsets and world points.
// planeAzimuth in degrees, as the model keeps it. Count 0 stores nothing but the recompute.
void SavePolyToCave(TKviste& cave, std::int32_t s, const TPolyGon& poly, double planeAzimuth,
                    TTempProfil& undo);
// The stored scan of line s as world nodes of an open polygon (screen nodes sized, not set).
void LoadPolyFromProfile(const TKviste& cave, std::int32_t s, TPolyGon& poly);
// Copies line s's scan into the undo buffer.
void BackupProfileSave(const TKviste& cave, std::int32_t s, TTempProfil& undo);
// Writes the undo buffer back as line s's scan (a profile, even with no nodes) and recomputes it.
void RestoreProfile(TKviste& cave, std::int32_t s, const TTempProfil& undo);
// Removes line s's scan.
void DeleteProfile(TKviste& cave, std::int32_t s);

// Lines of survey-data-file text for the polygon's world nodes at a station of that name
// (padded or cut to four characters). Without CR LF.
std::vector<std::string> DataFileBlock(const std::string& stationName, double planeAzimuth,
                                       const TPolyGon& poly);

// First line 1 .. LineCount whose FromName (GetFra) or ToName (GetTil) is name cut to four
// characters; 0 when none.
std::int32_t GetFra(const TKviste& cave, const std::string& name);
std::int32_t GetTil(const TKviste& cave, const std::string& name);

// Status text of the polygon (area, perimeter, centroid), or "No PolyGon Here".
std::string PolyStatusText(const TPolyGon& poly);

// Rotation panel: the angle text from the tens and units spins ("45", "-25", "-5").
std::string RotationText(std::int32_t tens, std::int32_t units);

// World bounding box of the Count world nodes (all 0 for an empty polygon).
void WorldBox(const TPolyGon& poly, double& minX, double& minY, double& maxX, double& maxY);
