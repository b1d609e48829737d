// The line index behind the text views: where lines end, how wide they are, what a selection
// copies, and that a failed read keeps the text shown.
#include "shell/TextLines.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> LinesOf(const TTextLines& text) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < text.LineCount(); ++i)
        lines.emplace_back(text.Line(i));
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(TextLinesTest, LineEndsAreLfOrCrLfAndTheLastLineMayBeOpen) {
    TTextLines text;
    EXPECT_EQ(LinesOf(text), Lines{""}); // nothing is one empty line, as an editor shows it

    text.Assign("a\r\nbb\nccc\r\n");
    EXPECT_EQ(LinesOf(text), (Lines{"a", "bb", "ccc", ""}));
    text.Assign("no end");
    EXPECT_EQ(LinesOf(text), Lines{"no end"});
    // A CR that ends no line is text; so is one at the very end of the file.
    text.Assign("x\ry\r\n\r\nlast\r");
    EXPECT_EQ(LinesOf(text), (Lines{"x\ry", "", "last\r"}));
    text.Assign("\n\n");
    EXPECT_EQ(LinesOf(text), (Lines{"", "", ""}));
    EXPECT_EQ(text.Line(99), "");
}

TEST(TextLinesTest, WidestLineCountsTabsToTheNextStop) {
    TTextLines text;
    text.Assign("abc\r\n1234567890\r\n");
    EXPECT_EQ(text.MaxColumns(), 10u); // the CR is not a column
    text.Assign("a\tb\n\t\t\n");
    EXPECT_EQ(text.MaxColumns(), 16u);
    EXPECT_EQ(TTextLines::Expanded("a\tb"), "a       b");
    EXPECT_EQ(TTextLines::Columns("1234567\tx"), 9u);
    EXPECT_EQ(TTextLines::Columns("12345678\tx"), 17u);
}

TEST(TextLinesTest, SlicesGiveBareLineEndsInEitherDirection) {
    TTextLines text;
    text.Assign("first\r\nsecond\r\nthird");
    EXPECT_EQ(text.All(), "first\nsecond\nthird");
    EXPECT_EQ(text.Slice({0, 2}, {1, 3}), "rst\nsec");
    EXPECT_EQ(text.Slice({1, 3}, {0, 2}), "rst\nsec");
    EXPECT_EQ(text.Slice({1, 1}, {1, 1}), "");
    // Places beyond a line or the text are clamped, never read past the end.
    EXPECT_EQ(text.Slice({0, 99}, {99, 99}), "\nsecond\nthird");
    EXPECT_EQ(text.End(), (TTextPos{2, 5}));

    // Windows-1252 bytes and lone CRs travel unchanged.
    text.Assign("\xD8st\r\n\x80\r\x96\r\n");
    EXPECT_EQ(text.All(), "\xD8st\n\x80\r\x96\n");
}

TEST(TextLinesTest, FailedLoadKeepsTheTextAndSaysWhy) {
    TempDir dir;
    WriteFileBytes(dir.File("a.krt"), "kept\r\n");
    TTextLines text;
    std::string reason;
    ASSERT_TRUE(text.Load(dir.File("a.krt"), reason));
    for (const std::string& bad : {dir.File("gone.krt"), dir.Path()}) {
        reason.clear();
        EXPECT_FALSE(text.Load(bad, reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(text.All(), "kept\n");
    }
}

TEST(TextLinesTest, LargeListingIsIndexedLineForLine) {
    std::string bytes;
    const std::string row = "   A001 A002     12.34     -5.67    100.00\r\n";
    for (int i = 0; i < 200'000; ++i)
        bytes += row;
    TTextLines text;
    text.Assign(bytes);
    ASSERT_EQ(text.LineCount(), 200'001u);
    EXPECT_EQ(text.Line(123'456), row.substr(0, row.size() - 2));
    EXPECT_EQ(text.Line(200'000), "");
    EXPECT_EQ(text.MaxColumns(), row.size() - 2);
}
