// Station placement in line order and the summary statistics.
#include "reduction/Reduction.h"

#include "CaveBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <vector>

namespace {

void ExpectNear(const TVec3& expected, const TVec3& actual) {
    EXPECT_NEAR(expected.X, actual.X, kPosTol) << "expected " << expected << ", got " << actual;
    EXPECT_NEAR(expected.Y, actual.Y, kPosTol) << "expected " << expected << ", got " << actual;
    EXPECT_NEAR(expected.Z, actual.Z, kPosTol) << "expected " << expected << ", got " << actual;
}

std::vector<std::string> Reduce(TKviste& cave) {
    ComputeLegVectors(cave);
    return LinkStations(cave);
}

TEST(LinkStations, ChainIsTheRunningSumFromTheStart) {
    // East 10, north 5, then straight down 3.
    TKviste cave = MakeCave({{"A1  ", "A1  "},
                             {"A1  ", "A2  ", 90, 0, 10},
                             {"A2  ", "A3  ", 0, 0, 5},
                             {"A3  ", "A4  ", 0, -90, 3}},
                            {100, 200, 50});
    EXPECT_TRUE(Reduce(cave).empty());
    ExpectNear({100, 200, 50}, cave.Lines[1].Pos);
    ExpectNear({110, 200, 50}, cave.Lines[2].Pos);
    ExpectNear({110, 205, 50}, cave.Lines[3].Pos);
    ExpectNear({110, 205, 47}, cave.Lines[4].Pos);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(cave.Lines[i].Linked) << "line " << i;
        EXPECT_EQ(cave.Lines[i].Pos, cave.Lines[i].RawPos) << "line " << i;
    }
}

TEST(LinkStations, WallsAndScanPointsFollowThePlacedStation) {
    TKviste cave = MakeCave({{"A1  ", "A1  "}, {"A1  ", "A2  ", 0, 0, 10, 2, 3, 1.5, 4}});
    AddScan(cave, 2, 90, {{0, 2}, {90, 1}});
    Reduce(cave);
    const Tdatalinje& l = cave.Lines[2];
    ExpectNear({0, 10, 0}, l.Pos);
    // Looking north, right is east.
    EXPECT_NEAR(2, l.RightWall.X, kPosTol);
    EXPECT_NEAR(10, l.RightWall.Y, kPosTol);
    EXPECT_NEAR(-3, l.LeftWall.X, kPosTol);
    EXPECT_NEAR(4, l.CeilingZ, kPosTol);
    EXPECT_NEAR(-1.5, l.FloorZ, kPosTol);
    ExpectNear({2, 10, 0}, l.ScanPoints[0].World);
    ExpectNear({0, 10, 1}, l.ScanPoints[1].World);
}

TEST(LinkStations, UnfoundStationsAreReportedAndKeepWhatTheyHeld) {
    TKviste cave = MakeCave({{"A1  ", "A1  "},
                             {"A1  ", "A2  ", 0, 0, 4},
                             {"A2", "A3  ", 0, 0, 1},   // "A2" is not "A2  "
                             {"a2  ", "A4  ", 0, 0, 1}, // letter case counts
                             {"ZZ  ", "A5  ", 0, 0, 1, 1, 1, 1, 1}});
    AddScan(cave, 5, 0, {{0, 1}});
    const TVec3 kept{7, 8, 9};
    Tdatalinje& five = cave.Lines[5];
    five.Pos = five.RawPos = kept;
    five.RightWall = {1, 2};
    five.CeilingZ = 3;
    five.ScanPoints[0].World = {4, 5, 6};
    five.Linked = true; // left over from an earlier processing

    const auto messages = Reduce(cave);
    ASSERT_EQ(3u, messages.size());
    EXPECT_EQ("Connectivity FAILED! Station A2 in line 3was not found", messages[0]);
    EXPECT_EQ("Connectivity FAILED! Station a2   in line 4was not found", messages[1]);
    EXPECT_EQ("Connectivity FAILED! Station ZZ   in line 5was not found", messages[2]);
    EXPECT_FALSE(cave.Lines[3].Linked);
    EXPECT_FALSE(five.Linked);
    EXPECT_EQ(kept, five.Pos);
    EXPECT_EQ(kept, five.RawPos);
    EXPECT_EQ((TPlanPoint{1, 2}), five.RightWall);
    EXPECT_EQ(3, five.CeilingZ);
    EXPECT_EQ((TVec3{4, 5, 6}), five.ScanPoints[0].World);
}

TEST(LinkStations, StartShotFromAnUnreachedStation) {
    TKviste cave =
        MakeCave({{"B1  ", "B2  ", 90, 0, 2, 0, 0, 0, 1.5}, {"B2  ", "B3  ", 90, 0, 3}}, {1, 1, 1});
    const auto messages = Reduce(cave);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("Connectivity FAILED! Station B1   in line 1was not found", messages[0]);
    EXPECT_FALSE(cave.Lines[1].Linked);
    ExpectNear({3, 1, 1}, cave.Lines[1].Pos);
    ExpectNear({3, 1, 1}, cave.Lines[1].RawPos);
    EXPECT_NEAR(2.5, cave.Lines[1].CeilingZ, kPosTol); // walls of the start placement
    EXPECT_TRUE(cave.Lines[2].Linked);
    ExpectNear({6, 1, 1}, cave.Lines[2].Pos);
}

TEST(LinkStations, StartShotIsPlacedAgainFromItself) {
    // A start shot that is not of zero length meets its own vector twice.
    TKviste cave = MakeCave({{"A1  ", "A1  ", 0, 0, 2}}, {0, 0, 10});
    EXPECT_TRUE(Reduce(cave).empty());
    ExpectNear({0, 4, 10}, cave.Lines[1].Pos);
}

