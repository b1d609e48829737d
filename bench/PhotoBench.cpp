// The photo viewer's work on a large survey: finding a station's photo line, sorting its list.
#include "SurveyGenerator.h"

#include "model/SurveyReader.h"
#include "photos/PhotoList.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

// A million shots as generated, one in a hundred with photos.
TKviste& MillionShots() {
    static TKviste cave = [] {
        TGeneratorOptions o;
        o.Shots = 1'000'000;
        o.Seed = 2024;
        TKviste c;
        std::string line2, log;
        const FixedClock clock("01.01.2026 00:00:00");
        if (!ReadSurveyText(GenerateSurvey(o), "gen.grt", c, line2, clock, log).Ok)
            throw std::runtime_error("generated survey unreadable");
        return c;
    }();
    return cave;
}

// One click on "&Photos": every shot is looked at once to find the station's lines.
void BM_PhotoLineOf(benchmark::State& state) {
    TKviste& cave = MillionShots();
    const std::int32_t line = cave.LineCount;
    for (auto _ : state)
        benchmark::DoNotOptimize(PhotoLineOf(cave, line));
}

// A station with many photos set up in the viewer, then one more added.
void BM_LoadPhotoList(benchmark::State& state) {
    TPhotoArray photos;
    for (int i = 0; i < state.range(0); ++i)
        photos.push_back("C:\\Huler\\foto\\bilde" + std::to_string((i * 7919) % 100000) + ".jpg");
    TPhotoLists lists;
    for (auto _ : state) {
        lists.Load(photos, static_cast<std::int32_t>(photos.size()));
        benchmark::DoNotOptimize(lists.Add("..\\foto\\ny.jpg"));
    }
}

} // namespace

BENCHMARK(BM_PhotoLineOf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPhotoList)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
