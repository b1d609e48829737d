// Measuring, hit-testing and editing of two-dimensional polygons.
#include "profile/Polygon2D.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// World nodes the measuring operations may read: Count, unless the world nodes lag behind.
std::size_t WorldCount(const TPolyGon& g) {
    return std::min(static_cast<std::size_t>(std::max(g.Count, 0)), g.WPts.size());
}

std::size_t ScreenCount(const TPolyGon& g) {
    return std::min(static_cast<std::size_t>(std::max(g.Count, 0)), g.Pts.size());
}

std::size_t Clamp(std::int32_t n, std::size_t size) {
    return std::min(static_cast<std::size_t>(std::max(n, 0)), size);
}

// Editing keeps Pts exactly Count long; a record put together by hand may not be.
void MatchScreenNodes(TPolyGon& g) {
    if (g.Count < 0)
        g.Count = 0;
    g.Pts.resize(static_cast<std::size_t>(g.Count));
}

} // namespace

void TranslateWPoints(std::int32_t n, TWPoints& p, double dx, double dy) {
    const std::size_t m = Clamp(n, p.size());
    for (std::size_t i = 0; i < m; ++i) {
        p[i].X += dx;
        p[i].Y += dy;
    }
}

void ScaleWPoints(std::int32_t n, TWPoints& p, double sx, double sy) {
    const std::size_t m = Clamp(n, p.size());
    for (std::size_t i = 0; i < m; ++i) {
        p[i].X *= sx;
        p[i].Y *= sy;
    }
}

double PointDist(const TWPoint& a, const TWPoint& b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    return std::sqrt(dx * dx + dy * dy);
}

void FloatStr(int width, int decimals, std::string& s, double x) {
    RealToStr(width, decimals, s, x);
}

void PointDiff(const TScreenPoint& a, const TScreenPoint& b, TScreenPoint& d) {
    d.X = a.X - b.X;
    d.Y = a.Y - b.Y;
}

double PolyPerimeter(const TPolyGon& g) {
    const std::size_t n = WorldCount(g);
    if (n == 0)
        return 0;
    double sum = 0;
    if (n > 3)
        for (std::size_t i = 0; i + 1 < n; ++i)
            sum += PointDist(g.WPts[i], g.WPts[i + 1]);
    return sum + PointDist(g.WPts[0], g.WPts[n - 1]);
}

double PolyArea(const TPolyGon& g) {
    const std::size_t n = WorldCount(g);
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TWPoint& a = g.WPts[i];
        const TWPoint& b = g.WPts[(i + 1) % n];
        sum += a.X * b.Y - b.X * a.Y;
    }
    return sum / 2;
}

void PolyCentroid(const TPolyGon& g, TPolyCentroid& c) {
    c = {};
    if (!(g.Area > 0))
        return;
    const double as = PolyArea(g);
    const std::size_t n = WorldCount(g);
    double sx = 0, sy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TWPoint& a = g.WPts[i];
        const TWPoint& b = g.WPts[(i + 1) % n];
        const double ci = a.X * b.Y - b.X * a.Y;
        sx += (a.X + b.X) * ci;
        sy += (a.Y + b.Y) * ci;
    }
    c.X = sx / (6 * as);
    c.Y = sy / (6 * as);
}

void LineParams(const TScreenPoint& a, const TScreenPoint& b, std::uint8_t& kind, double& slope,
                double& intercept) {
    const long long dx = static_cast<long long>(b.X) - a.X;
    const long long dy = static_cast<long long>(b.Y) - a.Y;
    slope = 0;
    intercept = 0;
    if (dx == 0 && dy == 0) {
        kind = kLegDegenerate;
        return;
    }
    if (std::llabs(dx) >= std::llabs(dy)) {
        kind = kLegXMajor;
        slope = static_cast<double>(dy) / static_cast<double>(dx);
        intercept = a.Y - a.X * slope;
    } else {
        kind = kLegYMajor;
        slope = static_cast<double>(dx) / static_cast<double>(dy);
        intercept = a.X - a.Y * slope;
    }
}

