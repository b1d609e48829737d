// View rotation, screen mapping, fit, zoom, shift and rotation steps of the plot.
#include "plot/ViewTransform.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

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

} // namespace
