// The grid editor's cell conversions and the writing of typed cells into the model.
#include "shell/GridCells.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A cave of n shots whose readings differ per line and have more decimals than the grid shows.
TKviste SmallCave(int n) {
    TKviste cave;
    cave.Lines.assign(static_cast<std::size_t>(n) + 1, Tdatalinje{});
    cave.LineCount = n;
    for (int i = 1; i <= n; ++i) {
        Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        l.FromName = str4("A" + std::to_string(100 + i - 1));
        l.ToName = str4("A" + std::to_string(100 + i));
        l.Compass = 111.105 + i;
        l.Clino = -3.333 * i;
        l.Length = 2.5 + i / 3.0;
        l.Up = 1.1;
        l.Down = 0.9;
        l.Right = 2.25;
        l.Left = 0.125;
    }
    return cave;
}

struct RowCountCase {
    std::int64_t Lines;
    std::int64_t Rows;
};

class GridRowCountTest : public ::testing::TestWithParam<RowCountCase> {};

TEST_P(GridRowCountTest, GrowsFromElevenByFive) {
    EXPECT_EQ(GridRowCount(GetParam().Lines), GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(Lines, GridRowCountTest,
                         ::testing::Values(RowCountCase{0, 11}, RowCountCase{10, 11},
                                           RowCountCase{11, 16}, RowCountCase{12, 16},
                                           RowCountCase{15, 16}, RowCountCase{16, 21},
                                           RowCountCase{1'000'000, 1'000'001},
                                           RowCountCase{-5, 11}),
                         [](const auto& info) {
                             const std::int64_t n = info.param.Lines;
                             return n < 0 ? std::string("negative") : "lines_" + std::to_string(n);
                         });

TEST(GridCellsTest, CellsShowTheLineAsTheGridFormatsIt) {
    Tdatalinje l;
    l.FromName = str4("A1");
    l.ToName = str4("B2  ");
    l.Compass = 3.14159;
    l.Clino = -0.001;
    l.Length = 123456.789;
    EXPECT_EQ(GridCellText(l, 7, kColIndex), "7");
    EXPECT_EQ(GridCellText(l, 7, kColFrom), "A1");
    EXPECT_EQ(GridCellText(l, 7, kColTo), "B2  ");
    EXPECT_EQ(GridCellText(l, 7, kColCompass), "    3.14");
    EXPECT_EQ(GridCellText(l, 7, kColClino), "   -0.00");
    EXPECT_EQ(GridCellText(l, 7, kColLength), "123456.79"); // wider than 8, never cut
    EXPECT_STREQ(GridHeading(kColCompass), "Decl");
    EXPECT_STREQ(GridHeading(kColLeft), "Left");
}

TEST(GridCellsTest, NumbersThatConvert) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"12.5", 12.5}, {"  12.50  ", 12.5}, {"+3", 3},    {"-0.5", -0.5},    {".5", 0.5},
        {"5.", 5},      {"1e3", 1000},       {"\t7\t", 7}, {"   -0.00", -0.0}};
    for (const auto& [text, expected] : cases) {
        double v = 99;
        EXPECT_TRUE(CellToReal(text, v)) << '"' << text << '"';
        EXPECT_EQ(v, expected) << '"' << text << '"';
    }
    double negativeZero = 1;
    ASSERT_TRUE(CellToReal("-0.00", negativeZero));
    EXPECT_TRUE(std::signbit(negativeZero));
}

TEST(GridCellsTest, TextThatIsNoNumberLeavesTheValue) {
    for (const std::string text : {"", "   ", "12,5", "abc", "inf", "nan", "-inf", "infinity",
                                   "1e999", "+-1", "++1", "12.5x", "1 2", "0x10", "e5", "-"}) {
        double v = 42;
        EXPECT_FALSE(CellToReal(text, v)) << '"' << text << '"';
        EXPECT_EQ(v, 42) << '"' << text << '"';
    }
}

TEST(GridCellsTest, NamesKeepFourCharactersPaddedWithBlanks) {
    str4 name;
    std::string reason;
    ASSERT_TRUE(CellToName("ABCDEF", false, name, reason));
    EXPECT_EQ(name, str4("ABCD"));
    ASSERT_TRUE(CellToName("A1", true, name, reason));
    EXPECT_EQ(name, str4("A1  ")); // matches what the reader makes of "A1" in its field
    ASSERT_TRUE(CellToName("", true, name, reason));
    EXPECT_EQ(name, str4("    "));
    ASSERT_TRUE(CellToName("A\r\nB", true, name, reason));
    EXPECT_EQ(name, str4("A  B")); // a line break would split the shot's file line
    // Only a from-station starts the file line.
    ASSERT_TRUE(CellToName(";X", false, name, reason));
    EXPECT_EQ(name, str4(";X  "));
    for (const char* marker : {";X", "@1", "#12", "$AB"}) {
        str4 kept("KEEP");
        reason.clear();
        EXPECT_FALSE(CellToName(marker, true, kept, reason)) << marker;
        EXPECT_EQ(kept, str4("KEEP"));
        EXPECT_NE(reason.find(std::string(1, marker[0])), std::string::npos) << reason;
    }
}

