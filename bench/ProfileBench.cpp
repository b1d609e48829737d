// The profile window's core on large inputs: station lookup over a million lines and the node
// conversions, data-file text and drawing of a polygon of many nodes.
#include "NullCanvas.h"
#include "SurveyGenerator.h"
#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "profile/CadInteraction.h"
#include "profile/ProfileCore.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A ring of n nodes of radius 3 m about the station.
TPolyGon Ring(std::int64_t n) {
    TPolyGon g;
    g.Count = static_cast<std::int32_t>(n);
    g.Pts.resize(static_cast<std::size_t>(n));
    g.WPts.resize(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * static_cast<double>(i) / static_cast<double>(n);
        g.WPts[static_cast<std::size_t>(i)] = {3 * std::cos(a), 3 * std::sin(a), 0};
    }
    g.Closed = true;
    return g;
}

void BM_GetTilLastLine(benchmark::State& state) {
    TGeneratorOptions options;
    options.Shots = state.range(0);
    TKviste cave;
    std::string header2, log;
    const FixedClock clock("01.02.2026 10:00:00");
    if (!ReadSurveyText(GenerateSurvey(options), "bench.grt", cave, header2, clock, log).Ok) {
        state.SkipWithError("survey not read");
        return;
    }
    const std::string last = cave.Lines[static_cast<std::size_t>(cave.LineCount)].ToName.str();
    for (auto _ : state)
        benchmark::DoNotOptimize(GetTil(cave, last));
}
BENCHMARK(BM_GetTilLastLine)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SaveAndLoadProfile(benchmark::State& state) {
    TKviste cave;
    cave.LineCount = 1;
    cave.Lines.resize(2);
    const TPolyGon ring = Ring(state.range(0));
    TTempProfil undo;
    TPolyGon back;
    for (auto _ : state) {
        SavePolyToCave(cave, 1, ring, 90, undo);
        LoadPolyFromProfile(cave, 1, back);
        benchmark::DoNotOptimize(back.WPts.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveAndLoadProfile)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DataFileBlock(benchmark::State& state) {
    const TPolyGon ring = Ring(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(DataFileBlock("A1", 90, ring));
}
BENCHMARK(BM_DataFileBlock)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ProjectAndDrawPolygon(benchmark::State& state) {
    TCadInteraction s;
    s.CadPoly = Ring(state.range(0));
    SetToPCParams(s.Map, {0, 0, 800, 800}, -5, -5, 5, 5);
    TNullCanvas c;
    for (auto _ : state) {
        s.PolyToScreen();
        UpdatePolyGon(s.CadPoly);
        s.DrawPolygon(c);
        benchmark::DoNotOptimize(s.CadPoly.Area);
    }
}
BENCHMARK(BM_ProjectAndDrawPolygon)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
