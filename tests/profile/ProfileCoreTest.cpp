// Conversions between drawn polygons and stored scans, the data-file block, grid and mapping.
#include "profile/ProfileCore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kAngleTol = 1e-9;

TPolyGon WorldPoly(std::vector<TWPoint> w) {
    TPolyGon g;
    g.Count = static_cast<std::int32_t>(w.size());
    g.Pts.assign(w.size(), TScreenPoint{});
    g.WPts = std::move(w);
    g.Closed = true;
    return g;
}

TKviste OneLineCave(double compassCircle = 360) {
    TKviste cave;
    cave.Instruments[0].CompassCircle = compassCircle;
    cave.Instruments[0].ClinoCircle = compassCircle;
    cave.LineCount = 1;
    cave.Lines.resize(2);
    cave.Lines[1].FromName = "A0";
    cave.Lines[1].ToName = "A1";
    cave.Lines[1].Pos = {10, 20, 30};
    return cave;
}

TEST(NodeToScanTest, AnglesAroundTheStationLieInMinus90To270) {
    struct Case {
        double X, Y, Angle, Distance;
    };
    for (const Case& c :
         {Case{0, 2, 90, 2}, Case{-2, 0, 180, 2}, Case{0, -2, -90, 2}, Case{2, 0, 0, 2},
          Case{-1, -1, 225, std::sqrt(2.0)}, Case{1, -1, -45, std::sqrt(2.0)}}) {
        double d = -1, a = -1;
        NodeToScan(c.X, c.Y, d, a);
        EXPECT_NEAR(a, c.Angle, kAngleTol) << c.X << ", " << c.Y;
        EXPECT_NEAR(d, c.Distance, kAngleTol) << c.X << ", " << c.Y;
    }
    double d = 0, a = 0;
    NodeToScan(2, -0.01, d, a);
    EXPECT_NEAR(a, -0.2865, 1e-3); // reduced from 359.71
}

TEST(NodeToScanTest, NodeAtTheStationGetsAngleZero) {
    double d = -1, a = -1;
    NodeToScan(0, 0, d, a);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(a, 0);
    EXPECT_FALSE(std::isnan(a));
}

TEST(SavePolyToCaveTest, StoresDegreesAndReloadsTheSameWorldNodes) {
    // Whatever the instrument, the model holds degrees: a grads line reads back the same.
    for (const double circle : {360.0, 400.0}) {
        TKviste cave = OneLineCave(circle);
        TTempProfil undo;
        const TPolyGon poly = WorldPoly({{0, 2, 0}, {-2, 0, 0}, {0, -2, 0}, {2, -0.01, 0}});
        SavePolyToCave(cave, 1, poly, 90, undo);
        const Tdatalinje& l = cave.Lines[1];
        ASSERT_TRUE(l.HasScan);
        ASSERT_EQ(l.ScanCount, 4);
        ASSERT_EQ(l.ScanPoints.size(), 4u);
        EXPECT_EQ(l.ScanPlane, 90);
        EXPECT_NEAR(l.ScanPoints[0].Angle, 90, kAngleTol);
        EXPECT_NEAR(l.ScanPoints[1].Angle, 180, kAngleTol);
        EXPECT_NEAR(l.ScanPoints[2].Angle, -90, kAngleTol);
        EXPECT_EQ(cave.ScanPointCount, 4);
        // The offset along azimuth 90 (east) and the world point beside the station.
        EXPECT_NEAR(l.ScanPoints[1].Offset.X, -2, 1e-9);
        EXPECT_NEAR(l.ScanPoints[0].World.Z, 32, 1e-9);

        TPolyGon back;
        LoadPolyFromProfile(cave, 1, back);
        ASSERT_EQ(back.Count, 4);
        EXPECT_FALSE(back.Closed);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(back.WPts[i].X, poly.WPts[i].X, 1e-9) << i;
            EXPECT_NEAR(back.WPts[i].Y, poly.WPts[i].Y, 1e-9) << i;
        }
    }
}

