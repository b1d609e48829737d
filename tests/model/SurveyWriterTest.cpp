// Survey file writer: layout, back-conversion, stamp, comments, instruments, safe saving, round
// trips.
#include "model/SurveyWriter.h"
#include "SurveyGenerator.h"
#include "model/FileIO.h"
#include "model/SurveyReader.h"
#include "support/TestSupport.h"

#include <filesystem>

namespace {

const FixedClock kClock("01.02.2026 10:00:00");

TKviste Read(const std::string& text, std::string& h2) {
    TKviste cave;
    std::string log;
    const TReadResult r = ReadSurveyText(text, "t.grt", cave, h2, kClock, log);
    EXPECT_TRUE(r.Ok) << r.Message << ": " << r.Reason;
    return cave;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

void ExpectSameModel(const TKviste& a, const TKviste& b) {
    ASSERT_EQ(a.LineCount, b.LineCount);
    EXPECT_EQ(a.CaveName, b.CaveName);
    EXPECT_EQ(a.StartPos, b.StartPos);
    for (std::int32_t i = 1; i <= a.LineCount; ++i) {
        const Tdatalinje& x = a.Lines[i];
        const Tdatalinje& y = b.Lines[i];
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_EQ(x.FromName, y.FromName);
        EXPECT_EQ(x.ToName, y.ToName);
        EXPECT_NEAR(x.Compass, y.Compass, 1e-9);
        EXPECT_NEAR(x.Clino, y.Clino, 1e-9);
        EXPECT_NEAR(x.Length, y.Length, 1e-9);
        EXPECT_NEAR(x.Right + x.Left + x.Up + x.Down, y.Right + y.Left + y.Up + y.Down, 1e-9);
        EXPECT_EQ(x.Comment, y.Comment);
        EXPECT_EQ(x.HasComment, y.HasComment);
        EXPECT_EQ(x.Photos, y.Photos);
        ASSERT_EQ(x.ScanPoints.size(), y.ScanPoints.size());
        for (std::size_t k = 0; k < x.ScanPoints.size(); ++k) {
            EXPECT_NEAR(x.ScanPoints[k].Angle, y.ScanPoints[k].Angle, 1e-9);
            EXPECT_NEAR(x.ScanPoints[k].Distance, y.ScanPoints[k].Distance, 1e-9);
        }
        EXPECT_EQ(a.Instruments[x.Instrument], b.Instruments[y.Instrument]);
    }
}

} // namespace

TEST(SurveyWriter, SmallCaveGolden) {
    std::string h2;
    TKviste cave = Read(ReadFileBytes(TestDataPath("model/small.grt")), h2);
    TempDir dir;
    const TWriteResult r = WriteSurveyFile(dir.File("out.grt"), cave, h2, kClock);
    ASSERT_TRUE(r.Ok) << r.Reason;
    EXPECT_EQ(r.Message, "4 lines saved in: " + dir.File("out.grt") + " ! ");
    EXPECT_TRUE(MatchesGolden("model/small.written.grt", dir.File("out.grt")));
}

TEST(SurveyWriter, WidthsAndBackConversion) {
    std::string h2;
    TKviste cave =
        Read("C\r\n;\r\ni\r\n400 400 0 1\r\n0 0 0\r\nA1   A2   100 50 7 0 0 0 0\r\n", h2);
    EXPECT_DOUBLE_EQ(cave.Lines[1].Compass, 90);
    const auto lines = Lines(SurveyFileText(cave, h2, kClock));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "400.00 400.00   0.00   1.00");
    EXPECT_EQ(lines[4], "  0.00   0.00   0.00 "); // the start line ends with a blank
    EXPECT_EQ(lines[5], "A1   A2   100.00  50.00   7.00   0.00   0.00   0.00   0.00");
}

