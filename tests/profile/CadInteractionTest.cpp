// Drawing and editing the profile polygon: figures cancel in pairs, hits, drags and the zoom box.
#include "profile/CadInteraction.h"

#include "../plot/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

// Exclusive-or bookkeeping by figure: every figure drawn an even number of times is gone.
std::map<std::tuple<std::string, int, int, int, int>, int> Parity(const TRecordingCanvas& c) {
    std::map<std::tuple<std::string, int, int, int, int>, int> seen;
    int cx = 0, cy = 0;
    for (const TCanvasCall& k : c.Calls) {
        if (k.Op == "move") {
            cx = k.X1;
            cy = k.Y1;
            continue;
        }
        std::tuple<std::string, int, int, int, int> key;
        if (k.Op == "line") {
            key = {"line", std::min(cx, k.X1), cx < k.X1 ? cy : k.Y1, std::max(cx, k.X1),
                   cx < k.X1 ? k.Y1 : cy};
            cx = k.X1;
            cy = k.Y1;
        } else {
            key = {k.Op + std::to_string(k.Brush.Colour), k.X1, k.Y1, k.X2, k.Y2};
        }
        seen[key] ^= 1;
    }
    std::erase_if(seen, [](const auto& e) { return e.second == 0; });
    return seen;
}

TCadInteraction Drawn(std::vector<TScreenPoint> pts) {
    TCadInteraction s;
    SetToPCParams(s.Map, {0, 0, 400, 400}, -5, -5, 5, 5);
    TRecordingCanvas c;
    s.StartPolygon();
    for (TScreenPoint p : pts)
        s.LeftPress(c, p);
    s.FinishPolygon(c);
    return s;
}

TEST(CadDrawTest, DrawingTwiceLeavesNothingAndFinishConverts) {
    TCadInteraction s = Drawn({{100, 100}, {300, 100}, {300, 300}, {100, 300}});
    EXPECT_TRUE(s.CadPoly.Closed);
    EXPECT_FALSE(s.DrawMode);
    ASSERT_EQ(s.CadPoly.WPts.size(), 4u);
    EXPECT_DOUBLE_EQ(s.CadPoly.WPts[0].X, -2.5);
    EXPECT_DOUBLE_EQ(s.CadPoly.WPts[0].Y, 2.5);
    EXPECT_NEAR(s.CadPoly.Area, 25, 1e-9);
    TRecordingCanvas c;
    s.DrawPolygon(c);
    EXPECT_EQ(c.Of("line").size(), 4u); // three legs and the closing leg
    EXPECT_EQ(c.Of("rect").size(), 4u);
    EXPECT_EQ(c.Pen(), TPlotPen{}); // restored
    s.DrawPolygon(c);
    EXPECT_TRUE(Parity(c).empty());
}

TEST(CadDrawTest, OneNodePolygonIsNotDrawnAndFinishesWithoutALeg) {
    TCadInteraction s;
    TRecordingCanvas c;
    s.StartPolygon();
    s.LeftPress(c, {10, 10});
    EXPECT_EQ(c.Of("rect").size(), 1u);
    c.Calls.clear();
    s.FinishPolygon(c);
    EXPECT_TRUE(s.CadPoly.Closed);
    EXPECT_TRUE(c.Calls.empty());
    s.DrawPolygon(c);
    EXPECT_TRUE(c.Calls.empty());
}

TEST(CadEditTest, HitTestPicksTheLaterNodeThenLegsThenNothing) {
    TCadInteraction s = Drawn({{100, 100}, {104, 100}, {300, 300}});
    EXPECT_EQ(s.HitTest({102, 100}), kCadHitNode);
    EXPECT_EQ(s.HitIndex, 1);
    EXPECT_TRUE(s.NodeDrag);
    EXPECT_EQ(s.HitTest({200, 200}), kCadHitLeg);
    EXPECT_FALSE(s.NodeDrag);
    EXPECT_EQ(s.HitTest({10, 390}), kCadHitNone);
    TCadInteraction empty;
    EXPECT_EQ(empty.HitTest({1, 1}), kCadHitNone);
}

