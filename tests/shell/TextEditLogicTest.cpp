// The text editor's rules without a window: templates the reader accepts, the comma check,
// splitting and rebuilding data lines, field checks, prefixes and the instrument in force.
#include "shell/TextEditLogic.h"

#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines)
        text += l + "\r\n";
    return text;
}

std::vector<std::string> Heading() {
    const auto& h = HeadingTemplate();
    return {h.begin(), h.end()};
}

// Reads file bytes with the survey reader; fails the test with the reader's reason.
TKviste Read(const std::string& bytes) {
    TKviste cave;
    std::string header2;
    std::string log;
    const TReadResult r =
        ReadSurveyText(bytes, "t.grt", cave, header2, FixedClock("01.01.2026 12:00:00"), log);
    EXPECT_TRUE(r.Ok) << r.Message << ": " << r.Reason;
    return cave;
}

} // namespace

// The reader's tests pin what the template file reads as; the inserted heading is that file.
TEST(TextEditTemplates, HeadingIsTheTemplateFile) {
    EXPECT_TRUE(SameBytes(ReadFileBytes(TestDataPath("model/template.grt")), Joined(Heading())));
}

TEST(TextEditTemplates, ProfileScanFilledInReadsBack) {
    const std::vector<std::string> points = ProfileScanLines();
    ASSERT_EQ(points.size(), 43u);
    EXPECT_EQ(points.front(), "# -15.00 ");
    EXPECT_EQ(points[3], "#  0.00 ");
    EXPECT_EQ(points.back(), "# 195.00 ");
    EXPECT_EQ(ProfileScanHeader(43), "# 43  000.00");

    // The surveyor types a distance after each angle; the block then reads as a 43-point scan.
    std::vector<std::string> lines = Heading();
    lines.insert(lines.begin() + 6, ProfileScanHeader(43));
    for (std::size_t i = 0; i < points.size(); ++i)
        lines.insert(lines.begin() + 7 + static_cast<std::ptrdiff_t>(i), points[i] + "1.50");
    const TKviste cave = Read(Joined(lines));
    ASSERT_EQ(cave.Lines[1].ScanCount, 43);
    EXPECT_NEAR(cave.Lines[1].ScanPoints.back().Angle, 195 * 360.0 / 400, 1e-12);
}

TEST(TextEditCommaCheck, FindsEveryCommaOutsideComments) {
    const std::string text = "Hola\n"
                             ";a, comment\n"
                             "\n"
                             "A001 A002 1,5 2.0 3,25\n"
                             "@ 360,00 360 0 1"; // last line without a line break
    const std::vector<TCommaTypo> typos = FindCommaTypos(text);
    ASSERT_EQ(typos.size(), 3u);
    EXPECT_EQ(typos[0].Line, 3);
    EXPECT_EQ(typos[0].Position, 12);
    EXPECT_EQ(typos[1].Position, 20);
    EXPECT_EQ(typos[2].Line, 4);
    EXPECT_EQ(typos[2].Position, 6);
    EXPECT_EQ(CommaTypoMessage(typos[0]), "Komma funnet p\xE5 plass(12):A001 A002 1,5 2.0 3,25");
    EXPECT_EQ(CommaTypoMessage(typos[2]), "Komma funnet p\xE5 plass(6):@ 360,00 360 0 1");
    EXPECT_EQ(CommaTypoSummary(typos.size()), "3 desimalkomma funnet!!!");
    EXPECT_TRUE(FindCommaTypos(Joined(Heading())).empty());
    EXPECT_EQ(CommaTypoSummary(0), "0 desimalkomma funnet!!!");
}

TEST(TextEditLines, SplitsByColumnsAndBuildsALineTheReaderReadsAlike) {
    const TSplitDataLine split =
        SplitDataLine("A001 A002 151.04 -38.16   6.15 1.32 1.66 0.94 2.71");
    EXPECT_EQ(split.FromName, "A001");
    EXPECT_EQ(split.ToName, "A002");
    EXPECT_EQ(split.Fields[0], "151.04");
    EXPECT_EQ(split.Fields[1], "-38.16");
    EXPECT_EQ(split.Fields[6], "2.71");

    // A from-name written short shifts every field, as the columns say.
    const TSplitDataLine shifted = SplitDataLine("A1 A2 10.5 -3 4.2 1 1 0.5 2");
    EXPECT_EQ(shifted.FromName, "A1 A");
    EXPECT_EQ(shifted.ToName, " 10.");
    EXPECT_EQ(shifted.Fields[0], "-3");
    EXPECT_EQ(shifted.Fields[6], "");

    // Missing readings are empty, not repeated; tabs separate as in the reader.
    const TSplitDataLine shortLine = SplitDataLine("B1   B2   4\t5");
    EXPECT_EQ(shortLine.FromName, "B1  ");
    EXPECT_EQ(shortLine.ToName, "B2  ");
    EXPECT_EQ(shortLine.Fields[1], "5");
    EXPECT_EQ(shortLine.Fields[2], "");
    EXPECT_EQ(SplitDataLine("").FromName, "");

    Tdatalinje line;
    line.FromName = str4("A1");
    line.ToName = str4("A2  ");
    const std::vector<double> readings = {10.5, -3, 4.234, 1, 1, 0.5, 2};
    for (int i = 0; i < kReadingFields; ++i)
        ReadingField(line, i) = readings[static_cast<std::size_t>(i)];
    const std::string built = BuildDataLine(line);
    EXPECT_EQ(built, "A1   A2   10.50 -3.00 4.234  1.00  1.00  0.50  2.00 ");
    std::vector<std::string> lines = {"Hola", ";", ";", "360 360 0 1", "0 0 0", built};
    const TKviste cave = Read(Joined(lines));
    ASSERT_EQ(cave.LineCount, 1);
    const Tdatalinje& back = cave.Lines[1];
    EXPECT_EQ(back.FromName, str4("A1  "));
    EXPECT_EQ(back.ToName, str4("A2  "));
    for (int i = 0; i < kReadingFields; ++i)
        EXPECT_EQ(ReadingField(back, i), readings[static_cast<std::size_t>(i)]) << i;
}

TEST(TextEditLines, NumbersReadAsTheReaderReadsThem) {
    double v = 0;
    EXPECT_TRUE(ReadEditorNumber("  -3.5 ", v));
    EXPECT_EQ(v, -3.5);
    EXPECT_TRUE(ReadEditorNumber("+2", v));
    EXPECT_EQ(v, 2);
    for (const char* bad : {"", "1,5", "inf", ".5", "1.", "12a", "- 1"})
        EXPECT_FALSE(ReadEditorNumber(bad, v)) << bad;
    EXPECT_EQ(FormatEditorNumber(0), " 0.00");
    EXPECT_EQ(FormatEditorNumber(151.04), "151.04");
    EXPECT_EQ(FormatEditorNumber(-3), "-3.00");
    EXPECT_EQ(FormatEditorNumber(0.125), "0.125"); // two decimals would round it away
}

TEST(TextEditLines, LineKinds) {
    for (const char* other : {";x", "@ 360 360 0 1", "#   3 90", "$    1", "$   a.jpg"})
        EXPECT_FALSE(IsDataLine(other)) << other;
    for (const char* data : {"", "A001 A002", " 1   2", "%AB A1"})
        EXPECT_TRUE(IsDataLine(data)) << data;
}

TEST(TextEditFields, ReadingColours) {
    struct Case {
        const char* Text;
        bool Clino;
        bool Red;
    };
    const std::vector<Case> cases = {
        {"", false, false},     {"0.00", false, false}, {" 12.50", false, false},
        {"-12.5", false, true}, {"-12.5", true, false}, {"1,5", false, true},
        {"-1,5", true, true},   {"1e3", false, true},   {"12a", true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadingFieldSuspect(c.Text, c.Clino), c.Red) << c.Text << " clino " << c.Clino;
}

TEST(TextEditFields, NamesAreCutPaddedAndPrefixedOnce) {
    EXPECT_FALSE(CheckNameField("A001").Cut);
    const TNameCheck five = CheckNameField("A0012");
    EXPECT_TRUE(five.Cut);
    EXPECT_EQ(five.Text, "A001");

    TNameCommit c = CommitName("A1", false, "KV");
    EXPECT_EQ(c.Name, str4("A1  "));
    EXPECT_FALSE(c.Beep);
    c = CommitName("A1", true, "KV");
    EXPECT_EQ(c.Name, str4("KVA1"));
    EXPECT_FALSE(c.Beep);
    // Committed again (space bar, then leaving the field) it keeps one prefix.
    EXPECT_EQ(CommitName(c.Name.str(), true, "KV").Name, str4("KVA1"));
    c = CommitName("A01", true, "KV");
    EXPECT_EQ(c.Name, str4("KVA0"));
    EXPECT_TRUE(c.Beep);
    EXPECT_FALSE(CommitName("A1  ", false, "").Beep);
    EXPECT_EQ(CommitName("", true, "").Name, str4("    "));

    EXPECT_TRUE(ChoosePrefix("KV").Accepted);
    const TPrefixChoice longer = ChoosePrefix("KVI");
    EXPECT_FALSE(longer.Accepted);
    EXPECT_EQ(longer.Text, "KV");
}

TEST(TextEditInstruments, DialogLinesReadBackWithTheirScale) {
    std::string line;
    std::string reason;
    ASSERT_TRUE(BuildInstrumentLine("360", "360", "0.00", TTape::Metre, line, reason));
    EXPECT_EQ(line, "@ 360.00 360.00 0.00 1.00");
    ASSERT_TRUE(BuildInstrumentLine("400", "400", "-1.50", TTape::Centimetre, line, reason));
    EXPECT_EQ(line, "@ 400.00 400.00 -1.50 100");
    ASSERT_TRUE(BuildInstrumentLine("360", "360", "2.5", TTape::Feet, line, reason));
    EXPECT_EQ(line, "@ 360.00 360.00 2.5 3.2808");

    // 32.808 feet is ten metres.
    const std::vector<std::string> lines = {
        "Hola", ";", ";", "360 360 0 1", "0 0 0", line, "A001 A002 0.00 0.00 32.808 0 0 0 0"};
    const TKviste cave = Read(Joined(lines));
    ASSERT_EQ(cave.InstrumentCount, 2);
    EXPECT_EQ(cave.Instruments[1].LengthUnit, 3.2808);
    EXPECT_NEAR(cave.Lines[1].Length, 10.0, 1e-12);

    EXPECT_FALSE(BuildInstrumentLine("360", "360", "MisvisnCombo", TTape::Metre, line, reason));
    EXPECT_EQ(reason, "The declination \"MisvisnCombo\" is not a number.");
    EXPECT_FALSE(BuildInstrumentLine("", "360", "0.00", TTape::Metre, line, reason));
}

TEST(TextEditInstruments, InstrumentInForceAndItsLabels) {
    const std::vector<std::string> lines = {"Hola",
                                            ";",
                                            ";",
                                            "400.00 400.00 0.00 1.00",
                                            "0 0 0",
                                            "A001 A001 0 0 0 0 0 0 0",
                                            "@ 360 360 2.5 100",
                                            "A001 A002 1 2 3 4 5 6 7",
                                            "@ 3600 x"};
    auto firstChar = [&](std::int64_t i) {
        const std::string& l = lines.at(static_cast<std::size_t>(i));
        return l.empty() ? '\0' : l.front();
    };
    EXPECT_EQ(InstrumentLineFor(5, firstChar), 3);
    EXPECT_EQ(InstrumentLineFor(7, firstChar), 6);
    EXPECT_EQ(InstrumentLineFor(6, firstChar), 6);
    EXPECT_EQ(InstrumentLineFor(2, firstChar), 3);

    using Texts = std::array<std::string, 3>;
    EXPECT_EQ(InstrumentTexts(lines[3]), (Texts{"400.00", "400.00", "1.00"}));
    EXPECT_EQ(InstrumentTexts(lines[6]), (Texts{"360", "360", "100"}));
    EXPECT_EQ(InstrumentTexts(lines[8]), (Texts{"3600", "FEIL!!!!", "FEIL!!!!"}));
}

TEST(TextEditFiles, LineEndsForTheMemoAndBack) {
    EXPECT_EQ(ToMemoLines("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(ToMemoLines("a\nb"), "a\nb");
    EXPECT_EQ(ToMemoLines("a\rb\r"), "a\rb\r"); // a lone CR is a character of the line
    EXPECT_EQ(ToFileLines("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(ToFileLines("a"), "a");
}