TEST(SavePolyToCaveTest, UndoBufferHoldsThePreviousScanAndRestoresIt) {
    TKviste cave = OneLineCave();
    TTempProfil undo;
    SavePolyToCave(cave, 1, WorldPoly({{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}}), 45, undo);
    EXPECT_EQ(undo.LineIndex, 1);
    EXPECT_EQ(undo.PointCount, 0); // the line had no profile before
    SavePolyToCave(cave, 1, WorldPoly({{3, 0, 0}, {0, 3, 0}, {-3, 0, 0}, {0, -3, 0}}), 10, undo);
    EXPECT_EQ(undo.PointCount, 3);
    EXPECT_EQ(undo.Azimuth, 45);
    RestoreProfile(cave, 1, undo);
    const Tdatalinje& l = cave.Lines[1];
    EXPECT_EQ(l.ScanCount, 3);
    EXPECT_EQ(l.ScanPlane, 45);
    EXPECT_NEAR(l.ScanPoints[2].Distance, 1, 1e-12);
    EXPECT_EQ(cave.ScanPointCount, 3);

    DeleteProfile(cave, 1);
    EXPECT_FALSE(cave.Lines[1].HasScan);
    EXPECT_EQ(cave.ScanPointCount, 0);
    // A buffer that held no nodes still marks the line as having a (empty) profile.
    TTempProfil empty;
    empty.LineIndex = 1;
    RestoreProfile(cave, 1, empty);
    EXPECT_TRUE(cave.Lines[1].HasScan);
    EXPECT_EQ(cave.Lines[1].ScanCount, 0);
}

TEST(SavePolyToCaveTest, EmptyPolygonAndBadLinesStoreNothing) {
    TKviste cave = OneLineCave();
    TTempProfil undo;
    undo.LineIndex = 7;
    SavePolyToCave(cave, 1, TPolyGon{}, 90, undo);
    EXPECT_FALSE(cave.Lines[1].HasScan);
    EXPECT_EQ(undo.LineIndex, 7);
    SavePolyToCave(cave, 5, WorldPoly({{1, 1, 0}}), 0, undo);
    SavePolyToCave(cave, -1, WorldPoly({{1, 1, 0}}), 0, undo);
    RestoreProfile(cave, 9, undo);
    TPolyGon g;
    LoadPolyFromProfile(cave, 9, g);
    EXPECT_EQ(g.Count, 0);
    // A count beyond the stored points loads only the points there are.
    cave.Lines[1].HasScan = true;
    cave.Lines[1].ScanCount = 5;
    cave.Lines[1].ScanPoints.resize(2);
    LoadPolyFromProfile(cave, 1, g);
    EXPECT_EQ(g.Count, 2);
}

TEST(DataFileBlockTest, SquareAroundTheStation) {
    const TPolyGon square = WorldPoly({{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}});
    const std::vector<std::string> expected{
        "@360.00 360.00   0.00   1.00",
        "A1   A1    0.00   0.00   0.00   0.00   0.00   0.00   0.00",
        "; Profile generated by Kvistrel Tegnol",
        "#4  90.00",
        "#   225.00  1.41",
        "#   -45.00  1.41",
        "#   45.00  1.41",
        "#   135.00  1.41"};
    EXPECT_EQ(DataFileBlock("A1", 90, square), expected);
}

TEST(DataFileBlockTest, ShortAndLongNamesAndEmptyPolygon) {
    const std::vector<std::string> block = DataFileBlock("7", 5.5, TPolyGon{});
    ASSERT_EQ(block.size(), 4u);
    EXPECT_EQ(block[1], "7    7     0.00   0.00   0.00   0.00   0.00   0.00   0.00");
    EXPECT_EQ(block[1].size(), 57u);
    EXPECT_EQ(block[3], "#0   5.50");
    EXPECT_EQ(DataFileBlock("ABCDEF", 0, TPolyGon{})[1].substr(0, 10), "ABCD ABCD ");
}

TEST(GridStepsTest, StepFollowsTheExtent) {
    const TGridSteps g2 = GridSteps(2);
    EXPECT_EQ(g2.N, 30);
    EXPECT_EQ(g2.Step, 0.1);
    EXPECT_EQ(g2.Major, 10);
    EXPECT_EQ(g2.Medium, 5);
    const TGridSteps g6 = GridSteps(6);
    EXPECT_EQ(g6.N, 70);
    EXPECT_EQ(g6.Step, 0.25);
    EXPECT_EQ(g6.Major, 4);
    const TGridSteps g11 = GridSteps(11);
    EXPECT_EQ(g11.N, 120);
    EXPECT_EQ(g11.Step, 0.5);
    EXPECT_EQ(GridSteps(21).Step, 1.0);
    EXPECT_LE(GridSteps(1e300).N, 1000010); // bounded, no overflow
}

