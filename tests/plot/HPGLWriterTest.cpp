// The plotter writer: units and rounding, scale choice, frame margins, labels, scale bar,
// file names, the drawing pass's commands and failed writes.
#include "plot/HPGLWriter.h"

#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

namespace {

const std::string kHeader = "IN;\r\nIP0 0 0 0;\r\nSP1;\r\nSC0 0 0 0;\r\n\r\nSP1;\r\nLT;\r\n";
const std::string kTrailer = "PU0 0;\r\nSP0;\r\n";

// The commands a writer produced between the header and the trailer, one string a line.
struct WrittenFile {
    TempDir dir;
    THPGLWriter writer;
    std::string path = dir.File("out.plt");

    WrittenFile() {
        std::string reason;
        EXPECT_TRUE(writer.OpenHPGLFile(path, reason)) << reason;
    }
    std::string Close() {
        std::string reason;
        EXPECT_TRUE(writer.CloseHPGL(reason)) << reason;
        return ReadFileBytes(path);
    }
    std::vector<std::string> Commands() {
        const std::string all = Close();
        EXPECT_EQ(all.substr(0, kHeader.size()), kHeader);
        EXPECT_EQ(all.substr(all.size() - kTrailer.size()), kTrailer);
        std::vector<std::string> lines;
        std::string body =
            all.substr(kHeader.size(), all.size() - kHeader.size() - kTrailer.size());
        for (std::size_t at = 0; at < body.size();) {
            const std::size_t end = body.find("\r\n", at);
            EXPECT_NE(end, std::string::npos) << "a line without CR LF";
            if (end == std::string::npos)
                break;
            lines.push_back(body.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
};

Tdatalinje Shot(const char* from, const char* to, TVec3 pos) {
    Tdatalinje l;
    l.FromName = from;
    l.ToName = to;
    l.Pos = pos;
    return l;
}

TPlotView PlanView() {
    TPlotView v;
    InitPlotparameters(v);
    v.VpRight = 1000;
    v.VpBottom = 1000;
    SetToPCParams(v, 0, 0, 100, 100);
    return v;
}

std::size_t Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

} // namespace

TEST(HPGLUnits, ScaleRoundingAndNoNegativeZero) {
    WrittenFile f;
    f.writer.HPGLScale = 5;
    EXPECT_EQ(f.writer.PlotterUnits(10), 800); // 120 m wide caves are drawn 1 cm to 5 m
    f.writer.HPGLScale = 400;                  // one metre is one plotter unit
    f.writer.PenUp(-0.5, 1.5);
    f.writer.PenDown(2.5, -1.5);
    f.writer.PenDown(-0.0, -0.4);
    EXPECT_EQ(f.Commands(), (std::vector<std::string>{"PU0 2;", "PD2 -2;", "PD0 0;"}));
}

TEST(HPGLFrame, ScaleFromTheWidthWithStrictBounds) {
    const std::pair<double, double> cases[] = {{500, 10}, {500.001, 20}, {300, 5},  {300.5, 10},
                                               {100, 2},  {100.1, 5},    {50, 1},   {50.01, 2},
                                               {0, 1},    {120, 5},      {2000, 20}};
    for (const auto& [width, scale] : cases)
        EXPECT_EQ(ScaleForWidth(width), scale) << "width " << width;
}

TEST(HPGLFrame, MarginsRoundToWholeMetresHalvesToEven) {
    const TPlotExtents e = EnlargedExtents({-40, 60, -40, 60});
    EXPECT_EQ(e.MinX, -46);
    EXPECT_EQ(e.MaxX, 69);
    EXPECT_EQ(e.MinY, -52);
    EXPECT_EQ(e.MaxY, 69);
    // 1.15 * 10 = 11.5 goes to 12, 1.3 * -5 = -6.5 to -6.
    const TPlotExtents h = EnlargedExtents({0, 10, -5, 0});
    EXPECT_EQ(h.MaxX, 12);
    EXPECT_EQ(h.MinY, -6);
}

TEST(HPGLFrame, ExtentsOverEveryLineInTheViewPlane) {
    TKviste cave;
    cave.StartPos = {-500, -500, 0}; // not counted: no line ends there
    cave.Lines = {Tdatalinje{}, Shot("A", "B", {10, -20, 3}), Shot("B", "C", {-5, 40, -7}),
                  Shot("C", "D", {30, 0, 0})};
    cave.Lines[3].Visible = false;
    cave.LineCount = 3;
    TPlotView view = PlanView();
    TPlotExtents e = RotatedExtents(cave, view);
    EXPECT_NEAR(e.MinX, -5, kPosTol);
    EXPECT_NEAR(e.MaxX, 30, kPosTol);
    EXPECT_NEAR(e.MinY, -20, kPosTol);
    EXPECT_NEAR(e.MaxY, 40, kPosTol);
    view.TiltAngle = 0; // elevation: heights become the view's Y
    e = RotatedExtents(cave, view);
    EXPECT_NEAR(e.MinY, -7, kPosTol);
    EXPECT_NEAR(e.MaxY, 3, kPosTol);
}

TEST(HPGLPrimitives, LabelCircleAndRectangle) {
    WrittenFile f;
    f.writer.HPGLScale = 1;
    f.writer.HPGLLabel(12, "A1  ", 1, 2);
    f.writer.HPGLLabel(16, "x", 0, 0);
    f.writer.HPGLCircle(4, 0, 0, 1, 0);
    f.writer.HPGLRect(0, 0, 1, 2);
    const std::vector<std::string> expected = {
        "PU400 800;", "DI3173.000 0.000;", "SL0.000;", "SI0.1690 0.4240;", "LBA1  \x03;;", "SP1;",
        "PU0 0;", "DI3173.000 0.000;", "SL0.000;", "SI0.2253 0.5653;", "LBx\x03;;", "SP1;",
        // Square of radius 1 m: the start point again, round, back to the start.
        "PU400 0;", "PD400 0;", "PD0 400;", "PD-400 0;", "PD0 -400;", "PD400 0;",
        // Rectangle, closed.
        "PU0 0;", "PD400 0;", "PD400 800;", "PD0 800;", "PD0 0;"};
    EXPECT_EQ(f.Commands(), expected);
}

TEST(HPGLPrimitives, ScaleBarFigureOnlyAtTheMiddleOfTenths) {
    for (const int divisions : {10, 8}) {
        WrittenFile f;
        f.writer.HPGLScale = 1;
        f.writer.HPGLScaleBar(divisions, 0, 0, 10);
        const std::vector<std::string> c = f.Commands();
        // Full height 0.5 m is 200 units, a quarter tick 100.
        std::size_t quarter = 0, full = 0;
        for (const std::string& s : c) {
            if (s.rfind("PD", 0) == 0 && s.ends_with(" 100;") && s != "PD4000 100;")
                ++quarter;
            if (s.rfind("PD", 0) == 0 && s.ends_with(" 200;"))
                ++full;
        }
        SCOPED_TRACE(divisions);
        EXPECT_EQ(Count(c, "LB0\x03;;"), 1u);
        EXPECT_EQ(Count(c, "LB 10 m\x03;;"), 1u);
        EXPECT_EQ(c.back(), "SP1;");
        EXPECT_EQ(c[c.size() - 2].substr(0, 20), "LB\"KVISTREL\"  4.023;");
        if (divisions == 10) {
            EXPECT_EQ(Count(c, "LB5\x03;;"), 1u);
            EXPECT_EQ(Count(c, "PD2000 200;"), 1u);
            EXPECT_EQ(full, 3u); // the ends and the middle
            EXPECT_EQ(quarter, 8u);
        } else {
            EXPECT_EQ(Count(c, "LB5\x03;;"), 0u);
            EXPECT_EQ(full, 2u);
            EXPECT_EQ(quarter, 7u);
        }
    }
}

TEST(HPGLFiles, NamesBesideTheDataFile) {
    EXPECT_EQ(HPGLFileName(kHPGLCave, "/d/cave.grt"), "/d/cave.plt");
    EXPECT_EQ(HPGLFileName(kHPGLFrame, "/d/cave.grt"), "/d/caveRM.plt");
    EXPECT_EQ(HPGLFileName(kHPGLGrid, "/d/cave.grt"), "/d/Rutenett.plt");
    EXPECT_EQ(HPGLFileName(7, "/d/cave.grt"), "/d/cave.plt");
    // The extension after the last dot of the name, not of a directory.
    EXPECT_EQ(HPGLFileName(kHPGLCave, "/d.x/a.b.GRT"), "/d.x/a.b.plt");
    EXPECT_EQ(HPGLFileName(kHPGLCave, "/d.x/cave"), "/d.x/cave.plt");
    EXPECT_EQ(HPGLFileName(kHPGLFrame, "cave.grt"), "caveRM.plt");
    EXPECT_EQ(HPGLFileName(kHPGLFrame, "/d/ab"), "/d/RM.plt");
}

// A shot whose from-station no shot reaches starts at its own station, without a centre line.
TEST(HPGLPass, UnlinkedShotAndLabels) {
    TKviste cave;
    cave.Lines = {Tdatalinje{}, Shot("A1  ", "A2  ", {1, 0, 0}), Shot("XX  ", "B1  ", {0, 2, 0})};
    cave.LineCount = 2;
    TPlotView view = PlanView();
    TPlotSwitches sw;
    sw.ShowLabels = true;
    TPlotColorTable colors;
    SetPlotColors(colors);
    const TStationIndex index(cave);
    TNoCanvas canvas;
    WrittenFile f;
    f.writer.HPGLScale = 1;
    TPlotPass pass{canvas, cave, view, sw, colors, index, &f.writer};
    PlottPolygon(pass);
    const std::vector<std::string> c = f.Commands();
    const std::vector<std::string> label = {"DI3173.000 0.000;", "SL0.000;", "SI0.2253 0.5653;"};
    std::vector<std::string> expected = {
        // Start hexagon of radius 0.5 m (200 units) and the pen up at the start.
        "PU200 0;", "PD200 0;", "PD100 173;", "PD-100 173;", "PD-200 0;", "PD-100 -173;",
        "PD100 -173;", "PD200 0;", "PU0 0;",
        // Line 1's from label at the start, 0.25 m to the right.
        "PU100 0;"};
    // The label's commands, then the pen up at its station.
    auto addLabel = [&](const std::string& text, const std::string& up) {
        expected.insert(expected.end(), label.begin(), label.end());
        expected.push_back("LB" + text + "\x03;;");
        expected.push_back("SP1;");
        expected.push_back(up);
    };
    addLabel("A1  ", "PU0 0;");
    expected.push_back("PD400 0;");
    expected.push_back("PU500 0;");
    addLabel("A2  ", "PU400 0;");
    expected.push_back("PU400 0;");
    // Line 2: pen up at its own station, no pen down, then its label.
    expected.push_back("PU0 800;");
    expected.push_back("PU100 800;");
    addLabel("B1  ", "PU0 800;");
    EXPECT_EQ(c, expected);
}

// An export of a cave of the given shots in the plan view with the grid on.
struct ExportFixture : ::testing::Test {
    TempDir dir;
    TKviste cave;
    TPlotView view = PlanView();
    TPlotSwitches sw;
    TPlotColorTable colors{};
    TStationIndex index;
    TNoCanvas canvas;
    THPGLWriter writer;
    std::string message;

    bool Export(const std::string& dataFile, const std::string& stamp) {
        sw.ShowGrid = true;
        SetPlotColors(colors);
        index.Build(cave);
        THPGLExportInput in{canvas, cave, view, sw, colors, index, dataFile, stamp, {}};
        return HPGLExport(writer, in, message);
    }
};

TEST_F(ExportFixture, WritesThreeFilesWithOneScale) {
    cave.CaveName = "Test";
    cave.Lines = {Tdatalinje{}, Shot("A", "B", {0, 0, 0}), Shot("B", "C", {120, 60, 0})};
    cave.LineCount = 2;
    ASSERT_TRUE(Export(dir.File("cave.grt"), "01.01.2027 12:00:00")) << message;
    EXPECT_FALSE(writer.HPGLActive);
    EXPECT_EQ(writer.HPGLScale, 5);
    const std::string frame = ReadFileBytes(dir.File("caveRM.plt"));
    EXPECT_NE(frame.find("LBViewAspect:      0/-90\x03;;\r\n"), std::string::npos);
    EXPECT_NE(frame.find("LBLaget :  01.01.2027 12:00:00\x03;;\r\n"), std::string::npos);
    EXPECT_NE(frame.find("LBTest\x03;;\r\n"), std::string::npos);
    // The cave's station 120 m east at 1 cm to 5 m.
    EXPECT_NE(ReadFileBytes(dir.File("cave.plt")).find("\r\nPD9600 4800;\r\n"), std::string::npos);
    // Grid over 0 .. 138 m (1.15 * 120) every 5 m: 29 vertical lines (round(27.6) + 1).
    const std::string grid = ReadFileBytes(dir.File("Rutenett.plt"));
    std::size_t downs = 0;
    for (std::size_t at = grid.find("PD"); at != std::string::npos; at = grid.find("PD", at + 1))
        ++downs;
    EXPECT_EQ(downs, 29u + 15u); // and 0 .. 69 m north: round(13.8) + 1
}

TEST_F(ExportFixture, FailureEndsTheExportAndLeavesNoPartialFile) {
    std::filesystem::create_directory(dir.File("Rutenett.plt")); // the grid cannot replace it
    cave.Lines = {Tdatalinje{}, Shot("A", "B", {3, 4, 0})};
    cave.LineCount = 1;
    EXPECT_FALSE(Export(dir.File("cave.grt"), "now"));
    EXPECT_EQ(message.rfind("Could NOT write " + dir.File("Rutenett.plt") + " (", 0), 0u)
        << message;
    EXPECT_FALSE(writer.HPGLActive);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Rutenett.plt", "cave.plt", "caveRM.plt"}));

    // A directory that does not exist: the first file fails and nothing is written.
    EXPECT_FALSE(Export(dir.File("missing/cave.grt"), "now"));
    EXPECT_EQ(message.rfind("Could NOT write " + dir.File("missing/caveRM.plt") + " (", 0), 0u)
        << message;
    EXPECT_FALSE(writer.HPGLActive);
    // A cave without shots has no extent to frame: nothing is written.
    cave.LineCount = 0;
    EXPECT_FALSE(Export(dir.File("empty.grt"), "now"));
    EXPECT_EQ(message, kNothingToPlot);
    EXPECT_FALSE(FileExists(dir.File("emptyRM.plt")));

    // Later drawing with the writer as sink writes nothing anywhere.
    writer.PenUp(1, 1);
    std::string reason;
    EXPECT_FALSE(writer.CloseHPGL(reason));
}
