// Profile drawing arithmetic and the conversions between drawn polygons and stored scans.
#include "profile/ProfileCore.h"

#include <algorithm>
#include <cmath>

void SetToPCParams(TCadMapping& m, const TCadRect& client, double a, double b, double c, double d) {
    if (!(c - a != 0) || !(d - b != 0))
        return;
    m.ScaleX = (client.Right - client.Left) / (c - a);
    m.OffsetX = client.Left - m.ScaleX * a;
    m.ScaleY = (client.Top - client.Bottom) / (d - b);
    m.OffsetY = client.Top - m.ScaleY * d;
}

void FitAspect(const TCadRect& client, double& a, double& b, double& c, double& d) {
    const double w = client.Right - client.Left, h = client.Bottom - client.Top;
    const double ww = c - a, wh = d - b;
    if (!(w > 0 && h > 0 && ww > 0 && wh > 0))
        return;
    if (wh / ww < h / w) {
        const double grow = (ww * h / w - wh) / 2;
        b -= grow;
        d += grow;
    } else {
        const double grow = (wh * w / h - ww) / 2;
        a -= grow;
        c += grow;
    }
}

TScreenPoint WorldToScreen(const TCadMapping& m, double wx, double wy) {
    return {static_cast<std::int32_t>(RoundEven(m.ScaleX * wx + m.OffsetX)),
            static_cast<std::int32_t>(RoundEven(m.ScaleY * wy + m.OffsetY))};
}

void ScreenToWorld(const TCadMapping& m, std::int32_t x, std::int32_t y, double& wx, double& wy) {
    wx = (x - m.OffsetX) / m.ScaleX;
    wy = (y - m.OffsetY) / m.ScaleY;
}

TGridSteps GridSteps(double r) {
    TGridSteps g;
    // A huge extent would ask for millions of lines; no window is that many pixels wide.
    const double n = std::trunc(std::min(r, 100000.0) + 1) * 10;
    g.N = static_cast<std::int32_t>(std::max(n, 0.0));
    if (r <= 5)
        g = {g.N, 0.1, 10, 5};
    else if (r <= 10)
        g = {g.N, 0.25, 4, 2};
    else if (r <= 20)
        g = {g.N, 0.5, 2, 1};
    else
        g = {g.N, 1.0, 5, 10};
    return g;
}

double DimensionExtent(const Tdatalinje& line) {
    const double h = line.Left > line.Right ? line.Left : line.Right;
    const double v = line.Up > line.Down ? line.Up : line.Down;
    double r = 1.5 * (h > v ? h : v);
    if (!(r >= 1))
        r = 2;
    return r;
}

TInstrument InstrumentOf(const TKviste& cave, const Tdatalinje& line) {
    const auto k = static_cast<std::size_t>(line.Instrument);
    return line.Instrument >= 0 && k < cave.Instruments.size() ? cave.Instruments[k]
                                                               : TInstrument{};
}

std::string CircleUnitText(double compassCircle) {
    if (compassCircle < 361)
        return "deg";
    if (compassCircle > 361 && compassCircle < 401)
        return " gon";
    return " ???";
}

void NodeToScan(double x, double y, double& distance, double& angleDeg) {
    distance = std::sqrt(x * x + y * y);
    const double b = BearingOf(x, y);
    if (b == kNoBearing) {
        angleDeg = 0;
        return;
    }
    angleDeg = RadToDeg(b);
    if (angleDeg >= 270)
        angleDeg -= 360;
}

static bool ValidLine(const TKviste& cave, std::int32_t s) {
    return s >= 0 && static_cast<std::size_t>(s) < cave.Lines.size();
}

static void Recompute(TKviste& cave, std::int32_t s) {
    ScanOffsets(cave, s);
    ScanWorld(cave, s);
}

void SavePolyToCave(TKviste& cave, std::int32_t s, const TPolyGon& poly, double planeAzimuth,
                    TTempProfil& undo) {
    if (!ValidLine(cave, s))
        return;
    const std::int32_t n =
        std::min<std::int32_t>(poly.Count, static_cast<std::int32_t>(poly.WPts.size()));
    if (n > 0) {
        BackupProfileSave(cave, s, undo);
        Tdatalinje& l = cave.Lines[static_cast<std::size_t>(s)];
        cave.ScanPointCount += n - static_cast<std::int64_t>(l.ScanPoints.size());
        l.ScanCount = n;
        l.ScanPoints.assign(static_cast<std::size_t>(n), TProfil{});
        l.ScanPlane = planeAzimuth;
        l.HasScan = true;
        for (std::int32_t i = 0; i < n; ++i) {
            const TWPoint& w = poly.WPts[static_cast<std::size_t>(i)];
            TProfil& p = l.ScanPoints[static_cast<std::size_t>(i)];
            NodeToScan(w.X, w.Y, p.Distance, p.Angle);
        }
    }
    Recompute(cave, s);
}

void LoadPolyFromProfile(const TKviste& cave, std::int32_t s, TPolyGon& poly) {
    poly.Count = 0;
    poly.Pts.clear();
    poly.WPts.clear();
    poly.Closed = false;
    if (!ValidLine(cave, s))
        return;
    const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(s)];
    const auto n = static_cast<std::int32_t>(std::min<std::size_t>(
        static_cast<std::size_t>(std::max(l.ScanCount, 0)), l.ScanPoints.size()));
    poly.Count = n;
    poly.Pts.assign(static_cast<std::size_t>(n), TScreenPoint{});
    poly.WPts.assign(static_cast<std::size_t>(n), TWPoint{});
    for (std::int32_t i = 0; i < n; ++i) {
        const TProfil& p = l.ScanPoints[static_cast<std::size_t>(i)];
        const double g = DegToRad(p.Angle);
        poly.WPts[static_cast<std::size_t>(i)].X = std::cos(g) * p.Distance;
        poly.WPts[static_cast<std::size_t>(i)].Y = std::sin(g) * p.Distance;
    }
}

