// View rotation, screen mapping and the operations that change the plot's view.
#include "plot/ViewTransform.h"

#include <algorithm>
#include <cmath>

void InitPlotparameters(TPlotView& view) {
    view.RotAngle = 0;
    view.TiltAngle = -90;
    view.GnomonAxes = {TVec3{-1, 0, 0}, TVec3{1, 0, 0},  TVec3{0, -1, 0},
                       TVec3{0, 1, 0},  TVec3{0, 0, -1}, TVec3{0, 0, 1}};
    view.RotStep = 10;
    view.RotationMode = false;
}

void SetViewArea(TPlotView& view, std::int32_t workLeft, std::int32_t workTop,
                 std::int32_t workWidth, std::int32_t workHeight) {
    view.VpLeft = workLeft;
    view.VpTop = workTop;
    view.VpRight = static_cast<std::int32_t>(RoundEven(0.95 * workWidth));
    view.VpBottom = static_cast<std::int32_t>(RoundEven(0.95 * workHeight));
    view.UnitX = workWidth / 350;
    view.UnitY = workHeight / 150;
}

void SetSurfaceArea(TPlotView& view, std::int32_t width, std::int32_t height) {
    view.VpLeft = 0;
    view.VpTop = 0;
    view.VpRight = std::max(width - 1, 1);
    view.VpBottom = std::max(height - 1, 1);
    view.UnitX = width / 350;
    view.UnitY = height / 150;
}

// Limits of at least w by h about (cx, cy), widened to the viewport's proportions.
static void LimitsAbout(TPlotView& view, double cx, double cy, double w, double h) {
    const double vpW = std::max(view.VpRight - view.VpLeft, 1);
    const double vpH = std::max(view.VpBottom - view.VpTop, 1);
    if (w / h < vpW / vpH)
        w = h * vpW / vpH;
    else
        h = w * vpH / vpW;
    view.Limits = {cx - w / 2, cx + w / 2, cy - h / 2, cy + h / 2};
}

void KeepProportions(TPlotView& view) {
    const TViewLimits& v = view.Limits;
    double w = v.East - v.West, h = v.North - v.South;
    if (!(w > 0) || !std::isfinite(w))
        w = kMinViewExtent;
    if (!(h > 0) || !std::isfinite(h))
        h = kMinViewExtent;
    const double cx = (v.East + v.West) / 2, cy = (v.North + v.South) / 2;
    if (!std::isfinite(cx) || !std::isfinite(cy))
        return;
    const double vpW = std::max(view.VpRight - view.VpLeft, 1);
    const double vpH = std::max(view.VpBottom - view.VpTop, 1);
    // Already in proportion: the limits stay exactly as they are.
    if (std::fabs(w * vpH - h * vpW) <= 1e-12 * w * vpH)
        return;
    LimitsAbout(view, cx, cy, w, h);
}

void ResizeKeepingScale(TPlotView& view, std::int32_t width, std::int32_t height) {
    const TViewLimits& v = view.Limits;
    const double oldW = std::max(view.VpRight - view.VpLeft, 1);
    const double perPixel = (v.East - v.West) / oldW;
    const double cx = (v.East + v.West) / 2, cy = (v.North + v.South) / 2;
    SetSurfaceArea(view, width, height);
    if (!(perPixel > 0) || !std::isfinite(perPixel)) {
        KeepProportions(view);
        return;
    }
    const double w = perPixel * (view.VpRight - view.VpLeft);
    const double h = perPixel * (view.VpBottom - view.VpTop);
    view.Limits = {cx - w / 2, cx + w / 2, cy - h / 2, cy + h / 2};
}

// The cave's plan extent, widened about its centre to at least kMinViewExtent each way.
static void CaveExtents(const TSummaryValues& s, double& w, double& e, double& so, double& n) {
    w = s.MinEast;
    e = s.MaxEast;
    so = s.MinNorth;
    n = s.MaxNorth;
    auto widen = [](double& lo, double& hi) {
        if (!(hi - lo >= kMinViewExtent)) {
            const double mid = (lo + hi) / 2;
            lo = mid - kMinViewExtent / 2;
            hi = mid + kMinViewExtent / 2;
        }
    };
    widen(w, e);
    widen(so, n);
}

