// The drawing pass on a recording canvas: order, colours, gaps, ScreenPos, grid, gnomon,
// statistics.
#include "plot/PlotRender.h"

#include "plot/RecordingCanvas.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numbers>

namespace {

Tdatalinje Shot(const char* from, const char* to, TVec3 pos) {
    Tdatalinje l;
    l.FromName = from;
    l.ToName = to;
    l.Pos = pos;
    l.Length = 1;
    return l;
}

// A1 at the start, A2 10 m east, A3 (hidden leg) 10 m north of A2, A4 east of A3,
// and a shot from a station that no shot reaches.
TKviste SmallCave() {
    TKviste cave;
    cave.Lines = {Tdatalinje{},
                  Shot("A1  ", "A1  ", {0, 0, 0}),
                  Shot("A1  ", "A2  ", {10, 0, 0}),
                  Shot("A2  ", "A3  ", {10, 10, 0}),
                  Shot("A3  ", "A4  ", {20, 10, 0}),
                  Shot("XX  ", "A5  ", {5, 5, 0})};
    cave.LineCount = 5;
    cave.Lines[3].Visible = false;
    return cave;
}

// 10 pixels per metre, the view-plane origin at pixel (0, 1000).
TPlotView TestView() {
    TPlotView v;
    InitPlotparameters(v);
    v.VpRight = 1000;
    v.VpBottom = 1000;
    v.UnitX = 2;
    v.UnitY = 3;
    SetToPCParams(v, 0, 0, 100, 100);
    return v;
}

struct PassFixture : ::testing::Test {
    TKviste cave = SmallCave();
    TPlotView view = TestView();
    TPlotSwitches sw;
    TPlotColorTable colors{};
    TRecordingCanvas canvas;
    TStationIndex index;

    void Draw(bool screen = false, bool hideOverlaps = false, TPlotWorldSink* sink = nullptr) {
        SetPlotColors(colors);
        index.Build(cave);
        canvas.SetPen({colors[kColDefault], kPenSolid, 1});
        TPlotPass pass{canvas, cave, view, sw, colors, index, sink};
        pass.CullToViewport = screen;
        pass.HideOverlappingLabels = hideOverlaps;
        PlottPolygon(pass);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const TCanvasCall& c : canvas.Of("text"))
            t.push_back(c.Text);
        return t;
    }
};

// Counts what a plotter file would receive.
struct TCountingSink : TPlotWorldSink {
    int Labels = 0, Downs = 0;
    void PenUp(double, double) override {}
    void PenDown(double, double) override { ++Downs; }
    void Label(int, const std::string&, double, double) override { ++Labels; }
    void Circle(int, double, double, double, double) override {}
};

// The viewport ends at 15 m: A4 (20, 10), A6 (30, 10) and the leg between them lie beyond its
// right edge. The screen leaves them out, yet keeps every ScreenPos for the hit test; files
// keep every element.
TEST_F(PassFixture, ScreenLeavesOutWhatLiesOutsideFilesKeepIt) {
    cave.Lines.push_back(Shot("A4  ", "A6  ", {30, 10, 0}));
    cave.LineCount = 6;
    view.VpRight = 150;
    sw.ShowLabels = sw.ShowStations = sw.ShowWalls = true;
    cave.Lines[6].RightWall = {30, 5};
    cave.Lines[6].LeftWall = {30, 15};
    Draw();
    const auto all = canvas.Calls.size();
    const auto allTexts = Texts();
    EXPECT_NE(std::find(allTexts.begin(), allTexts.end(), "A6  "), allTexts.end());

    canvas.Calls.clear();
    Draw(true);
    const auto texts = Texts();
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "A6  "), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "A2  "), texts.end());
    EXPECT_LT(canvas.Calls.size(), all);
    for (const TCanvasCall& c : canvas.Of("ellipse"))
        EXPECT_LE(c.X1, 150 + 2 * sw.StationSize);
    for (const TCanvasCall& c : canvas.Of("line"))
        EXPECT_LT(c.X1, 250) << "a line wholly right of the viewport was drawn";
    EXPECT_EQ(cave.Lines[6].ScreenPos, (TScreenPoint{300, 900}));

    // With a plotter file behind the pass nothing is left out, whatever the flags say.
    TCountingSink sink;
    canvas.Calls.clear();
    Draw(true, true, &sink);
    EXPECT_EQ(canvas.Calls.size(), all);
    EXPECT_EQ(sink.Labels, 6); // A1's start label and the five visible stations
}

