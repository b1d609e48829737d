// Speed of station placement and of the whole processing chain on generated surveys.
#include "BenchSupport.h"
#include "SurveyGenerator.h"
#include "model/FileIO.h"
#include "model/SurveyReader.h"
#include "reduction/Listings.h"
#include "reduction/Processing.h"
#include "reduction/Reduction.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const FixedClock kClock("01.02.2026 10:00:00");

std::string SurveyText(std::int64_t shots) {
    TGeneratorOptions options;
    options.Shots = shots;
    return GenerateSurvey(options);
}

bool ReadInto(const std::string& text, TKviste& cave) {
    std::string header2, log;
    return ReadSurveyText(text, "bench.grt", cave, header2, kClock, log).Ok;
}

// ComputeLegVectors and LinkStations on a survey already in memory.
void BM_Reduction(benchmark::State& state) {
    TKviste cave;
    if (!ReadInto(SurveyText(state.range(0)), cave)) {
        state.SkipWithError("generated survey did not read");
        return;
    }
    for (auto _ : state) {
        ComputeLegVectors(cave);
        benchmark::DoNotOptimize(LinkStations(cave));
    }
    state.SetItemsProcessed(state.iterations() * cave.LineCount);
}
BENCHMARK(BM_Reduction)->Arg(65535)->Unit(benchmark::kMillisecond);

// The four listings alone, to see what the chain spends on text and files.
void BM_Listings(benchmark::State& state) {
    TKviste cave;
    if (!ReadInto(SurveyText(state.range(0)), cave)) {
        state.SkipWithError("generated survey did not read");
        return;
    }
    ComputeLegVectors(cave);
    LinkStations(cave);
    TSummaryValues summary;
    ComputeStatistics(cave, summary);
    BenchDir dir;
    const std::string data = dir.File("bench.grt");
    std::string reason;
    for (auto _ : state) {
        WriteCartesianListing(ChangeExtension(data, ".krt"), cave, kClock, reason);
        WriteCommentsListing(ChangeExtension(data, ".kom"), data, cave, kClock, reason);
        WriteStatistics(ChangeExtension(data, ".sta"), cave, summary, kClock, reason);
        WriteScanList(ChangeExtension(data, ".scn"), cave, kClock, reason);
    }
}
BENCHMARK(BM_Listings)->Arg(65535)->Unit(benchmark::kMillisecond);

// Read from the file, reduce, statistics, four listings written: what one processing costs.
void BM_WholeChain(benchmark::State& state) {
    BenchDir dir;
    const std::string data = dir.File("bench.grt");
    std::string reason;
    if (!WriteFileAtomically(data, SurveyText(state.range(0)), reason, false)) {
        state.SkipWithError(reason.c_str());
        return;
    }
    for (auto _ : state) {
        TKviste cave;
        std::string header2;
        if (!ReadSurveyFile(data, cave, header2, kClock).Ok) {
            state.SkipWithError("generated survey did not read");
            return;
        }
        TSummaryValues summary;
        const TProcessResult r = ProcessCave(cave, summary, data, kClock);
        if (!r.ListingErrors.empty()) {
            state.SkipWithError(r.ListingErrors.front().c_str());
            return;
        }
    }
}
BENCHMARK(BM_WholeChain)->Arg(65535)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