TEST(DimensionExtentTest, FromThePassageDimensions) {
    Tdatalinje l;
    EXPECT_EQ(DimensionExtent(l), 2);
    l.Right = 4;
    l.Left = 2;
    l.Up = 1;
    l.Down = 3;
    EXPECT_EQ(DimensionExtent(l), 6);
    l.Right = 0.3;
    l.Left = 0.5;
    l.Up = 0.2;
    l.Down = 0;
    EXPECT_EQ(DimensionExtent(l), 2); // 0.75 is too small a window
}

TEST(MappingTest, CornersMapOntoTheClientAndBack) {
    TCadMapping m;
    SetToPCParams(m, {0, 0, 400, 300}, -5, -5, 5, 5);
    EXPECT_EQ(WorldToScreen(m, -5, 5), (TScreenPoint{0, 0}));
    EXPECT_EQ(WorldToScreen(m, 5, -5), (TScreenPoint{400, 300}));
    EXPECT_EQ(WorldToScreen(m, 0, 0), (TScreenPoint{200, 150}));
    double wx = 0, wy = 0;
    ScreenToWorld(m, 300, 75, wx, wy);
    EXPECT_DOUBLE_EQ(wx, 2.5);
    EXPECT_DOUBLE_EQ(wy, 2.5);
    // Half pixels round to even: world 0.0125 is pixel 200.5 at 40 pixels a metre.
    EXPECT_EQ(WorldToScreen(m, 0.0125, 0).X, 200);
    const TCadMapping before = m;
    SetToPCParams(m, {0, 0, 400, 300}, 1, 1, 1, 3); // no width: refused
    EXPECT_EQ(m.ScaleX, before.ScaleX);
}

TEST(MappingTest, FitAspectWidensTheNarrowerAxisOnly) {
    double a = -2, b = -2, c = 2, d = 2;
    FitAspect({0, 0, 400, 800}, a, b, c, d); // a tall client: more metres up than across
    EXPECT_EQ(a, -2);
    EXPECT_EQ(c, 2);
    EXPECT_DOUBLE_EQ(b, -4);
    EXPECT_DOUBLE_EQ(d, 4);
    TCadMapping m;
    SetToPCParams(m, {0, 0, 400, 800}, a, b, c, d);
    EXPECT_DOUBLE_EQ(m.ScaleX, -m.ScaleY);
    a = 0, b = 0, c = 1, d = 1;
    FitAspect({0, 0, 300, 100}, a, b, c, d);
    EXPECT_DOUBLE_EQ(c - a, 3);
    EXPECT_EQ(d - b, 1);
    FitAspect({0, 0, 0, 100}, a, b, c, d); // no client: unchanged
    EXPECT_DOUBLE_EQ(c - a, 3);
}

TEST(TextsTest, UnitsStatusRotationAndLookups) {
    EXPECT_EQ(CircleUnitText(360), "deg");
    EXPECT_EQ(CircleUnitText(400), " gon");
    EXPECT_EQ(CircleUnitText(361), " ???");
    EXPECT_EQ(RotationText(-1, 5), "-15");
    EXPECT_EQ(RotationText(4, 5), "45");
    EXPECT_EQ(RotationText(0, -5), "-5");
    EXPECT_EQ(RotationText(2, 5), "25");
    EXPECT_EQ(PolyStatusText(TPolyGon{}), "No PolyGon Here");
    TPolyGon g = WorldPoly({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}});
    UpdatePolyGon(g);
    EXPECT_EQ(PolyStatusText(g),
              "PolyGon : (4) nodes; Area =    4.0 m2; P=   8.00m; Centroid = (1.00,1.00)");

    TKviste cave = OneLineCave();
    cave.LineCount = 3;
    cave.Lines.resize(4);
    cave.Lines[2].FromName = "A1";
    cave.Lines[2].ToName = "A2";
    cave.Lines[3].FromName = "A1";
    cave.Lines[3].ToName = "A333";
    EXPECT_EQ(GetFra(cave, "A1"), 2);
    EXPECT_EQ(GetTil(cave, "A333"), 3);
    EXPECT_EQ(GetTil(cave, "A333xyz"), 3); // cut to four characters
    EXPECT_EQ(GetTil(cave, "Q"), 0);
    double a = 1, b = 1, c = 1, d = 1;
    WorldBox(TPolyGon{}, a, b, c, d);
    EXPECT_EQ(a + b + c + d, 0);
    WorldBox(g, a, b, c, d);
    EXPECT_EQ(c, 2);
}

} // namespace