// The quick picture leaves the symbols out, yet every drawn station keeps the point its symbol
// would give it: clipping and the hit test must not see the From stations instead.
TEST_F(PassFixture, QuickPictureKeepsTheStationPoints) {
    sw.ShowStations = true;
    Draw();
    std::vector<TScreenPoint> full;
    for (const Tdatalinje& l : cave.Lines)
        full.push_back(l.ScreenPos);
    sw.ShowStations = false;
    for (Tdatalinje& l : cave.Lines)
        l.ScreenPos = {};
    canvas.Calls.clear();
    SetPlotColors(colors);
    TPlotPass pass{canvas, cave, view, sw, colors, index};
    pass.StationPositionsOnly = true;
    PlottPolygon(pass);
    EXPECT_TRUE(canvas.Of("ellipse").size() == 1u); // the start marker alone
    for (std::size_t i = 1; i < cave.Lines.size(); ++i)
        EXPECT_EQ(cave.Lines[i].ScreenPos, full[i]) << i;
}

// Two stations on the same spot: with overlapping names hidden the later label is skipped on
// the screen only.
TEST_F(PassFixture, OverlappingLabelsAreSkippedOnTheScreenOnly) {
    cave.Lines[5].Pos = {10.2, 0.1, 0}; // A5 beside A2
    sw.ShowLabels = true;
    Draw(true, false);
    EXPECT_EQ(Texts().size(), 5u);
    canvas.Calls.clear();
    Draw(true, true);
    const auto texts = Texts();
    // Line 1's A1 stands on the start label's A1, and A5 on A2.
    EXPECT_EQ(texts, (std::vector<std::string>{"A1  ", "A2  ", "A4  "}));
    TCountingSink sink;
    canvas.Calls.clear();
    Draw(true, true, &sink);
    EXPECT_EQ(Texts().size(), 5u);
    EXPECT_EQ(sink.Labels, 5);
}

TEST_F(PassFixture, CentreLinesGapsAndScreenPos) {
    cave.Lines[2].Colour = 0x00123456;
    cave.Lines[2].PenStyle = kPenDash;
    cave.Lines[2].PenWidth = 3;
    Draw();
    // The start marker comes first, in the border colour, 3 * UnitX around the start.
    ASSERT_FALSE(canvas.Calls.empty());
    const TCanvasCall& marker = canvas.Calls.front();
    EXPECT_EQ(marker.Op, "ellipse");
    EXPECT_EQ(marker.Pen.Colour, kStartMarkerColour);
    EXPECT_EQ((std::array{marker.X1, marker.Y1, marker.X2, marker.Y2}),
              (std::array{-6, 994, 6, 1006}));

    const auto lines = canvas.Of("line");
    ASSERT_EQ(lines.size(), 3u); // line 1 (zero length), A1-A2, A3-A4; hidden and unlinked none
    EXPECT_EQ(lines[1].X1, 100);
    EXPECT_EQ(lines[1].Y1, 1000);
    EXPECT_EQ(lines[1].Pen, (TPlotPen{0x00123456, kPenDash, 3}));
    EXPECT_EQ(lines[2].X1, 200);
    EXPECT_EQ(lines[2].Y1, 900);
    EXPECT_EQ(lines[2].Pen, (TPlotPen{kColourYellow, kPenSolid, 1})); // restored
    // A3-A4 starts at A3 although the leg to A3 is hidden.
    auto it = std::find_if(canvas.Calls.begin(), canvas.Calls.end(),
                           [](const TCanvasCall& c) { return c.Op == "line" && c.X1 == 200; });
    ASSERT_NE(it, canvas.Calls.begin());
    EXPECT_EQ(std::prev(it)->Op, "move");
    EXPECT_EQ(std::prev(it)->X1, 100);
    EXPECT_EQ(std::prev(it)->Y1, 900);

    EXPECT_EQ(cave.Lines[1].ScreenPos, (TScreenPoint{0, 1000}));
    EXPECT_EQ(cave.Lines[2].ScreenPos, (TScreenPoint{0, 1000}));   // its From point
    EXPECT_EQ(cave.Lines[3].ScreenPos, (TScreenPoint{100, 1000})); // hidden: still set
    EXPECT_EQ(cave.Lines[5].ScreenPos, (TScreenPoint{50, 950}));   // unlinked: its own point

    canvas.Calls.clear();
    sw.ShowCentreLines = false;
    Draw();
    EXPECT_TRUE(canvas.Of("line").empty());
}

