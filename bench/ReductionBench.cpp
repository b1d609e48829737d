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
#include <string_view>
#include <vector>

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

// Station names for a chain of n shots. Ordinary names are those of generated surveys;
// colliding ones all have a multiplicative (Fibonacci) hash whose top five bits are zero, so
// an index hashed that way crowds every name into the first thirtieth of its slots, one run
// that each insertion and lookup steps through.
std::vector<str4> ChainNames(std::int64_t n, bool colliding) {
    std::vector<str4> names;
    names.reserve(static_cast<std::size_t>(n));
    if (!colliding) {
        TStationNamer namer;
        char name[4];
        for (std::int64_t k = 0; k < n; ++k) {
            namer.Next(name, false);
            names.emplace_back(std::string_view(name, 4));
        }
        return names;
    }
    for (std::uint32_t bytes = 0; static_cast<std::int64_t>(names.size()) < n; ++bytes) {
        const str4 name(std::string_view(reinterpret_cast<const char*>(&bytes), 4));
        if ((name.Key() * 0x9E3779B97F4A7C15ull) >> 59 == 0)
            names.push_back(name);
    }
    return names;
}

// One traverse through the names, each shot 1 m on a bearing of its own.
TKviste Chain(const std::vector<str4>& names) {
    TKviste cave;
    cave.Lines.resize(names.size() + 1);
    for (std::size_t k = 0; k < names.size(); ++k) {
        Tdatalinje& l = cave.Lines[k + 1];
        l.FromName = names[k == 0 ? 0 : k - 1];
        l.ToName = names[k];
        l.Compass = static_cast<double>(k % 360);
        l.Length = k == 0 ? 0 : 1;
    }
    cave.LineCount = static_cast<std::int32_t>(names.size());
    ComputeLegVectors(cave);
    return cave;
}

// LinkStations alone (index and placement) on a chain; the colliding names must cost no more
// than about the ordinary ones.
void PlaceChain(benchmark::State& state, bool colliding) {
    TKviste cave = Chain(ChainNames(state.range(0), colliding));
    for (auto _ : state)
        benchmark::DoNotOptimize(LinkStations(cave));
    state.SetItemsProcessed(state.iterations() * cave.LineCount);
    state.counters["longest_run"] = static_cast<double>(TStationIndex(cave).LongestProbe());
}
void BM_PlaceChainOrdinaryNames(benchmark::State& state) {
    PlaceChain(state, false);
}
void BM_PlaceChainCollidingNames(benchmark::State& state) {
    PlaceChain(state, true);
}
BENCHMARK(BM_PlaceChainOrdinaryNames)->Arg(65535)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaceChainCollidingNames)->Arg(65535)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
