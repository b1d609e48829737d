// Reading speed: ReadSurveyFile with its log on generated surveys, the generator itself, and
// the text of a save.
#include "BenchSupport.h"
#include "SurveyGenerator.h"

#include "model/FileIO.h"
#include "model/SurveyReader.h"
#include "model/SurveyWriter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

TGeneratorOptions BenchOptions(std::int64_t shots) {
    TGeneratorOptions o;
    o.Shots = shots;
    o.LoopShare = 0.02;
    o.ScanShare = 0.05;
    o.CommentShare = 0.05;
    o.PhotoShare = 0.01;
    o.Seed = 2024;
    return o;
}

// A temporary directory holding the generated surveys (and the reading log written beside
// them), removed when the program ends.
class BenchFiles {
public:
    const std::string& Survey(std::int64_t shots) {
        std::string& path = shots == 65535 ? small_ : large_;
        if (path.empty()) {
            path = dir_.File("gen" + std::to_string(shots) + ".grt");
            std::string reason;
            if (!WriteFileAtomically(path, GenerateSurvey(BenchOptions(shots)), reason, false))
                throw std::runtime_error("cannot write " + path + ": " + reason);
        }
        return path;
    }

private:
    BenchDir dir_;
    std::string small_, large_;
};

BenchFiles files;

void ReadFile(benchmark::State& state) {
    const std::int64_t shots = state.range(0);
    const std::string& path = files.Survey(shots);
    const SystemClock clock;
    const auto bytes = static_cast<std::int64_t>(fs::file_size(path));
    for (auto _ : state) {
        TKviste cave;
        std::string line2;
        const TReadResult r = ReadSurveyFile(path, cave, line2, clock);
        if (!r.Ok || cave.LineCount != shots) {
            state.SkipWithError(("read failed: " + r.Message + " " + r.Reason).c_str());
            break;
        }
        benchmark::DoNotOptimize(cave.Lines.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * shots);
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(ReadFile)->Name("ReadSurveyFile/65535")->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFile)
    ->Name("ReadSurveyFile/1000000")
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void Generate(benchmark::State& state) {
    const TGeneratorOptions o = BenchOptions(state.range(0));
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string text = GenerateSurvey(o);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * o.Shots);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(Generate)->Name("GenerateSurvey/65535")->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(Generate)
    ->Name("GenerateSurvey/1000000")
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The text of a save: every reading is checked to read back as written, which must not make
// saving a large survey slow.
void WriteText(benchmark::State& state) {
    const FixedClock clock("01.02.2026 10:00:00");
    const std::string text = GenerateSurvey(BenchOptions(state.range(0)));
    TKviste cave;
    std::string line2, log;
    if (!ReadSurveyText(text, "bench.grt", cave, line2, clock, log).Ok) {
        state.SkipWithError("generated survey did not read");
        return;
    }
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string saved = SurveyFileText(cave, line2, clock);
        size = saved.size();
        benchmark::DoNotOptimize(saved.data());
    }
    state.SetItemsProcessed(state.iterations() * cave.LineCount);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(WriteText)->Name("SurveyFileText/65535")->Arg(65535)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteText)
    ->Name("SurveyFileText/1000000")
    ->Arg(1000000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