bool NearLeg(const TScreenPoint& p, const TScreenPoint& a, const TScreenPoint& b) {
    std::uint8_t kind;
    double slope, intercept;
    LineParams(a, b, kind, slope, intercept);
    if (kind == kLegXMajor) {
        if (p.X < std::min(a.X, b.X) || p.X > std::max(a.X, b.X))
            return false;
        const long long r = RoundEven(p.X * slope + intercept);
        return std::llabs(r - p.Y) < kNearLegPixels;
    }
    if (kind == kLegYMajor) {
        if (p.Y < std::min(a.Y, b.Y) || p.Y > std::max(a.Y, b.Y))
            return false;
        const long long r = RoundEven(p.Y * slope + intercept);
        return std::llabs(r - p.X) < kNearLegPixels;
    }
    return false;
}

bool NearNode(const TScreenPoint& p, const TScreenPoint& q) {
    return std::llabs(static_cast<long long>(p.X) - q.X) <= kNearNodePixels &&
           std::llabs(static_cast<long long>(p.Y) - q.Y) <= kNearNodePixels;
}

void UpdatePolyGon(TPolyGon& g) {
    std::int32_t minX = static_cast<std::int32_t>(kBoundsStartMin), minY = minX;
    std::int32_t maxX = static_cast<std::int32_t>(kBoundsStartMax), maxY = maxX;
    double wMinX = kBoundsStartMin, wMinY = kBoundsStartMin;
    double wMaxX = kBoundsStartMax, wMaxY = kBoundsStartMax;
    if (g.Count > 1) {
        for (std::size_t i = 0; i < ScreenCount(g); ++i) {
            const TScreenPoint& p = g.Pts[i];
            minX = std::min(minX, p.X);
            maxX = std::max(maxX, p.X);
            minY = std::min(minY, p.Y);
            maxY = std::max(maxY, p.Y);
        }
        for (std::size_t i = 0; i < WorldCount(g); ++i) {
            const TWPoint& w = g.WPts[i];
            wMinX = std::min(wMinX, w.X);
            wMaxX = std::max(wMaxX, w.X);
            wMinY = std::min(wMinY, w.Y);
            wMaxY = std::max(wMaxY, w.Y);
        }
    }
    g.Bounds = {minX, minY, maxX, maxY};
    // Sums of two pixel coordinates may pass the 32-bit range far outside the window.
    g.Mid = {static_cast<std::int32_t>((static_cast<long long>(minX) + maxX) / 2),
             static_cast<std::int32_t>((static_cast<long long>(minY) + maxY) / 2)};
    g.Handles = {TScreenPoint{minX, minY},    TScreenPoint{maxX, minY},
                 TScreenPoint{maxX, maxY},    TScreenPoint{minX, maxY},
                 TScreenPoint{g.Mid.X, minY}, TScreenPoint{maxX, g.Mid.Y},
                 TScreenPoint{g.Mid.X, maxY}, TScreenPoint{minX, g.Mid.Y}};
    g.WMinX = wMinX;
    g.WMinY = wMinY;
    g.WMaxX = wMaxX;
    g.WMaxY = wMaxY;
    g.Area = g.WPts.empty() ? 0 : std::abs(PolyArea(g));
    // Perimeter and centroid need four world nodes; with fewer they keep their values.
    if (g.WPts.size() > 3) {
        PolyCentroid(g, g.Centroid);
        g.Perimeter = PolyPerimeter(g);
    }
}

double MaxExtent(TPolyGon& g) {
    UpdatePolyGon(g);
    double m = 0;
    for (std::size_t i = 0; i < WorldCount(g); ++i)
        m = std::max({m, std::abs(g.WPts[i].X), std::abs(g.WPts[i].Y)});
    return m;
}

void CopyPolyGon(const TPolyGon& src, TPolyGon& dst) {
    const std::size_t n = static_cast<std::size_t>(std::max(src.Count, 0));
    dst.Pts.assign(n, TScreenPoint{});
    dst.WPts.assign(n, TWPoint{});
    std::copy_n(src.Pts.begin(), std::min(n, src.Pts.size()), dst.Pts.begin());
    std::copy_n(src.WPts.begin(), std::min(n, src.WPts.size()), dst.WPts.begin());
    dst.Count = static_cast<std::int32_t>(n);
    dst.Closed = src.Closed;
    dst.Loaded = false;
}

bool NearPolyGon(std::int32_t x, std::int32_t y, const TPolyGon& g) {
    const std::size_t n = ScreenCount(g);
    if (n < 2)
        return false;
    const TScreenPoint p{x, y};
    for (std::size_t i = 1; i < n; ++i)
        if (NearLeg(p, g.Pts[i - 1], g.Pts[i]))
            return true;
    return NearLeg(p, g.Pts[0], g.Pts[n - 1]);
}