TEST_F(PassFixture, StationSymbolsAndLabels) {
    cave.Lines[2].Comment = "low crawl";
    cave.Lines[2].HasComment = true;
    cave.Lines[4].HasPhotos = true;
    sw.ShowStations = true;
    sw.ShowLabels = true;
    Draw();
    const auto ellipses = canvas.Of("ellipse");
    ASSERT_EQ(ellipses.size(), 5u); // marker and the four visible stations
    EXPECT_EQ(ellipses[1].Brush.Colour, kColourBlue);
    EXPECT_EQ(ellipses[2].Brush.Colour, kColourRed);
    EXPECT_EQ((std::array{ellipses[2].X1, ellipses[2].Y1}), (std::array{95, 995}));
    EXPECT_EQ(ellipses[3].Brush.Colour, kColourBlue); // photos count only when switched on
    EXPECT_EQ(cave.Lines[4].ScreenPos, (TScreenPoint{200, 900}));

    const auto texts = canvas.Of("text");
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "A1  "); // From of line 1, at the start point
    EXPECT_EQ((std::array{texts[0].X1, texts[0].Y1}), (std::array{4, 994}));
    EXPECT_EQ(texts[0].FontColour, kColourFuchsia);
    EXPECT_EQ(canvas.FontColour(), kColourYellow);

    canvas.Calls.clear();
    sw.ShowPhotoStations = true;
    sw.CommentedOnly = true;
    cave.Lines[4].Comment = "x";
    Draw();
    const auto onlyCommented = canvas.Of("ellipse");
    ASSERT_EQ(onlyCommented.size(), 3u);
    EXPECT_EQ(onlyCommented[1].Brush.Colour, kColourRed);
    EXPECT_EQ(onlyCommented[2].Brush.Colour, kColourFuchsia);    // photos win over the comment
    EXPECT_EQ(cave.Lines[5].ScreenPos, (TScreenPoint{50, 950})); // no circle, still placed
}

