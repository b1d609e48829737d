// Loop correction: the run's four files, the passes and re-placement.
#include "reduction/Loops.h"

#include "model/SurveyReader.h"
#include "reduction/LoopTestCaves.h"
#include "support/TestSupport.h"

#include <chrono>
#include <functional>
#include <random>

namespace {

const char* const kStamp = "24.12.2024 12:00:00";

struct TGoldenCase {
    const char* Name;
    std::function<TKviste()> Make;
    int Cycles;
};

void PrintTo(const TGoldenCase& c, std::ostream* os) {
    *os << c.Name;
}

// A square of four legs typed as one traverse, closing at the start with a leg 1 m short;
// A005 and A006 hang off the corner A003.
TKviste HangingCave() {
    return MakeLoopCave({{"A001", "A001"},
                         {"A001", "A002", 0, 0, 10},
                         {"A002", "A003", 90, 0, 10},
                         {"A003", "A004", 180, 0, 10},
                         {"A004", "A001", 270, 0, 9},
                         {"A003", "A005", 90, 0, 5},
                         {"A005", "A006", 0, 10, 5}});
}

const TGoldenCase kGoldenCases[] = {
    {"no_loop",
     [] {
         return MakeLoopCave({{"A001", "A001"},
                              {"A001", "A002", 0, 0, 10},
                              {"A002", "A003", 90, -10, 5},
                              {"A002", "A004", 180, 20, 3}});
     },
     10},
    // Two branches from A001 meet at A003 a metre apart; cycles 1 runs two passes.
    {"one_loop",
     [] {
         return MakeLoopCave({{"A001", "A001"},
                              {"A001", "A002", 0, 0, 10},
                              {"A002", "A003", 90, 0, 10},
                              {"A001", "A004", 90, 0, 10},
                              {"A004", "A003", 0, 0, 9}});
     },
     1},
    // Shot 5 returns to the station of shot 2: path 5 4 3 2.
    {"traverse_loop",
     [] {
         return MakeLoopCave({{"A001", "A001"},
                              {"A001", "A002", 0, 0, 10},
                              {"A002", "A003", 90, 0, 10},
                              {"A003", "A004", 180, 0, 10},
                              {"A004", "A002", 315, 0, 14}});
     },
     3},
    {"three_shots",
     [] {
         return MakeLoopCave({{"A001", "A001"},
                              {"A001", "A002", 0, 0, 10},
                              {"A002", "A003", 90, 0, 10},
                              {"A001", "A004", 90, 0, 10},
                              {"A004", "A003", 0, 0, 9},
                              {"A001", "A005", 270, 0, 10},
                              {"A005", "A006", 0, 0, 10},
                              {"A006", "A003", 90, 0, 19}});
     },
     2},
    // Shot 3 leaves A003, which only shot 4 reaches.
    {"first_line_false",
     [] {
         return MakeLoopCave({{"A001", "A001"},
                              {"A001", "A002", 0, 0, 10},
                              {"A003", "A004", 90, 0, 5},
                              {"A002", "A003", 90, 0, 10},
                              {"A004", "A002", 270, 0, 14}});
     },
     1},
    {"hanging", HangingCave, 2},
};

class LoopGolden : public ::testing::TestWithParam<TGoldenCase> {};

TEST_P(LoopGolden, WritesLogResultsPathsAndLoopFile) {
    const TGoldenCase& c = GetParam();
    TKviste cave = c.Make();
    TempDir dir;
    ScopedWorkDir cd(dir.Path());
    TLoopTable loops;
    const std::string name = c.Name;
    const TCorrectionResult r =
        CorrectLoops(cave, loops, c.Cycles, name + ".grt", FixedClock(kStamp));
    ASSERT_TRUE(r.Ok) << r.Reason;
    for (const char* ext : {".Log", ".Fix", ".tmp", ".lop"})
        EXPECT_TRUE(MatchesGolden("loops/" + name + ext, dir.File(name + ext))) << ext;
}

INSTANTIATE_TEST_SUITE_P(Surveys, LoopGolden, ::testing::ValuesIn(kGoldenCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(LoopGoldenExample, Kvitberghola) {
    TKviste cave;
    std::string header2, readLog;
    const std::string text = ReadFileBytes(SourcePath("examples/Kvitberghola.grt"));
    ASSERT_TRUE(
        ReadSurveyText(text, "Kvitberghola.grt", cave, header2, FixedClock(kStamp), readLog).Ok);
    ComputeLegVectors(cave);
    LinkStations(cave);
    TempDir dir;
    ScopedWorkDir cd(dir.Path());
    TLoopTable loops;
    const TCorrectionResult r =
        CorrectLoops(cave, loops, 10, "Kvitberghola.grt", FixedClock(kStamp));
    ASSERT_TRUE(r.Ok) << r.Reason;
    EXPECT_GT(loops.LoopCount(), 0);
    for (const char* ext : {".Log", ".Fix", ".tmp", ".lop"})
        EXPECT_TRUE(MatchesGolden(std::string("loops/Kvitberghola") + ext,
                                  dir.File(std::string("Kvitberghola") + ext)))
            << ext;
}

void ExpectNear(const TVec3& expected, const TVec3& actual, const std::string& what) {
    EXPECT_NEAR(expected.X, actual.X, kPosTol) << what;
    EXPECT_NEAR(expected.Y, actual.Y, kPosTol) << what;
    EXPECT_NEAR(expected.Z, actual.Z, kPosTol) << what;
}

TVec3 Moved(const TVec3& a, const TVec3& b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}

} // namespace

TEST(CorrectLoops, StationsHangingOffACorrectedStationFollowIt) {
    TKviste cave = HangingCave();
    const TKviste before = cave;
    TempDir dir;
    TLoopTable loops;
    ASSERT_TRUE(CorrectLoops(cave, loops, 2, dir.File("h.grt"), FixedClock(kStamp)).Ok);

    // Path 5 4 3 2 1 with D = (-1, 0, 0): A003 is the middle entry and takes half of it.
    ExpectNear(Moved(before.Lines[3].Pos, {-0.5, 0, 0}), cave.Lines[3].Pos, "A003");
    ExpectNear(cave.Lines[1].Pos, cave.Lines[5].Pos, "closing station A001");
    for (int k : {6, 7}) {
        ExpectNear(Moved(before.Lines[k].Pos, {-0.5, 0, 0}), cave.Lines[k].Pos, "hanging line");
        EXPECT_FALSE(cave.Lines[k].LoopCorrected);
        EXPECT_EQ(cave.Lines[k].RawPos, before.Lines[k].RawPos);
    }
    EXPECT_NEAR(cave.Lines[7].RightWall.X, cave.Lines[7].Pos.X + 1, kPosTol);
    EXPECT_NEAR(cave.Lines[7].CeilingZ, cave.Lines[7].Pos.Z + 3, kPosTol);
}

TEST(CorrectLoops, ASingleEntryPathMovesThatStationOntoTheEarlierShot) {
    // X001 is reached only after the loop closes: the path is shot 3 alone.
    TKviste cave = MakeLoopCave({{"A001", "A001"},
                                 {"A001", "B001", 0, 0, 10},
                                 {"X001", "B001", 0, 0, 3},
                                 {"B001", "X001", 180, 0, 10}});
    TempDir dir;
    TLoopTable loops;
    ASSERT_TRUE(CorrectLoops(cave, loops, 1, dir.File("s.grt"), FixedClock(kStamp)).Ok);
    ExpectNear(cave.Lines[2].Pos, cave.Lines[3].Pos, "closing station B001");
    const std::string fix = ReadFileBytes(dir.File("s.Fix"));
    EXPECT_EQ(fix.find("nan"), std::string::npos) << fix;
    EXPECT_NE(fix.find("CorrLoop No  1(  1 stations):"), std::string::npos) << fix;
}

TEST(CorrectLoops, AnUnwritableDirectoryEndsTheRunWithTheReason) {
    TKviste cave = HangingCave();
    TempDir dir;
    TLoopTable loops;
    const TCorrectionResult r =
        CorrectLoops(cave, loops, 1, dir.File("missing/h.grt"), FixedClock(kStamp));
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Reason.find("h.tmp"), std::string::npos) << r.Reason;
}

TEST(CorrectLoops, NeverOverwritesTheSurveyItself) {
    TKviste cave = HangingCave();
    TempDir dir;
    WriteFileBytes(dir.File("h.Fix"), "the survey");
    TLoopTable loops;
    const TCorrectionResult r = CorrectLoops(cave, loops, 1, dir.File("h.Fix"), FixedClock(kStamp));
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Reason.find("is the survey data file itself"), std::string::npos) << r.Reason;
    EXPECT_EQ(ReadFileBytes(dir.File("h.Fix")), "the survey");
}

