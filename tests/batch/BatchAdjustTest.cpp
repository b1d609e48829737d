// kvistrel-batch --adjust as a user runs it.
#include "Batch.h"
#include "SurveyGenerator.h"
#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <sstream>
#include <vector>

namespace {

int Batch(std::vector<std::string> args, std::string& out, std::string& err) {
    args.insert(args.begin(), "kvistrel-batch");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    std::ostringstream o, e;
    const int status = RunBatch(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return status;
}

} // namespace

TEST(BatchAdjust, WritesTheReportBesideTheFile) {
    TempDir dir;
    const std::string file = dir.File("gen.grt");
    TGeneratorOptions g;
    g.Shots = 2000;
    g.LoopShare = 0.05;
    WriteFileBytes(file, GenerateSurvey(g));
    std::string out, err;
    ASSERT_EQ(Batch({file, "--adjust", "--sd-tape", "0.05", "--sd-compass", "1", "--sd-clino",
                     "1.5", "--stamp", "X"},
                    out, err),
              0)
        << err;
    const std::string report = ReadFileBytes(dir.File("gen.lsq"));
    EXPECT_NE(report.find("tape 0.050 m, compass 1.00 degrees, clino 1.50 degrees"),
              std::string::npos)
        << report.substr(0, 400);
    EXPECT_NE(out.find("report:         " + dir.File("gen.lsq")), std::string::npos) << out;
    EXPECT_TRUE(FileExists(dir.File("gen.krt")));
}

TEST(BatchAdjust, RefusesBadDeviationsAndReportsASingularNetwork) {
    TempDir dir;
    std::string out, err;
    EXPECT_EQ(Batch({"a.grt", "--adjust", "--sd-tape", "-1"}, out, err), 2);
    EXPECT_NE(err.find("--sd-tape: The tape standard deviation"), std::string::npos) << err;
    EXPECT_EQ(Batch({"a.grt", "--sd-compass", "ten"}, out, err), 2);
    EXPECT_EQ(Batch({"a.grt", "--sd-clino"}, out, err), 2);

    const std::string file = dir.File("gen.grt");
    TGeneratorOptions g;
    g.Shots = 200;
    WriteFileBytes(file, GenerateSurvey(g));
    EXPECT_EQ(Batch({file, "--adjust", "--sd-tape", "0", "--sd-compass", "0", "--sd-clino", "0"},
                    out, err),
              1);
    EXPECT_NE(err.find("Least squares adjustment failed: The shot in line"), std::string::npos)
        << err;
    EXPECT_FALSE(FileExists(dir.File("gen.lsq")));
}