TEST(SurveyWriter, StampReplacesOnlyTheOldStamp) {
    std::string h2;
    TKviste cave = Read("C\r\n;\r\nSurvey #3 by club\r\n360 360 0 1\r\n0 0 0\r\n", h2);
    std::string text = SurveyFileText(cave, h2, kClock);
    EXPECT_EQ(Lines(text)[2],
              "Survey #3 by club #(File written by Kvistrel4.023 win)01.02.2026 10:00:00");
    // Read and save again: the user's "#" text stays, the line does not grow.
    cave = Read(text, h2);
    const std::string again = SurveyFileText(cave, h2, FixedClock("02.02.2026 11:00:00"));
    EXPECT_EQ(Lines(again)[2],
              "Survey #3 by club #(File written by Kvistrel4.023 win)02.02.2026 11:00:00");
    EXPECT_EQ(cave.SurveyInfo, "Survey #3 by club");
}

TEST(SurveyWriter, CommentsKeepTheirTextAndLineZeroIsNotWritten) {
    std::string h2;
    TKviste cave = Read("C\r\n;\r\ni\r\n360 360 0 1\r\n0 0 0\r\n;orphan\r\n"
                        "A1   A1   0 0 0 0 0 0 0\r\n;  indented note\r\n",
                        h2);
    const std::string once = SurveyFileText(cave, h2, kClock);
    const auto lines = Lines(once);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[6], ";  indented note");
    EXPECT_EQ(once.find("orphan"), std::string::npos);
    TKviste again = Read(once, h2);
    EXPECT_EQ(again.Lines[1].Comment, cave.Lines[1].Comment);

    // A comment typed in a window with a line break must not become two file lines.
    cave.Lines[1].Comment = "    two\nlines";
    EXPECT_EQ(Lines(SurveyFileText(cave, h2, kClock))[6], ";two lines");
}

TEST(SurveyWriter, InstrumentLineOnEveryChangeAndPaddedNames) {
    std::string h2;
    TKviste cave = Read("C\r\n;\r\ni\r\n360 360 0 1\r\n0 0 0\r\nA1   A2   90 0 1 0 0 0 0\r\n"
                        "@ 400 400 0 1\r\nA2   A3   100 0 1 0 0 0 0\r\n",
                        h2);
    // A later line measured with the first instrument again, and a short to-name.
    cave.LineCount = 3;
    cave.Lines.resize(4);
    cave.Lines[3].FromName = str4("A3  ");
    cave.Lines[3].ToName = str4("B");
    cave.Lines[3].Compass = 45;
    cave.Lines[3].Instrument = 0;
    const std::string text = SurveyFileText(cave, h2, kClock);
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[6], "@     400.00 400.00   0.00   1.00");
    EXPECT_EQ(lines[7], "A2   A3   100.00   0.00   1.00   0.00   0.00   0.00   0.00");
    EXPECT_EQ(lines[8], "@     360.00 360.00   0.00   1.00");
    EXPECT_EQ(lines[9], "A3   B     45.00   0.00   0.00   0.00   0.00   0.00   0.00");
    TKviste back = Read(text, h2);
    EXPECT_DOUBLE_EQ(back.Lines[3].Compass, 45);
    EXPECT_EQ(back.Lines[3].ToName, str4("B   "));
}

TEST(SurveyWriter, InstrumentValuesKeepTheDecimalsTheyNeed) {
    std::string h2;
    TKviste cave = Read("C\r\n;\r\ni\r\n360 360 0 3.28084\r\n0 0 0\r\n"
                        "A1   A2   90 0 32.81 3.28 0 0 0\r\n"
                        "@ 400 400 -1.125 0.001\r\nA2   A3   100 0 12.5 0 0 0 0\r\n",
                        h2);
    const std::string text = SurveyFileText(cave, h2, kClock);
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "360.00 360.00   0.00 3.28084");
    EXPECT_EQ(lines[5], "A1   A2    90.00   0.00  32.81   3.28   0.00   0.00   0.00");
    EXPECT_EQ(lines[6], "@     400.00 400.00 -1.125  0.001");
    EXPECT_EQ(lines[7], "A2   A3   100.00   0.00  12.50   0.00   0.00   0.00   0.00");

    // Feet and thousandths read back as the very lengths and instruments that were saved.
    TKviste back = Read(text, h2);
    ASSERT_EQ(back.LineCount, 2);
    EXPECT_EQ(back.Instruments, cave.Instruments);
    for (std::int32_t i = 1; i <= 2; ++i) {
        EXPECT_EQ(back.Lines[i].Length, cave.Lines[i].Length) << i;
        EXPECT_EQ(back.Lines[i].Right, cave.Lines[i].Right) << i;
        EXPECT_EQ(back.Lines[i].Compass, cave.Lines[i].Compass) << i;
    }
    EXPECT_DOUBLE_EQ(back.Lines[1].Length, 32.81 / 3.28084);
    EXPECT_DOUBLE_EQ(back.Lines[2].Length, 12500);
}

