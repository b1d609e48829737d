// The processing chain: listings beside the data file, failures collected, nothing overwritten.
#include "reduction/Processing.h"

#include "CaveBuilder.h"
#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const FixedClock kClock("01.02.2026 10:00:00");

TKviste SmallCave() {
    return MakeCave({{"A1  ", "A1  "}, {"A1  ", "A2  ", 0, 0, 5}, {"Q1  ", "A3  ", 0, 0, 1}});
}

TEST(ProcessCave, ReducesAndWritesTheFourListingsBesideTheFile) {
    TempDir dir;
    TKviste cave = SmallCave();
    TSummaryValues summary;
    const TProcessResult r = ProcessCave(cave, summary, dir.File("cave.grt"), kClock);
    EXPECT_TRUE(r.ListingErrors.empty());
    ASSERT_EQ(1u, r.Connectivity.size());
    EXPECT_EQ("Connectivity FAILED! Station Q1   in line 3was not found", r.Connectivity[0]);
    EXPECT_NEAR(5, cave.Lines[2].Pos.Y, kPosTol);
    EXPECT_DOUBLE_EQ(6, summary.TotalLength);
    for (const char* ext : {".krt", ".kom", ".sta", ".scn"})
        EXPECT_TRUE(FileExists(dir.File(std::string("cave") + ext))) << ext;
    // The cartesian listing names itself; the comments listing names the data file.
    EXPECT_EQ(0u, ReadFileBytes(dir.File("cave.krt"))
                      .find("Testhola    [Fil : " + dir.File("cave.krt") + "]\r\n"));
    EXPECT_EQ(0u, ReadFileBytes(dir.File("cave.kom"))
                      .find(" List of Comments in  " + dir.File("cave.grt") + "\r\n"));
}

TEST(ProcessCave, AListingThatCannotBeWrittenDoesNotStopTheOthers) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("cave.kom"));
    TKviste cave = SmallCave();
    TSummaryValues summary;
    const TProcessResult r = ProcessCave(cave, summary, dir.File("cave.grt"), kClock);
    ASSERT_EQ(1u, r.ListingErrors.size());
    EXPECT_EQ(0u, r.ListingErrors[0].find(dir.File("cave.kom") + ": ")) << r.ListingErrors[0];
    EXPECT_GT(r.ListingErrors[0].size(), dir.File("cave.kom").size() + 2);
    for (const char* ext : {".krt", ".sta", ".scn"})
        EXPECT_TRUE(FileExists(dir.File(std::string("cave") + ext))) << ext;
}

TEST(ProcessCave, DataFileNamedLikeAListingIsNotOverwritten) {
    TempDir dir;
    const std::string data = dir.File("cave.sta");
    WriteFileBytes(data, "survey data\r\n");
    TKviste cave = SmallCave();
    TSummaryValues summary;
    const TProcessResult r = ProcessCave(cave, summary, data, kClock);
    ASSERT_EQ(1u, r.ListingErrors.size());
    EXPECT_EQ(data + ": is the survey data file itself", r.ListingErrors[0]);
    EXPECT_EQ("survey data\r\n", ReadFileBytes(data));
    for (const char* ext : {".krt", ".kom", ".scn"})
        EXPECT_TRUE(FileExists(dir.File(std::string("cave") + ext))) << ext;
}

} // namespace
