// The batch program's plotter files of the example cave, byte for byte, at two views.
#include "BatchRun.h"
#include "model/FileIO.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <sstream>
#include <vector>

namespace {

int RunArgs(std::vector<std::string> args, std::string& err) {
    const BatchRun r = Batch(std::move(args));
    err = r.Err;
    return r.Status;
}

struct HpglView {
    const char* Name; // folder under tests/data/plot
    std::vector<std::string> Options;
};

class BatchHpgl : public ::testing::TestWithParam<HpglView> {};

} // namespace

TEST_P(BatchHpgl, MatchesTheGoldenFiles) {
    TempDir dir;
    const std::string file = dir.File("Kvitberghola.grt");
    WriteFileBytes(file, ReadFileBytes(SourcePath("examples/Kvitberghola.grt")));
    std::vector<std::string> args = {file, "--quiet", "--stamp", "09.12.2026 12:00:00", "--hpgl"};
    for (const std::string& o : GetParam().Options)
        args.push_back(o);
    std::string err;
    ASSERT_EQ(RunArgs(args, err), 0) << err;
    const std::string folder = std::string("plot/") + GetParam().Name + "/";
    for (const char* name : {"Kvitberghola.plt", "KvitbergholaRM.plt", "Rutenett.plt"})
        EXPECT_TRUE(MatchesGolden(folder + name, dir.File(name))) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Views, BatchHpgl,
    ::testing::Values(HpglView{"plan", {"--labels", "--walls", "--stations", "--scans", "--grid"}},
                      HpglView{"turned",
                               {"--rotation", "35", "--tilt", "-30", "--stations", "--labels",
                                "--grid"}}),
    [](const ::testing::TestParamInfo<HpglView>& info) { return std::string(info.param.Name); });

TEST(BatchHpglFiles, GridOnlyWhenAskedAndFailuresReported) {
    TempDir dir;
    const std::string file = dir.File("k.grt");
    WriteFileBytes(file, ReadFileBytes(SourcePath("examples/Kvitberghola.grt")));
    std::string err;
    ASSERT_EQ(RunArgs({file, "--quiet", "--hpgl"}, err), 0) << err;
    EXPECT_TRUE(FileExists(dir.File("k.plt")));
    EXPECT_TRUE(FileExists(dir.File("kRM.plt")));
    EXPECT_FALSE(FileExists(dir.File("Rutenett.plt")));
    // Without its own file the frame still carries the system's date; the view is the plan.
    EXPECT_NE(ReadFileBytes(dir.File("kRM.plt")).find("LBViewAspect:      0/-90\x03;;"),
              std::string::npos);

    // The tilt is clamped and shown so, the rotation shown as given.
    ASSERT_EQ(RunArgs({file, "--quiet", "--hpgl", "--rotation", "370", "--tilt", "200"}, err), 0);
    EXPECT_NE(ReadFileBytes(dir.File("kRM.plt")).find("LBViewAspect:    370/ 90\x03;;"),
              std::string::npos);

    // The cave file's name is taken by a directory: the run fails and says which file.
    std::filesystem::remove(dir.File("k.plt"));
    std::filesystem::create_directory(dir.File("k.plt"));
    EXPECT_EQ(RunArgs({file, "--quiet", "--hpgl"}, err), 1);
    EXPECT_NE(err.find("Could NOT write " + dir.File("k.plt") + " ("), std::string::npos) << err;

    EXPECT_EQ(RunArgs({file, "--hpgl", "--tilt", "nan"}, err), 2);
    EXPECT_EQ(RunArgs({file, "--hpgl", "--rotation"}, err), 2);
}
