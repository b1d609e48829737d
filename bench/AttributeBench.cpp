// Applying an attribute set and analysing the prefixes of a generated 1,000,000-shot survey.
#include "SurveyGenerator.h"

#include "attributes/AttributeSets.h"
#include "model/SurveyReader.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

TKviste& MillionShots() {
    static TKviste cave = [] {
        TGeneratorOptions o;
        o.Shots = 1000000;
        o.Seed = 2024;
        TKviste c;
        std::string line2, log;
        const TReadResult r =
            ReadSurveyText(GenerateSurvey(o), "gen.grt", c, line2, FixedClock("bench"), log);
        if (!r.Ok)
            throw std::runtime_error("generated survey unreadable: " + r.Reason);
        return c;
    }();
    return cave;
}

// 50 prefixes spread over the survey's, each with its own colour, style and width, the later
// half invisible; then the blank item of a default set.
TAttributs FiftyPrefixSet(const TKviste& cave) {
    const std::vector<TPrefixRow> all = GetLetters(cave);
    if (all.size() < 50)
        throw std::runtime_error("fewer than 50 prefixes");
    std::vector<TPrefixRow> rows;
    for (std::size_t k = 0; k < 50; ++k)
        rows.push_back(all[k * all.size() / 50]);
    TAttributs set = DefaultSet(rows);
    for (std::size_t k = 0; k < 50; ++k) {
        TAttribut& a = set.Items[k];
        a.Colour = static_cast<std::uint32_t>(k * 0x030507);
        a.PenStyle = static_cast<std::uint8_t>(k % 5);
        a.PenWidth = static_cast<std::int32_t>(1 + k % 7);
        a.Visible = k < 25;
    }
    return set;
}

// Every shot matched: the default set of all the survey's prefixes, recoloured.
TAttributs EveryPrefixSet(const TKviste& cave) {
    TAttributs set = DefaultSet(GetLetters(cave));
    for (TAttribut& a : set.Items)
        a.Colour = 0x000000FF;
    return set;
}

void Apply(benchmark::State& state, TAttributs (*makeSet)(const TKviste&), bool exclusionsOnly) {
    TKviste& cave = MillionShots();
    const TAttributs set = makeSet(cave);
    std::int64_t matched = 0;
    for (auto _ : state) {
        matched = ApplyAttributes(cave, set, exclusionsOnly);
        benchmark::DoNotOptimize(matched);
        benchmark::ClobberMemory();
    }
    state.counters["matched"] = static_cast<double>(matched);
    state.SetItemsProcessed(state.iterations() * cave.LineCount);
}
BENCHMARK_CAPTURE(Apply, all, FiftyPrefixSet, false)
    ->Name("ApplyAttributes/50prefixes/1000000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Apply, exclusions, FiftyPrefixSet, true)
    ->Name("ApplyExclusions/50prefixes/1000000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Apply, every, EveryPrefixSet, false)
    ->Name("ApplyAttributes/allprefixes/1000000")
    ->Unit(benchmark::kMillisecond);

void Letters(benchmark::State& state) {
    const TKviste& cave = MillionShots();
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = GetLetters(cave).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["prefixes"] = static_cast<double>(rows);
    state.SetItemsProcessed(state.iterations() * cave.LineCount);
}
BENCHMARK(Letters)->Name("GetLetters/1000000")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