TEST(LinkStations, LaterStationIsReadAtTheMomentOfLookup) {
    // Line 2 leaves from C3, which only line 3 reaches.
    TKviste cave = MakeCave(
        {{"C1  ", "C1  "}, {"C3  ", "C4  ", 0, 0, 1}, {"C1  ", "C3  ", 90, 0, 5}}, {0, 0, 0});
    EXPECT_TRUE(Reduce(cave).empty());
    ExpectNear({0, 1, 0}, cave.Lines[2].Pos); // from the blank origin of a fresh read
    ExpectNear({5, 0, 0}, cave.Lines[3].Pos);
    // Processing again finds C3 where the first pass left it.
    EXPECT_TRUE(LinkStations(cave).empty());
    ExpectNear({5, 1, 0}, cave.Lines[2].Pos);
}

TEST(LinkStations, StationReachedTwiceHangsFromTheFirstShot) {
    TKviste cave = MakeCave({{"L1  ", "L1  "},
                             {"L1  ", "L2  ", 90, 0, 10},
                             {"L2  ", "L3  ", 0, 0, 10},
                             {"L3  ", "L2  ", 180, 0, 9}, // closes the loop 1 m off
                             {"L2  ", "L4  ", 0, -90, 2}});
    EXPECT_TRUE(Reduce(cave).empty());
    ExpectNear({10, 1, 0}, cave.Lines[4].Pos);
    ExpectNear({10, 0, -2}, cave.Lines[5].Pos);

    const TStationIndex index(cave);
    EXPECT_EQ(2, index.FirstLineTo(str4("L2  ")));
    EXPECT_EQ(0, index.FirstLineTo(str4("L2")));
}

TEST(LinkStations, EmptySurveyIsLeftAlone) {
    TKviste cave;
    EXPECT_TRUE(Reduce(cave).empty());
    TSummaryValues s;
    ComputeStatistics(cave, s);
    EXPECT_EQ(0, s.MeanLeg);
    EXPECT_EQ(0, cave.ZeroLegCount);
}

TEST(ComputeStatistics, SurveyBelowAndEastOfItsStart) {
    TKviste cave = MakeCave({{"A1  ", "A1  "},
                             {"A1  ", "A2  ", 90, -30, 10},
                             {"A2  ", "A3  ", 0, -90, 4},
                             {"A3  ", "A4  ", 90, 0, 2},
                             {"A4  ", "A5  "}});
    Reduce(cave);
    TSummaryValues s;
    ComputeStatistics(cave, s);
    EXPECT_EQ(2, cave.ZeroLegCount);
    EXPECT_DOUBLE_EQ(16, s.TotalLength);
    EXPECT_DOUBLE_EQ(10, s.LongestLeg);
    EXPECT_DOUBLE_EQ(2, s.ShortestLeg); // zero legs never count as the shortest
    EXPECT_DOUBLE_EQ(16.0 / 3, s.MeanLeg);
    EXPECT_EQ(0, s.MaxZ);
    EXPECT_NEAR(-9, s.MinZ, kPosTol);
    EXPECT_NEAR(-9, s.DepthSpan, kPosTol);
    EXPECT_EQ(0, s.MinEast); // the extremes start at zero
    EXPECT_NEAR(10 * std::cos(DegToRad(30)) + 2, s.MaxEast, kPosTol);
    EXPECT_EQ(0, s.MinNorth);
}

TEST(ComputeStatistics, OnlyZeroLegsGiveAZeroMean) {
    TKviste cave = MakeCave({{"A1  ", "A1  "}, {"A1  ", "A2  "}}, {-5, 6, 7});
    Reduce(cave);
    TSummaryValues s;
    s.MeanLeg = 99; // stale values from an earlier cave are replaced
    s.MaxZ = 99;
    ComputeStatistics(cave, s);
    EXPECT_EQ(2, cave.ZeroLegCount);
    EXPECT_EQ(0, s.MeanLeg);
    EXPECT_EQ(10000, s.ShortestLeg);
    EXPECT_EQ(0, s.TotalLength);
    EXPECT_EQ(7, s.MaxZ);
    EXPECT_EQ(-5, s.MinEast);
}

} // namespace

// Names whose plain multiplicative hash shares its top bits would all fall into one run of an
// unseeded table, and every lookup would step through it. The index must keep its runs short
// whatever the names, and still find the first shot to each.
TEST(TStationIndex, NamesChosenToCollideKeepRunsShortAndTheFirstShotRule) {
    std::vector<str4> names;
    for (std::uint32_t bytes = 0; names.size() < 20000; ++bytes) {
        const str4 name(std::string_view(reinterpret_cast<const char*>(&bytes), 4));
        if ((name.Key() * 0x9E3779B97F4A7C15ull) >> 58 == 0)
            names.push_back(name);
    }
    TKviste cave;
    // Each name reached twice, the second time much later: the first shot must win.
    const std::size_t n = names.size();
    cave.Lines.resize(2 * n + 1);
    for (std::size_t k = 0; k < 2 * n; ++k)
        cave.Lines[k + 1].ToName = names[k % n];
    cave.LineCount = static_cast<std::int32_t>(2 * n);
    const TStationIndex index(cave);
    EXPECT_LT(index.LongestProbe(), 64u + 4 * 16);
    for (std::size_t k = 0; k < n; ++k)
        ASSERT_EQ(index.FirstLineTo(names[k]), static_cast<std::int32_t>(k + 1));
    // Names of the same bytes but another length are other stations, and absent.
    EXPECT_EQ(index.FirstLineTo(str4("A1")), 0);
    EXPECT_EQ(index.FirstLineTo(str4(std::string_view(names[0].data(), 3))), 0);
}
