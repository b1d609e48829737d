// View rotation, screen mapping, fit, zoom, shift and rotation steps of the plot.
#include "plot/ViewTransform.h"

#include "reduction/Reduction.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

TPlotView NewView() {
    TPlotView v;
    InitPlotparameters(v);
    return v;
}

TEST(ViewPointTest, PlanRotatedAndElevationViews) {
    TPlotView v = NewView();
    TVec3 r;
    ViewPoint(v, {10, 20, -5}, r);
    EXPECT_NEAR(r.X, 10, kPosTol);
    EXPECT_NEAR(r.Y, 20, kPosTol);
    EXPECT_NEAR(r.Z, -5, kPosTol);

    v.RotAngle = 90; // east points up on the screen
    ViewPoint(v, {1, 0, 0}, r);
    EXPECT_NEAR(r.X, 0, kPosTol);
    EXPECT_NEAR(r.Y, 1, kPosTol);

    v.RotAngle = 0;
    v.TiltAngle = 0; // elevation: screen Y is the height
    ViewPoint(v, {3, 7, -12}, r);
    EXPECT_NEAR(r.X, 3, kPosTol);
    EXPECT_NEAR(r.Y, -12, kPosTol);

    // The pass's precomputed rotation gives the same numbers.
    v.RotAngle = 37;
    v.TiltAngle = -20;
    TVec3 a, b;
    ViewPoint(v, {1.5, -2.25, 4}, a);
    TViewRotation(v).Apply({1.5, -2.25, 4}, b);
    EXPECT_EQ(a, b);
}

TEST(RotationStepTest, WrapAroundAndTiltClamp) {
    TPlotView v = NewView();
    v.RotAngle = 355;
    RotateLeft(v);
    EXPECT_DOUBLE_EQ(v.RotAngle, 5);
    v.RotAngle = 350;
    RotateLeft(v);
    EXPECT_DOUBLE_EQ(v.RotAngle, 360);
    v.RotAngle = 5;
    RotateRight(v);
    EXPECT_DOUBLE_EQ(v.RotAngle, 355);

    v.TiltAngle = 85;
    EXPECT_FALSE(TiltBack(v));
    EXPECT_DOUBLE_EQ(v.TiltAngle, 90);
    v.TiltAngle = 80;
    EXPECT_TRUE(TiltBack(v));
    EXPECT_DOUBLE_EQ(v.TiltAngle, 90);
    v.TiltAngle = -85;
    EXPECT_FALSE(TiltOutwards(v));
    EXPECT_DOUBLE_EQ(v.TiltAngle, -90);

    ResetRotation(v);
    EXPECT_DOUBLE_EQ(v.RotAngle, 0);
    EXPECT_DOUBLE_EQ(v.TiltAngle, -90);
}

TEST(RotationStepTest, StepDialogValues) {
    EXPECT_DOUBLE_EQ(RotStepFromSpin(1), 0.1);
    EXPECT_DOUBLE_EQ(RotStepFromSpin(2), 0.5);
    EXPECT_DOUBLE_EQ(RotStepFromSpin(3), 1);
    EXPECT_DOUBLE_EQ(RotStepFromSpin(4), 5);
    EXPECT_DOUBLE_EQ(RotStepFromSpin(5), 10);
    EXPECT_DOUBLE_EQ(RotStepFromSpin(99), 10);
    EXPECT_EQ(StepLabelText(10), "10.00 degrees");
    EXPECT_EQ(StepLabelText(0.5), "0.50 degrees");
}

TEST(ScreenMappingTest, NinePointFivePixelsPerMetre) {
    TPlotView v = NewView();
    v.VpLeft = 0;
    v.VpRight = 950;
    v.VpBottom = 700;
    SetToPCParams(v, 0, -20, 100, 50);
    EXPECT_DOUBLE_EQ(v.ScaleX, 9.5);
    EXPECT_DOUBLE_EQ(v.ScaleY, -9.5);
    std::int32_t sx, sy;
    ToScreen(v, 0, -20, sx, sy);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(sy, 700); // the south limit lies on the bottom edge
    ToScreen(v, 1, -20, sx, sy);
    EXPECT_EQ(sx, 10); // 9.5 rounds to the even neighbour
    ToScreen(v, 3, -20, sx, sy);
    EXPECT_EQ(sx, 28); // 28.5 as well
    double x, y;
    ToWorld(v, 475, 415, x, y);
    EXPECT_NEAR(x, 50, 1e-9);
    EXPECT_NEAR(y, 10, 1e-9);
}

