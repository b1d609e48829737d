// The drawing pass of the plot window, in the order the screen and the plotter file share.
#include "plot/PlotRender.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

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

// What the screen can show: the viewport widened by a few pixels for pens and symbols.
struct TCull {
    bool On = false;
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    explicit TCull(const TPlotPass& pass) {
        On = pass.CullToViewport && !pass.Sink;
        const std::int32_t m = 2 + std::clamp(pass.Switches.StationSize, 0, 1000);
        Left = pass.View.VpLeft - m;
        Top = pass.View.VpTop - m;
        Right = pass.View.VpRight + m;
        Bottom = pass.View.VpBottom + m;
    }
    // Both ends beyond the same edge: nothing of the segment can be seen.
    bool Hidden(const TScreenPoint& a, const TScreenPoint& b) const {
        return On && ((a.X < Left && b.X < Left) || (a.X > Right && b.X > Right) ||
                      (a.Y < Top && b.Y < Top) || (a.Y > Bottom && b.Y > Bottom));
    }
    bool Hidden(const TScreenPoint& a) const { return Hidden(a, a); }
};

// Coarse occupancy of the viewport by labels: one test per covered cell keeps it linear.
class TLabelGrid {
public:
    static constexpr std::int32_t kCell = 8;
    explicit TLabelGrid(const TPlotView& view)
        : left_(view.VpLeft), top_(view.VpTop),
          cols_(std::max((view.VpRight - view.VpLeft) / kCell + 1, 1)),
          rows_(std::max((view.VpBottom - view.VpTop) / kCell + 1, 1)) {}
    // False when the box overlaps a taken cell; otherwise takes its cells.
    bool Take(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        if (cells_.empty())
            cells_.assign(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_), 0);
        const std::int32_t c1 = std::clamp((x1 - left_) / kCell, 0, cols_ - 1);
        const std::int32_t c2 = std::clamp((x2 - left_) / kCell, 0, cols_ - 1);
        const std::int32_t r1 = std::clamp((y1 - top_) / kCell, 0, rows_ - 1);
        const std::int32_t r2 = std::clamp((y2 - top_) / kCell, 0, rows_ - 1);
        for (std::int32_t r = r1; r <= r2; ++r)
            for (std::int32_t c = c1; c <= c2; ++c)
                if (cells_[Index(r, c)])
                    return false;
        for (std::int32_t r = r1; r <= r2; ++r)
            for (std::int32_t c = c1; c <= c2; ++c)
                cells_[Index(r, c)] = 1;
        return true;
    }

private:
    std::size_t Index(std::int32_t r, std::int32_t c) const {
        return static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) +
               static_cast<std::size_t>(c);
    }
    std::int32_t left_, top_, cols_, rows_;
    std::vector<std::uint8_t> cells_;
};

// The screen-only decisions of one pass.
struct TPassState {
    TCull Cull;
    bool HideOverlaps;
    TLabelGrid Labels;
    explicit TPassState(const TPlotPass& pass)
        : Cull(pass), HideOverlaps(pass.HideOverlappingLabels && !pass.Sink), Labels(pass.View) {}
};

void Label(TPlotPass& pass, TPassState& st, const str4& name, const TScreenPoint& s,
           const TVec3& r) {
    TPlotCanvas& c = pass.Canvas;
    const std::int32_t x = s.X + 2 * pass.View.UnitX, y = s.Y - 2 * pass.View.UnitY;
    // A label reaches right and down from its corner; none is wider than a few dozen pixels.
    constexpr std::int32_t kReach = 64;
    const bool unseen = st.Cull.On && (x > st.Cull.Right || y > st.Cull.Bottom ||
                                       x + kReach < st.Cull.Left || y + kReach < st.Cull.Top);
    bool draw = !unseen;
    if (draw && st.HideOverlaps) {
        const std::string text = name.str();
        draw = st.Labels.Take(x, y, x + c.TextWidth(text), y + c.TextHeight(text));
    }
    if (draw) {
        c.SetFontColour(pass.Colors[kColLabel]);
        c.TextOut(x, y, name.str());
        c.SetFontColour(pass.Colors[kColDefault]);
    }
    c.MoveTo(s.X, s.Y);
    if (pass.Sink) {
        pass.Sink->Label(16, name.str(), r.X + 0.25, r.Y);
        pass.Sink->PenUp(r.X, r.Y);
    }
}