void SetViewPort(TPlotView& view, std::int32_t workLeft, std::int32_t workTop,
                 std::int32_t workWidth, std::int32_t workHeight, const TSummaryValues& summary) {
    SetViewArea(view, workLeft, workTop, workWidth, workHeight);
    CaveExtents(summary, view.Limits.West, view.Limits.East, view.Limits.South, view.Limits.North);
}

void SetToPCParams(TPlotView& view, double west, double south, double east, double north) {
    (void)north; // the viewport's height decides how far north the drawing reaches
    double width = east - west;
    if (!(width > 0) || !std::isfinite(width))
        width = kMinViewExtent;
    view.ScaleX = static_cast<double>(view.VpRight - view.VpLeft) / width;
    view.OffsetX = view.VpLeft - view.ScaleX * west;
    view.ScaleY = -view.ScaleX;
    view.OffsetY = view.VpBottom - view.ScaleY * south;
}

// Far beyond any drawing surface, yet well inside 32 bits.
static std::int32_t ToPixel(double v) {
    constexpr double kLimit = 1.0e9;
    return static_cast<std::int32_t>(RoundEven(std::clamp(v, -kLimit, kLimit)));
}

void ToScreen(const TPlotView& view, double x, double y, std::int32_t& sx, std::int32_t& sy) {
    sx = ToPixel(view.ScaleX * x + view.OffsetX);
    sy = ToPixel(view.ScaleY * y + view.OffsetY);
}

void ToWorld(const TPlotView& view, std::int32_t sx, std::int32_t sy, double& x, double& y) {
    x = (sx - view.OffsetX) / view.ScaleX;
    y = (sy - view.OffsetY) / view.ScaleY;
}

void GnomonToScreen(const TPlotView& view, double x, double y, std::int32_t& gx, std::int32_t& gy) {
    gx = ToPixel(view.GnomScaleX * x + view.GnomOffsetX);
    gy = ToPixel(view.GnomScaleY * y + view.GnomOffsetY);
}

void ViewPoint(const TPlotView& view, const TVec3& p, TVec3& r) {
    RotateVec(p, r, 360 - view.RotAngle, view.TiltAngle + 90);
}

TViewRotation::TViewRotation(const TPlotView& view) {
    const double t = DegToRad(360 - view.RotAngle);
    const double s = DegToRad(view.TiltAngle + 90);
    cosT_ = std::cos(t);
    sinT_ = std::sin(t);
    cosS_ = std::cos(s);
    sinS_ = std::sin(s);
}

namespace {

// The view-plane extent of the start point and every station in the current angles.
struct TExtent {
    double MinX, MaxX, MinY, MaxY;
};
TExtent RotatedExtent(const TPlotView& view, const TKviste& cave) {
    const TViewRotation rot(view);
    TVec3 r;
    rot.Apply(cave.StartPos, r);
    TExtent e{r.X, r.X, r.Y, r.Y};
    const std::int32_t n =
        std::min(cave.LineCount, static_cast<std::int32_t>(cave.Lines.size()) - 1);
    for (std::int32_t i = 1; i <= n; ++i) {
        rot.Apply(cave.Lines[static_cast<std::size_t>(i)].Pos, r);
        e.MinX = std::min(e.MinX, r.X);
        e.MaxX = std::max(e.MaxX, r.X);
        e.MinY = std::min(e.MinY, r.Y);
        e.MaxY = std::max(e.MaxY, r.Y);
    }
    if (!std::isfinite(e.MinX) || !std::isfinite(e.MaxX) || !std::isfinite(e.MinY) ||
        !std::isfinite(e.MaxY))
        e = {0, 0, 0, 0};
    return e;
}

constexpr double kFitMargin = 1.1; // 5 % each way

} // namespace

void WidenToHold(TPlotView& view, const TKviste& cave) {
    const TExtent e = RotatedExtent(view, cave);
    const TViewLimits& v = view.Limits;
    const double cx = (v.East + v.West) / 2, cy = (v.North + v.South) / 2;
    const double w = 2 * std::max(std::fabs(e.MaxX - cx), std::fabs(cx - e.MinX)) * kFitMargin;
    const double h = 2 * std::max(std::fabs(e.MaxY - cy), std::fabs(cy - e.MinY)) * kFitMargin;
    if (!std::isfinite(w) || !std::isfinite(h) || !std::isfinite(cx) || !std::isfinite(cy))
        return;
    LimitsAbout(view, cx, cy, std::max(w, v.East - v.West), std::max(h, v.North - v.South));
}