TEST_F(PassFixture, WallTicksBeforeTheLegAndScans) {
    Tdatalinje& a2 = cave.Lines[2];
    a2.RightWall = {10, -2};
    a2.LeftWall = {10, 3};
    a2.FloorZ = -1;
    a2.CeilingZ = 2;
    a2.HasScan = true;
    a2.ScanCount = 3;
    a2.ScanPoints.resize(3);
    a2.ScanPoints[0].World = {10, 1, 0};
    a2.ScanPoints[1].World = {11, 1, 0};
    a2.ScanPoints[2].World = {12, 1, 0};
    cave.LineCount = 2;
    sw.ShowWalls = true;
    sw.ShowCrossSections = true;
    sw.ScanPointMode = true;
    Draw();
    // Line 2's ticks: four dotted red lines, each ending in a white pixel, then the leg.
    std::vector<TCanvasCall> seq;
    for (const TCanvasCall& c : canvas.Calls)
        if ((c.Op == "line" || c.Op == "pixel") && c.Pen.Colour == kColourRed)
            seq.push_back(c);
    ASSERT_GE(seq.size(), 8u);
    const int ends[4][2] = {{100, 1020}, {100, 970}, {100, 1000}, {100, 1000}};
    const std::size_t base = seq.size() - 8; // line 1's ticks come first
    for (int k = 0; k < 4; ++k) {
        const TCanvasCall& line = seq[base + 2 * static_cast<std::size_t>(k)];
        const TCanvasCall& dot = seq[base + 2 * static_cast<std::size_t>(k) + 1];
        EXPECT_EQ(line.Op, "line");
        EXPECT_EQ(line.Pen.Style, kPenDot);
        EXPECT_EQ((std::array{line.X1, line.Y1}), (std::array{ends[k][0], ends[k][1]}));
        EXPECT_EQ(dot.Op, "pixel");
        EXPECT_EQ(dot.PixelColour, kColourWhite);
    }
    auto legIt = std::find_if(canvas.Calls.begin(), canvas.Calls.end(), [](const TCanvasCall& c) {
        return c.Op == "line" && c.X1 == 100 && c.Pen.Colour == kColourYellow;
    });
    auto lastDot =
        std::find_if(canvas.Calls.rbegin(), canvas.Calls.rend(), [](const TCanvasCall& c) {
            return c.Op == "pixel" && c.PixelColour == kColourWhite;
        });
    EXPECT_LE(lastDot.base() - canvas.Calls.begin(), legIt - canvas.Calls.begin());

    const auto pixels = canvas.Of("pixel");
    ASSERT_GE(pixels.size(), 2u);
    EXPECT_EQ(pixels[pixels.size() - 2].PixelColour, sw.ScanColour); // points after the first
    EXPECT_EQ((std::array{pixels.back().X1, pixels.back().Y1}), (std::array{120, 990}));
    EXPECT_EQ(canvas.Pen(), (TPlotPen{kColourYellow, kPenSolid, 1}));
}

// World sink of the plotter export: the same elements in the same order.
struct RecordingSink : TPlotWorldSink {
    std::vector<std::string> Calls;
    void PenUp(double x, double y) override { Calls.push_back(Fmt("PU", x, y)); }
    void PenDown(double x, double y) override { Calls.push_back(Fmt("PD", x, y)); }
    void Label(int size, const std::string& t, double x, double y) override {
        Calls.push_back(Fmt("LB" + std::to_string(size) + t, x, y));
    }
    void Circle(int sides, double cx, double cy, double r, double) override {
        Calls.push_back(Fmt("CI" + std::to_string(sides) + "/" + FormatReal(r, 0, 1), cx, cy));
    }
    static std::string Fmt(const std::string& op, double x, double y) {
        return op + " " + FormatReal(x, 0, 2) + " " + FormatReal(y, 0, 2);
    }
};

TEST_F(PassFixture, SecondSinkGetsTheSameElements) {
    cave.LineCount = 2;
    sw.ShowStations = true;
    RecordingSink sink;
    SetPlotColors(colors);
    index.Build(cave);
    TPlotPass pass{canvas, cave, view, sw, colors, index, &sink};
    PlottPolygon(pass);
    const std::vector<std::string> expected = {
        "CI6/0.5 0.00 0.00",  "PU 0.00 0.00", "PD 0.00 0.00", "CI8/0.5 0.00 0.00",
        "PU 0.00 0.00",       "PU 0.00 0.00", "PU 0.00 0.00", "PD 10.00 0.00",
        "CI8/0.5 10.00 0.00", "PU 10.00 0.00"};
    EXPECT_EQ(sink.Calls, expected);
}