TEST(CadEditTest, NodeDragMovesOnlyTheScreenNodeAndErasesItsRubberLegs) {
    TCadInteraction s = Drawn({{100, 100}, {300, 100}, {300, 300}});
    s.EditNodeMode = true;
    TRecordingCanvas c;
    s.DrawPolygon(c); // the polygon on screen
    s.LeftPress(c, {300, 300});
    ASSERT_TRUE(s.NodeDrag);
    EXPECT_EQ(s.HitIndex, 2);
    s.PointerMove(c, {250, 320}, true);
    // The last node's neighbours are node 0 and node 1.
    std::vector<TCanvasCall> lines = c.Of("line");
    EXPECT_EQ(lines.back().X1, 300);
    EXPECT_EQ(lines.back().Y1, 100);
    s.PointerMove(c, {240, 330}, true);
    s.LeftRelease(c, {240, 330});
    EXPECT_EQ(s.CadPoly.Pts[2], (TScreenPoint{240, 330}));
    EXPECT_DOUBLE_EQ(s.CadPoly.WPts[2].X, 2.5); // world nodes wait for a conversion
    s.WorldBeforeSave();
    EXPECT_DOUBLE_EQ(s.CadPoly.WPts[2].X, 1.0);
}

TEST(CadEditTest, PolygonDragAndEditCommands) {
    TCadInteraction s = Drawn({{100, 100}, {300, 100}, {300, 300}});
    s.EditNodeMode = true;
    TRecordingCanvas c;
    const TCadReply r = s.LeftPress(c, {200, 100});
    EXPECT_TRUE(r.DragCursor);
    EXPECT_TRUE(s.PolyDrag);
    s.PointerMove(c, {210, 105}, true);
    EXPECT_EQ(s.CadPoly.Pts[0], (TScreenPoint{110, 105}));
    EXPECT_TRUE(s.LeftRelease(c, {210, 105}).DefaultCursor);
    EXPECT_FALSE(s.PolyDrag);

    // Insert on a leg, delete the node hit, never below two.
    EXPECT_EQ(s.RightPress({210, 105}), TCadPopup::Edit);
    s.InsertNodeCmd(c);
    EXPECT_EQ(s.CadPoly.Count, 4);
    EXPECT_EQ(s.RightPress({110, 105}), TCadPopup::Edit);
    s.DeleteNodeCmd(c);
    EXPECT_EQ(s.CadPoly.Count, 3);
    s.RightPress(s.CadPoly.Pts[0]);
    s.DeleteNodeCmd(c);
    EXPECT_EQ(s.CadPoly.Count, 2);
    s.RightPress(s.CadPoly.Pts[0]);
    s.DeleteNodeCmd(c);
    EXPECT_EQ(s.CadPoly.Count, 2);
    s.EditNodeMode = false;
    EXPECT_EQ(s.RightPress({1, 1}), TCadPopup::Draw);

    // Flip mirrors about the station and keeps screen and world in step.
    TCadInteraction f = Drawn({{100, 100}, {150, 100}, {150, 300}});
    f.FlipCmd(c);
    EXPECT_EQ(f.CadPoly.Pts[0], (TScreenPoint{300, 100}));
    EXPECT_DOUBLE_EQ(f.CadPoly.WPts[0].X, 2.5);
}

TEST(CadZoomTest, BoxDraggedUpLeftIsIgnoredAndTheDashesMarch) {
    TCadInteraction s;
    s.ZoomMode = 1;
    TRecordingCanvas c;
    s.LeftPress(c, {100, 100});
    s.PointerMove(c, {50, 40}, true);
    EXPECT_FALSE(s.LeftRelease(c, {50, 40}).ZoomDone);
    EXPECT_TRUE(s.ZoomRectEmpty());

    s.LeftPress(c, {10, 10});
    s.PointerMove(c, {30, 20}, true);
    const std::vector<TAntPixel> px = s.ZoomBoxPixels();
    ASSERT_EQ(px.size(), 60u); // the perimeter, each corner once
    // Five black, three background, over and over.
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(px[i].Black, i % 8 < 5) << i;
    s.AntsTick();
    EXPECT_EQ(s.AntsPhase, 32);
    EXPECT_TRUE(px[0].Black);
    EXPECT_FALSE(s.ZoomBoxPixels()[0].Black); // shifted by two pixels
    for (int i = 0; i < 3; ++i)
        s.AntsTick();
    EXPECT_EQ(s.AntsPhase, 128);
    EXPECT_TRUE(s.LeftRelease(c, {30, 20}).ZoomDone);
    EXPECT_FALSE(s.ZoomRectEmpty());
}

} // namespace