TEST(CorrectLoops, ReportsEveryPassAndASecondRunFindsTheLoopClosed) {
    TKviste cave = HangingCave();
    TempDir dir;
    TLoopTable loops;
    std::vector<std::pair<int, int>> seen;
    auto note = [](int pass, int passes, void* ctx) {
        static_cast<std::vector<std::pair<int, int>>*>(ctx)->emplace_back(pass, passes);
    };
    ASSERT_TRUE(
        CorrectLoops(cave, loops, 3, dir.File("h.grt"), FixedClock(kStamp), note, &seen).Ok);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));

    ASSERT_TRUE(CorrectLoops(cave, loops, 0, dir.File("h.grt"), FixedClock(kStamp)).Ok);
    ASSERT_EQ(loops.LoopCount(), 1);
    ExpectNear({}, loops.Loops[1].Misclosure, "misclosure of a closed loop");
    EXPECT_NE(ReadFileBytes(dir.File("h.Log")).find("Diff(xyz):   0.00   0.00   0.00"),
              std::string::npos);
}

// A chain with detours that leave a chain station and close at a later one; no two loops
// share a station, and side shots hang off detour and chain stations.
TKviste DetourSurvey(std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> compass(0, 360), clino(-30, 30), length(1, 15);
    TKviste cave;
    int next = 0;
    auto fresh = [&] {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d", ++next);
        return std::string(buf);
    };
    auto add = [&](const std::string& from, const std::string& to) {
        Tdatalinje l;
        l.FromName = str4(from);
        l.ToName = str4(to);
        l.Compass = compass(rng);
        l.Clino = clino(rng);
        l.Length = length(rng);
        cave.Lines.push_back(l);
        ++cave.LineCount;
    };
    std::string at = fresh();
    add(at, at);
    for (int loop = 0; loop < 25; ++loop) {
        add(at, fresh()); // a free stretch keeps the loops apart
        at = cave.Lines.back().ToName.str();
        const std::string start = at;
        const int chain = 1 + static_cast<int>(rng() % 4);
        std::vector<std::string> chainStations;
        for (int s = 0; s < chain; ++s) {
            add(at, fresh());
            at = cave.Lines.back().ToName.str();
            chainStations.push_back(at);
        }
        const std::string end = at;
        std::string d = start;
        const int detour = 1 + static_cast<int>(rng() % 4);
        for (int s = 0; s < detour; ++s) {
            const std::string n = fresh();
            add(d, n);
            d = n;
            add(d, fresh()); // hangs off a detour station
        }
        add(d, end);
        // Side shots off the chain come after the loop: the forward walk takes the nearest shot
        // leaving a station and would otherwise stray into them.
        for (const std::string& station : chainStations)
            if (rng() % 2)
                add(station, fresh());
    }
    ComputeLegVectors(cave);
    LinkStations(cave);
    return cave;
}