TEST(GridTest, SpacingTableAndExtent) {
    EXPECT_DOUBLE_EQ(GridSpacing(150), 10);
    EXPECT_DOUBLE_EQ(GridSpacing(2000), 1000);
    EXPECT_DOUBLE_EQ(GridSpacing(1999.9), 100);
    EXPECT_DOUBLE_EQ(GridSpacing(1.6), 0.1);
    EXPECT_DOUBLE_EQ(GridSpacing(1.4), 0.01);
    EXPECT_DOUBLE_EQ(GridSpacing(15), 1);

    TPlotView v = TestView();
    SetToPCParams(v, 10, 0, 50, 40);
    TRecordingCanvas c;
    TPlotColorTable colors;
    SetPlotColors(colors);
    TegnGrid(c, v, colors, 10, 40, 50, 0);
    const auto lines = c.Of("line");
    // Axes first (lime, dotted): X = 0 although it lies west of the view.
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].Pen.Colour, colors[kColAxis]);
    EXPECT_EQ(lines[0].Pen.Style, kPenDot);
    EXPECT_EQ(lines[0].X1, -250);
    std::vector<std::string> vertical;
    for (const TCanvasCall& t : c.Of("text"))
        if (t.Y1 == 0 && t.X1 != 2 * v.UnitX)
            vertical.push_back(t.Text);
    EXPECT_EQ(vertical, (std::vector<std::string>{"10.0", "20.0", "30.0", "40.0", "50.0", "60.0",
                                                  "70.0", "80.0", "90.0"}));
    EXPECT_EQ(lines[2].Pen.Colour, colors[kColGrid]);
    EXPECT_EQ(c.Pen(), (TPlotPen{colors[kColDefault], kPenSolid, 1}));

    const TGridExtent e = GridExtent(-5, 40, 50, -3);
    EXPECT_DOUBLE_EQ(e.West, -10);
    EXPECT_DOUBLE_EQ(e.East, 100);
    EXPECT_DOUBLE_EQ(e.South, -6);
    EXPECT_DOUBLE_EQ(e.North, 80);
}

TEST(GridTest, EndlessZoomOutStaysBounded) {
    TPlotView v = TestView();
    SetToPCParams(v, -1e12, -1e12, 1e12, 1e12);
    TRecordingCanvas c;
    TPlotColorTable colors;
    SetPlotColors(colors);
    TegnGrid(c, v, colors, -1e12, 1e12, 1e12, -1e12);
    EXPECT_LT(c.Calls.size(), 1000000u);
}

TEST(GnomonTest, StartViewLabels) {
    TPlotView v;
    InitPlotparameters(v);
    v.UnitX = 2;
    v.UnitY = 3;
    v.GnomLeft = 1;
    v.GnomTop = 1;
    v.GnomWidth = 121;
    v.GnomHeight = 121;
    TRecordingCanvas c;
    PlottGnomon(c, v);
    std::map<std::string, TCanvasCall> label;
    for (const TCanvasCall& t : c.Of("text"))
        label[t.Text] = t;
    const int cx = 60, cy = 68; // 1.5 and 1.7 thirds of 120
    ASSERT_TRUE(label.count("N") && label.count("E") && label.count("D") && label.count("U"));
    EXPECT_LT(label["N"].Y1, cy);
    EXPECT_GT(label["E"].X1, cx);
    EXPECT_EQ(label["D"].FontColour, kColourSkyBlue);
    for (const char* k : {"W", "E", "S", "N", "U"})
        EXPECT_EQ(label[k].FontColour, kColourYellow) << k;
    EXPECT_TRUE(label.count(" 0.00/-90.0"));
    EXPECT_TRUE(label.count("Step:10.0 "));
    EXPECT_TRUE(label.count("SimulRot"));
    EXPECT_EQ(c.Calls.front().Op, "rect");
    EXPECT_EQ(c.Calls.front().Brush.Colour, kColourBlack);
    v.RotationMode = true;
    c.Calls.clear();
    PlottGnomon(c, v);
    EXPECT_EQ(c.Calls.front().Brush.Colour, kColourNavy);
}