TEST(ScreenMappingTest, ZeroWidthAndFarPointsStayDefined) {
    TPlotView v = NewView();
    v.VpRight = 1000;
    v.VpBottom = 500;
    SetToPCParams(v, 5, 0, 5, 0);
    EXPECT_DOUBLE_EQ(v.ScaleX, 1000); // treated as 1 m wide
    std::int32_t sx, sy;
    ToScreen(v, 1e300, -1e300, sx, sy);
    EXPECT_GT(sx, 0);
    EXPECT_GT(sy, 0);
}

TEST(ViewPortTest, WorkAreaAndCaveExtents) {
    TPlotView v = NewView();
    TSummaryValues s;
    s.MinEast = -10;
    s.MaxEast = 40;
    s.MinNorth = 0;
    s.MaxNorth = 25;
    SetViewPort(v, 0, 0, 1001, 801, s);
    EXPECT_EQ(v.VpRight, 951);  // 950.95
    EXPECT_EQ(v.VpBottom, 761); // 760.95
    EXPECT_EQ(v.UnitX, 2);
    EXPECT_EQ(v.UnitY, 5);
    EXPECT_EQ(v.Limits, (TViewLimits{-10, 40, 0, 25}));

    // No extent at all: a view 1 m each way instead of a division by zero.
    SetViewPort(v, 0, 0, 1000, 800, TSummaryValues{});
    EXPECT_DOUBLE_EQ(v.Limits.East - v.Limits.West, 1);
    EXPECT_DOUBLE_EQ(v.Limits.North - v.Limits.South, 1);
    FitToPage(v, TKviste{});
    EXPECT_GT(v.Limits.East - v.Limits.West, 0);
    EXPECT_TRUE(std::isfinite(v.Limits.North));
}

TEST(ZoomShiftTest, ZoomShiftAndCentre) {
    TPlotView v = NewView();
    v.Limits = {0, 30, 0, 40};
    EXPECT_TRUE(Zoom(v, true));
    EXPECT_EQ(v.Limits, (TViewLimits{2.5, 27.5, 2.5, 37.5}));
    v.Limits = {0, 30, 0, 40};
    EXPECT_TRUE(Zoom(v, false));
    EXPECT_EQ(v.Limits, (TViewLimits{-2.5, 32.5, -2.5, 42.5}));

    v.Limits = {0, 1.4, 0, 1.4}; // diagonal rounds to 2
    EXPECT_FALSE(Zoom(v, true));
    EXPECT_EQ(v.Limits, (TViewLimits{0, 1.4, 0, 1.4}));
    // Tall and narrow: zooming in would turn the window inside out.
    v.Limits = {0, 0.5, 0, 100};
    EXPECT_FALSE(Zoom(v, true));

    v.Limits = {0, 100, 0, 50};
    ShiftView(v, 0);
    EXPECT_EQ(v.Limits, (TViewLimits{-10, 90, 0, 50}));
    ShiftView(v, 1);
    EXPECT_EQ(v.Limits, (TViewLimits{0, 100, 0, 50}));
    ShiftView(v, 2);
    EXPECT_EQ(v.Limits, (TViewLimits{0, 100, 5, 55}));
    ShiftView(v, 3);
    EXPECT_EQ(v.Limits, (TViewLimits{0, 100, 0, 50}));

    CenterPlotPortToPoint(v, 0, 0);
    EXPECT_EQ(v.Limits, (TViewLimits{-50, 50, -25, 25}));
}

TEST(CenterStationTest, FirstShotEndingThereAndUnknownName) {
    TKviste cave;
    cave.Lines.resize(3);
    cave.LineCount = 2;
    cave.Lines[1].ToName = "A1  ";
    cave.Lines[1].Pos = {10, 20, 0};
    cave.Lines[2].ToName = "A1  ";
    cave.Lines[2].Pos = {99, 99, 0};
    TPlotView v = NewView();
    v.Limits = {0, 10, 0, 10};
    TVec3 r;
    ASSERT_TRUE(CenterStation(v, cave, "A1  ", r));
    EXPECT_NEAR(v.Limits.West, 5, 1e-9);
    EXPECT_NEAR(v.Limits.South, 15, 1e-9);
    EXPECT_NEAR(v.Limits.North, 25, 1e-9);
    const TViewLimits centred = v.Limits;
    EXPECT_FALSE(CenterStation(v, cave, "A1", r)); // two blanks short: another name
    EXPECT_EQ(v.Limits, centred);
}

