// The drawing pass of the plot window, in the order the screen and the plotter file share.
#include "plot/PlotRender.h"

#include <cmath>
#include <numbers>
#include <string>

void SetPlotColors(TPlotColorTable& colors) {
    colors = {0x0000FFFF, 0x00FF00FF, 0x000000FF, 0x00FFFFFF, 0x00F0CAA6, 0x0000FF00};
}

void ClearPlotScreen(TPlotCanvas& canvas, const TPlotView& view) {
    canvas.SetPen({kColourBlack, kPenSolid, 1});
    canvas.SetBrush({kColourBlack, true});
    canvas.Rectangle(view.VpLeft, view.VpTop, view.VpRight, view.VpBottom);
    canvas.SetPenColour(kColourYellow);
    canvas.SetFont("Arial", canvas.FontHeight(), kColourWhite);
}

namespace {

// Projection of one pass: the rotation's sines and cosines are worked out once.
struct TProjector {
    const TPlotView& view;
    TViewRotation rot;
    explicit TProjector(const TPlotView& v) : view(v), rot(v) {}
    // View-plane point r and its pixel.
    void Project(const TVec3& p, TVec3& r, TScreenPoint& s) const {
        rot.Apply(p, r);
        ToScreen(view, r.X, r.Y, s.X, s.Y);
    }
};

void Label(TPlotPass& pass, const str4& name, const TScreenPoint& s, const TVec3& r) {
    TPlotCanvas& c = pass.Canvas;
    c.SetFontColour(pass.Colors[kColLabel]);
    c.TextOut(s.X + 2 * pass.View.UnitX, s.Y - 2 * pass.View.UnitY, name.str());
    c.SetFontColour(pass.Colors[kColDefault]);
    c.MoveTo(s.X, s.Y);
    if (pass.Sink) {
        pass.Sink->Label(16, name.str(), r.X + 0.25, r.Y);
        pass.Sink->PenUp(r.X, r.Y);
    }
}

void StationSymbol(TPlotPass& pass, std::int32_t i, const TScreenPoint& s, const TVec3& r) {
    TPlotCanvas& c = pass.Canvas;
    Tdatalinje& line = pass.Cave.Lines[static_cast<std::size_t>(i)];
    const TPlotBrush saved = c.Brush();
    std::uint32_t colour = line.Comment.empty() ? kColourBlue : kColourRed;
    // A station closed by a loop is drawn again by its later shot; the photos usually sit on
    // its first one.
    if (pass.Switches.ShowPhotoStations) {
        const std::int32_t first = line.HasPhotos ? i : pass.Index.FirstLineTo(line.ToName);
        if (first > 0 && pass.Cave.Lines[static_cast<std::size_t>(first)].HasPhotos)
            colour = kColourFuchsia;
    }
    c.SetBrush({colour, true});
    if (!(pass.Switches.CommentedOnly && line.Comment.empty())) {
        const std::int32_t size = pass.Switches.StationSize;
        c.Ellipse(s.X - size, s.Y - size, s.X + size, s.Y + size);
    }
    if (pass.Sink) {
        pass.Sink->Circle(8, r.X, r.Y, 0.5, 0);
        pass.Sink->PenUp(r.X, r.Y);
    }
    c.SetBrush(saved);
    line.ScreenPos = s;
}

void CentreLine(TPlotPass& pass, const Tdatalinje& line, const TScreenPoint& t, const TVec3& r) {
    TPlotCanvas& c = pass.Canvas;
    const TPlotPen saved = c.Pen();
    c.SetPen({line.Colour, line.PenStyle, line.PenWidth});
    c.LineTo(t.X, t.Y);
    c.SetPen(saved);
    if (pass.Sink)
        pass.Sink->PenDown(r.X, r.Y);
}

} // namespace

