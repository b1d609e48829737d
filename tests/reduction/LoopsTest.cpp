// Loop detection: the loop table, the loop paths and the loop file.
#include "reduction/Loops.h"

#include "reduction/LoopTestCaves.h"
#include "support/TestSupport.h"

#include <random>
#include <vector>

namespace {

std::vector<std::int32_t> PathOf(const TLoopPaths& paths, std::int64_t loop) {
    const auto p = paths.Path(loop);
    return {p.begin(), p.end()};
}

struct TDetection {
    TLoopTable Loops;
    TLoopPaths Paths;
    std::string Log, Tmp;
};

TDetection Detect(TKviste& cave) {
    TDetection d;
    FindLoops(cave, d.Loops, d.Log);
    BuildLoopPaths(cave, d.Loops, d.Paths, d.Tmp, d.Log);
    return d;
}

// A tangle of shots between few names: many stations reached several times, from-stations
// reached later or never, so every branch of the walks is taken.
TKviste RandomTangle(std::uint64_t seed, int shots, int names) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<int> pick(0, names - 1);
    std::uniform_real_distribution<double> coord(-50, 50);
    auto name = [](int k) {
        std::string s = "S" + std::to_string(k);
        s.resize(4, ' ');
        return s;
    };
    TKviste cave;
    cave.Lines.resize(static_cast<std::size_t>(shots) + 1);
    cave.LineCount = shots;
    for (int k = 1; k <= shots; ++k) {
        auto& l = cave.Lines[static_cast<std::size_t>(k)];
        // Mostly traverses, so the walk's step to the previous line is common too.
        const bool follow = k > 1 && rng() % 3 != 0;
        l.FromName =
            follow ? cave.Lines[static_cast<std::size_t>(k - 1)].ToName : str4(name(pick(rng)));
        l.ToName = str4(name(pick(rng)));
        l.Pos = {coord(rng), coord(rng), coord(rng)};
    }
    return cave;
}

// The double loop and the walks with linear searches, as the algorithm is first stated.
void ReferenceDetection(const TKviste& cave, std::string& log, std::string& tmp) {
    const auto& L = cave.Lines;
    const int n = cave.LineCount;
    std::vector<std::pair<int, int>> pairs;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            if (L[j].ToName == L[i].ToName) {
                pairs.emplace_back(i, j);
                const auto& a = L[i].Pos;
                const auto& b = L[j].Pos;
                char buf[200];
                std::snprintf(buf, sizeof buf,
                              "%3zu: %s[%3d] to: %s[%3d],Diff(xyz): %6.2f %6.2f %6.2f\r\n",
                              pairs.size(), L[i].ToName.str().c_str(), i, L[j].ToName.str().c_str(),
                              j, b.X - a.X, b.Y - a.Y, b.Z - a.Z);
                log += buf;
            }
    log += std::to_string(pairs.size()) + " Loops were found\r\n";
    for (std::size_t l = 1; l <= pairs.size(); ++l) {
        const auto [i, j] = pairs[l - 1];
        std::vector<int> path{j};
        int c = j;
        auto trace = [&](int at) {
            char buf[100];
            std::snprintf(buf, sizeof buf, "Loop No: %6zu %6d [%s]%8d \r\n", l, at,
                          L[at].ToName.str().c_str(), 1);
            log += buf;
        };
        bool forward = false;
        while (i < c) {
            if (L[c].FromName == L[c - 1].ToName) {
                path.push_back(--c);
                continue;
            }
            int p = c - 1;
            while (p >= 1 && L[p].ToName != L[c].FromName)
                --p;
            if (p < 1)
                break;
            path.push_back(c = p);
            if (p < i) {
                forward = true;
                break;
            }
        }
        while (forward) {
            if (L[c + 1].ToName == L[i].ToName) {
                path.push_back(c + 1);
                break;
            }
            trace(c);
            int q = c + 1;
            while (q <= i && L[q].FromName != L[c].ToName)
                ++q;
            if (q > i)
                break;
            path.push_back(c = q);
            trace(c);
        }
        tmp += std::to_string(path.size()) + "\r\n";
        for (int k : path)
            tmp += std::to_string(k) + " ";
        tmp += "\r\n";
    }
}

} // namespace