// A chain of n stations along a line at `angle` degrees from east, with a kink halfway, its
// depth running from 0 to -depth: long surveys one way or the other.
TKviste Chain(int n, double length, double angle, double depth, bool kinked = true) {
    TKviste cave;
    cave.Lines.assign(static_cast<std::size_t>(n) + 1, Tdatalinje{});
    cave.LineCount = n;
    const double a = angle * 3.141592653589793 / 180;
    for (int i = 1; i <= n; ++i) {
        Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        const double t = length * (i - 1) / (n - 1);
        const double kink = kinked && i > n / 2 ? 0.2 * (t - length / 2) : 0;
        l.ToName = str4("C" + std::to_string(i));
        l.FromName = str4("C" + std::to_string(i == 1 ? 1 : i - 1));
        l.Pos = {std::cos(a) * t - std::sin(a) * kink, std::sin(a) * t + std::cos(a) * kink,
                 -depth * (i - 1) / (n - 1)};
    }
    return cave;
}

// Every station's pixel inside the viewport, its nearest approach to an edge returned.
::testing::AssertionResult AllInside(const TPlotView& v, const TKviste& cave, int& slack) {
    TPlotView m = v;
    SetToPCParams(m, v.Limits.West, v.Limits.South, v.Limits.East, v.Limits.North);
    slack = 1 << 30;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        TVec3 r;
        ViewPoint(m, cave.Lines[static_cast<std::size_t>(i)].Pos, r);
        std::int32_t sx, sy;
        ToScreen(m, r.X, r.Y, sx, sy);
        if (sx < m.VpLeft || sx > m.VpRight || sy < m.VpTop || sy > m.VpBottom)
            return ::testing::AssertionFailure()
                   << "station " << i << " at (" << sx << ", " << sy << ")";
        slack = std::min({slack, sx - m.VpLeft, m.VpRight - sx, sy - m.VpTop, m.VpBottom - sy});
    }
    return ::testing::AssertionSuccess();
}

TSummaryValues SummaryOf(TKviste& cave) {
    TSummaryValues s;
    ComputeStatistics(cave, s);
    return s;
}

// Surveys taller and wider than the window, in windows wider and taller than they are high,
// in the plan, turned, tilted and in elevation: the fit holds every station, centred, and one
// side fills the window but for the margin.
TEST(FitToPageTest, EveryStationOfTheRotatedViewFitsCentred) {
    const TKviste caves[] = {Chain(40, 800, 90, 60), Chain(40, 800, 0, 60), Chain(25, 3, 45, 200),
                             Chain(2, 0, 0, 0)};
    const std::pair<int, int> windows[] = {{900, 500}, {400, 800}, {123, 1000}};
    const std::pair<double, double> angles[] = {{0, -90}, {90, -90}, {35, -40}, {200, 0}};
    for (const TKviste& cave : caves)
        for (auto [w, h] : windows)
            for (auto [rot, tilt] : angles) {
                TPlotView v = NewView();
                SetSurfaceArea(v, w, h);
                v.RotAngle = rot;
                v.TiltAngle = tilt;
                FitToPage(v, cave);
                int slack = 0;
                ASSERT_TRUE(AllInside(v, cave, slack)) << w << "x" << h << " " << rot;
                // Proportions of the viewport: the labels describe what is visible.
                EXPECT_NEAR((v.Limits.North - v.Limits.South) * (v.VpRight - v.VpLeft),
                            (v.Limits.East - v.Limits.West) * (v.VpBottom - v.VpTop),
                            1e-9 * (v.Limits.East - v.Limits.West) * v.VpBottom);
                if (cave.LineCount > 2) { // the margin is 5 % of the limiting side
                    EXPECT_LE(slack, std::max(w, h) * 6 / 100) << w << "x" << h << " " << rot;
                }
            }
}

TEST(KeepProportionsTest, WidensOnlyAndMapsTheLimitsOntoTheViewport) {
    TPlotView v = NewView();
    SetSurfaceArea(v, 1001, 501); // viewport 1000 x 500
    v.Limits = {0, 100, 0, 100};  // too tall: widened to 200 x 100
    KeepProportions(v);
    EXPECT_EQ(v.Limits, (TViewLimits{-50, 150, 0, 100}));
    v.Limits = {0, 400, 0, 100}; // too wide: heightened
    KeepProportions(v);
    EXPECT_EQ(v.Limits, (TViewLimits{0, 400, -50, 150}));
    SetToPCParams(v, v.Limits.West, v.Limits.South, v.Limits.East, v.Limits.North);
    std::int32_t sx, sy;
    ToScreen(v, v.Limits.West, v.Limits.North, sx, sy);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(sy, 0);
    ToScreen(v, v.Limits.East, v.Limits.South, sx, sy);
    EXPECT_EQ(sx, 1000);
    EXPECT_EQ(sy, 500);

    // Degenerate limits become a small proportioned window instead of a division by zero.
    v.Limits = {5, 5, 7, 7};
    KeepProportions(v);
    EXPECT_GT(v.Limits.East - v.Limits.West, 0);
    EXPECT_GT(v.Limits.North - v.Limits.South, 0);

    // A larger surface at the same scale shows more round the same centre.
    v.Limits = {0, 400, -50, 150};
    ResizeKeepingScale(v, 501, 1001);
    EXPECT_EQ(v.Limits, (TViewLimits{100, 300, -150, 250}));
}