TEST(GridUpdateTest, OnlyTypedCellsChangeAndUntouchedValuesKeepTheirDecimals) {
    TKviste cave = SmallCave(5);
    const TKviste before = cave;
    TGridEdits edits;
    edits.Set(2, kColTo, "XY");
    edits.Set(3, kColLength, " 7.25 ");
    edits.Set(4, kColFrom, "LONGNAME");
    const TGridUpdateResult r = UpdateCaveFromGrid(cave, 5, edits);
    EXPECT_TRUE(r.Errors.empty());
    EXPECT_EQ(r.Stored, 3);
    EXPECT_TRUE(edits.Empty());
    EXPECT_EQ(cave.Lines[2].ToName, str4("XY  "));
    EXPECT_EQ(cave.Lines[3].Length, 7.25);
    EXPECT_EQ(cave.Lines[4].FromName, str4("LONG"));
    for (int i = 1; i <= 5; ++i) {
        // Showing two decimals must not round what nobody typed over.
        EXPECT_EQ(cave.Lines[i].Compass, before.Lines[i].Compass);
        EXPECT_EQ(cave.Lines[i].Clino, before.Lines[i].Clino);
        if (i != 3) {
            EXPECT_EQ(cave.Lines[i].Length, before.Lines[i].Length);
        }
    }
}

TEST(GridUpdateTest, BadCellsWarnInGridOrderKeepTheirValueAndStayTyped) {
    TKviste cave = SmallCave(4);
    const double oldCompass = cave.Lines[3].Compass;
    TGridEdits edits;
    edits.Set(3, kColLeft, "x");
    edits.Set(3, kColCompass, "12,5");
    edits.Set(3, kColClino, "-4.5");
    edits.Set(1, kColUp, "");
    edits.Set(2, kColFrom, ";C");
    const TGridUpdateResult r = UpdateCaveFromGrid(cave, 4, edits);
    ASSERT_EQ(r.Errors.size(), 4u);
    EXPECT_EQ(r.Errors[0], "Conversion error at col up & row 1");
    EXPECT_EQ(r.Errors[1].rfind("Conversion error at col from & row 2: ", 0), 0u) << r.Errors[1];
    EXPECT_EQ(r.Errors[2], "Conversion error at col theta & row 3");
    EXPECT_EQ(r.Errors[3], "Conversion error at col left & row 3");
    EXPECT_EQ(cave.Lines[3].Compass, oldCompass);
    EXPECT_EQ(cave.Lines[3].Clino, -4.5); // the rest of the row is still stored
    EXPECT_EQ(cave.Lines[2].FromName, str4("A101"));
    // What did not convert is still shown as typed, for the user to mend.
    EXPECT_EQ(edits.Size(), 4u);
    ASSERT_NE(edits.Find(3, kColCompass), nullptr);
    EXPECT_EQ(*edits.Find(3, kColCompass), "12,5");
    EXPECT_EQ(edits.Find(3, kColClino), nullptr);
}

TEST(GridUpdateTest, AnEmptiedRowStoresBlankNamesAndReportsEveryNumber) {
    TKviste cave = SmallCave(3);
    const TKviste before = cave;
    TGridEdits edits;
    for (int col = kColFrom; col < kGridColumns; ++col)
        edits.Set(2, col, "");
    const TGridUpdateResult r = UpdateCaveFromGrid(cave, 3, edits);
    const std::vector<std::string> expected = {
        "Conversion error at col theta & row 2",  "Conversion error at col phi & row 2",
        "Conversion error at col length & row 2", "Conversion error at col up & row 2",
        "Conversion error at col down & row 2",   "Conversion error at col right & row 2",
        "Conversion error at col left & row 2"};
    EXPECT_EQ(r.Errors, expected);
    EXPECT_EQ(cave.Lines[2].FromName, str4("    "));
    EXPECT_EQ(cave.Lines[2].ToName, str4("    "));
    EXPECT_EQ(cave.Lines[2].Length, before.Lines[2].Length);
}

TEST(GridUpdateTest, RowsPastTheFilledOrTheExistingLinesAreNotStored) {
    TKviste cave = SmallCave(6);
    TGridEdits edits;
    edits.Set(5, kColLength, "9"); // past the 4 lines the grid was filled with
    edits.Set(9, kColLength, "9"); // past the cave
    edits.Set(0, kColLength, "9"); // the heading row
    edits.Set(2, kColIndex, "77"); // the index is no reading
    const double old5 = cave.Lines[5].Length;
    const TGridUpdateResult r = UpdateCaveFromGrid(cave, 4, edits);
    EXPECT_TRUE(r.Errors.empty());
    EXPECT_EQ(r.Stored, 0);
    EXPECT_EQ(cave.Lines[5].Length, old5);
    EXPECT_EQ(cave.Lines[0].Length, 0);
    // A cave cut shorter after the fill is never read past its end.
    cave.LineCount = 1;
    cave.Lines.resize(2);
    edits.Set(3, kColUp, "1");
    EXPECT_EQ(UpdateCaveFromGrid(cave, 4, edits).Stored, 0);
}

} // namespace
