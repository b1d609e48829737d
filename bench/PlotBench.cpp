// The plot's drawing pass over large surveys: full redraws, each element alone, the quick
// picture while the view moves, and the PNG export of the batch chain.
#include "plot/PlotRender.h"

#ifdef KV_BENCH_QT
#include "plot/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#endif

#ifdef KV_BENCH_PNG
#include "PngExport.h"

#include <QDir>
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
    TRedrawSetup(TKviste& cave, bool everything, int width = 1684, int height = 1053) {
        TSummaryValues summary;
        ComputeStatistics(cave, summary);
        InitPlotparameters(View);
        SetViewPort(View, 0, 0, width, height, summary); // 1684 x 1053: a 1600 x 1000 viewport
        View.RotAngle = 30;
        View.TiltAngle = -60;
        FitToPage(View, cave);
        Switches.ShowStations = Switches.ShowLabels = Switches.ShowWalls = everything;
        SetPlotColors(Colors);
    }
};

TKviste& Cave65535() {
    static TKviste cave = BigCave(65535);
    return cave;
}

TKviste& Cave200k() {
    static TKviste cave = BigCave(200000);
    return cave;
}

void RedrawOn(TPlotCanvas& canvas, TKviste& cave, TRedrawSetup& setup, bool screen = false,
              const TStationIndex* kept = nullptr,
              const std::vector<std::int32_t>* from = nullptr) {
    TStationIndex built;
    if (!kept)
        built.Build(cave); // a full redraw of the window builds it afresh
    const TViewLimits& v = setup.View.Limits;
    SetToPCParams(setup.View, v.West, v.South, v.East, v.North);
    ClearPlotScreen(canvas, setup.View);
    TPlotPass pass{canvas, cave, setup.View, setup.Switches, setup.Colors, kept ? *kept : built};
    pass.CullToViewport = screen;
    pass.FromLines = from;
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

// One element at a time over the 65,535 shots, to see where a full picture's time goes.
void PaintOne(benchmark::State& state, int which) {
    TKviste& cave = Cave65535();
    TRedrawSetup setup(cave, false);
    setup.Switches.ShowStations = which == 0;
    setup.Switches.ShowLabels = which == 1;
    setup.Switches.ShowWalls = which == 2;
    QImage image(1600, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        TQtCanvas canvas(painter);
        RedrawOn(canvas, cave, setup);
    }
}
void BM_PaintStationsOnly(benchmark::State& state) {
    PaintOne(state, 0);
}
void BM_PaintLabelsOnly(benchmark::State& state) {
    PaintOne(state, 1);
}
void BM_PaintWallsOnly(benchmark::State& state) {
    PaintOne(state, 2);
}
BENCHMARK(BM_PaintStationsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintLabelsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWallsOnly)->Unit(benchmark::kMillisecond);

// The window's quick picture while the view moves: 200,000 legs, the index of the last full
// picture kept, into a window-sized surface; whole cave in view and zoomed in on a tenth.
void QuickStep(benchmark::State& state, bool zoomed) {
    TKviste& cave = Cave200k();
    TRedrawSetup setup(cave, false, 1200, 800);
    if (zoomed) {
        TViewLimits& v = setup.View.Limits;
        const double w = (v.East - v.West) / 20, h = (v.North - v.South) / 20;
        const double cx = (v.East + v.West) / 2, cy = (v.North + v.South) / 2;
        v = {cx - w, cx + w, cy - h, cy + h};
    }
    const TStationIndex index(cave);
    const std::vector<std::int32_t> from = FromLines(cave, index);
    QImage image(1200, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        RotateLeft(setup.View);
        image.fill(Qt::black);
        QPainter painter(&image);
        TQtCanvas canvas(painter);
        RedrawOn(canvas, cave, setup, true, &index, &from);
    }
}
void BM_QuickStep200k(benchmark::State& state) {
    QuickStep(state, false);
}
void BM_QuickStep200kZoomed(benchmark::State& state) {
    QuickStep(state, true);
}
BENCHMARK(BM_QuickStep200k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuickStep200kZoomed)->Unit(benchmark::kMillisecond);
#endif

#ifdef KV_BENCH_PNG
// What the batch chain adds for a picture: 65,535 shots with stations, labels and walls
// drawn and saved at 1600 x 1000.
void BM_PngExport65535(benchmark::State& state) {
    TKviste& cave = Cave65535();
    TSummaryValues summary;
    ComputeStatistics(cave, summary);
    TPngOptions o;
    o.Stations = o.Labels = o.Walls = true;
    const std::string out = QDir::temp().filePath("kv-plotbench.png").toStdString();
    std::string reason;
    for (auto _ : state)
        if (!ExportPng(cave, summary, o, out, reason))
            state.SkipWithError(reason.c_str());
    QFile::remove(QString::fromStdString(out));
}
BENCHMARK(BM_PngExport65535)->Unit(benchmark::kMillisecond);
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
