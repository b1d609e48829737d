// Prefix analysis, default sets and applying a set to the shots.
#include "attributes/AttributeSets.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Shots from the given from-stations; every one ends at a station of its own.
TKviste CaveFrom(const std::vector<std::string>& fromNames) {
    TKviste cave;
    cave.LineCount = static_cast<std::int32_t>(fromNames.size());
    cave.Lines.assign(fromNames.size() + 1, Tdatalinje{});
    for (std::size_t i = 0; i < fromNames.size(); ++i) {
        cave.Lines[i + 1].FromName = str4(fromNames[i]);
        cave.Lines[i + 1].ToName = str4("T" + std::to_string(i));
    }
    return cave;
}

TAttribut Item(const std::string& prefix, std::uint32_t colour, std::uint8_t style,
               std::int32_t width, bool visible) {
    return {prefix, colour, style, width, visible};
}

TAttributs SetOf(std::vector<TAttribut> items) {
    TAttributs set;
    set.ItemCount = static_cast<std::int32_t>(items.size());
    set.Items = std::move(items);
    set.SetName = "Test";
    return set;
}

} // namespace

TEST(StationPrefix, CutsAtTheFirstNonLetterWithinTwoCharacters) {
    EXPECT_EQ(StationPrefix(str4("AB12")), "AB");
    EXPECT_EQ(StationPrefix(str4("A1B2")), "A");
    EXPECT_EQ(StationPrefix(str4("1ABC")), "");
    EXPECT_EQ(StationPrefix(str4("ABCD")), "AB");
    EXPECT_EQ(StationPrefix(str4("A   ")), "A");
    EXPECT_EQ(StationPrefix(str4("")), "");
    // Letters outside ASCII (Windows-1252 "Ø") do not count.
    EXPECT_EQ(StationPrefix(str4("\xD8X12")), "");
    EXPECT_EQ(StationPrefix(str4("K\xD8")), "K");
}

TEST(GetLetters, ListsSortedPrefixesWithTheirMatches) {
    const TKviste cave = CaveFrom({"AB12", "AB13", "Ac1 ", "7X  "});
    const std::vector<TPrefixRow> rows = GetLetters(cave);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Prefix, "AB");
    EXPECT_EQ(rows[0].Matches, 2);
    EXPECT_EQ(rows[1].Prefix, "Ac");
    EXPECT_EQ(rows[1].Matches, 1);
}

TEST(GetLetters, CountsANameUnderBothItsOneAndTwoLetterPrefixes) {
    // Upper case sorts before lower case, and A before AB.
    const TKviste cave = CaveFrom({"b1  ", "AB12", "A001", "A002", "Ab1 ", "B9  "});
    const std::vector<TPrefixRow> rows = GetLetters(cave);
    std::vector<std::string> prefixes;
    for (const TPrefixRow& r : rows)
        prefixes.push_back(r.Prefix + ":" + std::to_string(r.Matches));
    EXPECT_EQ(prefixes, (std::vector<std::string>{"A:4", "AB:1", "Ab:1", "B:1", "b:1"}));
}

TEST(GetdefaultSetting, GivesEveryRowTheDefaultsAndClosesWithABlankItem) {
    const std::vector<TPrefixRow> rows = {{"AB", 2}, {"Ac", 1}, {"Cd", 5}};
    // A longer set from before: its leftovers must not survive the reset.
    TAttributs set =
        SetOf({Item("X", 1, 2, 3, false), Item("Y", 1, 2, 3, false), Item("Z", 1, 2, 3, false),
               Item("AB", 255, 3, 5, true), Item("W", 1, 2, 3, false)});
    GetdefaultSetting(set, rows);
    ASSERT_EQ(set.Items.size(), 4u);
    EXPECT_EQ(set.ItemCount, 4);
    EXPECT_EQ(set.SetName, "Default");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(set.Items[i].Prefix, rows[i].Prefix);
        EXPECT_EQ(set.Items[i].Colour, 0x0000FFFFu);
        EXPECT_EQ(set.Items[i].PenStyle, 0);
        EXPECT_EQ(set.Items[i].PenWidth, 1);
        EXPECT_TRUE(set.Items[i].Visible);
    }
    const TAttribut& blank = set.Items[3];
    EXPECT_EQ(blank.Prefix, "");
    EXPECT_EQ(blank.Colour, 0u);
    EXPECT_EQ(blank.PenStyle, 0);
    EXPECT_EQ(blank.PenWidth, 0);
    EXPECT_FALSE(blank.Visible);
}

