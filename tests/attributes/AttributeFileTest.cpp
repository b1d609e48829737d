// The attribute file: its layout, reading back, damaged files and safe saving.
#include "attributes/AttributeFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<TPrefixRow> kThreeRows = {{"AB", 2}, {"Ac", 1}, {"Cd", 4}};

void ExpectSameSets(const TAttriButList& a, const TAttriButList& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t s = 0; s < a.size(); ++s) {
        EXPECT_EQ(a[s].SetName, b[s].SetName) << "set " << s;
        EXPECT_EQ(a[s].ItemCount, b[s].ItemCount) << "set " << s;
        ASSERT_EQ(a[s].Items.size(), b[s].Items.size()) << "set " << s;
        for (std::size_t k = 0; k < a[s].Items.size(); ++k) {
            const TAttribut& x = a[s].Items[k];
            const TAttribut& y = b[s].Items[k];
            EXPECT_EQ(x.Prefix, y.Prefix) << s << "/" << k;
            EXPECT_EQ(x.Colour, y.Colour) << s << "/" << k;
            EXPECT_EQ(x.PenStyle, y.PenStyle) << s << "/" << k;
            EXPECT_EQ(x.PenWidth, y.PenWidth) << s << "/" << k;
            EXPECT_EQ(x.Visible, y.Visible) << s << "/" << k;
        }
    }
}

} // namespace

TEST(AttributeFile, DefaultSetOfThreeRowsWritesIndexThreeAndFourItemsAndReadsBack) {
    TempDir dir;
    const std::string file = dir.File("cave.atr");
    const TAttriButList sets = {DefaultSet(kThreeRows)};
    const TAttributeFileResult saved = SaveAttributFile(file, sets);
    ASSERT_TRUE(saved.Ok) << saved.Message;
    EXPECT_TRUE(MatchesGolden("attributes/default_three_rows.atr", file));

    TAttriButList read;
    std::int32_t current = 0;
    const TAttributeFileResult r = GetAttributFile(file, kThreeRows, read, current);
    ASSERT_TRUE(r.Ok) << r.Message;
    EXPECT_FALSE(r.FileMissing);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].ItemCount, 4);
    ExpectSameSets(read, sets);
}

TEST(AttributeFile, RandomSetsSurviveWriteAndRead) {
    std::mt19937 rng(14);
    TAttriButList sets;
    for (int s = 0; s < 6; ++s) {
        TAttributs set;
        set.SetName = s == 0 ? std::string("Tr\xF8nderlag  ") : "Set " + std::to_string(s);
        const int n = static_cast<int>(rng() % 40);
        for (int k = 0; k < n; ++k) {
            TAttribut a;
            a.Prefix = std::string(1, static_cast<char>('A' + rng() % 26));
            if (rng() % 2)
                a.Prefix += static_cast<char>('a' + rng() % 26);
            a.Colour = rng() & 0x00FFFFFF;
            a.PenStyle = static_cast<std::uint8_t>(rng() % 8); // codes above 4 are kept
            a.PenWidth = static_cast<std::int32_t>(rng() % 8);
            a.Visible = rng() % 2;
            set.Items.push_back(a);
        }
        set.ItemCount = n;
        sets.push_back(set);
    }
    TAttriButList read;
    const TAttributeFileResult r = ParseAttributeText(AttributeFileText(sets), "x.atr", read);
    ASSERT_TRUE(r.Ok) << r.Message;
    ExpectSameSets(read, sets);
}

TEST(AttributeFile, ReadsLoneLineFeedsAndKeepsUnknownStyleCodes) {
    TAttriButList sets;
    const std::string file = TestDataPath("attributes/lf_only_unknown_style.atr");
    std::int32_t current = 0;
    const TAttributeFileResult r = GetAttributFile(file, kThreeRows, sets, current);
    ASSERT_TRUE(r.Ok) << r.Message;
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].SetName, "7X");
    ASSERT_EQ(sets[0].ItemCount, 2);
    EXPECT_EQ(sets[0].Items[0].PenStyle, 9);
    EXPECT_STREQ(PenStyleName(sets[0].Items[0].PenStyle), "UnKnown");
    EXPECT_EQ(sets[0].Items[0].PenWidth, 3);
    EXPECT_EQ(sets[0].Items[1].Prefix, "Cd");
    EXPECT_EQ(sets[0].Items[1].Colour, 65280u);
    EXPECT_FALSE(sets[0].Items[1].Visible);
}