// Nine steps to the left, a tilt to an elevation and a reset: the station at the centre of
// the window (at the cave's middle depth) stays there, and the window never loses the cave.
TEST(RotationStepTest, TheCentrePointStaysAtTheCentre) {
    TKviste cave = Chain(41, 400, 30, 80, false); // C21 is the middle of its extent
    const TSummaryValues summary = SummaryOf(cave);
    TPlotView v = NewView();
    SetSurfaceArea(v, 901, 501);
    FitToPage(v, cave);
    TVec3 r;
    ASSERT_TRUE(CenterStation(v, cave, "C21", r)); // the middle station, at the middle depth
    auto centrePixel = [&](const TPlotView& view) {
        TPlotView m = view;
        SetToPCParams(m, m.Limits.West, m.Limits.South, m.Limits.East, m.Limits.North);
        TVec3 p;
        ViewPoint(m, cave.Lines[21].Pos, p);
        std::int32_t sx, sy;
        ToScreen(m, p.X, p.Y, sx, sy);
        return std::pair{sx, sy};
    };
    const std::pair<int, int> middle{450, 250};
    EXPECT_EQ(centrePixel(v), middle);
    for (int k = 0; k < 9; ++k) {
        const TPlotView before = v;
        RotateLeft(v);
        KeepCentreThroughRotation(v, before, summary);
        EXPECT_EQ(centrePixel(v), middle) << k;
    }
    EXPECT_DOUBLE_EQ(v.RotAngle, 90);
    while (v.TiltAngle < 0) {
        const TPlotView before = v;
        TiltBack(v);
        KeepCentreThroughRotation(v, before, summary);
        EXPECT_EQ(centrePixel(v), middle) << v.TiltAngle;
    }
    // In the plan a station off the middle depth keeps its place too: the turn is vertical.
    TPlotView plan = NewView();
    SetSurfaceArea(plan, 901, 501);
    FitToPage(plan, cave);
    CenterStation(plan, cave, "C3", r);
    const TPlotView before = plan;
    RotateLeft(plan);
    KeepCentreThroughRotation(plan, before, summary);
    TVec3 p;
    ViewPoint(plan, cave.Lines[3].Pos, p);
    EXPECT_NEAR(p.X, (plan.Limits.West + plan.Limits.East) / 2, 1e-9);
    EXPECT_NEAR(p.Y, (plan.Limits.South + plan.Limits.North) / 2, 1e-9);
    // The fit after the steps holds the turned and tilted cave.
    FitToPage(v, cave);
    int slack = 0;
    EXPECT_TRUE(AllInside(v, cave, slack));

    // A fitted view that widens at every step holds the whole cave all the way round, and
    // keeps its centre.
    TKviste bent = Chain(41, 600, 0, 30); // wider than the window is
    const TSummaryValues bentSummary = SummaryOf(bent);
    TPlotView f = NewView();
    SetSurfaceArea(f, 901, 501);
    FitToPage(f, bent);
    for (int k = 0; k < 36; ++k) {
        const TPlotView before = f;
        RotateLeft(f);
        KeepCentreThroughRotation(f, before, bentSummary);
        const double cx = (f.Limits.West + f.Limits.East) / 2;
        WidenToHold(f, bent);
        EXPECT_NEAR((f.Limits.West + f.Limits.East) / 2, cx, 1e-6);
        ASSERT_TRUE(AllInside(f, bent, slack)) << "step " << k;
    }
}

TEST(CenterStationTest, TheFoundStationLandsOnTheMiddlePixel) {
    TKviste cave = Chain(30, 900, 80, 10);
    for (auto [w, h] : {std::pair{901, 501}, std::pair{301, 901}}) {
        TPlotView v = NewView();
        SetSurfaceArea(v, w, h);
        v.RotAngle = 120;
        v.TiltAngle = -30;
        FitToPage(v, cave);
        TVec3 r;
        ASSERT_TRUE(CenterStation(v, cave, "C30", r));
        KeepProportions(v);
        SetToPCParams(v, v.Limits.West, v.Limits.South, v.Limits.East, v.Limits.North);
        std::int32_t sx, sy;
        ToScreen(v, r.X, r.Y, sx, sy);
        EXPECT_EQ(sx, (w - 1) / 2);
        EXPECT_EQ(sy, (h - 1) / 2);
    }
}

} // namespace
