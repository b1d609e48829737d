// The bundled example cave: it reads, it shows every feature of the file format, its photos
// exist, its loops close within decimetres, and it is laid out exactly as the writer lays it out.
#include "model/SurveyReader.h"
#include "model/SurveyWriter.h"
#include "reduction/Loops.h"
#include "reduction/Reduction.h"
#include "support/TestSupport.h"

#include <cmath>
#include <filesystem>
#include <set>
#include <vector>

namespace {

class ExampleCave : public ::testing::Test {
protected:
    void SetUp() override {
        text = ReadFileBytes(SourcePath("examples/Kvitberghola.grt"));
        ASSERT_FALSE(text.empty());
        std::string log;
        const TReadResult r = ReadSurveyText(text, "Kvitberghola.grt", cave, line2,
                                             FixedClock("01.02.2026 10:00:00"), log);
        ASSERT_TRUE(r.Ok) << r.Message << ": " << r.Reason;
    }
    const Tdatalinje& Line(std::int32_t i) const { return cave.Lines[static_cast<std::size_t>(i)]; }

    std::string text;
    TKviste cave;
    std::string line2;
};

TEST_F(ExampleCave, UsesEveryFeatureOfTheFormat) {
    EXPECT_GE(cave.LineCount, 60);
    EXPECT_LE(cave.LineCount, 150);
    EXPECT_GE(cave.InstrumentCount, 2);
    EXPECT_EQ(cave.Instruments.back().CompassCircle, 400);
    EXPECT_TRUE(Line(0).HasComment) << "a comment before the first data line";
    EXPECT_EQ(cave.SurveyInfo.find('#'), std::string::npos);

    EXPECT_EQ(Line(1).FromName, str4("A001"));
    EXPECT_EQ(Line(1).ToName, str4("A001"));
    EXPECT_EQ(Line(1).Length, 0);

    int scans = 0, photos = 0, comments = 0, dims = 0, repeated = 0, gentle = 0;
    std::set<std::string> reached, prefixes;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& l = Line(i);
        scans += l.HasScan;
        photos += l.HasPhotos;
        comments += l.HasComment;
        dims += l.Right > 0 && l.Left > 0 && l.Up > 0;
        gentle += std::fabs(l.Clino) <= 40;
        prefixes.insert(l.ToName.str().substr(0, 1));
        if (l.HasScan) {
            EXPECT_GE(l.ScanCount, 8) << "line " << i;
        }
        if (i > 1) {
            EXPECT_TRUE(reached.count(l.FromName.str())) << "line " << i << " starts nowhere";
            EXPECT_GE(l.Length, 2) << "line " << i;
            EXPECT_LE(l.Length, 25) << "line " << i;
        }
        repeated += !reached.insert(l.ToName.str()).second;
    }
    EXPECT_GE(scans, 3);
    EXPECT_GE(photos, 3);
    EXPECT_GE(comments, 5);
    EXPECT_GE(repeated, 2) << "closed loops";
    EXPECT_GE(prefixes.size(), 3u) << "side branches with their own series";
    EXPECT_GE(dims, cave.LineCount * 9 / 10);
    EXPECT_GE(gentle, cave.LineCount * 9 / 10);
}

TEST_F(ExampleCave, EveryPhotoNamedIsASmallJpegBesideIt) {
    int count = 0;
    for (std::int32_t i = 0; i <= cave.LineCount; ++i) {
        for (const std::string& name : Line(i).Photos) {
            ++count;
            const std::string path = SourcePath("examples/" + name);
            ASSERT_TRUE(std::filesystem::is_regular_file(path)) << name;
            const std::string bytes = ReadFileBytes(path);
            EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF") << name << " is not a JPEG";
            EXPECT_LT(bytes.size(), 30u * 1024) << name;
        }
    }
    EXPECT_GE(count, 3);
}

TEST_F(ExampleCave, LoopsCloseWithinDecimetres) {
    ComputeLegVectors(cave);
    EXPECT_TRUE(LinkStations(cave).empty());
    TLoopTable loops;
    std::string log;
    FindLoops(cave, loops, log);
    ASSERT_GE(loops.LoopCount(), 2);
    for (std::int64_t k = 1; k <= loops.LoopCount(); ++k) {
        const TVec3& m = loops.Loops[static_cast<std::size_t>(k)].Misclosure;
        const double d = std::sqrt(m.X * m.X + m.Y * m.Y + m.Z * m.Z);
        EXPECT_GT(d, 0.05) << "loop " << k << " is suspiciously exact";
        EXPECT_LT(d, 1.0) << "loop " << k;
    }
}

TEST_F(ExampleCave, IsLaidOutAsTheWriterLaysItOut) {
    // Writing it back changes only the stamp on line 3 and drops the comment before the first
    // shot, which the writer never writes.
    const std::string written = SurveyFileText(cave, line2, FixedClock("01.02.2026 10:00:00"));
    std::vector<std::size_t> lineStart{0};
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2))
        lineStart.push_back(p + 2);
    ASSERT_GT(lineStart.size(), 6u);
    const std::size_t firstShot = text.find("\r\nA001 A001") + 2;
    std::string expected = text.substr(0, lineStart[3] - 2) +
                           " #(File written by Kvistrel4.023 win)01.02.2026 10:00:00\r\n" +
                           text.substr(lineStart[3], lineStart[5] - lineStart[3]) +
                           text.substr(firstShot);
    ASSERT_GT(firstShot, lineStart[5]) << "a comment stands before the first shot";
    EXPECT_TRUE(SameBytes(expected, written));
}

} // namespace