void PlottPolygon(TPlotPass& pass) {
    TKviste& cave = pass.Cave;
    TPlotCanvas& c = pass.Canvas;
    const TPlotView& view = pass.View;
    const TPlotSwitches& sw = pass.Switches;
    const TProjector proj(view);
    TVec3 r;
    TScreenPoint s;

    // Start marker.
    proj.Project(cave.StartPos, r, s);
    const TPlotPen savedPen = c.Pen();
    c.SetPenColour(kStartMarkerColour);
    c.Ellipse(s.X - 3 * view.UnitX, s.Y - 3 * view.UnitX, s.X + 3 * view.UnitX,
              s.Y + 3 * view.UnitX);
    c.SetPen({pass.Colors[kColDefault], savedPen.Style, savedPen.Width});
    if (pass.Sink)
        pass.Sink->Circle(6, r.X, r.Y, 0.5, 0);
    c.MoveTo(s.X, s.Y);
    if (pass.Sink)
        pass.Sink->PenUp(r.X, r.Y);
    if (cave.LineCount < 1)
        return;
    if (sw.ShowLabels)
        Label(pass, cave.Lines[1].FromName, s, r);

    TScreenPoint t;
    TVec3 rt;
    {
        Tdatalinje& line = cave.Lines[1];
        proj.Project(line.Pos, rt, t);
        line.ScreenPos = t;
        if (line.Visible) {
            if (sw.ShowCentreLines)
                CentreLine(pass, line, t, rt);
            if (sw.ShowLabels)
                Label(pass, line.ToName, t, rt);
            if (sw.ShowStations)
                StationSymbol(pass, 1, t, rt);
            if (sw.ShowWalls)
                PlottHVNO(pass, 1);
            c.MoveTo(t.X, t.Y);
            if (pass.Sink)
                pass.Sink->PenUp(rt.X, rt.Y);
            if (sw.ShowCrossSections && line.HasScan)
                PlottProfil(pass, 1);
        }
    }

    TVec3 rf;
    TScreenPoint f;
    for (std::int32_t i = 2; i <= cave.LineCount; ++i) {
        Tdatalinje& line = cave.Lines[static_cast<std::size_t>(i)];
        const std::int32_t from = pass.Index.FirstLineTo(line.FromName);
        // A from-station that no shot reaches has no point to start from: no centre line,
        // and the shot's own station stands in for it.
        proj.Project(line.Pos, rt, t);
        if (from > 0)
            proj.Project(cave.Lines[static_cast<std::size_t>(from)].Pos, rf, f);
        else {
            rf = rt;
            f = t;
        }
        c.MoveTo(f.X, f.Y);
        line.ScreenPos = f;
        if (!line.Visible)
            continue;
        if (sw.ShowWalls)
            PlottHVNO(pass, i);
        c.MoveTo(f.X, f.Y);
        if (pass.Sink)
            pass.Sink->PenUp(rf.X, rf.Y);
        if (sw.ShowCentreLines && from > 0)
            CentreLine(pass, line, t, rt);
        if (sw.ShowLabels)
            Label(pass, line.ToName, t, rt);
        if (sw.ShowStations)
            StationSymbol(pass, i, t, rt);
        if (sw.ShowCrossSections && line.HasScan)
            PlottProfil(pass, i);
    }
}

void PlottHVNO(TPlotPass& pass, std::int32_t i) {
    TPlotCanvas& c = pass.Canvas;
    const Tdatalinje& line = pass.Cave.Lines[static_cast<std::size_t>(i)];
    const TProjector proj(pass.View);
    const std::uint32_t wall = pass.Colors[kColWall];
    c.SetPen({wall, kPenDot, c.Pen().Width});
    TVec3 rc, r;
    TScreenPoint sc, s;
    proj.Project(line.Pos, rc, sc);
    c.MoveTo(sc.X, sc.Y);
    if (pass.Sink)
        pass.Sink->PenUp(rc.X, rc.Y);
    const TVec3 ends[4] = {{line.RightWall.X, line.RightWall.Y, line.Pos.Z},
                           {line.LeftWall.X, line.LeftWall.Y, line.Pos.Z},
                           {line.Pos.X, line.Pos.Y, line.FloorZ},
                           {line.Pos.X, line.Pos.Y, line.CeilingZ}};
    for (const TVec3& e : ends) {
        proj.Project(e, r, s);
        c.LineTo(s.X, s.Y);
        if (pass.Sink)
            pass.Sink->PenDown(r.X, r.Y);
        c.SetPixel(s.X, s.Y, pass.Colors[kColWallEnd]);
        c.MoveTo(sc.X, sc.Y);
        if (pass.Sink)
            pass.Sink->PenUp(rc.X, rc.Y);
    }
    c.SetPen({pass.Colors[kColDefault], kPenSolid, c.Pen().Width});
}

