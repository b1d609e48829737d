// Speed and peak memory of the least-squares adjustment on generated surveys with one shot in
// fifty closing a loop (65,535 shots give about 1,311 loops, 1,000,000 about 20,000).
#include "SurveyGenerator.h"
#include "model/SurveyReader.h"
#include "reduction/NetworkAdjustment.h"
#include "reduction/Reduction.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>

namespace {

const FixedClock kClock("01.02.2026 10:00:00");

double PeakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_AdjustNetwork(benchmark::State& state) {
    TGeneratorOptions options;
    options.Shots = state.range(0);
    options.LoopShare = 0.02;
    TKviste cave;
    {
        const std::string text = GenerateSurvey(options);
        std::string header2, log;
        if (!ReadSurveyText(text, "bench.grt", cave, header2, kClock, log).Ok)
            std::abort();
    }
    ComputeLegVectors(cave);
    LinkStations(cave);
    const double before = PeakMegabytes();
    TAdjustment last;
    for (auto _ : state) {
        TAdjustment a = AdjustNetwork(cave, {});
        if (!a.Ok)
            state.SkipWithError(a.Message.c_str());
        benchmark::DoNotOptimize(a.Positions.data());
        state.PauseTiming();
        last = std::move(a);
        state.ResumeTiming();
    }
    state.counters["loops"] = static_cast<double>(last.DegreesOfFreedom / 3);
    state.counters["junctions"] = static_cast<double>(last.Junctions);
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["adjust_peak_MB"] = PeakMegabytes() - before;
}
BENCHMARK(BM_AdjustNetwork)->Arg(65535)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
