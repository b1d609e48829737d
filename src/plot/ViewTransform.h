// The plot's view state and arithmetic: rotation, screen mapping, fit, zoom, shift, rotation steps.
#pragma once

#include "model/CaveModel.h"
#include "reduction/Reduction.h"

#include <array>
#include <cstdint>
#include <string>

struct TViewLimits {
    double West = 0, East = 1, South = 0, North = 1; // view-plane metres
    friend bool operator==(const TViewLimits&, const TViewLimits&) = default;
};

// One plot window's view; every window has its own.
struct TPlotView {
    double RotAngle = 0;    // degrees about the vertical axis
    double TiltAngle = -90; // -90 plan from above, 0 elevation, +90 from below
    double RotStep = 10;    // degrees per rotation or tilt step
    bool RotationMode = false;
    bool SimulRot = true;
    TViewLimits Limits;

    // Screen mapping: pixels per metre and pixel offsets; ScaleY is always -ScaleX.
    double ScaleX = 1, OffsetX = 0, ScaleY = -1, OffsetY = 0;
    std::int32_t VpLeft = 0, VpTop = 0, VpRight = 0, VpBottom = 0;
    std::int32_t UnitX = 0, UnitY = 0; // text offsets and markers

    std::int32_t GnomLeft = 0, GnomTop = 0, GnomWidth = 0, GnomHeight = 0;
    double GnomScaleX = 1, GnomOffsetX = 0, GnomScaleY = -1, GnomOffsetY = 0;
    std::array<TVec3, 6> GnomonAxes{}; // west, east, south, north, down, up ends
};

// The smallest width and height of a view, so that a cave without extent still maps.
inline constexpr double kMinViewExtent = 1.0; // metres

// Angles, step and gnomon axes of a new view (the gnomon box is the window's to set).
void InitPlotparameters(TPlotView& view);
// Viewport and text units from the work area, limits from the cave's plan extent.
void SetViewPort(TPlotView& view, std::int32_t workLeft, std::int32_t workTop,
                 std::int32_t workWidth, std::int32_t workHeight, const TSummaryValues& summary);
// Steps 1 and 2 of SetViewPort alone: a new drawing area keeps the view limits.
void SetViewArea(TPlotView& view, std::int32_t workLeft, std::int32_t workTop,
                 std::int32_t workWidth, std::int32_t workHeight);
// A window's drawing surface: the viewport is all of it, so what is fitted is what is seen.
void SetSurfaceArea(TPlotView& view, std::int32_t width, std::int32_t height);
// Widens the limits about their centre to the viewport's proportions (never narrows them), so
// that the mapping shows exactly the limits and their labels tell what is visible.
void KeepProportions(TPlotView& view);
// A new viewport size that keeps the scale and the point at the centre.
void ResizeKeepingScale(TPlotView& view, std::int32_t width, std::int32_t height);

void SetToPCParams(TPlotView& view, double west, double south, double east, double north);
void ToScreen(const TPlotView& view, double x, double y, std::int32_t& sx, std::int32_t& sy);
void ToWorld(const TPlotView& view, std::int32_t sx, std::int32_t sy, double& x, double& y);
void GnomonToScreen(const TPlotView& view, double x, double y, std::int32_t& gx, std::int32_t& gy);
void ViewPoint(const TPlotView& view, const TVec3& p, TVec3& r);

// The rotation of ViewPoint with its sines and cosines worked out once for a whole pass.
class TViewRotation {
public:
    explicit TViewRotation(const TPlotView& view);
    void Apply(const TVec3& a, TVec3& r) const {
        const double y = -sinT_ * a.X + cosT_ * a.Y;
        r.X = cosT_ * a.X + sinT_ * a.Y;
        r.Y = cosS_ * y + sinS_ * a.Z;
        r.Z = -sinS_ * y + cosS_ * a.Z;
    }
    // The world point of a view-plane point and depth (the rotation is orthonormal).
    void Invert(const TVec3& r, TVec3& a) const {
        a.X = cosT_ * r.X - cosS_ * sinT_ * r.Y + sinS_ * sinT_ * r.Z;
        a.Y = sinT_ * r.X + cosS_ * cosT_ * r.Y - sinS_ * cosT_ * r.Z;
        a.Z = sinS_ * r.Y + cosS_ * r.Z;
    }

private:
    double cosT_, sinT_, cosS_, sinS_;
};

// Limits that hold every station (and the start point) of the current rotated view, centred,
// with a margin of 5 % each way, in the viewport's proportions.
void FitToPage(TPlotView& view, const TKviste& cave);
// After the angles changed from those of `before`: the cave point that was at the centre of the
// window (at the depth of the cave's middle) is at the centre again.
void KeepCentreThroughRotation(TPlotView& view, const TPlotView& before,
                               const TSummaryValues& summary);
// Widens the limits about their centre (never narrows them) until every station of the current
// view lies inside with the fit's margin: a fitted view keeps the whole cave while it turns.
void WidenToHold(TPlotView& view, const TKviste& cave);
// False (and no change) when zooming in has reached its limit.
bool Zoom(TPlotView& view, bool in);
void ShiftView(TPlotView& view, int dir);
void CenterPlotPortToPoint(TPlotView& view, double x, double y);
// Centres the view on the station's view-plane point r; false when no shot ends there.
bool CenterStation(TPlotView& view, const TKviste& cave, const std::string& name, TVec3& r);

void RotateLeft(TPlotView& view);
void RotateRight(TPlotView& view);
// False when the tilt had to be clamped ("Limit!! Tilt back").
bool TiltBack(TPlotView& view);
bool TiltOutwards(TPlotView& view);
void ResetRotation(TPlotView& view);

// Rotation-step dialog: spin value 1 .. 5 to degrees, and the label text.
double RotStepFromSpin(int value);
std::string StepLabelText(double rotStep);

inline constexpr const char* kZoomLimitMessage = "Limit of Zooming!!";
inline constexpr const char* kTiltLimitMessage = "Limit!! Tilt back";
