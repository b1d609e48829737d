// The survey round trip used by the fuzz target and the corpus test.
#include "RoundTrip.h"

#include "model/FileIO.h"
#include "model/SurveyReader.h"
#include "model/SurveyWriter.h"
#include "reduction/Listings.h"
#include "reduction/Loops.h"
#include "reduction/Reduction.h"

namespace {

// The first line where two texts differ, both lines shown.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t start = 0, line = 1;
    for (std::size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i)
        if (a[i] == '\n') {
            start = i + 1;
            ++line;
        }
    auto lineOf = [&](const std::string& s) {
        const std::size_t end = s.find('\n', start);
        return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
    };
    return "line " + std::to_string(line) + ": first save \"" + lineOf(a) + "\", second save \"" +
           lineOf(b) + "\"";
}

} // namespace

TRoundTripResult RunRoundTrip(std::string_view input, const std::string& workDir) {
    TRoundTripResult result;
    const FixedClock clock("01.02.2026 10:00:00");
    TKviste cave;
    std::string header2, log;
    if (!ReadSurveyText(input, "fuzz.grt", cave, header2, clock, log).Ok)
        return result;
    result.Accepted = true;

    TSummaryValues summary;
    ComputeLegVectors(cave);
    LinkStations(cave);
    ComputeStatistics(cave, summary);
    CartesianListingText("fuzz.krt", cave, clock);
    CommentsListingText("fuzz.grt", cave, clock);
    StatisticsText(cave, summary, clock);
    ScanListText(cave, clock);

    // Small limits keep every run short; larger inputs are refused, which is tested as well.
    TLoopLimits limits;
    limits.MaxFileBytes = 4'000'000;
    limits.MaxMemoryBytes = 16'000'000;
    TLoopTable loops;
    CorrectLoops(cave, loops, 2, JoinPath(workDir, "fuzz.grt"), clock, nullptr, nullptr, &limits);

    const std::string first = SurveyFileText(cave, header2, clock);
    TKviste again;
    std::string againHeader2;
    const TReadResult reread = ReadSurveyText(first, "fuzz.grt", again, againHeader2, clock, log);
    if (!reread.Ok) {
        result.Same = false;
        result.Problem = "the saved file is refused: " + reread.Message + ": " + reread.Reason;
        return result;
    }
    const std::string second = SurveyFileText(again, againHeader2, clock);
    if (second != first) {
        result.Same = false;
        result.Problem = FirstDifference(first, second);
    }
    return result;
}