TEST(FindLoops, EveryPairOfShotsToOneStationInOrderOfEarlierThenLaterShot) {
    TKviste cave = MakeLoopCave({{"A1", "A1"},
                                 {"A1", "B1", 0, 0, 10},
                                 {"A1", "C1", 90, 0, 10},
                                 {"C1", "B1", 0, 0, 9},
                                 {"A1", "D1", 270, 0, 10},
                                 {"D1", "B1", 45, 0, 14},
                                 {"D1", "C1", 90, 0, 20}});
    for (auto& l : cave.Lines)
        l.LoopCorrected = true;
    TLoopTable loops;
    std::string log;
    FindLoops(cave, loops, log);

    const std::vector<std::pair<int, int>> expected{{2, 4}, {2, 6}, {3, 7}, {4, 6}};
    ASSERT_EQ(loops.LoopCount(), 4);
    for (std::size_t l = 1; l <= expected.size(); ++l) {
        EXPECT_EQ(loops.Loops[l].FromLine, expected[l - 1].first) << "loop " << l;
        EXPECT_EQ(loops.Loops[l].ToLine, expected[l - 1].second) << "loop " << l;
    }
    const TLoop& first = loops.Loops[1];
    EXPECT_NEAR(first.Misclosure.X, cave.Lines[4].Pos.X - cave.Lines[2].Pos.X, kPosTol);
    EXPECT_NEAR(first.Misclosure.Y, -1.0, kPosTol);
    for (std::int32_t k = 1; k <= cave.LineCount; ++k)
        EXPECT_FALSE(cave.Lines[k].LoopCorrected) << "line " << k;
    EXPECT_TRUE(log.ends_with("\r\n4 Loops were found\r\n")) << log;
    EXPECT_TRUE(log.starts_with("  1: B1  [  2] to: B1  [  4],Diff(xyz):  10.00  -1.00   0.00\r\n"))
        << log;
    EXPECT_EQ(CountLoopPairs(cave), 4);
}

TEST(FindLoops, NamesDifferingOnlyInLengthOrCaseCloseNoLoop) {
    TKviste cave = MakeLoopCave(
        {{"A1", "A1"}, {"A1", "B1", 0, 0, 10}, {"A1", "B1", 90, 0, 10}, {"A1", "b1", 180, 0, 10}});
    cave.Lines[2].ToName = str4("B1");
    TDetection d = Detect(cave);
    EXPECT_EQ(d.Loops.LoopCount(), 0);
    EXPECT_EQ(d.Log, "0 Loops were found\r\n");
    EXPECT_EQ(d.Tmp, "");
}

TEST(BuildLoopPaths, WalksBackAlongTheLaterBranchThenForwardAlongTheEarlier) {
    // Branch i: A1 B1 C1 (lines 2, 3); branch j: A1 D1 C1 (lines 4, 5).
    TKviste cave = MakeLoopCave({{"A1", "A1"},
                                 {"A1", "B1", 0, 0, 10},
                                 {"B1", "C1", 90, 0, 10},
                                 {"A1", "D1", 90, 0, 10},
                                 {"D1", "C1", 0, 0, 9}});
    TDetection d = Detect(cave);
    ASSERT_EQ(d.Loops.LoopCount(), 1);
    EXPECT_EQ(PathOf(d.Paths, 1), (std::vector<std::int32_t>{5, 4, 1, 2, 3}));
    EXPECT_EQ(d.Tmp, "5\r\n5 4 1 2 3 \r\n");
    EXPECT_TRUE(d.Log.ends_with("Loop No:      1      1 [A1  ]       1 \r\n"
                                "Loop No:      1      2 [B1  ]       1 \r\n"))
        << d.Log;
}

TEST(BuildLoopPaths, UntraceableBranchEndsThePathWithTheEntriesFound) {
    // X1 is reached only after the loop closes, so shot 3 cannot be traced back.
    TKviste cave = MakeLoopCave(
        {{"A1", "A1"}, {"A1", "B1", 0, 0, 10}, {"X1", "B1", 0, 0, 10}, {"B1", "X1", 180, 0, 10}});
    TDetection d = Detect(cave);
    ASSERT_EQ(d.Loops.LoopCount(), 1);
    EXPECT_EQ(PathOf(d.Paths, 1), std::vector<std::int32_t>{3});
    EXPECT_EQ(d.Tmp, "1\r\n3 \r\n");
}

TEST(BuildLoopPaths, ForwardWalkThatFindsNoNextShotEndsThePath) {
    // The earlier branch hangs from Q1, which nothing reaches: the forward walk stops at A1.
    TKviste cave = MakeLoopCave(
        {{"A1", "A1"}, {"Q1", "B1", 0, 0, 10}, {"Q1", "C1", 0, 0, 10}, {"A1", "C1", 90, 0, 10}});
    TDetection d = Detect(cave);
    ASSERT_EQ(d.Loops.LoopCount(), 1);
    EXPECT_EQ(PathOf(d.Paths, 1), (std::vector<std::int32_t>{4, 1}));
    EXPECT_EQ(d.Tmp, "2\r\n4 1 \r\n");
    EXPECT_TRUE(d.Log.ends_with("found\r\nLoop No:      1      1 [A1  ]       1 \r\n")) << d.Log;
}

// The grouped search and the binary searches against the plain double loop and linear scans,
// on tangles with more than 255 loops.
TEST(LoopDetection, MatchesTheStraightforwardAlgorithmOnRandomTangles) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        TKviste cave = RandomTangle(seed, 300, 40 + static_cast<int>(seed) * 10);
        std::string refLog, refTmp;
        ReferenceDetection(cave, refLog, refTmp);
        TDetection d = Detect(cave);
        EXPECT_TRUE(SameBytes(refLog, d.Log)) << "seed " << seed;
        EXPECT_TRUE(SameBytes(refTmp, d.Tmp)) << "seed " << seed;
        EXPECT_EQ(d.Loops.LoopCount(), CountLoopPairs(cave));
        if (seed == 1) {
            EXPECT_GT(d.Loops.LoopCount(), 255);
        }
    }
}

TEST(FindToStationBefore, HoldsWhenTheFromStationIsReachedAtOrBeforeTheShot) {
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        const TKviste cave = RandomTangle(seed, 200, 60);
        const TStationIndex index(cave);
        for (std::int32_t k = 1; k <= cave.LineCount; ++k) {
            bool expected = false;
            for (std::int32_t p = k; p >= 1 && !expected; --p)
                expected = cave.Lines[p].ToName == cave.Lines[k].FromName;
            EXPECT_EQ(FindToStationBefore(cave, index, k), expected)
                << "seed " << seed << " line " << k;
        }
    }
}

TEST(WriteLoopFile, ListsLoopLinksThenTreeLegsAndLeavesEveryTreeLegSet) {
    TKviste cave = MakeLoopCave({{"A1", "A1"},
                                 {"A1", "B1", 0, 0, 10},
                                 {"B1", "C1", 90, 0, 10},
                                 {"A1", "D1", 90, 0, 10},
                                 {"D1", "C1", 0, 0, 9},
                                 {"D1", "A1", 270, 0, 10}});
    TDetection d = Detect(cave);
    std::string lop;
    WriteLoopFile(cave, d.Paths, "cave.grt", FixedClock("01.02.2024 03:04:05"), lop);
    const std::string head = "Real minimum spanning tree =TRUE\r\n"
                             "5 loop link no: 1 (D1  ,C1  )\r\n"
                             "6 loop link no: 2 (D1  ,A1  )\r\n"
                             "1 (A1  ,A1  )\r\n"
                             "2 (A1  ,B1  )\r\n"
                             "3 (B1  ,C1  )\r\n"
                             "4 (A1  ,D1  )\r\n"
                             "Looptest  Made in code\r\n"
                             "Loopfile displaying closed loops found in cave.grt\r\n"
                             "Processed at :01.02.2024 03:04:05\r\n"
                             "\r\n"
                             "Loop No:1 ; 3 survey legs in loop\r\n"
                             "(D1  -A1  ) (A1  -D1  ) (A1  -A1  ) \r\n"
                             "-----\r\n"
                             "Loop No:2 ; 5 survey legs in loop\r\n"
                             "(D1  -C1  ) (A1  -D1  ) (A1  -A1  ) (A1  -B1  ) (B1  -C1  ) \r\n"
                             "-----\r\n";
    EXPECT_TRUE(SameBytes(head, lop));
    for (std::int32_t k = 1; k <= cave.LineCount; ++k)
        EXPECT_TRUE(cave.Lines[k].TreeLeg) << "line " << k;

    TKviste empty;
    std::string emptyLop;
    WriteLoopFile(empty, TLoopPaths{}, "e.grt", FixedClock("x"), emptyLop);
    EXPECT_TRUE(emptyLop.starts_with("Real minimum spanning tree =FALSE\r\nNOCAVE  \r\n"));
}

// The count before a run must agree with what the run then writes, or its limits mean nothing.
TEST(CountLoopWork, AgreesWithThePathsAndTraceLinesTheRunWrites) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        TKviste cave = RandomTangle(seed, 300, 40 + static_cast<int>(seed) * 10);
        TDetection d = Detect(cave);
        const TLoopWork work = CountLoopWork(cave, INT64_MAX / 2);
        EXPECT_TRUE(work.Complete);
        EXPECT_EQ(work.Loops, d.Loops.LoopCount()) << "seed " << seed;
        EXPECT_EQ(work.PathEntries, static_cast<std::int64_t>(d.Paths.Entries.size()))
            << "seed " << seed;
        std::int64_t traces = 0;
        for (std::size_t at = d.Log.find("Loop No: "); at != std::string::npos;
             at = d.Log.find("Loop No: ", at + 1))
            ++traces;
        EXPECT_EQ(work.TraceLines, traces) << "seed " << seed;

        // A budget stops the walk soon after it is passed, and says so.
        const TLoopWork part = CountLoopWork(cave, work.PathEntries / 2);
        EXPECT_FALSE(part.Complete);
        EXPECT_GT(part.PathEntries, work.PathEntries / 2);
        EXPECT_LE(part.PathEntries, work.PathEntries);
    }
}