void PlottProfil(TPlotPass& pass, std::int32_t i) {
    TPlotCanvas& c = pass.Canvas;
    const Tdatalinje& line = pass.Cave.Lines[static_cast<std::size_t>(i)];
    const TProjector proj(pass.View);
    const TPlotPen saved = c.Pen();
    const std::uint32_t colour = pass.Switches.ScanColour;
    c.SetPen({colour, pass.Switches.ScanPenStyle, saved.Width});
    // ScanCount is trusted only as far as the points really exist.
    const std::size_t n =
        std::min(line.ScanPoints.size(), static_cast<std::size_t>(std::max(line.ScanCount, 0)));
    TVec3 r;
    TScreenPoint q;
    for (std::size_t j = 0; j < n; ++j) {
        proj.Project(line.ScanPoints[j].World, r, q);
        if (j == 0) {
            c.MoveTo(q.X, q.Y);
            if (pass.Sink)
                pass.Sink->PenUp(r.X, r.Y);
        } else if (pass.Switches.ScanPointMode) {
            c.SetPixel(q.X, q.Y, colour);
            if (pass.Sink) {
                pass.Sink->Circle(8, r.X, r.Y, 0.1, 0);
                pass.Sink->PenUp(r.X, r.Y);
            }
        } else {
            c.LineTo(q.X, q.Y);
            if (pass.Sink)
                pass.Sink->PenDown(r.X, r.Y);
        }
    }
    c.SetPen(saved);
}

double GridSpacing(double width) {
    if (width < 1.5)
        return 0.01;
    if (width < 2)
        return 0.1;
    if (width < 20)
        return 1;
    if (width < 200)
        return 10;
    if (width < 2000)
        return 100;
    return 1000;
}

TGridExtent GridExtent(double west, double north, double east, double south) {
    return {west < 0 ? 2 * west : 0, std::fabs(2 * east), south < 0 ? 2 * south : 0,
            std::fabs(2 * north)};
}

namespace {

// Multiples k * g from g upwards while below hi, then from -g downwards while above lo.
// A view zoomed out without end would ask for billions of lines: then only those near the
// visible window [viewLo, viewHi] are visited, and none when even those would be more lines
// than the window has pixels to show them apart.
template <class F>
void GridSteps(double g, double lo, double hi, double viewLo, double viewHi, F draw) {
    constexpr double kMaxLines = 100000;
    if (!((hi - lo) / g > kMaxLines)) {
        for (long long k = 1; k * g < hi; ++k)
            draw(k * g);
        for (long long k = -1; k * g > lo; --k)
            draw(k * g);
        return;
    }
    if (!((viewHi - viewLo) / g <= kMaxLines))
        return;
    const long long kFirst = static_cast<long long>(std::floor(viewLo / g)) - 1;
    const long long kLast = static_cast<long long>(std::ceil(viewHi / g)) + 1;
    for (long long k = std::max(kFirst, 1LL); k <= kLast && k * g < hi; ++k)
        draw(k * g);
    for (long long k = std::min(kLast, -1LL); k >= kFirst && k * g > lo; --k)
        draw(k * g);
}

} // namespace

void TegnGrid(TPlotCanvas& canvas, const TPlotView& view, const TPlotColorTable& colors,
              double west, double north, double east, double south) {
    const double g = GridSpacing(east - west);
    const TGridExtent ext = GridExtent(west, north, east, south);
    auto line = [&](double x1, double y1, double x2, double y2, std::int32_t& sx2,
                    std::int32_t& sy2) {
        std::int32_t sx, sy;
        ToScreen(view, x1, y1, sx, sy);
        canvas.MoveTo(sx, sy);
        ToScreen(view, x2, y2, sx2, sy2);
        canvas.LineTo(sx2, sy2);
    };
    std::int32_t sx, sy;
    canvas.SetPen({colors[kColAxis], kPenDot, canvas.Pen().Width});
    line(0, ext.North, 0, ext.South, sx, sy);
    line(ext.West, 0, ext.East, 0, sx, sy);

    canvas.SetPenColour(colors[kColGrid]);
    std::string text;
    GridSteps(g, ext.West, ext.East, west, east, [&](double x) {
        line(x, ext.North, x, ext.South, sx, sy);
        RealToStr(4, 1, text, x);
        canvas.TextOut(sx, 0, text);
    });
    GridSteps(g, ext.South, ext.North, std::min(south, north), std::max(south, north),
              [&](double y) {
                  line(ext.West, y, ext.East, y, sx, sy);
                  RealToStr(4, 1, text, y);
                  canvas.TextOut(2 * view.UnitX, sy, text);
              });
    canvas.SetPen({colors[kColDefault], kPenSolid, canvas.Pen().Width});
}

void PlottGnomon(TPlotCanvas& c, TPlotView& view) {
    const std::int32_t w = view.GnomWidth - view.GnomLeft;
    const std::int32_t h = view.GnomHeight - view.GnomTop;
    c.SetBrush({view.RotationMode ? kColourNavy : kColourBlack, true});
    c.SetFontColour(kColourYellow);
    c.SetPenColour(kColourBlack);
    c.Rectangle(0, 0, w, h);
    c.SetPenColour(kColourYellow);

    view.GnomScaleX = w / 3.0;
    view.GnomOffsetX = 1.5 * view.GnomScaleX;
    view.GnomScaleY = -h / 3.0;
    view.GnomOffsetY = -1.7 * view.GnomScaleY;

    static const char* const kNames[6] = {"W", "E", "S", "N", "D", "U"};
    for (int axis = 0; axis < 3; ++axis) {
        TScreenPoint ends[2];
        for (int k = 0; k < 2; ++k) {
            const int e = 2 * axis + k;
            TVec3 r;
            ViewPoint(view, view.GnomonAxes[static_cast<std::size_t>(e)], r);
            TScreenPoint& g = ends[k];
            GnomonToScreen(view, r.X, r.Y, g.X, g.Y);
            const std::string name = kNames[e];
            c.SetFontColour(r.Z < 0 ? kColourSkyBlue : kColourYellow);
            std::int32_t x;
            if (axis == 2)
                x = g.X - c.TextWidth(name) / 2;
            else if (r.X > 0)
                x = g.X + 2 * view.UnitX;
            else
                x = g.X - (e == 0 ? 6 : 4) * view.UnitX;
            c.TextOut(x, g.Y - 2 * view.UnitY, name);
            c.SetPenColour(kColourYellow);
            c.SetFontColour(kColourYellow);
        }
        c.MoveTo(ends[0].X, ends[0].Y);
        c.LineTo(ends[1].X, ends[1].Y);
    }

    c.SetFontColour(view.RotationMode ? kColourFuchsia : kColourYellow);
    std::string angles, tilt, step;
    RealToStr(5, 2, angles, view.RotAngle);
    RealToStr(3, 1, tilt, view.TiltAngle);
    c.TextOut(3 * view.UnitX, view.UnitY, angles + "/" + tilt);
    RealToStr(3, 1, step, view.RotStep);
    c.TextOut(view.UnitX, view.GnomHeight - 4 * view.UnitY, "Step:" + step + " ");
    if (view.SimulRot)
        c.TextOut(view.GnomWidth - 9 * c.TextWidth("M"), view.GnomHeight - 4 * view.UnitY,
                  "SimulRot");
    c.SetPenColour(kColourYellow);
    c.SetFontColour(kColourYellow);
}

TStatData GetStatData(const TKviste& cave, const TStationIndex& index) {
    TStatData st;
    double minZ = 10000000, maxZ = 0.0000001;
    const double pi = std::numbers::pi;
    auto section = [pi](const Tdatalinje& l) {
        return (l.Right + l.Left) * pi * (l.Up + l.Down) / 4;
    };
    auto perimeter = [pi](const Tdatalinje& l) {
        return (1.5 * (l.Right + l.Left) / 2 - std::sqrt(l.Right * l.Left / 4)) * pi;
    };
    auto radius = [](const Tdatalinje& l) { return (l.Right + l.Left + l.Down + l.Up) / 4; };
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& li = cave.Lines[static_cast<std::size_t>(i)];
        if (!li.Visible || !(li.Length > 0))
            continue;
        st.Length += li.Length;
        ++st.Legs;
        minZ = std::min(minZ, li.Pos.Z);
        maxZ = std::max(maxZ, li.Pos.Z);
        const std::int32_t pIndex = index.FirstLineTo(li.FromName);
        if (pIndex == 0)
            continue;
        const Tdatalinje& lp = cave.Lines[static_cast<std::size_t>(pIndex)];
        const double wi = li.Right + li.Left, wp = lp.Right + lp.Left;
        st.Area += (wp + wi) * li.Length / 2;
        const double ai = section(li), ap = section(lp);
        st.Volume += (std::sqrt(ai * ap) + ai + ap) * li.Length / 3;
        const double ri = radius(li), rp = radius(lp);
        st.Surface += (perimeter(li) + perimeter(lp)) *
                      std::sqrt((ri - rp) * (ri - rp) + li.Length * li.Length) / 2;
    }
    // Without a single leg the start values of the extremes would show as a depth.
    st.Depth = st.Legs > 0 ? maxZ - minZ : 0;
    return st;
}
