// The clipping pass of the plot's clip polygon over a generated million-shot survey.
#include "NullCanvas.h"
#include "SurveyGenerator.h"
#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "plot/ClipPolyInteraction.h"
#include "plot/PlotRender.h"
#include "reduction/Reduction.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

// The survey read, reduced and drawn once into a fitted 1600 x 1000 view with stations on,
// so every line has its ScreenPos; and a 50-node star around the middle of the picture
// covering about half of it.
struct TClipSetup {
    TKviste Cave;
    TPolyGon Poly;
    bool Ok = false;

    explicit TClipSetup(std::int64_t shots) {
        TGeneratorOptions options;
        options.Shots = shots;
        std::string header2, log;
        const FixedClock clock("01.02.2026 10:00:00");
        if (!ReadSurveyText(GenerateSurvey(options), "bench.grt", Cave, header2, clock, log).Ok)
            return;
        ComputeLegVectors(Cave);
        LinkStations(Cave);
        TSummaryValues summary;
        ComputeStatistics(Cave, summary);
        TPlotView view;
        InitPlotparameters(view);
        SetViewPort(view, 0, 0, 1684, 1053, summary);
        FitToPage(view, Cave);
        TPlotSwitches switches;
        switches.ShowStations = true;
        TPlotColorTable colors;
        SetPlotColors(colors);
        TStationIndex index(Cave);
        TNullCanvas canvas;
        const TViewLimits& v = view.Limits;
        SetToPCParams(view, v.West, v.South, v.East, v.North);
        TPlotPass pass{canvas, Cave, view, switches, colors, index};
        PlottPolygon(pass);
        for (int k = 0; k < 50; ++k) {
            const double a = 2 * std::numbers::pi * k / 50;
            const double r = (k % 2 ? 450.0 : 300.0);
            Poly.Pts.push_back({static_cast<std::int32_t>(800 + r * std::cos(a)),
                                static_cast<std::int32_t>(500 + r * std::sin(a))});
        }
        Poly.Count = 50;
        Poly.Closed = true;
        Ok = true;
    }
};

TClipSetup& Setup() {
    static TClipSetup setup(1'000'000);
    return setup;
}

void BM_ClipOutSide(benchmark::State& state) {
    TClipSetup& setup = Setup();
    if (!setup.Ok) {
        state.SkipWithError("generated survey did not read");
        return;
    }
    for (auto _ : state) {
        SettPolyClppingToCave(setup.Cave, setup.Poly, kClipOutside);
        benchmark::ClobberMemory();
    }
    std::int64_t visible = 0;
    for (std::int32_t i = 1; i <= setup.Cave.LineCount; ++i)
        visible += setup.Cave.Lines[static_cast<std::size_t>(i)].Visible;
    state.counters["lines"] = setup.Cave.LineCount;
    state.counters["inside"] = static_cast<double>(visible);
    state.SetItemsProcessed(state.iterations() * setup.Cave.LineCount);
}
BENCHMARK(BM_ClipOutSide)->Unit(benchmark::kMillisecond);

// The same pass with the polygon beside the picture: every line falls to the bounding box,
// which leaves the cost of walking the lines.
void BM_ClipOutSideAllRejected(benchmark::State& state) {
    TClipSetup& setup = Setup();
    if (!setup.Ok) {
        state.SkipWithError("generated survey did not read");
        return;
    }
    TPolyGon far = setup.Poly;
    MovePolyGon(100000, 0, far);
    for (auto _ : state) {
        SettPolyClppingToCave(setup.Cave, far, kClipOutside);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClipOutSideAllRejected)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