TEST(ApplyAttributes, CopiesTheItemOfEachShotsPrefixAndLaterItemsWin) {
    TKviste cave = CaveFrom({"AB12", "Ac1 ", "A001", "7X  ", "Q1  "});
    cave.Lines[0].FromName = str4("AB00"); // the blank entry 0 is never a shot
    const TAttributs set = SetOf({Item("AB", 0x0000FF, 1, 3, true), Item("A", 0x00FF00, 2, 2, true),
                                  Item("AB", 0xFF0000, 4, 5, true), Item("", 0, 0, 0, false),
                                  Item("A1", 0x123456, 3, 7, false)}); // no name has the prefix A1
    EXPECT_EQ(ApplyAttributes(cave, set, false), 3);

    const Tdatalinje& ab = cave.Lines[1];
    EXPECT_EQ(ab.Colour, 0xFF0000u);
    EXPECT_EQ(ab.PenStyle, 4);
    EXPECT_EQ(ab.PenWidth, 5);
    EXPECT_TRUE(ab.Visible);
    // Ac is not A: the prefix is compared whole.
    EXPECT_EQ(cave.Lines[2].Colour, kDefaultLegColour);
    EXPECT_EQ(cave.Lines[3].Colour, 0x00FF00u);
    EXPECT_EQ(cave.Lines[3].PenStyle, 2);
    // The blank item hides, blackens and thins names that begin with a non-letter.
    EXPECT_FALSE(cave.Lines[4].Visible);
    EXPECT_EQ(cave.Lines[4].Colour, 0u);
    EXPECT_EQ(cave.Lines[4].PenWidth, 0);
    EXPECT_TRUE(cave.Lines[5].Visible);
    EXPECT_EQ(cave.Lines[0].Colour, kDefaultLegColour);
}

TEST(ApplyAttributes, ExclusionsHideWithoutRecolouring) {
    TKviste cave = CaveFrom({"AB12", "AB13", "Ac1 ", "Cd1 "});
    cave.Lines[4].Visible = false; // hidden before: a visible item does not show it again
    const TAttributs set =
        SetOf({Item("AB", 0x0000FF, 3, 4, false), Item("Ac", 0x00FF00, 2, 6, true),
               Item("Cd", 0x00FF00, 2, 6, true)});
    ApplyAttributes(cave, set, true);
    EXPECT_FALSE(cave.Lines[1].Visible);
    EXPECT_FALSE(cave.Lines[2].Visible);
    EXPECT_TRUE(cave.Lines[3].Visible);
    EXPECT_FALSE(cave.Lines[4].Visible);
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        EXPECT_EQ(cave.Lines[static_cast<std::size_t>(i)].Colour, kDefaultLegColour) << i;
        EXPECT_EQ(cave.Lines[static_cast<std::size_t>(i)].PenStyle, 0) << i;
        EXPECT_EQ(cave.Lines[static_cast<std::size_t>(i)].PenWidth, 1) << i;
    }
}

TEST(ApplyAttributes, TrustsItemCountOnlyAsFarAsTheItemsReach) {
    TKviste cave = CaveFrom({"AB12", "Cd1 "});
    TAttributs set = SetOf({Item("AB", 0x0000FF, 1, 2, true), Item("Cd", 0x00FF00, 1, 2, true)});
    set.ItemCount = 1000;
    EXPECT_EQ(ApplyAttributes(cave, set, false), 2);
    set.ItemCount = 1; // the second item is not part of the set
    cave = CaveFrom({"AB12", "Cd1 "});
    EXPECT_EQ(ApplyAttributes(cave, set, false), 1);
    EXPECT_EQ(cave.Lines[2].Colour, kDefaultLegColour);
    set.ItemCount = -5;
    EXPECT_EQ(ApplyAttributes(cave, set, false), 0);
}