std::int32_t FindLeg(std::int32_t x, std::int32_t y, const TPolyGon& g) {
    const std::size_t n = ScreenCount(g);
    const TScreenPoint p{x, y};
    for (std::size_t i = 1; i < n; ++i)
        if (NearLeg(p, g.Pts[i - 1], g.Pts[i]))
            return static_cast<std::int32_t>(i);
    return 0;
}

void BreakLeg(std::int32_t x, std::int32_t y, TPolyGon& g) {
    MatchScreenNodes(g);
    const std::int32_t i = FindLeg(x, y, g);
    // Node i first and node i-1 last: the leg between them is the one removed.
    std::rotate(g.Pts.begin(), g.Pts.begin() + i, g.Pts.end());
    g.Closed = false;
    UpdatePolyGon(g);
}

void InsertNode(std::int32_t x, std::int32_t y, TPolyGon& g) {
    MatchScreenNodes(g);
    const std::int32_t i = FindLeg(x, y, g);
    if (i < 1)
        g.Pts.push_back({x, y});
    else
        g.Pts.insert(g.Pts.begin() + i, TScreenPoint{x, y});
    g.Count = static_cast<std::int32_t>(g.Pts.size());
    UpdatePolyGon(g);
}

void DeleteNode(std::int32_t index, TPolyGon& g) {
    MatchScreenNodes(g);
    if (index >= 0 && index < g.Count) {
        g.Pts.erase(g.Pts.begin() + index);
        g.Count = static_cast<std::int32_t>(g.Pts.size());
    }
    UpdatePolyGon(g);
}

void ClearPolyGon(TPolyGon& g) {
    g.Count = 0;
    g.Pts.clear();
    g.WPts.clear();
    g.Closed = false;
}

void MovePolyGon(std::int32_t dx, std::int32_t dy, TPolyGon& g) {
    if (g.Count > 1)
        for (std::size_t i = 0; i < ScreenCount(g); ++i) {
            g.Pts[i].X += dx;
            g.Pts[i].Y += dy;
        }
    UpdatePolyGon(g);
}

void FlipPolyGon(TPolyGon& g) {
    if (g.Count > 1)
        for (std::size_t i = 0; i < WorldCount(g); ++i)
            g.WPts[i].X = -g.WPts[i].X;
    UpdatePolyGon(g);
}

bool InsidePolyGon(const TScreenPoint& p, std::span<const TScreenPoint> pts) {
    const std::size_t n = pts.size();
    bool inside = false;
    for (std::size_t i = 0; i < n; ++i) {
        const TScreenPoint& a = pts[i];
        const TScreenPoint& b = pts[(i + 1) % n];
        if ((a.Y <= p.Y && p.Y < b.Y) || (b.Y <= p.Y && p.Y < a.Y)) {
            // The product is exact in 128 bits, where 32 would wrap for far-off pixels.
            const __int128 num = static_cast<__int128>(static_cast<long long>(b.X) - a.X) *
                                 (static_cast<long long>(p.Y) - a.Y);
            const double xc = a.X + static_cast<double>(num) /
                                        static_cast<double>(static_cast<long long>(b.Y) - a.Y);
            if (p.X < xc)
                inside = !inside;
        }
    }
    return inside;
}

void SetPolyZ(TPolyGon& g, double z) {
    for (std::size_t i = 0; i < WorldCount(g); ++i)
        g.WPts[i].Z = z;
}

void FitPolyToRect(TPolyGon& g, const TPolyRect& r) {
    // An old extent of zero cannot be scaled from; that axis keeps its scale.
    const long long oldW = static_cast<long long>(r.Right) - r.Left;
    const long long oldH = static_cast<long long>(r.Bottom) - r.Top;
    const double sx =
        oldW == 0 ? 1.0
                  : static_cast<double>(static_cast<long long>(g.Bounds.Right) - g.Bounds.Left) /
                        static_cast<double>(oldW);
    const double sy =
        oldH == 0 ? 1.0
                  : static_cast<double>(static_cast<long long>(g.Bounds.Bottom) - g.Bounds.Top) /
                        static_cast<double>(oldH);
    const double x0 = g.WMinX, y0 = g.WMinY;
    TranslateWPoints(g.Count, g.WPts, -x0, -y0);
    ScaleWPoints(g.Count, g.WPts, sx, sy);
    TranslateWPoints(g.Count, g.WPts, x0, y0);
}
