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

void FitToPage(TPlotView& view, const TSummaryValues& summary) {
    double cW, cE, cS, cN;
    CaveExtents(summary, cW, cE, cS, cN);
    TViewLimits& v = view.Limits;
    const double dx = cE - cW, dy = cN - cS;
    const double ratio = (v.North - v.South) / (v.East - v.West);
    const double a = (v.East - cW) / (cE - cW), b = v.West - a * cW;
    const double c = (v.North - v.South) / (cN - cS), d = v.South - c * cS;
    v.West = a * cW + b;
    v.South = c * cS + d;
    if (dy >= dx) {
        v.North = c * cN + d;
        v.East = v.North / ratio;
    } else {
        v.East = a * cE + b;
        v.North = v.East * ratio;
    }
    // East := North / ratio collapses the view when North is 0 or below West (a cave south
    // of the start); keep the ratio from West instead of dividing by a zero width later.
    if (!(v.East - v.West > 0) || !std::isfinite(v.East))
        v.East = v.West + (v.North - v.South) / ratio;
    if (!(v.East - v.West > 0) || !std::isfinite(v.East)) {
        v.East = v.West + std::max(dx, kMinViewExtent);
        v.North = v.South + std::max(dy, kMinViewExtent);
    }
    if (!(v.North - v.South > 0) || !std::isfinite(v.North))
        v.North = v.South +
                  (v.East - v.West) * std::max(dy, kMinViewExtent) / std::max(dx, kMinViewExtent);
    CenterPlotPortToPoint(view, (cE + cW) / 2, (cN + cS) / 2);
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
