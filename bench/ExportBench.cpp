// The batch chain on a generated 65,535-shot survey, alone and with each drawing export, so
// the cost an export adds is the difference of two figures.
#include "Batch.h"
#include "BenchSupport.h"
#include "SurveyGenerator.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Survey {
public:
    Survey() {
        TGeneratorOptions o;
        o.Shots = 65535;
        o.Seed = 2024;
        path_ = dir_.File("gen65535.grt");
        std::string reason;
        if (!WriteFileAtomically(path_, GenerateSurvey(o), reason, false))
            throw std::runtime_error("cannot write " + path_ + ": " + reason);
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return dir_.File(name); }

private:
    BenchDir dir_;
    std::string path_;
};

const Survey& TheSurvey() {
    static const Survey survey;
    return survey;
}

void RunChain(benchmark::State& state, std::vector<std::string> extra) {
    std::vector<std::string> args = {"kvistrel-batch", TheSurvey().Path(), "--quiet", "--stamp",
                                     "01.01.2027 00:00:00"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    for (auto _ : state) {
        std::ostringstream out, err;
        if (RunBatch(static_cast<int>(argv.size()), argv.data(), out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
}

void Chain(benchmark::State& state) {
    RunChain(state, {});
}

void ChainHpgl(benchmark::State& state) {
    RunChain(state, {"--hpgl", "--labels", "--stations", "--walls"});
}

#ifdef KV_BENCH_QT
void ChainSvg(benchmark::State& state) {
    RunChain(state, {"--svg", TheSurvey().File("view.svg")});
}

void ChainSvgAll(benchmark::State& state) {
    RunChain(state, {"--svg", TheSurvey().File("all.svg"), "--labels", "--stations", "--walls"});
}

void ChainPdf(benchmark::State& state) {
    RunChain(state, {"--pdf", TheSurvey().File("view.pdf")});
}
#endif

} // namespace

BENCHMARK(Chain)->Name("BatchChain/65535")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(ChainHpgl)
    ->Name("BatchChain+hpgl-labels-stations-walls/65535")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
#ifdef KV_BENCH_QT
BENCHMARK(ChainSvg)->Name("BatchChain+svg/65535")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(ChainSvgAll)
    ->Name("BatchChain+svg-labels-stations-walls/65535")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);
BENCHMARK(ChainPdf)->Name("BatchChain+pdf/65535")->Unit(benchmark::kMillisecond)->MinTime(2);
#endif

BENCHMARK_MAIN();