void StationSymbol(TPlotPass& pass, const TPassState& st, std::int32_t i, const TScreenPoint& s,
                   const TVec3& r) {
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
    if (!(pass.Switches.CommentedOnly && line.Comment.empty()) && !st.Cull.Hidden(s)) {
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

void CentreLine(TPlotPass& pass, const TPassState& st, const Tdatalinje& line,
                const TScreenPoint& from, const TScreenPoint& t, const TVec3& r) {
    TPlotCanvas& c = pass.Canvas;
    if (st.Cull.Hidden(from, t))
        c.MoveTo(t.X, t.Y);
    else {
        const TPlotPen saved = c.Pen();
        c.SetPen({line.Colour, line.PenStyle, line.PenWidth});
        c.LineTo(t.X, t.Y);
        c.SetPen(saved);
    }
    if (pass.Sink)
        pass.Sink->PenDown(r.X, r.Y);
}

void Walls(TPlotPass& pass, const TPassState& st, const TProjector& proj, std::int32_t i);
void Profile(TPlotPass& pass, const TPassState& st, const TProjector& proj, std::int32_t i);

} // namespace

void PlottPolygon(TPlotPass& pass) {
    TKviste& cave = pass.Cave;
    TPlotCanvas& c = pass.Canvas;
    const TPlotView& view = pass.View;
    const TPlotSwitches& sw = pass.Switches;
    const TProjector proj(view);
    TPassState st(pass);
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
        Label(pass, st, cave.Lines[1].FromName, s, r);

    TScreenPoint t;
    TVec3 rt;
    {
        Tdatalinje& line = cave.Lines[1];
        proj.Project(line.Pos, rt, t);
        line.ScreenPos = t;
        if (line.Visible) {
            if (sw.ShowCentreLines)
                CentreLine(pass, st, line, s, t, rt);
            if (sw.ShowLabels)
                Label(pass, st, line.ToName, t, rt);
            if (sw.ShowStations)
                StationSymbol(pass, st, 1, t, rt);
            else if (pass.StationPositionsOnly)
                line.ScreenPos = t;
            if (sw.ShowWalls)
                Walls(pass, st, proj, 1);
            c.MoveTo(t.X, t.Y);
            if (pass.Sink)
                pass.Sink->PenUp(rt.X, rt.Y);
            if (sw.ShowCrossSections && line.HasScan)
                Profile(pass, st, proj, 1);
        }
    }

    TVec3 rf;
    TScreenPoint f;
    const std::vector<std::int32_t>* known = pass.FromLines;
    if (known && known->size() != cave.Lines.size())
        known = nullptr;
    constexpr std::int32_t kAhead = 16; // lookups started early hide the memory's latency
    for (std::int32_t i = 2; i <= cave.LineCount; ++i) {
        Tdatalinje& line = cave.Lines[static_cast<std::size_t>(i)];
        if (!known && i + kAhead <= cave.LineCount)
            pass.Index.Prefetch(cave.Lines[static_cast<std::size_t>(i + kAhead)].FromName);
        const std::int32_t from =
            known ? (*known)[static_cast<std::size_t>(i)] : pass.Index.FirstLineTo(line.FromName);
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
            Walls(pass, st, proj, i);
        c.MoveTo(f.X, f.Y);
        if (pass.Sink)
            pass.Sink->PenUp(rf.X, rf.Y);
        if (sw.ShowCentreLines && from > 0)
            CentreLine(pass, st, line, f, t, rt);
        if (sw.ShowLabels)
            Label(pass, st, line.ToName, t, rt);
        if (sw.ShowStations)
            StationSymbol(pass, st, i, t, rt);
        else if (pass.StationPositionsOnly)
            line.ScreenPos = t;
        if (sw.ShowCrossSections && line.HasScan)
            Profile(pass, st, proj, i);
    }
}

void PlottHVNO(TPlotPass& pass, std::int32_t i) {
    const TPassState st(pass);
    Walls(pass, st, TProjector(pass.View), i);
}

void PlottProfil(TPlotPass& pass, std::int32_t i) {
    const TPassState st(pass);
    Profile(pass, st, TProjector(pass.View), i);
}

namespace {

void Walls(TPlotPass& pass, const TPassState& st, const TProjector& proj, std::int32_t i) {
    TPlotCanvas& c = pass.Canvas;
    const Tdatalinje& line = pass.Cave.Lines[static_cast<std::size_t>(i)];
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
        if (!st.Cull.Hidden(sc, s)) {
            c.LineTo(s.X, s.Y);
            c.SetPixel(s.X, s.Y, pass.Colors[kColWallEnd]);
        }
        if (pass.Sink)
            pass.Sink->PenDown(r.X, r.Y);
        c.MoveTo(sc.X, sc.Y);
        if (pass.Sink)
            pass.Sink->PenUp(rc.X, rc.Y);
    }
    c.SetPen({pass.Colors[kColDefault], kPenSolid, c.Pen().Width});
}

void Profile(TPlotPass& pass, const TPassState& st, const TProjector& proj, std::int32_t i) {
    TPlotCanvas& c = pass.Canvas;
    const Tdatalinje& line = pass.Cave.Lines[static_cast<std::size_t>(i)];
    const TPlotPen saved = c.Pen();
    const std::uint32_t colour = pass.Switches.ScanColour;
    c.SetPen({colour, pass.Switches.ScanPenStyle, saved.Width});
    // ScanCount is trusted only as far as the points really exist.
    const std::size_t n =
        std::min(line.ScanPoints.size(), static_cast<std::size_t>(std::max(line.ScanCount, 0)));
    TVec3 r;
    TScreenPoint q, prev;
    for (std::size_t j = 0; j < n; ++j) {
        proj.Project(line.ScanPoints[j].World, r, q);
        if (j == 0) {
            c.MoveTo(q.X, q.Y);
            if (pass.Sink)
                pass.Sink->PenUp(r.X, r.Y);
        } else if (pass.Switches.ScanPointMode) {
            if (!st.Cull.Hidden(q))
                c.SetPixel(q.X, q.Y, colour);
            if (pass.Sink) {
                pass.Sink->Circle(8, r.X, r.Y, 0.1, 0);
                pass.Sink->PenUp(r.X, r.Y);
            }
        } else {
            if (st.Cull.Hidden(prev, q))
                c.MoveTo(q.X, q.Y);
            else
                c.LineTo(q.X, q.Y);
            if (pass.Sink)
                pass.Sink->PenDown(r.X, r.Y);
        }
        prev = q;
    }
    c.SetPen(saved);
}

} // namespace

std::vector<std::int32_t> FromLines(const TKviste& cave, const TStationIndex& index) {
    std::vector<std::int32_t> from(cave.Lines.size(), 0);
    const std::int32_t n = std::min(cave.LineCount, static_cast<std::int32_t>(from.size()) - 1);
    for (std::int32_t i = 1; i <= n; ++i)
        from[static_cast<std::size_t>(i)] =
            index.FirstLineTo(cave.Lines[static_cast<std::size_t>(i)].FromName);
    return from;
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

// The box is small and the window's text units follow the plot surface, not the box: the texts
// are laid out from their own sizes, the angles on top, step and "SimulRot" at the bottom
// (on two lines when one is too narrow), and the axes scaled to the room left between them.
void PlottGnomon(TPlotCanvas& c, TPlotView& view) {
    const std::int32_t w = view.GnomWidth - view.GnomLeft;
    const std::int32_t h = view.GnomHeight - view.GnomTop;
    c.SetBrush({view.RotationMode ? kColourNavy : kColourBlack, true});
    c.SetFontColour(kColourYellow);
    c.SetPenColour(kColourBlack);
    c.Rectangle(0, 0, w, h);
    c.SetPenColour(kColourYellow);

    std::string angles, tilt, step;
    RealToStr(5, 2, angles, view.RotAngle);
    RealToStr(3, 1, tilt, view.TiltAngle);
    angles += "/" + tilt;
    RealToStr(3, 1, step, view.RotStep);
    const std::string stepText = "Step:" + step + " ";
    const char* const simul = "SimulRot";

    constexpr std::int32_t kMargin = 2;
    const std::int32_t th = std::max(c.TextHeight("X"), 1);
    const std::int32_t stepW = c.TextWidth(stepText), simulW = c.TextWidth(simul);
    const bool twoLines = view.SimulRot && 2 * kMargin + stepW + th + simulW > w;
    const std::int32_t bottomY = h - kMargin - th;
    const std::int32_t stepY = twoLines ? bottomY - th : bottomY;
    const std::int32_t areaTop = kMargin + th + 1, areaBottom = stepY - 1;

    const std::int32_t labelW = std::max(c.TextWidth("W"), c.TextWidth("N"));
    const double rx = w / 2.0 - labelW - 4 - kMargin;
    const double ry = (areaBottom - areaTop) / 2.0 - th;
    const double radius = std::max(std::min(rx, ry), 3.0);
    view.GnomScaleX = radius;
    view.GnomOffsetX = w / 2.0;
    view.GnomScaleY = -radius;
    view.GnomOffsetY = (areaTop + areaBottom) / 2.0;

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
            const std::int32_t tw = c.TextWidth(name);
            c.SetFontColour(r.Z < 0 ? kColourSkyBlue : kColourYellow);
            std::int32_t x, y;
            if (axis == 2) {
                // Seen end-on both ends meet in the middle: "U" above its end, "D" below.
                x = g.X - tw / 2;
                y = e == 5 ? g.Y - th : g.Y + 1;
            } else {
                x = r.X > 0 ? g.X + 3 : g.X - tw - 3;
                y = g.Y - th / 2;
            }
            x = std::clamp(x, kMargin, std::max(w - kMargin - tw, kMargin));
            y = std::clamp(y, areaTop, std::max(areaBottom - th, areaTop));
            c.TextOut(x, y, name);
            c.SetPenColour(kColourYellow);
            c.SetFontColour(kColourYellow);
        }
        c.MoveTo(ends[0].X, ends[0].Y);
        c.LineTo(ends[1].X, ends[1].Y);
    }

    c.SetFontColour(view.RotationMode ? kColourFuchsia : kColourYellow);
    c.TextOut(kMargin + 1, kMargin, angles);
    c.TextOut(kMargin + 1, stepY, stepText);
    if (view.SimulRot)
        c.TextOut(std::max(w - kMargin - simulW, kMargin), bottomY, simul);
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
