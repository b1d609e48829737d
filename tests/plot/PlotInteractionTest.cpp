// Station hit test, finder rows, hint box and read-out texts.
#include "plot/PlotInteraction.h"

#include <gtest/gtest.h>

namespace {

TKviste TwoStations(TScreenPoint a, TScreenPoint b) {
    TKviste cave;
    cave.Lines.resize(3);
    cave.LineCount = 2;
    cave.Lines[1].ScreenPos = a;
    cave.Lines[2].ScreenPos = b;
    cave.Lines[2].HasComment = true;
    return cave;
}

TEST(StationHitTest, FivePixelsHitSixMissLaterWins) {
    TKviste cave = TwoStations({100, 100}, {300, 300});
    TPlotSwitches sw;
    EXPECT_EQ(StationHitTest(cave, sw, 100, 100), 0); // symbols not drawn
    sw.ShowStations = true;
    EXPECT_EQ(StationHitTest(cave, sw, 105, 95), 1);
    EXPECT_EQ(StationHitTest(cave, sw, 106, 100), 0);
    EXPECT_EQ(StationHitTest(cave, sw, 100, 94), 0);

    cave = TwoStations({100, 100}, {103, 102});
    EXPECT_EQ(StationHitTest(cave, sw, 101, 101), 2);
    sw.CommentedOnly = true;
    cave.Lines[2].HasComment = false;
    EXPECT_EQ(StationHitTest(cave, sw, 101, 101), 0);
}

TEST(FinderTest, RowCounts) {
    EXPECT_EQ(FinderRowCount(23), 3);
    EXPECT_EQ(FinderRowCount(0), 1);
    for (int n = 0; n < 500; ++n)
        EXPECT_GE(FinderRowCount(n) * kFinderColumns, n) << n;
}

TEST(HintTest, WrapsBeyondAFifthOfTheWindow) {
    THintSize s = HintSize(1000, 100, 12);
    EXPECT_EQ(s.Width, 110);
    EXPECT_EQ(s.Height, 24);
    s = HintSize(1000, 450, 12);
    EXPECT_EQ(s.Width, 203);
    EXPECT_EQ(s.Height, 12 * (450 / 203) + 24);
}

TEST(TextsTest, CommentsLimitsAndStatistics) {
    Tdatalinje l;
    l.ToName = "A12 ";
    EXPECT_EQ(PopupTitle(l), "Station( A12 :  )");
    EXPECT_EQ(ShowCommentText(l), ": Not commented");
    l.HasComment = true;
    l.Comment = "Sump";
    EXPECT_EQ(ShowCommentText(l), "A12 : Sump");
    EXPECT_EQ(LimitLabelText("W: ", -12.25), "W:  -12.2");
    EXPECT_EQ(PointerText("East  = ", 3.14159), "East  =  3.14");
    TStatData st;
    st.Length = 12.34;
    st.Legs = 2;
    st.Volume = 1234567.8;
    const TStatTexts t = StatTexts(st);
    EXPECT_EQ(t.Length, "  12.3 m");
    EXPECT_EQ(t.Legs, "2");
    EXPECT_EQ(t.Volume, "1234567.8 m3");
}

} // namespace
