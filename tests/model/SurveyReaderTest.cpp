// Survey file reader: conversions, attachment of comments/scans/photos, the log, bad input.
#include "model/SurveyReader.h"
#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <filesystem>

namespace {

const FixedClock kClock("01.02.2026 10:00:00");

struct Loaded {
    TReadResult Result;
    TKviste Cave;
    std::string Header2;
    std::string Log;
};

Loaded ReadText(const std::string& text) {
    Loaded l;
    l.Result = ReadSurveyText(text, "test.grt", l.Cave, l.Header2, kClock, l.Log);
    return l;
}

const std::string kHeader = "Cave\r\n;\r\ninfo\r\n360 360 0 1\r\n0 0 0\r\n";

} // namespace

TEST(SurveyReader, TemplateFile) {
    TempDir dir;
    const std::string file = dir.File("template.grt");
    WriteFileBytes(file, ReadFileBytes(TestDataPath("model/template.grt")));
    TKviste cave;
    std::string h2;
    const TReadResult r = ReadSurveyFile(file, cave, h2, kClock);
    ASSERT_TRUE(r.Ok) << r.Message << " " << r.Reason;
    EXPECT_TRUE(r.LogWritten);
    EXPECT_EQ(cave.CaveName, "Kvistenavn");
    EXPECT_EQ(h2, ";");
    EXPECT_EQ(cave.SurveyInfo, "; comments: who did what and When??");
    EXPECT_EQ(cave.LineCount, 1);
    EXPECT_EQ(cave.Lines[1].FromName, str4("A001"));
    EXPECT_EQ(cave.Lines[1].ToName, str4("A001"));
    EXPECT_EQ(cave.CommentCount, 3);
    EXPECT_EQ(cave.InstrumentCount, 1);
    EXPECT_EQ(cave.Lines[1].Comment, "    siste datasett");
    EXPECT_TRUE(cave.Lines[1].HasComment);
    EXPECT_EQ(cave.Instruments[0].CompassCircle, 400);
    EXPECT_TRUE(FileExists(dir.File("Kvistrel.log")));
}

TEST(SurveyReader, ConvertsWithTheInstrumentInForce) {
    Loaded g = ReadText("C\r\n;\r\ni\r\n400.00 400.00 0.00 1.00\r\n0 0 0\r\n"
                        "A1   A2   100 50 3 0 0 0 0\r\n");
    ASSERT_TRUE(g.Result.Ok);
    EXPECT_DOUBLE_EQ(g.Cave.Lines[1].Compass, 90);
    EXPECT_DOUBLE_EQ(g.Cave.Lines[1].Clino, 45);

    Loaded d = ReadText("C\r\n;\r\ni\r\n360 360 2.5 1\r\n0 0 0\r\nA1   A2   359 0 3 0 0 0 0\r\n");
    ASSERT_TRUE(d.Result.Ok);
    EXPECT_DOUBLE_EQ(d.Cave.Lines[1].Compass, 361.5); // not reduced into 0..360

    // Feet: 3.28 units per metre; passage dimensions convert with the length.
    Loaded f = ReadText("C\r\n;\r\ni\r\n360 360 0 2\r\n0 0 0\r\nA1   A2   0 0 10 4 2 6 8\r\n");
    ASSERT_TRUE(f.Result.Ok);
    EXPECT_DOUBLE_EQ(f.Cave.Lines[1].Length, 5);
    EXPECT_DOUBLE_EQ(f.Cave.Lines[1].Right, 2);
    EXPECT_DOUBLE_EQ(f.Cave.Lines[1].Left, 1);
    EXPECT_DOUBLE_EQ(f.Cave.Lines[1].Down, 3);
    EXPECT_DOUBLE_EQ(f.Cave.Lines[1].Up, 4);
}

TEST(SurveyReader, ColumnsAndNumberOrder) {
    Loaded l = ReadText(kHeader + "A1   A2   10.5 -3 4.2 1 1 0.5 2\r\n");
    ASSERT_TRUE(l.Result.Ok);
    const Tdatalinje& d = l.Cave.Lines[1];
    EXPECT_EQ(d.FromName, str4("A1  "));
    EXPECT_EQ(d.ToName, str4("A2  "));
    EXPECT_NE(d.ToName, str4("A2")); // trailing blanks count
    EXPECT_DOUBLE_EQ(d.Compass, 10.5);
    EXPECT_DOUBLE_EQ(d.Clino, -3);
    EXPECT_DOUBLE_EQ(d.Length, 4.2);
    EXPECT_DOUBLE_EQ(d.Right, 1);
    EXPECT_DOUBLE_EQ(d.Left, 1);
    EXPECT_DOUBLE_EQ(d.Down, 0.5);
    EXPECT_DOUBLE_EQ(d.Up, 2);

    // Tabs count as one column; numbers may continue on the next line, which is then used up.
    Loaded t = ReadText(
        kHeader + "A\t1\tB\t2 1 2 3\r\n4 5 6 7 8 ignored words\r\nB\t2\tC\t3 1 1 1 1 1 1 1\r\n");
    ASSERT_TRUE(t.Result.Ok) << t.Result.Reason;
    ASSERT_EQ(t.Cave.LineCount, 2);
    EXPECT_EQ(t.Cave.Lines[1].FromName, str4("A\t1\t"));
    EXPECT_EQ(t.Cave.Lines[1].ToName, str4("\t2 1")); // column 5 is "B"
    EXPECT_DOUBLE_EQ(t.Cave.Lines[1].Compass, 2);
    EXPECT_DOUBLE_EQ(t.Cave.Lines[1].Up, 8);

    // A to-name cut short by the end of its line stays short.
    Loaded s = ReadText(kHeader + "A1   B\r\n1 2 3 4 5 6 7\r\n");
    ASSERT_TRUE(s.Result.Ok);
    EXPECT_EQ(s.Cave.Lines[1].ToName, str4("B"));
    EXPECT_DOUBLE_EQ(s.Cave.Lines[1].Up, 7);
}

TEST(SurveyReader, AttachesCommentsScansAndPhotos) {
    Loaded l = ReadText(kHeader + ";first\r\n;before any shot\r\n"
                                  "A1   A1   0 0 0 0 0 0 0\r\n"
                                  "A1   A2   0 0 5 0 0 0 0\r\n;one\r\n;two\r\n"
                                  "@ 400 400 0 1\r\n"
                                  "#  2 100\r\n#  50 2\r\n# -100 3\r\n"
                                  "$ 2\r\n$   a b.jpg \r\n$c.jpg\r\n");
    ASSERT_TRUE(l.Result.Ok) << l.Result.Reason;
    const TKviste& c = l.Cave;
    EXPECT_EQ(c.Lines[0].Comment, "    before any shot");
    EXPECT_TRUE(c.Lines[0].HasComment);
    EXPECT_EQ(c.Lines[2].Comment, "    two"); // the later comment replaces the earlier
    EXPECT_EQ(c.CommentCount, 5);
    EXPECT_EQ(c.InstrumentCount, 2);
    // The instrument line between the shot and its scan becomes the shot's instrument.
    EXPECT_EQ(c.Lines[2].Instrument, 1);
    ASSERT_TRUE(c.Lines[2].HasScan);
    EXPECT_EQ(c.Lines[2].ScanCount, 2);
    EXPECT_DOUBLE_EQ(c.Lines[2].ScanPlane, 90);
    EXPECT_DOUBLE_EQ(c.Lines[2].ScanPoints[0].Angle, 45);
    EXPECT_DOUBLE_EQ(c.Lines[2].ScanPoints[1].Angle, -90);
    EXPECT_DOUBLE_EQ(c.Lines[2].ScanPoints[1].Distance, 3);
    EXPECT_EQ(c.ScanPointCount, 2);
    ASSERT_TRUE(c.Lines[2].HasPhotos);
    EXPECT_EQ(c.Lines[2].Photos, (TPhotoArray{"a b.jpg ", "c.jpg"}));
    EXPECT_EQ(c.Lines[2].PhotoCount, 2);
}

TEST(SurveyReader, LogLineForLine) {
    TempDir dir;
    const std::string file = dir.File("small.grt");
    WriteFileBytes(file, ReadFileBytes(TestDataPath("model/small.grt")));
    TKviste cave;
    std::string h2;
    ASSERT_TRUE(ReadSurveyFile(file, cave, h2, kClock).Ok);
    // The log's first line names the file exactly as passed in, so compare without it.
    std::string log = ReadFileBytes(dir.File("Kvistrel.log"));
    const std::string first = "File reading LogFile for : " + file + "\r\n";
    ASSERT_EQ(log.compare(0, first.size(), first), 0);
    WriteFileBytes(dir.File("rest.log"), log.substr(first.size()));
    EXPECT_TRUE(MatchesGolden("model/small.log", dir.File("rest.log")));
}

TEST(SurveyReader, BlankLinesAndUncountedLinesGrowNothingWrong) {
    // Blank lines (a trailing one is common) are skipped, inside blocks too; lines starting
    // with "%" or "&" are data lines the first pass did not count.
    Loaded l = ReadText(kHeader + "\r\nA1   A1   0 0 0 0 0 0 0\r\n  \t \r\n"
                                  "#  2 0\r\n\r\n# 0 1\r\n   \r\n# 0 2\r\n"
                                  "%1   %2   0 0 1 0 0 0 0\r\n&1   &2   0 0 1 0 0 0 0\r\n\r\n");
    ASSERT_TRUE(l.Result.Ok) << l.Result.Reason;
    EXPECT_EQ(l.Result.CountedLines, 1);
    EXPECT_EQ(l.Cave.LineCount, 3);
    EXPECT_EQ(l.Cave.Lines.size(), 4u);
    EXPECT_EQ(l.Cave.Lines[1].ScanCount, 2);
    EXPECT_EQ(l.Cave.Lines[3].FromName, str4("&1  "));
}

TEST(SurveyReader, ErrorNamesTheRealLineAndLogStopsBeforeIt) {
    Loaded l = ReadText(kHeader + "A1   A1   0 0 0 0 0 0 0\r\n;note\r\n#  1 0\r\n# 0 1\r\n"
                                  "A1   A2   10 0 1,5 0 0 0 0\r\n");
    EXPECT_FALSE(l.Result.Ok);
    EXPECT_EQ(l.Result.ErrorLine, 10);
    EXPECT_EQ(l.Result.Message, "File reading Error at line 10");
    EXPECT_NE(l.Result.Reason.find("1,5"), std::string::npos);
    const std::string tail = "   ---> 0 av: 1  0.00  0.00  1.00  OK\r\n";
    ASSERT_GE(l.Log.size(), tail.size());
    EXPECT_EQ(l.Log.substr(l.Log.size() - tail.size()), tail);

    // A number continued on the next line fails there.
    Loaded c = ReadText(kHeader + "A1   A1   0 0 0\r\n0 0 x 0\r\n");
    EXPECT_EQ(c.Result.ErrorLine, 7);
}

TEST(SurveyReader, EveryKindOfRealTakesAPlusSign) {
    Loaded l = ReadText("C\r\n;\r\ni\r\n+400 +400.00 +0.5 +1.0E+0\r\n+1.5 +2 -3e+1\r\n"
                        "A1   A2   +100 +50.00 +4.2 +1 +1e0 +0.5 +2\r\n"
                        "@ +360 +360 -2.5 +2\r\n"
                        "#  +2 +100\r\n#  +50 +2\r\n# -90 +3.0\r\n"
                        "A2   A3   +10 -10 +6 +2 +2 +2 +2\r\n$ +1\r\n$ a.jpg\r\n");
    ASSERT_TRUE(l.Result.Ok) << l.Result.Reason;
    const TKviste& c = l.Cave;
    EXPECT_EQ(c.Instruments[0], (TInstrument{400, 400, 0.5, 1}));
    EXPECT_EQ(c.StartPos, (TVec3{1.5, 2, -30}));
    const Tdatalinje& a = c.Lines[1];
    EXPECT_DOUBLE_EQ(a.Compass, 90.5);
    EXPECT_DOUBLE_EQ(a.Clino, 45);
    EXPECT_DOUBLE_EQ(a.Length, 4.2);
    EXPECT_DOUBLE_EQ(a.Left, 1);
    EXPECT_DOUBLE_EQ(a.Up, 2);
    ASSERT_EQ(c.InstrumentCount, 2);
    EXPECT_EQ(c.Instruments[1], (TInstrument{360, 360, -2.5, 2}));
    ASSERT_EQ(a.ScanCount, 2);
    EXPECT_DOUBLE_EQ(a.ScanPlane, 97.5);
    EXPECT_DOUBLE_EQ(a.ScanPoints[0].Angle, 50);
    EXPECT_DOUBLE_EQ(a.ScanPoints[0].Distance, 1);
    EXPECT_DOUBLE_EQ(a.ScanPoints[1].Distance, 1.5);
    const Tdatalinje& b = c.Lines[2];
    EXPECT_DOUBLE_EQ(b.Compass, 7.5);
    EXPECT_DOUBLE_EQ(b.Clino, -10);
    EXPECT_DOUBLE_EQ(b.Length, 3);
    EXPECT_EQ(b.PhotoCount, 1);

    // A sign is one character: "+-1" and "++1" are still not numbers, and say so.
    for (const char* bad : {"+-1", "++1", "+", "+.5"}) {
        Loaded w = ReadText(kHeader + "A1   A2   " + bad + " 0 0 0 0 0 0\r\n");
        EXPECT_FALSE(w.Result.Ok) << bad;
        EXPECT_NE(w.Result.Reason.find("is not a number"), std::string::npos) << w.Result.Reason;
    }
}

TEST(SurveyReader, AFileEndingInsideItsHeaderSaysSo) {
    // Line 4 is where the empty file fails, as before; the reason now tells why.
    struct Case {
        std::string Text;
        std::int64_t Line;
    };
    const Case cases[] = {
        {"", 4},
        {"Cave\r\n;\r\n", 4},
        {"Cave\r\n;\r\ni\r\n360 360 0", 4},
        {"Cave\r\n;\r\ni\r\n360 360 0 1\r\n", 5},
        {"Cave\r\n;\r\ni\r\n360 360 0 1\r\n0 0", 5},
    };
    for (const Case& c : cases) {
        Loaded l = ReadText(c.Text);
        EXPECT_FALSE(l.Result.Ok) << c.Text;
        EXPECT_EQ(l.Result.ErrorLine, c.Line) << c.Text;
        EXPECT_EQ(l.Result.Message, "File reading Error at line " + std::to_string(c.Line));
        EXPECT_EQ(l.Result.Reason, "the file ends inside its header") << c.Text;
        // The log still holds its three opening lines and nothing else.
        EXPECT_EQ(l.Log, "File reading LogFile for : test.grt\r\n0  data lines read; now "
                         "logging for errors!\r\n01.02.2026 10:00:00\r\n");
    }
    // A complete header with zeros still gets the instrument's own reason.
    Loaded z = ReadText("C\r\n;\r\ni\r\n0 360 0 1\r\n0 0 0\r\n");
    EXPECT_EQ(z.Result.ErrorLine, 4);
    EXPECT_NE(z.Result.Reason.find("must not be zero"), std::string::npos);
}

TEST(SurveyReader, AReadingThatOverflowsWhenConvertedIsAnErrorAtItsLine) {
    const std::string grads = "C\r\n;\r\ni\r\n400 400 0 1e-300\r\n0 0 0\r\n";
    struct Case {
        std::string Text;
        std::int64_t Line;
    };
    const Case cases[] = {
        {kHeader + "A1   A2   1e306 0 1 0 0 0 0\r\n", 6},     // compass * 360
        {kHeader + "A1   A2   0\r\n-1e307 1 0 0 0 0\r\n", 7}, // clino, on the next line
        {grads + "A1   A2   0 0 1e10 0 0 0 0\r\n", 6},        // length / tiny unit
        {grads + "A1   A2   0 0 0 0 0 0 1e9\r\n", 6},         // passage dimension
        {kHeader + "A1   A2   0 0 1 0 0 0 0\r\n#  1 1e307\r\n# 0 1\r\n", 7}, // scan plane
        {grads + "A1   A2   0 0 0 0 0 0 0\r\n#  1 0\r\n# 0 1e10\r\n", 8},    // scan distance
    };
    for (const Case& c : cases) {
        Loaded l = ReadText(c.Text);
        EXPECT_FALSE(l.Result.Ok) << c.Text;
        EXPECT_EQ(l.Result.ErrorLine, c.Line) << c.Text;
        EXPECT_NE(l.Result.Reason.find("too large for the instrument in force"), std::string::npos)
            << l.Result.Reason;
    }
    // The largest reading that still converts is taken.
    Loaded ok = ReadText(kHeader + "A1   A2   1e305 0 1.7e308 0 0 0 0\r\n");
    EXPECT_TRUE(ok.Result.Ok) << ok.Result.Reason;
}

TEST(SurveyReader, FailedReadLeavesTheModelAlone) {
    Loaded good = ReadText(kHeader + "A1   A1   0 0 0 0 0 0 0\r\n");
    ASSERT_TRUE(good.Result.Ok);
    std::string log;
    const TReadResult r = ReadSurveyText(kHeader + "A1   A1   0 0 nan 0 0 0 0\r\n", "x.grt",
                                         good.Cave, good.Header2, kClock, log);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(good.Cave.CaveName, "Cave");
    EXPECT_EQ(good.Cave.LineCount, 1);
    EXPECT_EQ(good.Header2, ";");
}

struct BadCase {
    const char* Name;
    std::string (*Text)(); // made when the case runs: some inputs are megabytes
    bool Ok;
    std::int64_t ErrorLine; // when not Ok
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.Name;
}

class SurveyReaderBadInput : public ::testing::TestWithParam<BadCase> {};

TEST_P(SurveyReaderBadInput, GivesTheDocumentedOutcome) {
    const BadCase& c = GetParam();
    Loaded l = ReadText(c.Text());
    EXPECT_EQ(l.Result.Ok, c.Ok) << l.Result.Message << " " << l.Result.Reason;
    if (!c.Ok) {
        // 0: any line, as long as the message names the one it stopped at.
        if (c.ErrorLine > 0) {
            EXPECT_EQ(l.Result.ErrorLine, c.ErrorLine) << l.Result.Reason;
        }
        EXPECT_GE(l.Result.ErrorLine, 1);
        EXPECT_EQ(l.Result.Message,
                  "File reading Error at line " + std::to_string(l.Result.ErrorLine));
        EXPECT_FALSE(l.Result.Reason.empty());
    }
}

static std::string Garbage() {
    std::string g;
    std::uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1664525u + 1013904223u;
        g.push_back(static_cast<char>(x >> 24));
    }
    return g;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SurveyReaderBadInput,
    ::testing::Values(
        BadCase{"EmptyFile", [] { return std::string(""); }, false, 4},
        BadCase{"HeaderOnly", [] { return std::string(kHeader); }, true, 0},
        BadCase{"BinaryGarbage", [] { return std::string(Garbage()); }, false, 0},
        BadCase{"HugeSingleLine", [] { return std::string(std::string(10 * 1024 * 1024, 'x')); },
                false, 4},
        BadCase{"DecimalComma",
                [] { return std::string(kHeader + "A1   A2   1,5 0 0 0 0 0 0\r\n"); }, false, 6},
        BadCase{"Nan", [] { return std::string(kHeader + "A1   A2   nan 0 0 0 0 0 0\r\n"); }, false,
                6},
        BadCase{"Inf", [] { return std::string(kHeader + "A1   A2   0 inf 0 0 0 0 0\r\n"); }, false,
                6},
        BadCase{"OutOfRange",
                [] { return std::string(kHeader + "A1   A2   0 0 1e999 0 0 0 0\r\n"); }, false, 6},
        BadCase{"LeadingPoint",
                [] { return std::string(kHeader + "A1   A2   .5 0 0 0 0 0 0\r\n"); }, false, 6},
        BadCase{"HugeCountEndsAtEndOfFile",
                [] {
                    return std::string(kHeader +
                                       "A1   A2   0 0 1 0 0 0 0\r\n#  2147483647 0\r\n# 1 2\r\n");
                },
                true, 0},
        BadCase{"CountTooLarge",
                [] { return std::string(kHeader + "A1   A2   0 0 1 0 0 0 0\r\n$ 2147483648\r\n"); },
                false, 7},
        BadCase{"NegativeScanCount",
                [] { return std::string(kHeader + "A1   A2   0 0 1 0 0 0 0\r\n#  -1 0\r\n"); },
                false, 7},
        BadCase{"NegativePhotoCount",
                [] { return std::string(kHeader + "A1   A2   0 0 1 0 0 0 0\r\n$ -3\r\n"); }, false,
                7},
        BadCase{
            "FractionalCount",
            [] { return std::string(kHeader + "A1   A2   0 0 1 0 0 0 0\r\n$ 1.0\r\na.jpg\r\n"); },
            false, 7},
        BadCase{"ZeroCompassCircle",
                [] { return std::string("C\r\n;\r\ni\r\n0 360 0 1\r\n0 0 0\r\n"); }, false, 4},
        BadCase{"ZeroLengthUnitLater",
                [] {
                    return std::string(kHeader +
                                       "A1   A2   0 0 1 0 0 0 0\r\n\r\n@ 360 360 0 0\r\n");
                },
                false, 8},
        BadCase{"ExtraScanPointIsAnError",
                [] {
                    return std::string(
                        kHeader +
                        "A1   A2   0 0 1 0 0 0 0\r\n# 1 0\r\n# 1 1\r\n#   0.00   2.00\r\n");
                },
                false, 9},
        BadCase{
            "CrOnlyLineEnds",
            [] { return std::string("Cave\r;\ri\r360 360 0 1\r0 0 0\rA1   A2   0 0 1 0 0 0 0\r"); },
            false, 4},
        BadCase{
            "LoneLfLineEnds",
            [] { return std::string("Cave\n;\ni\n360 360 0 1\n0 0 0\nA1   A2   0 0 1 0 0 0 0\n"); },
            true, 0},
        BadCase{"MissingNumbersAtEndReadAsZero",
                [] { return std::string(kHeader + "A1   A2   0 0"); }, true, 0}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.Name); });

TEST(SurveyReader, MissingFileAndDirectory) {
    TempDir dir;
    TKviste cave;
    std::string h2;
    TReadResult r = ReadSurveyFile(dir.File("nothere.grt"), cave, h2, kClock);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.FileMissing);
    EXPECT_FALSE(FileExists(dir.File("Kvistrel.log"))); // nothing else happens

    r = ReadSurveyFile(dir.Path(), cave, h2, kClock);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.FileMissing);
    EXPECT_EQ(cave.CaveName, "NOCAVE");
}

TEST(SurveyReader, ASurveyNamedLikeTheLogIsNotOverwritten) {
    TempDir dir;
    const std::string file = dir.File("Kvistrel.log");
    const std::string text = ReadFileBytes(TestDataPath("model/template.grt"));
    WriteFileBytes(file, text);
    TKviste cave;
    std::string h2;
    const TReadResult r = ReadSurveyFile(file, cave, h2, kClock);
    EXPECT_TRUE(r.Ok);
    EXPECT_FALSE(r.LogWritten);
    ASSERT_EQ(r.Notices.size(), 1u);
    EXPECT_EQ(ReadFileBytes(file), text);
}

TEST(SurveyReader, CountDataLines) {
    EXPECT_EQ(
        CountDataLinesIn(
            kHeader + "A\r\n;c\r\n#1 0\r\n# 1 1\r\n$ 1\r\n$a\r\n@1 1 0 1\r\n%x\r\n&y\r\n\r\nB\r\n")
            .Count,
        2);
    EXPECT_EQ(CountDataLinesIn("").Count, 0);
    EXPECT_FALSE(CountDataLines("/nonexistent/file.grt").Ok);
}
