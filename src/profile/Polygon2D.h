// Two-dimensional polygons: screen nodes in pixels, world nodes in metres, and the operations
// that measure, hit-test and edit them. No state of its own; draws nothing.
#pragma once

#include "model/Geometry.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Screen nodes: pixels, Y grows downwards.
using TPoints = std::vector<TScreenPoint>;

// A world node in metres; Z is one constant written by SetPolyZ.
struct TWPoint {
    double X = 0, Y = 0, Z = 0;
    friend bool operator==(const TWPoint&, const TWPoint&) = default;
};
using TWPoints = std::vector<TWPoint>;

struct TPolyRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TPolyRect&, const TPolyRect&) = default;
};

struct TPolyCentroid {
    double X = 0, Y = 0;
    friend bool operator==(const TPolyCentroid&, const TPolyCentroid&) = default;
};

// Handle indices into TPolyGon::Handles: corners clockwise from top-left, then edge midpoints
// clockwise from the top edge.
enum : int {
    kHandleTopLeft = 0,
    kHandleTopRight = 1,
    kHandleBottomRight = 2,
    kHandleBottomLeft = 3,
    kHandleTop = 4,
    kHandleRight = 5,
    kHandleBottom = 6,
    kHandleLeft = 7
};

// One polygon. Count governs how many nodes are used: Pts has Count elements after every
// editing operation, WPts may lag behind until the owner converts the screen nodes again.
// A closed polygon does not repeat its first node; the leg from the last node to the first
// is implicit. A C++ copy is independent; CopyPolyGon copies nodes only.
struct TPolyGon {
    TPoints Pts;
    TWPoints WPts;
    double Area = 0;      // square metres, absolute
    double Perimeter = 0; // metres
    TPolyCentroid Centroid;
    double WMinX = 0, WMinY = 0, WMaxX = 0, WMaxY = 0;
    TPolyRect Bounds;
    TScreenPoint Mid;
    std::array<TScreenPoint, 8> Handles{};
    std::int32_t Count = 0;
    bool Closed = false;
    bool Loaded = false; // the plot's clip polygon is drawn only while set
    std::string Name;
};

// LineParams kinds.
enum : std::uint8_t { kLegDegenerate = 0, kLegXMajor = 1, kLegYMajor = 2 };

// Start values of the running bounds: a polygon of fewer than two nodes keeps them.
inline constexpr double kBoundsStartMin = 1000000;
inline constexpr double kBoundsStartMax = 0;
// A leg is near when fewer than this many pixels off along its minor axis.
inline constexpr std::int32_t kNearLegPixels = 5;
// A node is near when at most this many pixels off in both axes.
inline constexpr std::int32_t kNearNodePixels = 5;

void TranslateWPoints(std::int32_t n, TWPoints& p, double dx, double dy);
void ScaleWPoints(std::int32_t n, TWPoints& p, double sx, double sy);
double PointDist(const TWPoint& a, const TWPoint& b); // in the plane; Z is ignored
// Fixed point, right-aligned in at least width characters.
void FloatStr(int width, int decimals, std::string& s, double x);
void PointDiff(const TScreenPoint& a, const TScreenPoint& b, TScreenPoint& d); // d = a - b

double PolyPerimeter(const TPolyGon& g);
double PolyArea(const TPolyGon& g); // signed: counter-clockwise in a Y-up world is positive
void PolyCentroid(const TPolyGon& g, TPolyCentroid& c);
void LineParams(const TScreenPoint& a, const TScreenPoint& b, std::uint8_t& kind, double& slope,
                double& intercept);
bool NearLeg(const TScreenPoint& p, const TScreenPoint& a, const TScreenPoint& b);
bool NearNode(const TScreenPoint& p, const TScreenPoint& q);

// Recomputes area, perimeter, centroid, world and screen bounds, Mid and Handles.
void UpdatePolyGon(TPolyGon& g);
double MaxExtent(TPolyGon& g);
void CopyPolyGon(const TPolyGon& src, TPolyGon& dst);

// Legs 1 .. Count-1, then the closing leg, whether or not the polygon is closed.
bool NearPolyGon(std::int32_t x, std::int32_t y, const TPolyGon& g);
// The first leg i (node i-1 to node i) near the point; 0 when none. Never the closing leg.
std::int32_t FindLeg(std::int32_t x, std::int32_t y, const TPolyGon& g);
// Opens the polygon at the leg FindLeg reports: the nodes then run from node i to node i-1.
void BreakLeg(std::int32_t x, std::int32_t y, TPolyGon& g);
// Inserts a screen node into the leg near the point, or appends it; world nodes unchanged.
void InsertNode(std::int32_t x, std::int32_t y, TPolyGon& g);
// Removes a screen node; an index outside 0 .. Count-1 removes nothing.
void DeleteNode(std::int32_t index, TPolyGon& g);
void ClearPolyGon(TPolyGon& g);
void MovePolyGon(std::int32_t dx, std::int32_t dy, TPolyGon& g);
// Mirrors the world nodes about the world Y axis.
void FlipPolyGon(TPolyGon& g);
// Even-odd rule; each leg covers heights from its smaller Y up to, not including, its larger.
bool InsidePolyGon(const TScreenPoint& p, std::span<const TScreenPoint> pts);
void SetPolyZ(TPolyGon& g, double z);
// Scales the world nodes about their corner (WMinX, WMinY) by the ratio of Bounds to r.
void FitPolyToRect(TPolyGon& g, const TPolyRect& r);
