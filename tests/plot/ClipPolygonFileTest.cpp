// The clip polygon file: exact text, read-back, and every broken file named by its line.
#include "plot/ClipPolygonFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TPolyGon Lake() {
    TPolyGon g;
    g.Pts = {{10, 20}, {110, 20}, {60, 95}};
    g.WPts = {{1.005, -2.5, 7.5}, {11, -2.5, 7.5}, {-1234567.891, 5.25, 7.5}};
    g.Count = 3;
    g.Area = 412.25;
    g.Perimeter = 33.333;
    g.Name = "Lake";
    g.Closed = true;
    return g;
}

} // namespace

TEST(ClipPolygonFile, WritesTheExactText) {
    EXPECT_EQ(ClipPolyText(Lake(), "Testhola"),
              "1  Clip Polygon File for Testhola\r\n"
              "3  412.2   33.3 Lake\r\n"
              "10 20       1.00     -2.50      7.50\r\n"
              "110 20      11.00     -2.50      7.50\r\n"
              // A coordinate that fills its field keeps a blank before it.
              "60 95 -1234567.89      5.25      7.50\r\n");
    EXPECT_EQ(ClipPolyFileName("/data/Hola.grt"), "/data/Hola.pcl");
}

TEST(ClipPolygonFile, ReadBackKeepsNodesAndName) {
    TempDir dir;
    const std::string path = dir.File("hola.pcl");
    ASSERT_TRUE(WriteClipPolyFile(path, Lake(), "Testhola").Ok);
    for (int cycle = 0; cycle < 3; ++cycle) { // the name gains no blank
        TPolyGon g;
        const TClipFileResult r = ReadClipPolyFile(path, g);
        ASSERT_TRUE(r.Ok) << r.Reason;
        EXPECT_EQ(g.Name, "Lake");
        EXPECT_EQ(g.Pts, Lake().Pts);
        ASSERT_EQ(g.WPts.size(), 3u);
        EXPECT_NEAR(g.WPts[2].X, -1234567.89, 1e-9);
        EXPECT_EQ(g.WPts[0].Z, 7.5);
        EXPECT_TRUE(g.Closed && g.Loaded);
        EXPECT_EQ(g.Bounds, (TPolyRect{10, 20, 110, 95}));
        ASSERT_TRUE(WriteClipPolyFile(path, g, "Testhola").Ok);
    }
}

TEST(ClipPolygonFile, SeveralPolygonsKeepTheLastAndNamesKeepTheirBlanks) {
    TPolyGon g;
    const std::string text = "2 rest ignored\n"
                             "1 1.0 2.0 First\n"
                             "5 6 1.0 2.0 3.0\r\n"
                             "2 0 0   Two  blanks \n"
                             "1 2 3 4 5\n"
                             "3 4 -3e1 +4.5 .5\n";
    const TClipFileResult r = ReadClipPolyText(text, g);
    ASSERT_TRUE(r.Ok) << r.Reason;
    EXPECT_EQ(g.Count, 2);
    EXPECT_EQ(g.Name, "  Two  blanks ");
    EXPECT_EQ(g.WPts[1], (TWPoint{-30, 4.5, 0.5}));
}

struct BadFile {
    const char* Case;
    const char* Text;
    std::int32_t Line;
    const char* Reason; // the start of it
};

class ClipPolygonBadFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(ClipPolygonBadFile, NamesTheLineAndLeavesThePolygon) {
    TPolyGon g = Lake();
    const TClipFileResult r = ReadClipPolyText(GetParam().Text, g);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Line, GetParam().Line);
    EXPECT_EQ(r.Reason.rfind(GetParam().Reason, 0), 0u) << r.Reason;
    EXPECT_EQ(g.Pts, Lake().Pts);
    EXPECT_EQ(g.WPts, Lake().WPts);
    EXPECT_EQ(g.Name, "Lake");
    EXPECT_EQ(g.Area, 412.25);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClipPolygonBadFile,
    ::testing::Values(
        BadFile{"empty", "", 1, "the file is empty"},
        BadFile{"text_count", "one\r\n", 1, "the number of polygons \"one\""},
        BadFile{"negative_polygons", "-1\r\n", 1, "the number of polygons \"-1\""},
        BadFile{"too_many_polygons", "99999999999\r\n", 1, "the number of polygons"},
        BadFile{"missing_header", "1 x\r\n", 2, "the file ends where polygon 1 of 1"},
        BadFile{"huge_count", "1\r\n2147483647 1 2 Big\r\n1 2 3 4 5\r\n", 4,
                "the file ends after 1 of 2147483647 node lines"},
        BadFile{"negative_count", "1\r\n-3 1 2 N\r\n", 2, "the node count \"-3\""},
        BadFile{"text_area", "1\r\n3 big 2 N\r\n", 2, "the area \"big\""},
        BadFile{"inf_perimeter", "1\r\n3 1 inf N\r\n", 2, "the perimeter \"inf\""},
        BadFile{"truncated_node", "1\r\n2 1 2 N\r\n1 2 3 4 5\r\n1 2 3\r\n", 4, "the world Y \"\""},
        BadFile{"real_screen_x", "1\r\n1 1 2 N\r\n1.5 2 3 4 5\r\n", 3, "the screen X \"1.5\""},
        BadFile{"second_polygon_short", "2\r\n1 1 2 A\r\n1 2 3 4 5\r\n", 4,
                "the file ends where polygon 2 of 2"}),
    [](const auto& info) { return std::string(info.param.Case); });

TEST(ClipPolygonFile, MissingDirectoryAndFailedWrite) {
    TempDir dir;
    TPolyGon g = Lake();
    TClipFileResult r = ReadClipPolyFile(dir.File("none.pcl"), g);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Line, 0);
    std::filesystem::create_directory(dir.File("dir.pcl"));
    r = ReadClipPolyFile(dir.File("dir.pcl"), g);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(ClipFileMessage(dir.File("dir.pcl"), r), dir.File("dir.pcl") + ": is a directory");
    EXPECT_EQ(g.Name, "Lake");

    // Writing over a directory fails and says so; into a missing directory as well.
    EXPECT_FALSE(WriteClipPolyFile(dir.File("dir.pcl"), g, "x").Ok);
    EXPECT_FALSE(WriteClipPolyFile(dir.File("no/such.pcl"), g, "x").Ok);
    // A failed write leaves the old file as it was.
    const std::string path = dir.File("old.pcl");
    WriteFileBytes(path, "old");
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
    const bool denied = !WriteClipPolyFile(path, g, "x").Ok;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
    if (denied) { // root may write anywhere
        EXPECT_EQ(ReadFileBytes(path), "old");
    }
}