TEST(AttributeFile, NoFileAndNoSetsBothGiveTheDefaultSet) {
    TempDir dir;
    for (const std::string& file :
         {dir.File("missing.atr"), TestDataPath("attributes/zero_sets.atr")}) {
        TAttriButList sets(3);
        std::int32_t current = 2;
        const TAttributeFileResult r = GetAttributFile(file, kThreeRows, sets, current);
        ASSERT_TRUE(r.Ok) << file << ": " << r.Message;
        ASSERT_EQ(sets.size(), 1u) << file;
        EXPECT_EQ(current, 0) << file;
        ExpectSameSets(sets, {DefaultSet(kThreeRows)});
    }
    TAttriButList sets;
    std::int32_t current = 0;
    EXPECT_TRUE(GetAttributFile(dir.File("missing.atr"), {}, sets, current).FileMissing);
}

struct TBadFile {
    const char* Name;
    std::int64_t Line;
    const char* Reason; // a part of the reason
};
void PrintTo(const TBadFile& c, std::ostream* os) {
    *os << c.Name;
}

class BadAttributeFile : public ::testing::TestWithParam<TBadFile> {};

TEST_P(BadAttributeFile, IsReportedWithFileAndLineAndChangesNothing) {
    const TBadFile& c = GetParam();
    const std::string file = TestDataPath(std::string("attributes/") + c.Name + ".atr");
    TAttriButList sets = {DefaultSet(kThreeRows), DefaultSet({})};
    sets[1].SetName = "Second";
    const TAttriButList before = sets;
    std::int32_t current = 1;
    const TAttributeFileResult r = GetAttributFile(file, {}, sets, current);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Line, c.Line);
    EXPECT_NE(r.Reason.find(c.Reason), std::string::npos) << r.Reason;
    EXPECT_NE(r.Message.find(file), std::string::npos) << r.Message;
    EXPECT_NE(r.Message.find("line " + std::to_string(c.Line)), std::string::npos) << r.Message;
    EXPECT_EQ(current, 1);
    ExpectSameSets(sets, before);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, BadAttributeFile,
    ::testing::Values(TBadFile{"empty", 1, "the file ends where the set count should stand"},
                      TBadFile{"text_count", 1, "the set count is not a whole number: \"three\""},
                      TBadFile{"huge_count", 1, "the set count 2147483647 is outside 0 .. 255"},
                      TBadFile{"truncated_set", 7,
                               "ends where the colour, style, width and visibility of item 2"},
                      TBadFile{"huge_item_count", 3, "2147483647 is outside -1 .. 65535"},
                      TBadFile{"text_in_item", 5, "are not four whole numbers: \"65535 zero 1 1\""},
                      TBadFile{"short_item", 5, "are not four whole numbers"},
                      TBadFile{"negative_colour", 5, "the colour -1 of item 1 of set 1 is outside"},
                      TBadFile{"pen_style_over_byte", 5, "the pen style 256"},
                      TBadFile{"missing_second_set", 6,
                               "the file ends where the name of set 2 should stand"}),
    [](const ::testing::TestParamInfo<TBadFile>& info) { return std::string(info.param.Name); });

TEST(AttributeFile, AFailedSaveIsReportedAndLeavesTheOldFile) {
    TempDir dir;
    const std::string missingDir = dir.File("gone/cave.atr");
    const TAttributeFileResult r = SaveAttributFile(missingDir, {DefaultSet(kThreeRows)});
    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Message.find(missingDir), std::string::npos) << r.Message;

    // Replacing a folder fails at the rename: the folder and nothing else remains.
    const std::string file = dir.File("cave.atr");
    std::filesystem::create_directory(file);
    EXPECT_FALSE(SaveAttributFile(file, {DefaultSet(kThreeRows)}).Ok);
    EXPECT_TRUE(std::filesystem::is_directory(file));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u) << "a temporary file was left behind";
}

TEST(AttributeFile, DamagedCopiesOfAGoodFileAreReadOrReportedWithALine) {
    TAttributs set = DefaultSet(kThreeRows);
    set.Items[1].PenStyle = 3;
    const std::string good = AttributeFileText({set, DefaultSet({{"Xy", 1}})});
    const std::string alphabet = "0123456789- \r\nAZaz\xD8";
    std::mt19937 rng(2024);
    for (int round = 0; round < 3000; ++round) {
        std::string text = good;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = rng() % text.size();
            switch (rng() % 3) {
            case 0:
                text[at] = alphabet[rng() % alphabet.size()];
                break;
            case 1:
                text.erase(at, 1 + rng() % 8);
                break;
            default:
                text.resize(at); // cut short
            }
        }
        TAttriButList sets = {set};
        const TAttributeFileResult r = ParseAttributeText(text, "x.atr", sets);
        if (r.Ok) {
            for (const TAttributs& s : sets)
                EXPECT_EQ(static_cast<std::size_t>(s.ItemCount), s.Items.size()) << round;
        } else {
            EXPECT_GT(r.Line, 0) << round;
            EXPECT_FALSE(r.Reason.empty()) << round;
            ASSERT_EQ(sets.size(), 1u) << round;
        }
    }
}