void BackupProfileSave(const TKviste& cave, std::int32_t s, TTempProfil& undo) {
    if (!ValidLine(cave, s))
        return;
    const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(s)];
    undo.LineIndex = s;
    undo.PointCount = static_cast<std::int32_t>(l.ScanPoints.size());
    undo.Azimuth = l.ScanPlane;
    const TInstrument inst = InstrumentOf(cave, l);
    undo.CompassCircle = inst.CompassCircle;
    undo.ClinoCircle = inst.ClinoCircle;
    undo.Points = l.ScanPoints;
}

void RestoreProfile(TKviste& cave, std::int32_t s, const TTempProfil& undo) {
    if (!ValidLine(cave, s))
        return;
    Tdatalinje& l = cave.Lines[static_cast<std::size_t>(s)];
    // The buffer holds degrees like the model; the line's instrument is left alone, as other
    // lines share it.
    cave.ScanPointCount += static_cast<std::int64_t>(undo.Points.size()) -
                           static_cast<std::int64_t>(l.ScanPoints.size());
    l.ScanCount = static_cast<std::int32_t>(undo.Points.size());
    l.ScanPlane = undo.Azimuth;
    l.ScanPoints = undo.Points;
    l.HasScan = true;
    Recompute(cave, s);
}

void DeleteProfile(TKviste& cave, std::int32_t s) {
    if (!ValidLine(cave, s))
        return;
    Tdatalinje& l = cave.Lines[static_cast<std::size_t>(s)];
    cave.ScanPointCount -= static_cast<std::int64_t>(l.ScanPoints.size());
    l.HasScan = false;
    l.ScanCount = 0;
    l.ScanPoints.clear();
}

std::vector<std::string> DataFileBlock(const std::string& stationName, double planeAzimuth,
                                       const TPolyGon& poly) {
    std::string n = stationName.substr(0, 4);
    n.resize(4, ' ');
    std::vector<std::string> out;
    out.push_back("@360.00 360.00   0.00   1.00");
    out.push_back(n + " " + n + "  0.00   0.00   0.00   0.00   0.00   0.00   0.00");
    out.push_back("; Profile generated by Kvistrel Tegnol");
    const std::int32_t count =
        std::min<std::int32_t>(poly.Count, static_cast<std::int32_t>(poly.WPts.size()));
    std::string head = "#";
    AppendInt(head, std::max(count, 0));
    head += "  ";
    AppendReal(head, planeAzimuth, 5, 2);
    out.push_back(head);
    for (std::int32_t i = 0; i < count; ++i) {
        const TWPoint& w = poly.WPts[static_cast<std::size_t>(i)];
        double d = 0, a = 0;
        NodeToScan(w.X, w.Y, d, a);
        std::string line = "#   ";
        AppendReal(line, a, 5, 2);
        line += ' ';
        AppendReal(line, d, 5, 2);
        out.push_back(line);
    }
    return out;
}

static std::int32_t FirstMatch(const TKviste& cave, const std::string& name, bool from) {
    const str4 key(std::string_view(name).substr(0, std::min<std::size_t>(name.size(), 4)));
    const std::int32_t last =
        std::min<std::int32_t>(cave.LineCount, static_cast<std::int32_t>(cave.Lines.size()) - 1);
    for (std::int32_t i = 1; i <= last; ++i) {
        const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        if ((from ? l.FromName : l.ToName) == key)
            return i;
    }
    return 0;
}

std::int32_t GetFra(const TKviste& cave, const std::string& name) {
    return FirstMatch(cave, name, true);
}

std::int32_t GetTil(const TKviste& cave, const std::string& name) {
    return FirstMatch(cave, name, false);
}

std::string PolyStatusText(const TPolyGon& poly) {
    if (poly.Count == 0)
        return "No PolyGon Here";
    std::string s = "PolyGon : (";
    AppendInt(s, poly.Count);
    s += ") nodes; Area = ";
    AppendReal(s, poly.Area, 6, 1);
    s += " m2; P= ";
    AppendReal(s, poly.Perimeter, 6, 2);
    s += "m; Centroid = (";
    AppendReal(s, poly.Centroid.X, 4, 2);
    s += ",";
    AppendReal(s, poly.Centroid.Y, 4, 2);
    s += ")";
    return s;
}

std::string RotationText(std::int32_t tens, std::int32_t units) {
    if (tens != 0)
        return std::to_string(tens) + std::to_string(units);
    return std::to_string(units);
}

void WorldBox(const TPolyGon& poly, double& minX, double& minY, double& maxX, double& maxY) {
    const std::int32_t n =
        std::min<std::int32_t>(poly.Count, static_cast<std::int32_t>(poly.WPts.size()));
    if (n <= 0) {
        minX = minY = maxX = maxY = 0;
        return;
    }
    minX = minY = 999999;
    maxX = maxY = -999999;
    for (std::int32_t i = 0; i < n; ++i) {
        const TWPoint& w = poly.WPts[static_cast<std::size_t>(i)];
        minX = std::min(minX, w.X);
        minY = std::min(minY, w.Y);
        maxX = std::max(maxX, w.X);
        maxY = std::max(maxY, w.Y);
    }
}
