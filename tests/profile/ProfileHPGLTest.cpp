// A profile's plotter export: its title, file names and extents, the two files it writes and
// what it puts back when a write fails.
#include "profile/ProfileHPGL.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TPolyGon WorldPoly(std::vector<TWPoint> w) {
    TPolyGon g;
    g.Count = static_cast<std::int32_t>(w.size());
    g.Pts.assign(w.size(), TScreenPoint{});
    g.WPts = std::move(w);
    g.Closed = true;
    UpdatePolyGon(g);
    return g;
}

TKviste TwoLineCave() {
    TKviste cave;
    cave.CaveName = "Testhola";
    cave.LineCount = 2;
    cave.Lines.resize(3);
    cave.Lines[1].FromName = "A1";
    cave.Lines[1].ToName = "A2  "; // as the fixed name columns of a file hold it
    cave.Lines[2].FromName = "A2";
    cave.Lines[2].ToName = "A3";
    cave.Lines[2].ScanPlane = 258.5;
    return cave;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            out.push_back(bytes.substr(at));
            break;
        }
        out.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

// The commands between the header (7 lines) and the closing "PU0 0;" "SP0;".
std::vector<std::string> Body(const std::string& bytes) {
    std::vector<std::string> l = Lines(bytes);
    if (l.size() < 9)
        return {};
    return {l.begin() + 7, l.end() - 2};
}

} // namespace

TEST(ProfileHPGL, TitleCarriesStationPlaneAndArea) {
    EXPECT_EQ(ProfileHPGLTitle("Kvitberghola", "A002", 258.5, 3.14159),
              "Kvitberghola Profile (A002) : 258.50Area =   3.14 m2");
    // Wide numbers take more room rather than being cut.
    EXPECT_EQ(ProfileHPGLTitle("X", "B1", -12.345, 12345.678),
              "X Profile (B1) : -12.35Area = 12345.68 m2");
}

TEST(ProfileHPGL, OutputNameBesideTheDataFile) {
    EXPECT_EQ(ProfileHPGLName("/d/cave.grt", "A002"), "/d/caveA002.plt");
    EXPECT_EQ(ProfileHPGLName("/d/cave.grt", "A2  "), "/d/caveA2.plt");
    EXPECT_EQ(ProfileHPGLName("cave.grt", "A2"), "caveA2.plt");
    // A name cannot send the file into another directory.
    EXPECT_EQ(ProfileHPGLName("/d/cave.grt", "a/.."), "/d/cavea_...plt");
    EXPECT_EQ(ProfileHPGLName("/d/cave.grt", "    "), "");
    EXPECT_EQ(ProfileHPGLName("", "A2"), "");
    EXPECT_EQ(ProfileHPGLName("/dir.with.dots/a.b", "A2"), "");
}

TEST(ProfileHPGL, ExtentsAreTheWorldBox) {
    const TPlotExtents none = ProfileExtents(TPolyGon{});
    EXPECT_EQ(none.MinX + none.MinY + none.MaxX + none.MaxY, 0);
    // Entirely below and left of the station: no bound may stick at 0.
    const TPlotExtents e = ProfileExtents(WorldPoly({{-5, -3}, {-2, -1}, {-4, -7}}));
    EXPECT_EQ(e.MinX, -5);
    EXPECT_EQ(e.MinY, -7);
    EXPECT_EQ(e.MaxX, -2);
    EXPECT_EQ(e.MaxY, -1);
    const TPlotExtents one = ProfileExtents(WorldPoly({{3, 4}}));
    EXPECT_EQ(one.MinX, 3);
    EXPECT_EQ(one.MaxX, 3);
    EXPECT_EQ(one.MinY, 4);
    EXPECT_EQ(one.MaxY, 4);
    // Count governs, not the size of the node array.
    TPolyGon g = WorldPoly({{1, 1}, {50, 50}});
    g.Count = 1;
    EXPECT_EQ(ProfileExtents(g).MaxX, 1);
}

