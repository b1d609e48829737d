// Every survey of the project, and every input the fuzzer once found wrong, survives the round
// trip: the regular tests keep what the fuzz runs found.
#include "RoundTrip.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Corpus() {
    std::vector<std::string> files;
    for (const char* dir : {"tests/data", "examples", "tests/fuzz/regressions"}) {
        const fs::path root = SourcePath(dir);
        if (!fs::exists(root))
            continue;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file() && (e.path().extension() == ".grt" ||
                                        e.path().parent_path().filename() == "regressions"))
                files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TEST(SurveyRoundTrip, EverySurveyAndFindingSavesTheSameTwice) {
    TempDir dir;
    const std::vector<std::string> files = Corpus();
    ASSERT_GE(files.size(), 5u);
    for (const std::string& file : files) {
        const TRoundTripResult r = RunRoundTrip(ReadFileBytes(file), dir.Path());
        EXPECT_TRUE(r.Accepted) << file;
        EXPECT_TRUE(r.Same) << file << ": " << r.Problem;
    }
}
