// Speed of a whole loop correction run (detection, paths, passes, re-placement, four files)
// on a generated survey.
#include "BenchSupport.h"
#include "SurveyGenerator.h"
#include "model/FileIO.h"
#include "model/SurveyReader.h"
#include "reduction/Loops.h"
#include "reduction/Reduction.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const FixedClock kClock("01.02.2026 10:00:00");

// The survey as a processing leaves it: read, vectors, stations placed.
TKviste ProcessedSurvey(std::int64_t shots, double loopShare) {
    TGeneratorOptions options;
    options.Shots = shots;
    options.LoopShare = loopShare;
    const std::string text = GenerateSurvey(options);
    TKviste cave;
    std::string header2, log;
    if (!ReadSurveyText(text, "bench.grt", cave, header2, kClock, log).Ok)
        std::abort();
    ComputeLegVectors(cave);
    LinkStations(cave);
    return cave;
}

void BM_CorrectLoops(benchmark::State& state) {
    const TKviste processed = ProcessedSurvey(state.range(0), 0.02);
    BenchDir dir;
    const std::string dataFile = dir.File("bench.grt");
    TLoopTable loops;
    for (auto _ : state) {
        state.PauseTiming();
        TKviste cave = processed;
        state.ResumeTiming();
        const TCorrectionResult r = CorrectLoops(cave, loops, 10, dataFile, kClock);
        if (!r.Ok)
            state.SkipWithError(r.Reason.c_str());
        benchmark::DoNotOptimize(cave.Lines.data());
    }
    state.counters["loops"] = static_cast<double>(loops.LoopCount());
    state.counters["fix_MB"] =
        static_cast<double>(std::filesystem::file_size(dir.File("bench.Fix"))) / 1e6;
    state.counters["tmp_kB"] =
        static_cast<double>(std::filesystem::file_size(dir.File("bench.tmp"))) / 1e3;
}
BENCHMARK(BM_CorrectLoops)->Arg(65535)->Unit(benchmark::kMillisecond);

// Detection alone on a survey where every tenth shot closes a loop.
void BM_FindLoopsAndPaths(benchmark::State& state) {
    TKviste cave = ProcessedSurvey(state.range(0), 0.1);
    for (auto _ : state) {
        TLoopTable loops;
        TLoopPaths paths;
        std::string log, tmp;
        FindLoops(cave, loops, log);
        BuildLoopPaths(cave, loops, paths, tmp, log);
        benchmark::DoNotOptimize(tmp.data());
    }
}
BENCHMARK(BM_FindLoopsAndPaths)->Arg(65535)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