TEST(ProfileHPGL, WritesFrameAndPolygonAndRestores) {
    const TempDir dir;
    TKviste cave = TwoLineCave();
    std::string current = dir.File("cave.grt");
    const TPolyGon poly = WorldPoly({{-1, -1}, {1, -1}, {1, 1}, {-1, 1}});
    const TPlotView view;
    THPGLWriter w;
    TProfileHPGLInput in{cave, current, 2, poly, "", view, "09.12.2026 12:00"};
    std::string message;
    ASSERT_TRUE(ProfileHPGLExport(w, in, message)) << message;
    EXPECT_EQ(current, dir.File("cave.grt"));
    EXPECT_EQ(cave.CaveName, "Testhola");
    EXPECT_FALSE(w.UseGivenExtents);
    EXPECT_FALSE(w.HPGLActive);
    EXPECT_EQ(w.HPGLScale, 1); // 2 m wide

    const std::string frame = ReadFileBytes(dir.File("caveA3RM.plt"));
    EXPECT_NE(frame.find("LBTesthola Profile (A3) : 258.50Area =   4.00 m2\x03;;\r\n"),
              std::string::npos)
        << frame;
    // The frame is the enlarged box: 1.15 and 1.3 of 1 m round to whole metres.
    EXPECT_NE(frame.find("PU-400 -400;\r\nPD400 -400;\r\nPD400 400;\r\n"), std::string::npos);

    const std::vector<std::string> body = Body(ReadFileBytes(dir.File("caveA3.plt")));
    const std::vector<std::string> expected = {"PU-400 -400;", "PD400 -400;", "PD400 400;",
                                               "PD-400 400;", "PD-400 -400;"};
    EXPECT_EQ(body, expected);
    EXPECT_FALSE(std::filesystem::exists(dir.File("cave.plt")));
}

TEST(ProfileHPGL, PlotterUnitsFollowTheFrameScale) {
    const TempDir dir;
    TKviste cave = TwoLineCave();
    std::string current = dir.File("cave.grt");
    // 120 m wide: 5 m to the centimetre, 80 units a metre.
    const TPolyGon poly = WorldPoly({{-60, 0}, {60, 0}, {0, 10}});
    const TPlotView view;
    THPGLWriter w;
    TProfileHPGLInput in{cave, current, 1, poly, "", view, ""};
    std::string message;
    ASSERT_TRUE(ProfileHPGLExport(w, in, message)) << message;
    EXPECT_EQ(w.HPGLScale, 5);
    const std::vector<std::string> expected = {"PU-4800 0;", "PD4800 0;", "PD0 800;", "PD-4800 0;"};
    // Line 1 ends at "A2  ": the blanks do not reach the file name.
    EXPECT_EQ(Body(ReadFileBytes(dir.File("caveA2.plt"))), expected);
}

TEST(ProfileHPGL, RefusalsAndFailedWriteRestoreEverything) {
    const TempDir dir;
    TKviste cave = TwoLineCave();
    const TPolyGon poly = WorldPoly({{-1, -1}, {1, -1}, {1, 1}});
    const TPlotView view;
    THPGLWriter w;
    std::string message;

    // A directory that does not exist: the frame cannot be created.
    const std::string missing = dir.File("gone/cave.grt");
    std::string current = missing;
    TProfileHPGLInput in{cave, current, 2, poly, "", view, ""};
    EXPECT_FALSE(ProfileHPGLExport(w, in, message));
    EXPECT_EQ(message.rfind("Could NOT write " + dir.File("gone/caveA3RM.plt") + " (", 0), 0u)
        << message;
    EXPECT_EQ(current, missing);
    EXPECT_EQ(cave.CaveName, "Testhola");
    EXPECT_FALSE(w.UseGivenExtents);
    EXPECT_FALSE(w.HPGLActive);

    // A blank station name falls back to the given one, else nothing is written.
    current = dir.File("cave.grt");
    cave.Lines[2].ToName = "    ";
    in.StationName = "P7";
    EXPECT_TRUE(ProfileHPGLExport(w, in, message)) << message;
    EXPECT_TRUE(std::filesystem::exists(dir.File("caveP7.plt")));
    in.StationName = "";
    message.clear();
    EXPECT_FALSE(ProfileHPGLExport(w, in, message));
    EXPECT_EQ(message, "The station has no name to name the plotter file after.");

    cave.Lines[2].ToName = "A3";
    current.clear();
    EXPECT_FALSE(ProfileHPGLExport(w, in, message));
    EXPECT_EQ(message, "The plotter file is named after the survey data file: read one first.");

    current = dir.File("cave.grt");
    in.Station = 3; // past the last line
    EXPECT_FALSE(ProfileHPGLExport(w, in, message));
    EXPECT_EQ(message, "No data line is shown: choose a station first.");

    const TPolyGon empty;
    TProfileHPGLInput none{cave, current, 2, empty, "", view, ""};
    EXPECT_FALSE(ProfileHPGLExport(w, none, message));
    EXPECT_EQ(message, "There is no polygon to write: draw one first.");
    EXPECT_FALSE(std::filesystem::exists(dir.File("caveA3.plt")));
}
