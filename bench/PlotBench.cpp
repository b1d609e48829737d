// One full redraw of the plot's drawing pass over a large survey, 1600 x 1000 pixels.
#include "plot/PlotRender.h"

#ifdef KV_BENCH_QT
#include "plot/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#endif

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

// Counts the calls and does nothing else, so the pass itself is measured.
class TNullCanvas : public TPlotCanvas {
public:
    long long Count = 0;
    void MoveTo(int, int) override { ++Count; }
    void LineTo(int, int) override { ++Count; }
    void Ellipse(int, int, int, int) override { ++Count; }
    void Rectangle(int, int, int, int) override { ++Count; }
    void SetPixel(int, int, std::uint32_t) override { ++Count; }
    void TextOut(int, int, const std::string& t) override {
        Count += static_cast<long long>(t.size());
    }
    int TextWidth(const std::string& t) override { return 6 * static_cast<int>(t.size()); }
    int TextHeight(const std::string&) override { return 10; }
};

// A winding chain with side branches every 50 shots, walls on every station, placed by
// summing the shot vectors (what the reduction does for a chain).
TKviste BigCave(int shots) {
    TKviste cave;
    cave.Lines.assign(static_cast<std::size_t>(shots) + 1, Tdatalinje{});
    cave.LineCount = shots;
    auto name = [](int i) {
        std::string s;
        for (int k = 0; k < 4; ++k, i /= 36)
            s += "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[i % 36];
        return str4(s);
    };
    for (int i = 1; i <= shots; ++i) {
        Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        const int from = i == 1 ? 1 : (i % 50 == 0 ? i - 25 : i - 1);
        l.FromName = name(from);
        l.ToName = name(i);
        l.Compass = std::fmod(i * 7.3, 360);
        l.Clino = std::fmod(i * 3.1, 40) - 20;
        l.Length = i == 1 ? 0 : 3 + std::fmod(i * 0.37, 5);
        l.Right = l.Left = 1.5;
        l.Up = 2;
        l.Down = 1;
        ShotVector(l.Delta, l.Compass, l.Clino, l.Length);
        const TVec3 base = i == 1 ? cave.StartPos : cave.Lines[static_cast<std::size_t>(from)].Pos;
        AddVec(base, l.Delta, l.Pos);
        WallPoints(cave, i);
        if (i % 20 == 0) {
            l.Comment = "note";
            l.HasComment = true;
        }
    }
    return cave;
}

// The view and switches of a fitted 1600 x 1000 window looking obliquely at the cave.
struct TRedrawSetup {
    TPlotView View;
    TPlotSwitches Switches;
    TPlotColorTable Colors;
    TRedrawSetup(TKviste& cave, bool everything) {
        TSummaryValues summary;
        ComputeStatistics(cave, summary);
        InitPlotparameters(View);
        SetViewPort(View, 0, 0, 1684, 1053, summary); // a 1600 x 1000 viewport
        FitToPage(View, summary);
        View.RotAngle = 30;
        View.TiltAngle = -60;
        Switches.ShowStations = Switches.ShowLabels = Switches.ShowWalls = everything;
        SetPlotColors(Colors);
    }
};

TKviste& Cave65535() {
    static TKviste cave = BigCave(65535);
    return cave;
}

void RedrawOn(TPlotCanvas& canvas, TKviste& cave, TRedrawSetup& setup) {
    TStationIndex index(cave); // rebuilt by every redraw of the window
    const TViewLimits& v = setup.View.Limits;
    SetToPCParams(setup.View, v.West, v.South, v.East, v.North);
    ClearPlotScreen(canvas, setup.View);
    TPlotPass pass{canvas, cave, setup.View, setup.Switches, setup.Colors, index};
    PlottPolygon(pass);
}

// The drawing pass alone, against a canvas that only counts.
void Redraw(benchmark::State& state, bool everything, bool photoStations = false) {
    TKviste& cave = Cave65535();
    TRedrawSetup setup(cave, everything);
    setup.Switches.ShowPhotoStations = photoStations;
    TNullCanvas canvas;
    for (auto _ : state) {
        RedrawOn(canvas, cave, setup);
        benchmark::DoNotOptimize(canvas.Count);
    }
}

#ifdef KV_BENCH_QT
// The whole redraw as the window does it: the pass painting into a 1600 x 1000 image.
void Paint(benchmark::State& state, bool everything) {
    TKviste& cave = Cave65535();
    TRedrawSetup setup(cave, everything);
    QImage image(1600, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::black);
        QPainter painter(&image);
        TQtCanvas canvas(painter);
        RedrawOn(canvas, cave, setup);
    }
}
void BM_PaintCentreLines(benchmark::State& state) {
    Paint(state, false);
}
void BM_PaintStationsLabelsWalls(benchmark::State& state) {
    Paint(state, true);
}
BENCHMARK(BM_PaintCentreLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintStationsLabelsWalls)->Unit(benchmark::kMillisecond);
#endif

void BM_RedrawCentreLines(benchmark::State& state) {
    Redraw(state, false);
}
void BM_RedrawStationsLabelsWalls(benchmark::State& state) {
    Redraw(state, true);
}
// No station has photos: each looks up its first shot.
void BM_RedrawPhotoStations(benchmark::State& state) {
    Redraw(state, true, true);
}

} // namespace

BENCHMARK(BM_RedrawCentreLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawStationsLabelsWalls)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawPhotoStations)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) {
#ifdef KV_BENCH_QT
    // Text needs a GUI application; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