TEST(CorrectLoops, SeparateLoopsCloseAndCarryTheirHangingStations) {
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        TKviste cave = DetourSurvey(seed);
        const TKviste before = cave;
        TempDir dir;
        TLoopTable loops;
        ASSERT_TRUE(CorrectLoops(cave, loops, 10, dir.File("d.grt"), FixedClock(kStamp)).Ok);
        ASSERT_EQ(loops.LoopCount(), 25) << "seed " << seed;
        for (std::int64_t l = 1; l <= loops.LoopCount(); ++l) {
            const TLoop& loop = loops.Loops[static_cast<std::size_t>(l)];
            ExpectNear(cave.Lines[loop.FromLine].Pos, cave.Lines[loop.ToLine].Pos,
                       "loop " + std::to_string(l) + " seed " + std::to_string(seed));
        }
        const TStationIndex index(cave);
        int hanging = 0;
        for (std::int32_t k = 2; k <= cave.LineCount; ++k) {
            const Tdatalinje& line = cave.Lines[k];
            if (line.LoopCorrected)
                continue;
            const std::int32_t from = index.FirstLineTo(line.FromName);
            TVec3 was, now;
            SubVec(before.Lines[from].Pos, before.Lines[k].Pos, was);
            SubVec(cave.Lines[from].Pos, cave.Lines[k].Pos, now);
            ExpectNear(was, now, "line " + std::to_string(k) + " seed " + std::to_string(seed));
            hanging +=
                cave.Lines[from].LoopCorrected && cave.Lines[from].Pos != before.Lines[from].Pos;
        }
        EXPECT_GT(hanging, 10) << "seed " << seed;
    }
}

