// kvistrel-batch as a user runs it: arguments, exit codes, files written beside the survey.
#include "BatchRun.h"
#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <sstream>
#include <vector>

TEST(Batch, ProcessesAFileAndWritesEverythingBesideIt) {
    TempDir dir;
    const std::string file = dir.File("small.grt");
    WriteFileBytes(file, ReadFileBytes(TestDataPath("model/small.grt")));
    const BatchRun r =
        Batch({file, "--stamp", "01.02.2026 10:00:00", "--write", dir.File("out.grt")});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(r.Err.empty()) << r.Err;
    for (const char* name : {"Kvistrel.log", "small.krt", "small.kom", "small.sta", "small.scn"})
        EXPECT_TRUE(FileExists(dir.File(name))) << name;
    EXPECT_TRUE(MatchesGolden("model/small.written.grt", dir.File("out.grt")));
    EXPECT_NE(r.Out.find("lines:          4"), std::string::npos) << r.Out;

    const BatchRun quiet = Batch({file, "--quiet"});
    EXPECT_EQ(quiet.Status, 0);
    EXPECT_TRUE(quiet.Out.empty());
}

TEST(Batch, ReportsReadingErrorsAndBadArguments) {
    TempDir dir;
    const BatchRun missing = Batch({dir.File("nothere.grt")});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("Could NOT read " + dir.File("nothere.grt")), std::string::npos);

    WriteFileBytes(dir.File("bad.grt"),
                   "C\r\n;\r\ni\r\n360 360 0 1\r\n0 0 0\r\nA1   A2   1,5 0 0 0 0 0 0\r\n");
    const BatchRun bad = Batch({dir.File("bad.grt")});
    EXPECT_EQ(bad.Status, 1);
    EXPECT_NE(bad.Err.find("File reading Error at line 6"), std::string::npos) << bad.Err;

    EXPECT_EQ(Batch({}).Status, 2);
    EXPECT_EQ(Batch({"a.grt", "--bogus"}).Status, 2);
    EXPECT_EQ(Batch({"a.grt", "--write"}).Status, 2);
    EXPECT_EQ(Batch({"a.grt", "b.grt"}).Status, 2);
    const BatchRun help = Batch({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("Usage: kvistrel-batch FILE"), std::string::npos);
}

TEST(Batch, UnlinkedShotsAreReportedButTheRunSucceeds) {
    TempDir dir;
    WriteFileBytes(dir.File("u.grt"), "C\r\n;\r\ni\r\n360 360 0 1\r\n0 0 0\r\n"
                                      "A1   A1   0 0 0 0 0 0 0\r\nX9   A2   0 0 5 0 0 0 0\r\n");
    const BatchRun r = Batch({dir.File("u.grt")});
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(r.Err.find("Connectivity FAILED! Station X9   in line 2was not found"),
              std::string::npos)
        << r.Err;
    EXPECT_NE(r.Out.find("unlinked shots: 1"), std::string::npos);
}

TEST(Batch, CorrectsLoopsWhenAsked) {
    TempDir dir;
    const std::string file = dir.File("loop.grt");
    WriteFileBytes(file, "C\r\n;\r\ni\r\n360 360 0 1\r\n0 0 0\r\n"
                         "A1   A1   0 0 0 0 0 0 0\r\nA1   A2   0 0 10 0 0 0 0\r\n"
                         "A2   A3   90 0 10 0 0 0 0\r\nA1   A3   45 0 14 0 0 0 0\r\n");
    const BatchRun r = Batch({file, "--correct-loops", "3", "--stamp", "x"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    for (const char* name : {"loop.Log", "loop.tmp", "loop.Fix", "loop.lop"})
        EXPECT_TRUE(FileExists(dir.File(name))) << name;
    EXPECT_NE(ReadFileBytes(dir.File("loop.Fix")).find("3 cycles"), std::string::npos);
    EXPECT_NE(r.Out.find("loops:          1"), std::string::npos) << r.Out;
}

TEST(Batch, ARefusedLoopCorrectionIsPrintedAndFailsTheRun) {
    TempDir dir;
    const std::string file = dir.File("one.grt");
    WriteFileBytes(file, ReadFileBytes(TestDataPath("loops/one_station_250_shots.grt")));
    const BatchRun r = Batch({file, "--correct-loops", "--quiet"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Err.starts_with("The loops are too many to correct: 31125 loops")) << r.Err;
    EXPECT_FALSE(FileExists(dir.File("one.Fix")));
    EXPECT_TRUE(FileExists(dir.File("one.krt"))); // the listings before it stand
}
