// Polygon measuring, hit tests and editing, with the boundary cases named.
#include "profile/Polygon2D.h"

#include <gtest/gtest.h>

#include <vector>

// Values, not bytes, in failure messages.
void PrintTo(const TScreenPoint& p, std::ostream* os) {
    *os << '(' << p.X << ", " << p.Y << ')';
}
void PrintTo(const TWPoint& p, std::ostream* os) {
    *os << '(' << p.X << ", " << p.Y << ", " << p.Z << ')';
}
void PrintTo(const TPolyRect& r, std::ostream* os) {
    *os << '(' << r.Left << ", " << r.Top << ")-(" << r.Right << ", " << r.Bottom << ')';
}

namespace {

constexpr double kTol = 1e-12;

// A polygon with both node sets given; the world nodes are the screen nodes in metres.
TPolyGon Poly(std::vector<TScreenPoint> pts, std::vector<TWPoint> w = {}) {
    TPolyGon g;
    g.Pts = std::move(pts);
    g.WPts = std::move(w);
    g.Count = static_cast<std::int32_t>(g.Pts.size());
    return g;
}

TPolyGon WorldPoly(std::vector<TWPoint> w) {
    std::vector<TScreenPoint> pts(w.size());
    return Poly(pts, std::move(w));
}

TPolyGon ScreenSquare() { // nodes 0..3 clockwise on the screen
    return Poly({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
}

} // namespace

TEST(PolygonMeasure, UnitSquareBothWays) {
    for (bool clockwise : {false, true}) {
        std::vector<TWPoint> w = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
        if (clockwise)
            w = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
        TPolyGon g = WorldPoly(w);
        EXPECT_NEAR(PolyArea(g), clockwise ? -1.0 : 1.0, kTol);
        UpdatePolyGon(g);
        EXPECT_NEAR(g.Area, 1.0, kTol) << clockwise;
        EXPECT_NEAR(g.Perimeter, 4.0, kTol) << clockwise;
        EXPECT_NEAR(g.Centroid.X, 0.5, kTol) << clockwise;
        EXPECT_NEAR(g.Centroid.Y, 0.5, kTol) << clockwise;
    }
}

TEST(PolygonMeasure, TriangleKeepsPerimeterAndCentroidButGetsArea) {
    TPolyGon g = WorldPoly({{0, 0, 0}, {4, 0, 0}, {0, 3, 0}});
    g.Perimeter = 99;
    g.Centroid = {7, 8};
    UpdatePolyGon(g);
    EXPECT_NEAR(g.Area, 6.0, kTol);
    EXPECT_EQ(g.Perimeter, 99);
    EXPECT_EQ(g.Centroid, (TPolyCentroid{7, 8}));
    // On its own the perimeter of a triangle counts only the closing leg.
    EXPECT_NEAR(PolyPerimeter(g), 3.0, kTol);
}

TEST(PolygonMeasure, EmptyAndDegeneratePolygons) {
    TPolyGon empty;
    UpdatePolyGon(empty);
    EXPECT_EQ(empty.Area, 0);
    EXPECT_EQ(empty.Bounds, (TPolyRect{1000000, 1000000, 0, 0}));
    EXPECT_EQ(empty.Mid, (TScreenPoint{500000, 500000}));
    EXPECT_EQ(empty.WMinX, 1000000);
    EXPECT_EQ(empty.WMaxY, 0);
    EXPECT_EQ(MaxExtent(empty), 0);
    TPolyCentroid c{1, 1};
    PolyCentroid(empty, c);
    EXPECT_EQ(c, (TPolyCentroid{0, 0}));

    // All world X negative: the world maximum never falls below its start value 0.
    TPolyGon west = WorldPoly({{-5, 1, 0}, {-2, 1, 0}, {-2, 4, 0}, {-5, 4, 0}});
    UpdatePolyGon(west);
    EXPECT_EQ(west.WMaxX, 0);
    EXPECT_EQ(west.WMinX, -5);
    EXPECT_EQ(west.WMaxY, 4);
    EXPECT_EQ(MaxExtent(west), 5);

    // World nodes behind the screen nodes are read only as far as they go.
    TPolyGon lagging = ScreenSquare();
    lagging.WPts = {{0, 0, 0}, {1, 0, 0}};
    UpdatePolyGon(lagging);
    EXPECT_EQ(lagging.Area, 0);
}

TEST(PolygonMeasure, BoundsMidAndHandles) {
    TPolyGon g = Poly({{10, 11}, {21, 11}, {21, 20}, {10, 20}});
    UpdatePolyGon(g);
    EXPECT_EQ(g.Bounds, (TPolyRect{10, 11, 21, 20}));
    EXPECT_EQ(g.Mid, (TScreenPoint{15, 15})); // halves cut toward zero
    const std::array<TScreenPoint, 8> h = {
        TScreenPoint{10, 11}, {21, 11}, {21, 20}, {10, 20}, {15, 11}, {21, 15}, {15, 20}, {10, 15}};
    EXPECT_EQ(g.Handles, h);

    TPolyGon single = Poly({{300, 400}}); // one node: the start values stay
    UpdatePolyGon(single);
    EXPECT_EQ(single.Bounds, (TPolyRect{1000000, 1000000, 0, 0}));
}

TEST(PolygonLegs, LineParamsKinds) {
    std::uint8_t kind;
    double slope, intercept;
    LineParams({3, 3}, {3, 3}, kind, slope, intercept);
    EXPECT_EQ(kind, kLegDegenerate);
    EXPECT_EQ(slope, 0);
    LineParams({0, 0}, {10, 10}, kind, slope, intercept); // a tie is x-major
    EXPECT_EQ(kind, kLegXMajor);
    EXPECT_EQ(slope, 1);
    LineParams({2, 0}, {4, 10}, kind, slope, intercept);
    EXPECT_EQ(kind, kLegYMajor);
    EXPECT_DOUBLE_EQ(slope, 0.2);
    EXPECT_DOUBLE_EQ(intercept, 2);
}

TEST(PolygonLegs, NearLegAndNearNodeTolerances) {
    const TScreenPoint a{10, 10}, b{20, 10};
    EXPECT_TRUE(NearLeg({15, 14}, a, b));
    EXPECT_FALSE(NearLeg({15, 15}, a, b));
    EXPECT_FALSE(NearLeg({21, 10}, a, b)); // beyond the leg's extent
    EXPECT_TRUE(NearLeg({15, 6}, b, a));
    EXPECT_FALSE(NearLeg({10, 10}, a, a)); // zero length is never near
    // A steep leg measures along X.
    EXPECT_TRUE(NearLeg({14, 15}, {10, 10}, {10, 30}));
    EXPECT_FALSE(NearLeg({15, 15}, {10, 10}, {10, 30}));
    // Rounding of the leg's height: 12.5 goes to 12, so 8 is 4 off, 7 is 5 off.
    EXPECT_TRUE(NearLeg({5, 8}, {0, 10}, {10, 15}));
    EXPECT_FALSE(NearLeg({5, 17}, {0, 10}, {10, 15}));

    EXPECT_TRUE(NearNode({15, 15}, {10, 10}));
    EXPECT_TRUE(NearNode({5, 5}, {10, 10}));
    EXPECT_FALSE(NearNode({16, 10}, {10, 10}));
    EXPECT_FALSE(NearNode({10, 4}, {10, 10}));
}

TEST(PolygonLegs, FindLegNeverTheClosingLeg) {
    TPolyGon g = ScreenSquare();
    EXPECT_EQ(FindLeg(15, 11, g), 1);
    EXPECT_EQ(FindLeg(19, 15, g), 2);
    EXPECT_EQ(FindLeg(15, 19, g), 3);
    EXPECT_EQ(FindLeg(11, 15, g), 0); // the closing leg from node 3 to node 0
    EXPECT_TRUE(NearPolyGon(11, 15, g));
    EXPECT_FALSE(NearPolyGon(15, 15, g));
    EXPECT_EQ(FindLeg(15, 11, Poly({{10, 10}})), 0);
    EXPECT_FALSE(NearPolyGon(10, 10, Poly({{10, 10}})));
}

TEST(PolygonEdit, BreakLegOrderAndClosingLeg) {
    TPolyGon g = ScreenSquare();
    g.Closed = true;
    BreakLeg(19, 15, g); // leg 2, nodes 1 to 2
    EXPECT_EQ(g.Pts, (TPoints{{20, 20}, {10, 20}, {10, 10}, {20, 10}}));
    EXPECT_FALSE(g.Closed);
    EXPECT_EQ(g.Count, 4);

    TPolyGon h = ScreenSquare();
    h.Closed = true;
    BreakLeg(11, 15, h); // the closing leg: order unchanged, only opened
    EXPECT_EQ(h.Pts, ScreenSquare().Pts);
    EXPECT_FALSE(h.Closed);
}

TEST(PolygonEdit, InsertAndDeleteNodes) {
    TPolyGon g = ScreenSquare();
    g.WPts = {{1, 1, 0}};
    InsertNode(15, 12, g); // on leg 1
    EXPECT_EQ(g.Pts, (TPoints{{10, 10}, {15, 12}, {20, 10}, {20, 20}, {10, 20}}));
    EXPECT_EQ(g.Count, 5);
    EXPECT_EQ(g.WPts.size(), 1u);
    InsertNode(11, 15, g); // near the closing leg only: appended
    EXPECT_EQ(g.Pts.back(), (TScreenPoint{11, 15}));
    EXPECT_EQ(g.Count, 6);

    DeleteNode(1, g);
    EXPECT_EQ(g.Pts, (TPoints{{10, 10}, {20, 10}, {20, 20}, {10, 20}, {11, 15}}));
    EXPECT_EQ(g.Count, 5);
    EXPECT_EQ(g.Bounds, (TPolyRect{10, 10, 20, 20}));
    DeleteNode(5, g);  // past the end
    DeleteNode(-1, g); // before the start
    EXPECT_EQ(g.Count, 5);

    TPolyGon empty;
    InsertNode(3, 4, empty);
    EXPECT_EQ(empty.Pts, (TPoints{{3, 4}}));
}

TEST(PolygonEdit, MoveFlipClearAndZ) {
    TPolyGon g = ScreenSquare();
    g.WPts = {{1, 2, 0}, {3, 2, 0}, {3, 5, 0}, {1, 5, 0}};
    MovePolyGon(5, -3, g);
    EXPECT_EQ(g.Pts[0], (TScreenPoint{15, 7}));
    EXPECT_EQ(g.Bounds, (TPolyRect{15, 7, 25, 17}));
    FlipPolyGon(g);
    EXPECT_EQ(g.WPts[1].X, -3);
    EXPECT_EQ(g.Pts[1], (TScreenPoint{25, 7})); // screen nodes untouched
    EXPECT_EQ(g.WMinX, -3);
    SetPolyZ(g, 12.5);
    for (const TWPoint& w : g.WPts)
        EXPECT_EQ(w.Z, 12.5);

    TPolyGon one = Poly({{1, 1}});
    MovePolyGon(5, 5, one); // a single node does not move
    EXPECT_EQ(one.Pts[0], (TScreenPoint{1, 1}));

    g.Closed = true;
    ClearPolyGon(g);
    EXPECT_EQ(g.Count, 0);
    EXPECT_TRUE(g.Pts.empty());
    EXPECT_TRUE(g.WPts.empty());
    EXPECT_FALSE(g.Closed);
}

TEST(PolygonInside, EdgesOfTheSquare) {
    const TPoints sq = ScreenSquare().Pts;
    EXPECT_TRUE(InsidePolyGon({15, 15}, sq));
    EXPECT_TRUE(InsidePolyGon({15, 10}, sq));  // level with the top edge
    EXPECT_FALSE(InsidePolyGon({15, 20}, sq)); // level with the bottom edge
    EXPECT_FALSE(InsidePolyGon({20, 15}, sq)); // on the right edge
    EXPECT_TRUE(InsidePolyGon({10, 15}, sq));  // on the left edge
    EXPECT_FALSE(InsidePolyGon({5, 15}, sq));
    EXPECT_FALSE(InsidePolyGon({15, 15}, TPoints{}));
    // Even-odd: the inner square of a figure eight drawn twice round is outside.
    const TPoints twice = {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {0, 0}, {30, 0}, {30, 30}, {0, 30}};
    EXPECT_FALSE(InsidePolyGon({15, 15}, twice));
    // Far-off pixels whose products pass 32 bits still give the right side.
    const TPoints big = {{-2000000000, -2000000000},
                         {2000000000, -2000000000},
                         {2000000000, 2000000000},
                         {-2000000000, 2000000000}};
    EXPECT_TRUE(InsidePolyGon({0, 0}, big));
    EXPECT_FALSE(InsidePolyGon({2000000001, 0}, big));
}

TEST(PolygonEdit, FitPolyToRectScalesAboutTheLowerWorldCorner) {
    TPolyGon g = ScreenSquare();
    g.WPts = {{2, 3, 1}, {4, 3, 1}, {4, 7, 1}, {2, 7, 1}};
    UpdatePolyGon(g);
    const TPolyRect old = g.Bounds;
    g.Bounds.Right = 30; // twice as wide, as tall as before
    FitPolyToRect(g, old);
    EXPECT_EQ(g.WPts[0], (TWPoint{2, 3, 1}));
    EXPECT_EQ(g.WPts[2], (TWPoint{6, 7, 1}));
    // An old rectangle without width keeps that axis.
    TPolyRect flat = old;
    flat.Right = flat.Left;
    FitPolyToRect(g, flat);
    EXPECT_EQ(g.WPts[2].X, 6);
}

TEST(PolygonCopy, CopyIsIndependentAndNotLoaded) {
    TPolyGon src = ScreenSquare();
    src.WPts = {{1, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 2, 0}};
    src.Closed = true;
    src.Loaded = true;
    src.Name = "Lake";
    UpdatePolyGon(src);
    TPolyGon dst;
    dst.Name = "Own";
    CopyPolyGon(src, dst);
    EXPECT_EQ(dst.Count, 4);
    EXPECT_TRUE(dst.Closed);
    EXPECT_FALSE(dst.Loaded);
    EXPECT_EQ(dst.Name, "Own");
    EXPECT_EQ(dst.Area, 0); // derived fields are not copied
    MovePolyGon(100, 100, dst);
    DeleteNode(0, dst);
    dst.WPts[0].X = 50;
    EXPECT_EQ(src.Pts, ScreenSquare().Pts);
    EXPECT_EQ(src.WPts[0].X, 1);
    EXPECT_EQ(src.Count, 4);

    TPolyGon shortWorld = ScreenSquare(); // world nodes not yet converted: padded
    CopyPolyGon(shortWorld, dst);
    EXPECT_EQ(dst.WPts.size(), 4u);
}

TEST(PolygonText, FloatStrAndPointDiff) {
    std::string s;
    FloatStr(8, 2, s, 3.14159);
    EXPECT_EQ(s, "    3.14");
    FloatStr(2, 1, s, -123.45);
    EXPECT_EQ(s, "-123.5"); // wider than asked, never cut
    TScreenPoint d;
    PointDiff({5, 7}, {8, 2}, d);
    EXPECT_EQ(d, (TScreenPoint{-3, 5}));
    EXPECT_EQ(PointDist({0, 0, 5}, {3, 4, -9}), 5);
    TWPoints w = {{1, 1, 0}, {2, 2, 0}};
    TranslateWPoints(5, w, 1, -1); // a count beyond the array stops at its end
    ScaleWPoints(1, w, 2, 3);
    EXPECT_EQ(w[0], (TWPoint{4, 0, 0}));
    EXPECT_EQ(w[1], (TWPoint{3, 1, 0}));
}
