// The clip polygon's modes, drags and figures on a parity canvas, and the clipping pass
// against the plain polygon test.
#include "plot/ClipPolyInteraction.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

namespace {

// What exclusive-or leaves on the picture: every figure drawn an odd number of times.
class TParityCanvas : public TPlotCanvas {
public:
    using TKey = std::tuple<std::string, int, int, int, int, std::uint32_t, int, bool>;
    std::map<TKey, int> Count;

    void MoveTo(int x, int y) override { x_ = x, y_ = y; }
    void LineTo(int x, int y) override {
        Add("line", std::min(std::pair(x_, y_), std::pair(x, y)),
            std::max(std::pair(x_, y_), std::pair(x, y)));
        x_ = x, y_ = y;
    }
    void Ellipse(int x1, int y1, int x2, int y2) override { Add("ellipse", {x1, y1}, {x2, y2}); }
    void Rectangle(int x1, int y1, int x2, int y2) override { Add("rect", {x1, y1}, {x2, y2}); }
    void SetPixel(int x, int y, std::uint32_t) override { Add("pixel", {x, y}, {x, y}); }
    void TextOut(int, int, const std::string&) override {}
    int TextWidth(const std::string&) override { return 0; }
    int TextHeight(const std::string&) override { return 0; }

    std::map<TKey, int> Shown() const {
        std::map<TKey, int> odd;
        for (const auto& [k, n] : Count)
            if (n % 2)
                odd[k] = 1;
        return odd;
    }

private:
    void Add(const char* op, std::pair<int, int> a, std::pair<int, int> b) {
        ++Count[{op, a.first, a.second, b.first, b.second, Pen().Colour, Pen().Width,
                 Brush().Solid}];
    }
    int x_ = 0, y_ = 0;
};

TPlotView View() {
    TPlotView v;
    InitPlotparameters(v);
    v.VpRight = 1000;
    v.VpBottom = 1000;
    SetToPCParams(v, 0, 0, 100, 100); // 10 pixels per metre
    return v;
}

std::map<TParityCanvas::TKey, int> FiguresOf(const TPolyGon& g, bool handles) {
    TParityCanvas c;
    DrawClipPolygon(c, g.Pts, g.Closed, false);
    if (handles)
        DrawPolyGonRect(c, g);
    return c.Shown();
}

// A closed square polygon entered with the mouse, as the window does it.
struct ClipFixture : ::testing::Test {
    TClipPolyInteraction clip;
    TPlotView view = View();
    TParityCanvas canvas;
    void SetUp() override {
        clip.DrawNewPolyGon();
        clip.NewPolyGon(canvas);
        for (TScreenPoint p : {TScreenPoint{100, 100}, {300, 100}, {300, 300}, {100, 300}})
            clip.LeftPress(canvas, view, p, false);
        clip.ClosePolyGon(canvas, view, 4.5);
        clip.EditPolyGon();
    }
};

} // namespace

TEST_F(ClipFixture, EntryAndClosingLeaveExactlyThePolygon) {
    EXPECT_TRUE(clip.ClipPoly.Closed && clip.ClipPoly.Loaded);
    EXPECT_FALSE(clip.NewPolyMode);
    ASSERT_EQ(clip.ClipPoly.WPts.size(), 4u);
    EXPECT_DOUBLE_EQ(clip.ClipPoly.WPts[1].X, 30);
    EXPECT_DOUBLE_EQ(clip.ClipPoly.WPts[1].Y, 90);
    EXPECT_EQ(clip.ClipPoly.WPts[3].Z, 4.5);
    EXPECT_DOUBLE_EQ(clip.ClipPoly.Area, 400);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));
    clip.HideShow(canvas);
    EXPECT_TRUE(canvas.Shown().empty());
    clip.HideShow(canvas);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));
}

TEST_F(ClipFixture, NodeDragMoveAndResizeKeepThePictureExact) {
    clip.LeftPress(canvas, view, {302, 98}, false); // node 1, within 5 pixels
    EXPECT_EQ(clip.HitKind, kHitNode);
    EXPECT_EQ(clip.NodeIndex, 1);
    EXPECT_TRUE(clip.NodeDrag);
    clip.PointerMove(canvas, view, {320, 80});
    clip.PointerMove(canvas, view, {350, 60});
    clip.LeftRelease(canvas, view);
    EXPECT_FALSE(clip.NodeDrag);
    EXPECT_EQ(clip.ClipPoly.Pts[1], (TScreenPoint{350, 60}));
    EXPECT_DOUBLE_EQ(clip.ClipPoly.WPts[1].X, 35);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));

    const TClipReply press = clip.LeftPress(canvas, view, {200, 302}, false); // bottom edge
    EXPECT_EQ(clip.HitKind, kHitEdge);
    EXPECT_TRUE(press.DragCursor);
    clip.PointerMove(canvas, view, {210, 322});
    EXPECT_TRUE(clip.PolyMove);
    EXPECT_NE(canvas.Shown(), FiguresOf(clip.ClipPoly, false)); // drawn red while moving
    EXPECT_TRUE(clip.LeftRelease(canvas, view).DefaultCursor);
    EXPECT_EQ(clip.ClipPoly.Pts[0], (TScreenPoint{110, 120}));
    EXPECT_DOUBLE_EQ(clip.ClipPoly.WPts[0].X, 11);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));

    // Double click on an edge: handles; drag the bottom-right corner; double click leaves.
    clip.LeftPress(canvas, view, {210, 322}, false);
    clip.LeftRelease(canvas, view);
    clip.LeftPress(canvas, view, {210, 322}, true);
    clip.LeftRelease(canvas, view);
    EXPECT_TRUE(clip.RectMode);
    EXPECT_FALSE(clip.PolyMove);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, true));
    const TPolyRect old = clip.ClipPoly.Bounds;
    clip.LeftPress(canvas, view, clip.ClipPoly.Handles[kHandleBottomRight], false);
    EXPECT_EQ(clip.CornerIndex, 3);
    const TScreenPoint to{old.Right + old.Right - old.Left, old.Bottom};
    clip.PointerMove(canvas, view, to);
    clip.LeftRelease(canvas, view);
    EXPECT_FALSE(clip.CornerDrag);
    // Twice as wide about the lower-left corner (on the screen: left and bottom stay).
    EXPECT_EQ(clip.ClipPoly.Bounds.Left, old.Left);
    EXPECT_EQ(clip.ClipPoly.Bounds.Bottom, old.Bottom);
    EXPECT_EQ(clip.ClipPoly.Bounds.Right - clip.ClipPoly.Bounds.Left, 2 * (old.Right - old.Left));
    EXPECT_EQ(clip.ClipPoly.Bounds.Top, old.Top);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, true));
    EXPECT_TRUE(clip.LeftPress(canvas, view, {0, 0}, true).FullRedraw);
    EXPECT_FALSE(clip.RectMode);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));
}

TEST_F(ClipFixture, RightPressMenusAddAndDeleteNodes) {
    EXPECT_EQ(clip.RightPress({0, 0}), TClipPopup::Action);
    EXPECT_EQ(clip.RightPress({300, 300}), TClipPopup::EditNode);
    EXPECT_EQ(clip.HitKind, kHitNode);
    EXPECT_FALSE(clip.NodeDrag);
    EXPECT_FALSE(clip.AddNode(canvas, view, {300, 300}));
    EXPECT_EQ(clip.RightPress({200, 103}), TClipPopup::EditNode);
    EXPECT_EQ(clip.HitKind, kHitEdge);
    EXPECT_FALSE(clip.DeleteNodeCmd(canvas, view));
    EXPECT_TRUE(clip.AddNode(canvas, view, {200, 103}));
    EXPECT_EQ(clip.ClipPoly.Count, 5);
    EXPECT_EQ(clip.ClipPoly.WPts.size(), 5u); // the new node has its world point
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));
    for (int k = 0; k < 4; ++k) {
        clip.RightPress(clip.ClipPoly.Pts[0]);
        clip.DeleteNodeCmd(canvas, view);
    }
    EXPECT_EQ(clip.ClipPoly.Count, 2);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));
    clip.EditMode = false;
    EXPECT_EQ(clip.RightPress({0, 0}), TClipPopup::Poly);
    clip.ClipActive = false;
    EXPECT_EQ(clip.RightPress({0, 0}), TClipPopup::None);
}

TEST_F(ClipFixture, RedrawFollowsTheViewAndInfoText) {
    clip.ClipPoly.Name = "Lake";
    EXPECT_EQ(clip.InfoText(), "Lake :4 nodes, Area :   400.00 m2, Perimeter:    80.00 m");
    view.Limits = {0, 50, 50, 100}; // zoomed in twice, on the upper left quarter
    SetToPCParams(view, 0, 50, 50, 100);
    TParityCanvas fresh;
    clip.PictureCleared();
    clip.PlottClipPolyGoner(fresh, view, true);
    EXPECT_EQ(clip.ClipPoly.Pts[0], (TScreenPoint{200, 200}));
    EXPECT_EQ(fresh.Shown(), FiguresOf(clip.ClipPoly, false));
    clip.DeletePolygon(fresh);
    EXPECT_TRUE(fresh.Shown().empty());
    EXPECT_EQ(clip.InfoText(), "");
}

TEST(ClipPolyClose, FewerThanThreeNodesEmptyAndErase) {
    TClipPolyInteraction clip;
    TParityCanvas c;
    const TPlotView view = View();
    clip.NewPolyGon(c);
    clip.LeftPress(c, view, {10, 10}, false);
    clip.LeftPress(c, view, {50, 10}, false);
    EXPECT_FALSE(c.Shown().empty());
    clip.ClosePolyGon(c, view, 0);
    EXPECT_EQ(clip.ClipPoly.Count, 0);
    EXPECT_FALSE(clip.ClipPoly.Loaded);
    EXPECT_TRUE(c.Shown().empty());
}

TEST_F(ClipFixture, NewPolygonAfterAClosedOneStartsEmpty) {
    clip.RectMode = true;
    clip.NewPolyGon(canvas);
    EXPECT_EQ(clip.ClipPoly.Count, 0);
    EXPECT_FALSE(clip.ClipPoly.Closed);
    EXPECT_FALSE(clip.RectMode);
    EXPECT_TRUE(canvas.Shown().empty());
    clip.LeftPress(canvas, view, {5, 5}, false);
    EXPECT_EQ(clip.ClipPoly.Count, 1);
    // An open polygon being entered is extended, not replaced.
    clip.NewPolyGon(canvas);
    clip.LeftPress(canvas, view, {50, 5}, false);
    EXPECT_EQ(clip.ClipPoly.Count, 2);
    EXPECT_EQ(canvas.Shown(), FiguresOf(clip.ClipPoly, false));
}

// The clipping pass against InsidePolyGon on every point of a grid, for polygons that take
// each of its paths: pixel rows, slabs of a tall polygon, and the plain list of a comb.
TEST(ClipPass, AgreesWithThePolygonTest) {
    std::mt19937 rng(7);
    std::vector<TPoints> polys;
    for (int k = 0; k < 20; ++k) { // random, self-crossing, with level legs
        TPoints p;
        std::uniform_int_distribution<int> d(0, 60);
        const int n = 3 + k % 9;
        for (int i = 0; i < n; ++i)
            p.push_back({d(rng), d(rng) / 4 * 4});
        polys.push_back(p);
    }
    TPoints tall = {{0, -3000000}, {60, 0}, {10, 3000000}, {-20, 20}};
    polys.push_back(tall);
    TPoints comb; // tall teeth of many heights: more slab entries than are worth keeping
    for (int i = 0; i < 600; ++i)
        comb.push_back({i / 10, i % 2 ? 0 : 1000 - i});
    polys.push_back(comb);

    TKviste cave;
    for (int y = -5; y <= 65; ++y)
        for (int x = -5; x <= 65; ++x) {
            Tdatalinje l;
            l.ScreenPos = {x, y};
            cave.Lines.push_back(l);
        }
    cave.Lines.push_back(Tdatalinje{});
    cave.Lines.back().ScreenPos = {5, 2999999};
    cave.LineCount = static_cast<std::int32_t>(cave.Lines.size()) - 1;

    for (std::size_t k = 0; k < polys.size(); ++k) {
        TPolyGon g;
        g.Pts = polys[k];
        g.Count = static_cast<std::int32_t>(g.Pts.size());
        for (int mode : {kClipOutside, kClipInside}) {
            SettPolyClppingToCave(cave, g, mode);
            for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
                const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
                const bool inside = InsidePolyGon(l.ScreenPos, g.Pts);
                ASSERT_EQ(l.Visible, inside != (mode == kClipInside))
                    << "polygon " << k << " at " << l.ScreenPos.X << "," << l.ScreenPos.Y;
            }
        }
    }
    ResetClipping(cave);
    for (std::size_t i = 1; i < cave.Lines.size(); ++i)
        ASSERT_TRUE(cave.Lines[i].Visible);

    TPolyGon empty;
    SettPolyClppingToCave(cave, empty, kClipOutside); // no polygon: everything outside
    EXPECT_FALSE(cave.Lines[1].Visible);
}

namespace {
struct TSinkCall {
    bool Down;
    double X, Y;
    friend bool operator==(const TSinkCall&, const TSinkCall&) = default;
};
class TRecordingSink : public TPlotWorldSink {
public:
    std::vector<TSinkCall> Calls;
    void PenUp(double x, double y) override { Calls.push_back({false, x, y}); }
    void PenDown(double x, double y) override { Calls.push_back({true, x, y}); }
    void Label(int, const std::string&, double, double) override {}
    void Circle(int, double, double, double, double) override {}
};
} // namespace

TEST_F(ClipFixture, PrintableOnlyWhenMarked) {
    TRecordingSink sink;
    PlotClipPolygon(clip, sink);
    EXPECT_TRUE(sink.Calls.empty());
    clip.Printable = true;
    TWPoints nodes;
    bool closed = false;
    ASSERT_TRUE(PrintableClipPolygon(clip, nodes, closed));
    EXPECT_EQ(nodes.size(), 4u);
    EXPECT_TRUE(closed);
    PlotClipPolygon(clip, sink);
    ASSERT_EQ(sink.Calls.size(), 6u);
    EXPECT_EQ(sink.Calls[0], (TSinkCall{false, 10, 90}));
    EXPECT_EQ(sink.Calls[1], (TSinkCall{true, 10, 90}));
    EXPECT_EQ(sink.Calls[5], (TSinkCall{true, 10, 90}));
}