namespace {

// A fixture read and processed as the main window would.
TKviste ProcessedFixture(const std::string& relative) {
    TKviste cave;
    std::string h2, log;
    const TReadResult r = ReadSurveyText(ReadFileBytes(TestDataPath(relative)), "f.grt", cave, h2,
                                         FixedClock(kStamp), log);
    EXPECT_TRUE(r.Ok) << r.Reason;
    ComputeLegVectors(cave);
    LinkStations(cave);
    return cave;
}

std::vector<TVec3> Positions(const TKviste& cave) {
    std::vector<TVec3> p;
    for (const Tdatalinje& l : cave.Lines)
        p.push_back(l.Pos);
    return p;
}

bool AnyRunFile(const TempDir& dir, const std::string& stem) {
    for (const char* ext : {".tmp", ".Fix", ".Log", ".lop"})
        if (std::filesystem::exists(dir.File(stem + ext)))
            return true;
    return false;
}

} // namespace

// 250 shots from one station to itself: 31,125 loops whose paths hold 2.6 million entries,
// more than 2 GB of results at ten cycles.
TEST(CorrectLoops, RefusesARunTooLargeForTheMachineQuicklyAndChangesNothing) {
    TKviste cave = ProcessedFixture("loops/one_station_250_shots.grt");
    const std::vector<TVec3> before = Positions(cave);
    TempDir dir;
    TLoopTable loops;
    loops.Loops.push_back({1, 2, {}}); // a table from an earlier run stays as it was
    const auto start = std::chrono::steady_clock::now();
    const TCorrectionResult r =
        CorrectLoops(cave, loops, 10, dir.File("one.grt"), FixedClock(kStamp));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Refused);
    EXPECT_NE(r.Reason.find("31125 loops with"), std::string::npos) << r.Reason;
    EXPECT_NE(r.Reason.find("path entries in 11 passes"), std::string::npos) << r.Reason;
    EXPECT_NE(r.Reason.find("a .Fix file of"), std::string::npos) << r.Reason;
    EXPECT_TRUE(r.Reason.ends_with("Nothing was written or changed.")) << r.Reason;
    EXPECT_FALSE(AnyRunFile(dir, "one"));
    EXPECT_EQ(Positions(cave), before);
    EXPECT_EQ(loops.LoopCount(), 1);
}