TEST(SurveyWriter, ReadingsTwoDecimalsCannotHoldAreWrittenExactly) {
    // Where a double's last place is worth a hundredth or more, the conversion back and forth
    // can move a reading by that place, which two decimals show: the second save would differ
    // from the first. Such a reading is written so that it reads back as itself.
    std::string h2;
    TKviste cave = Read("C\r\n;\r\ni\r\n360 360 0 3.28084\r\n0 0 0\r\n"
                        "A1   A2   0 0 60752851539815.805 1 0 0 0\r\n",
                        h2);
    const std::string once = SurveyFileText(cave, h2, kClock);
    TKviste back = Read(once, h2);
    EXPECT_EQ(back.Lines[1].Length, cave.Lines[1].Length);
    EXPECT_EQ(SurveyFileText(back, h2, kClock), once);
    // An ordinary reading in the same line keeps its two decimals.
    EXPECT_NE(once.find("   1.00   0.00   0.00   0.00\r\n"), std::string::npos);
}

TEST(SurveyWriter, FailedSaveKeepsTheOldFile) {
    TempDir dir;
    std::string h2;
    TKviste cave = Read(ReadFileBytes(TestDataPath("model/small.grt")), h2);

    TWriteResult r = WriteSurveyFile(dir.File("no/such/dir/out.grt"), cave, h2, kClock);
    EXPECT_FALSE(r.Ok);
    EXPECT_FALSE(r.Reason.empty());

    // The target is a directory that cannot be replaced: the write fails, nothing is left behind.
    std::filesystem::create_directories(dir.File("taken.grt/inside"));
    r = WriteSurveyFile(dir.File("taken.grt"), cave, h2, kClock);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.grt/inside")));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u) << "a temporary file was left behind";

    // Overwriting an existing file replaces it whole.
    WriteFileBytes(dir.File("old.grt"), "old contents");
    ASSERT_TRUE(WriteSurveyFile(dir.File("old.grt"), cave, h2, kClock).Ok);
    EXPECT_EQ(ReadFileBytes(dir.File("old.grt")), SurveyFileText(cave, h2, kClock));
}

// Read, write, read, write: equal models and byte-identical second and third files.
class SurveyRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(SurveyRoundTrip, IsStable) {
    std::string original;
    const std::string& which = GetParam();
    if (which.rfind("gen", 0) == 0) {
        TGeneratorOptions o;
        o.Shots = 3000;
        o.Seed = which.size();
        o.Grads = which == "gen-grads";
        o.ScanShare = 0.2;
        o.CommentShare = 0.2;
        o.PhotoShare = 0.1;
        original = GenerateSurvey(o);
    } else {
        original = ReadFileBytes(SourcePath(which));
    }
    ASSERT_FALSE(original.empty());
    std::string h2a, h2b, h2c;
    TKviste a = Read(original, h2a);
    const std::string second = SurveyFileText(a, h2a, kClock);
    TKviste b = Read(second, h2b);
    const std::string third = SurveyFileText(b, h2b, kClock);
    TKviste c = Read(third, h2c);
    EXPECT_TRUE(SameBytes(second, third));
    ExpectSameModel(b, c);
    EXPECT_EQ(h2a, h2c);
}

INSTANTIATE_TEST_SUITE_P(Files, SurveyRoundTrip,
                         ::testing::Values("examples/Kvitberghola.grt",
                                           "tests/data/model/small.grt",
                                           "tests/data/model/template.grt", "gen-plain",
                                           "gen-grads"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });
