#include "reduction/AdjustmentReport.h"
#include "AdjustmentNetworks.h"
#include "CaveBuilder.h"
#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const FixedClock kClock("01.02.2026 10:00:00");

TNetwork BlunderedNetwork(int& line) {
    TNetworkOptions o;
    o.SdTape = 0.02;
    o.SdCompass = o.SdClino = 0.25;
    o.MaxLegs = 1;
    o.Branches = 0;
    o.Seed = 5;
    TNetwork net = MakeNetwork(o);
    line = 2;
    net.Cave.Lines[line].Compass += 10;
    Reduce(net.Cave);
    return net;
}

// A ring A B C D E A, walked from A, a loose pair X Y between, and a bridge E F to a second
// ring F G H F.
TKviste MakeCaveForReport() {
    return MakeCave({{"A", "A"},
                     {"A", "B", 0, 0, 10},
                     {"B", "C", 90, 0, 10},
                     {"C", "D", 180, 0, 10},
                     {"X", "Y", 0, 0, 3},
                     {"D", "E", 270, 0, 5},
                     {"A", "E", 270, 0, 5.2},
                     {"E", "F", 300, 0, 20},
                     {"F", "G", 0, 0, 5},
                     {"G", "H", 90, 0, 5},
                     {"H", "F", 225, 0, 7}});
}

TAdjustmentSettings Precise() {
    TAdjustmentSettings s;
    s.SdTape = 0.02;
    s.SdCompass = s.SdClino = 0.25;
    return s;
}

} // namespace

TEST(AdjustmentReport, RunMovesStationsWritesListingsAndNamesTheBlunder) {
    TempDir dir;
    int line = 0;
    TNetwork net = BlunderedNetwork(line);
    TKviste& cave = net.Cave;
    const std::string dataFile = dir.File("nett.grt");
    TSummaryValues summary;
    const TAdjustmentRun run = RunAdjustment(cave, summary, Precise(), dataFile, kClock);
    ASSERT_TRUE(run.Ok) << run.Message;
    EXPECT_TRUE(run.WriteErrors.empty());
    EXPECT_EQ(run.ReportFile, dir.File("nett.lsq"));

    const std::string report = ReadFileBytes(run.ReportFile);
    const Tdatalinje& l = cave.Lines[line];
    const std::string suspect =
        "1. " + l.FromName.str() + " " + l.ToName.str() + ": compass about ";
    EXPECT_NE(report.find(suspect), std::string::npos) << report;
    EXPECT_NE(report.find("FLAGGED"), std::string::npos);
    EXPECT_NE(report.find("Traverses flagged:"), std::string::npos);
    EXPECT_NE(report.find("\r\n"), std::string::npos);

    // The listings follow the moved stations; the loop correction's files are not written.
    for (int i = 1; i <= cave.LineCount; ++i)
        EXPECT_EQ(cave.Lines[i].Pos, *run.Adjustment.PositionOf(cave.Lines[i].ToName));
    const std::string krt = ReadFileBytes(dir.File("nett.krt"));
    EXPECT_NE(krt.find(FormatReal(cave.Lines[3].Pos.X, 0, 2)), std::string::npos);
    for (const char* ext : {".Log", ".tmp", ".Fix", ".lop"})
        EXPECT_FALSE(FileExists(ChangeExtension(dataFile, ext))) << ext;
}

TEST(AdjustmentReport, FailedRunChangesNothingAndWritesNothing) {
    TempDir dir;
    int line = 0;
    TNetwork net = BlunderedNetwork(line);
    const TKviste before = net.Cave;
    TAdjustmentSettings zero;
    zero.SdTape = zero.SdCompass = zero.SdClino = 0;
    TSummaryValues summary;
    const TAdjustmentRun run = RunAdjustment(net.Cave, summary, zero, dir.File("n.grt"), kClock);
    EXPECT_FALSE(run.Ok);
    EXPECT_NE(run.Message.find("standard deviation of zero"), std::string::npos) << run.Message;
    EXPECT_FALSE(FileExists(dir.File("n.lsq")));
    EXPECT_FALSE(FileExists(dir.File("n.krt")));
    for (int i = 1; i <= before.LineCount; ++i)
        EXPECT_EQ(net.Cave.Lines[i].Pos, before.Lines[i].Pos);
}

TEST(AdjustmentReport, ListsTraversesWithTheirShotsAndLooseStations) {
    TKviste cave = MakeCaveForReport();
    Reduce(cave);
    const TAdjustmentSettings settings;
    const TAdjustment a = AdjustNetwork(cave, settings);
    ASSERT_TRUE(a.Ok) << a.Message;
    const std::string text = AdjustmentReportText(cave, a, settings, "c.grt", kClock);
    EXPECT_NE(text.find("lines 2-4 6\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Stations not connected to the start"), std::string::npos);
    EXPECT_NE(text.find("\r\n  X   "), std::string::npos) << text;
    EXPECT_NE(text.find("with 6 degrees of freedom"), std::string::npos) << text;
    // The bridge E F closes nothing: it is counted, not listed, and never flagged.
    EXPECT_NE(text.find("(1 traverses on no loop are not listed)"), std::string::npos) << text;
    EXPECT_EQ(text.find("lines 8\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("lines 9-11"), std::string::npos) << text;
}