TEST(CorrectLoops, LimitsOfTheCallerDecideAndTheSummaryCountsLoopsAndCycles) {
    TempDir dir;
    TKviste cave = HangingCave();
    TLoopTable loops;
    TLoopLimits tight;
    tight.MaxFileBytes = 200; // the .lop alone is larger
    tight.MaxMemoryBytes = 1'000'000;
    TCorrectionResult r = CorrectLoops(cave, loops, 2, dir.File("h.grt"), FixedClock(kStamp),
                                       nullptr, nullptr, &tight);
    EXPECT_TRUE(r.Refused);
    EXPECT_NE(r.Reason.find("1 loop with 5 path entries in 3 passes"), std::string::npos)
        << r.Reason;
    EXPECT_FALSE(AnyRunFile(dir, "h"));

    r = CorrectLoops(cave, loops, 2, dir.File("h.grt"), FixedClock(kStamp));
    ASSERT_TRUE(r.Ok) << r.Reason;
    EXPECT_FALSE(r.Refused);
    EXPECT_EQ(r.Loops, 1);
    EXPECT_EQ(r.Passes, 3);
    EXPECT_EQ(CorrectionSummary(r, 2), "Corrected 1 loop in 2 cycles");
    r.Loops = 12;
    EXPECT_EQ(CorrectionSummary(r, 10), "Corrected 12 loops in 10 cycles");
    EXPECT_EQ(CorrectionSummary(r, 1), "Corrected 12 loops in 1 cycle");
}

// Shared stations can make the corrections grow from loop to loop: a results file that passes
// its limit during the passes stops the run, and the stations return to where they were.
TEST(CorrectLoops, ResultsThatOutgrowTheLimitDuringThePassesChangeNothing) {
    std::string text = "One\r\n;\r\ni\r\n360 360 0 1\r\n0 0 0\r\n";
    for (int k = 0; k < 60; ++k)
        text += "A1   A1   " + std::to_string(k * 7 % 360) + " 0 1 0 0 0 0\r\n";
    TKviste cave;
    std::string h2, log;
    ASSERT_TRUE(ReadSurveyText(text, "o.grt", cave, h2, FixedClock(kStamp), log).Ok);
    ComputeLegVectors(cave);
    LinkStations(cave);
    const std::vector<TVec3> before = Positions(cave);

    // The count refuses where its estimate passes the limits; just above them the run starts,
    // and the results outgrow a third of the memory (what the growing text may take).
    TempDir dir;
    TLoopTable loops;
    TLoopLimits limits;
    limits.MaxFileBytes = 1'000'000'000;
    TCorrectionResult r;
    for (limits.MaxMemoryBytes = 1000;; limits.MaxMemoryBytes = limits.MaxMemoryBytes * 5 / 4) {
        r = CorrectLoops(cave, loops, 0, dir.File("o.grt"), FixedClock(kStamp), nullptr, nullptr,
                         &limits);
        if (!r.Refused || r.Reason.find("too many to correct") == std::string::npos)
            break;
        EXPECT_TRUE(r.Reason.ends_with("Nothing was written or changed.")) << r.Reason;
        ASSERT_EQ(Positions(cave), before);
    }
    EXPECT_TRUE(r.Refused);
    EXPECT_NE(r.Reason.find("The loop correction was stopped in pass 1 of 1"), std::string::npos)
        << r.Reason;
    EXPECT_TRUE(r.Reason.ends_with("Nothing was written or changed.")) << r.Reason;
    EXPECT_FALSE(AnyRunFile(dir, "o"));
    EXPECT_EQ(Positions(cave), before);
    for (std::int32_t k = 1; k <= cave.LineCount; ++k)
        EXPECT_FALSE(cave.Lines[k].LoopCorrected) << k;
}

TEST(CorrectionPass, StopsOnceTheResultsPassTheirLimit) {
    TKviste cave = HangingCave();
    TLoopTable loops;
    TLoopPaths paths;
    std::string log, tmp, fix;
    FindLoops(cave, loops, log);
    BuildLoopPaths(cave, loops, paths, tmp, log);
    EXPECT_FALSE(CorrectionPass(cave, loops, paths, fix, 100));
    EXPECT_LT(fix.size(), 400u);
    fix.clear();
    EXPECT_TRUE(CorrectionPass(cave, loops, paths, fix));
}

TEST(MachineLoopLimits, GiveRoomButNotTheWholeMachine) {
    const TLoopLimits l = MachineLoopLimits();
    EXPECT_EQ(l.MaxFileBytes, 1'000'000'000u);
    EXPECT_GE(l.MaxMemoryBytes, 100'000'000u);
}