void FitToPage(TPlotView& view, const TKviste& cave) {
    const TExtent e = RotatedExtent(view, cave);
    const double minX = e.MinX, maxX = e.MaxX, minY = e.MinY, maxY = e.MaxY;
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    LimitsAbout(view, cx, cy, std::max(maxX - minX, kMinViewExtent) * kFitMargin,
                std::max(maxY - minY, kMinViewExtent) * kFitMargin);
}

void KeepCentreThroughRotation(TPlotView& view, const TPlotView& before,
                               const TSummaryValues& summary) {
    const TVec3 middle{(summary.MinEast + summary.MaxEast) / 2,
                       (summary.MinNorth + summary.MaxNorth) / 2,
                       (summary.MinZ + summary.MaxZ) / 2};
    const TViewRotation old(before);
    TVec3 m;
    old.Apply(middle, m);
    const TViewLimits& b = before.Limits;
    const TVec3 centre{(b.West + b.East) / 2, (b.South + b.North) / 2, m.Z};
    TVec3 p, r;
    old.Invert(centre, p);
    TViewRotation(view).Apply(p, r);
    if (std::isfinite(r.X) && std::isfinite(r.Y))
        CenterPlotPortToPoint(view, r.X, r.Y);
}

bool Zoom(TPlotView& view, bool in) {
    TViewLimits& v = view.Limits;
    const double w = v.East - v.West, h = v.North - v.South;
    const double diag = static_cast<double>(RoundEven(std::sqrt(w * w + h * h)));
    const double d = 0.05 * diag;
    if (in) {
        // A window much taller than wide would turn inside out (a mirrored drawing).
        if (!(diag > 2) || !(w - 2 * d > 0))
            return false;
        v.West += d;
        v.South += d;
        v.East -= d;
        v.North -= d;
    } else {
        v.West -= d;
        v.South -= d;
        v.East += d;
        v.North += d;
    }
    return true;
}

void ShiftView(TPlotView& view, int dir) {
    TViewLimits& v = view.Limits;
    const double w = v.East - v.West, h = v.North - v.South;
    switch (dir) {
    case 0:
        v.West -= 0.1 * w;
        v.East -= 0.1 * w;
        break;
    case 1:
        v.West += 0.1 * w;
        v.East += 0.1 * w;
        break;
    case 2:
        v.South += 0.1 * h;
        v.North += 0.1 * h;
        break;
    case 3:
        v.South -= 0.1 * h;
        v.North -= 0.1 * h;
        break;
    default:
        break;
    }
}

void CenterPlotPortToPoint(TPlotView& view, double x, double y) {
    TViewLimits& v = view.Limits;
    const double cx = (v.East + v.West) / 2, cy = (v.North + v.South) / 2;
    v.West += x - cx;
    v.East += x - cx;
    v.South += y - cy;
    v.North += y - cy;
}

bool CenterStation(TPlotView& view, const TKviste& cave, const std::string& name, TVec3& r) {
    TVec3 pos;
    bool found = false;
    FindToStation(cave, str4(name), pos, found);
    if (!found)
        return false;
    ViewPoint(view, pos, r);
    CenterPlotPortToPoint(view, r.X, r.Y);
    return true;
}

void RotateLeft(TPlotView& view) {
    view.RotAngle += view.RotStep;
    if (view.RotAngle > 360)
        view.RotAngle -= 360;
}

void RotateRight(TPlotView& view) {
    view.RotAngle -= view.RotStep;
    if (view.RotAngle < 0)
        view.RotAngle += 360;
}

bool TiltBack(TPlotView& view) {
    view.TiltAngle += view.RotStep;
    if (view.TiltAngle > 90) {
        view.TiltAngle = 90;
        return false;
    }
    return true;
}

bool TiltOutwards(TPlotView& view) {
    view.TiltAngle -= view.RotStep;
    if (view.TiltAngle < -90) {
        view.TiltAngle = -90;
        return false;
    }
    return true;
}

void ResetRotation(TPlotView& view) {
    view.RotAngle = 0;
    view.TiltAngle = -90;
}

double RotStepFromSpin(int value) {
    static constexpr double kSteps[] = {0.1, 0.5, 1, 5, 10};
    return kSteps[std::clamp(value, 1, 5) - 1];
}

std::string StepLabelText(double rotStep) {
    std::string s;
    RealToStr(4, 2, s, rotStep);
    return s + " degrees";
}