// Every text of the gnomon inside its box, and the fixed texts clear of each other and of the
// axis labels, for boxes from small to large and views all round.
TEST(GnomonTest, TextsReadableAtEverySize) {
    struct Box {
        int X1, Y1, X2, Y2;
        std::string Text;
    };
    auto overlap = [](const Box& a, const Box& b) {
        return a.X1 < b.X2 && b.X1 < a.X2 && a.Y1 < b.Y2 && b.Y1 < a.Y2;
    };
    for (int side : {90, 121, 200})
        for (double rot = 0; rot < 360; rot += 45)
            for (double tilt : {-90.0, -45.0, 0.0, 60.0}) {
                TPlotView v;
                InitPlotparameters(v);
                v.UnitX = 6; // the units of a large plot surface
                v.UnitY = 7;
                v.GnomLeft = v.GnomTop = 1;
                v.GnomWidth = v.GnomHeight = side + 1;
                v.RotAngle = rot;
                v.TiltAngle = tilt;
                v.RotStep = 0.5;
                TRecordingCanvas c;
                PlottGnomon(c, v);
                std::vector<Box> fixed, axes;
                for (const TCanvasCall& t : c.Of("text")) {
                    const Box b{t.X1, t.Y1, t.X1 + c.TextWidth(t.Text), t.Y1 + 10, t.Text};
                    EXPECT_TRUE(b.X1 >= 0 && b.Y1 >= 0 && b.X2 <= side && b.Y2 <= side)
                        << t.Text << " at " << b.X1 << "," << b.Y1 << " in " << side;
                    (t.Text.size() == 1 ? axes : fixed).push_back(b);
                }
                ASSERT_EQ(fixed.size(), 3u);
                ASSERT_EQ(axes.size(), 6u);
                for (std::size_t i = 0; i < fixed.size(); ++i) {
                    for (std::size_t j = i + 1; j < fixed.size(); ++j)
                        EXPECT_FALSE(overlap(fixed[i], fixed[j]))
                            << fixed[i].Text << " / " << fixed[j].Text << " in " << side;
                    for (const Box& a : axes)
                        EXPECT_FALSE(overlap(fixed[i], a))
                            << fixed[i].Text << " / " << a.Text << " in " << side << " at " << rot
                            << "/" << tilt;
                }
            }
}

TEST(StatisticsTest, SingleLegAndTwoLegs) {
    TKviste cave;
    cave.Lines = {Tdatalinje{}, Shot("A0  ", "A1  ", {0, 10, -3})};
    cave.Lines[1].Length = 10;
    cave.LineCount = 1;
    TStationIndex index(cave);
    TStatData st = GetStatData(cave, index);
    EXPECT_EQ(st.Legs, 1);
    EXPECT_DOUBLE_EQ(st.Length, 10);
    EXPECT_NEAR(st.Depth, 3, 1e-6);
    EXPECT_EQ(st.Area, 0);
    EXPECT_EQ(st.Volume, 0);
    EXPECT_EQ(st.Surface, 0);

    // Round passages 2 m wide and high: known area, volume and surface of a 10 m leg.
    cave.Lines = {Tdatalinje{}, Shot("A0  ", "A1  ", {0, 0, 0}), Shot("A1  ", "A2  ", {0, 10, 0})};
    cave.LineCount = 2;
    for (Tdatalinje* l : {&cave.Lines[1], &cave.Lines[2]})
        l->Right = l->Left = l->Up = l->Down = 1;
    cave.Lines[2].Length = 10;
    cave.Lines[1].Length = 0; // no leg, yet the predecessor of A1-A2
    index.Build(cave);
    st = GetStatData(cave, index);
    const double pi = std::numbers::pi;
    EXPECT_EQ(st.Legs, 1);
    EXPECT_NEAR(st.Area, 20, 1e-9);
    EXPECT_NEAR(st.Volume, 10 * pi, 1e-9);
    EXPECT_NEAR(st.Surface, 10 * pi, 1e-9);

    cave.Lines[2].Visible = false; // excluded stations drop out
    st = GetStatData(cave, index);
    EXPECT_EQ(st.Legs, 0);
    EXPECT_EQ(st.Depth, 0);
}

} // namespace
