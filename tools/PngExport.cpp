// PNG export through the same view arithmetic and drawing pass as the plot window.
#include "PngExport.h"

#include "plot/PlotRender.h"
#include "plot/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

void SetPngView(TPlotView& view, const TKviste& cave, const TSummaryValues& summary,
                const TPngOptions& options) {
    InitPlotparameters(view);
    SetViewPort(view, 0, 0, options.Width, options.Height, summary);
    view.RotAngle = std::fmod(options.Rotation, 360);
    if (view.RotAngle < 0)
        view.RotAngle += 360;
    view.TiltAngle = std::clamp(options.Tilt, -90.0, 90.0);
    FitToPage(view, cave);
}

bool CheckPngOptions(const TPngOptions& options, std::string& reason) {
    constexpr int kMaxSide = 20000;
    if (options.Width < 16 || options.Height < 16 || options.Width > kMaxSide ||
        options.Height > kMaxSide) {
        reason = "picture size must be between 16 and 20000 pixels each way";
        return false;
    }
    if (!std::isfinite(options.Rotation) || !std::isfinite(options.Tilt)) {
        reason = "rotation and tilt must be numbers";
        return false;
    }
    return true;
}

std::unique_ptr<QGuiApplication> EnsureGuiApplication() {
    // Text needs a GUI application; the batch program has none of its own.
    static int argc = 1;
    static char arg0[] = "kvistrel-batch";
    static char* argv[] = {arg0, nullptr};
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

bool ExportPng(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& outFile, std::string& reason) {
    if (!CheckPngOptions(options, reason))
        return false;
    const std::unique_ptr<QGuiApplication> app = EnsureGuiApplication();

    TPlotView view;
    SetPngView(view, cave, summary, options);
    const TPlotSwitches sw = PngSwitches(options);
    TPlotColorTable colors;
    SetPlotColors(colors);

    // The pass writes ScreenPos and nothing else: those are put back afterwards, so the
    // caller's cave stays as it was without copying a large survey.
    auto& drawn = const_cast<TKviste&>(cave);
    struct TKeepScreenPos {
        TKviste& Cave;
        std::vector<TScreenPoint> Saved;
        explicit TKeepScreenPos(TKviste& c) : Cave(c) {
            Saved.reserve(c.Lines.size());
            for (const Tdatalinje& l : c.Lines)
                Saved.push_back(l.ScreenPos);
        }
        ~TKeepScreenPos() {
            for (std::size_t i = 0; i < Saved.size() && i < Cave.Lines.size(); ++i)
                Cave.Lines[i].ScreenPos = Saved[i];
        }
    } keep(drawn);
    const TStationIndex index(drawn);
    QImage image(options.Width, options.Height, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        TQtCanvas canvas(painter);
        const TViewLimits& v = view.Limits;
        SetToPCParams(view, v.West, v.South, v.East, v.North);
        ClearPlotScreen(canvas, view);
        TPlotPass pass{canvas, drawn, view, sw, colors, index};
        PlottPolygon(pass);
        if (sw.ShowGrid)
            TegnGrid(canvas, view, colors, v.West, v.North, v.East, v.South);
    }
    // A plot is mostly black: the fastest compression costs little size and saves most of
    // the time the encoder took at its default level.
    constexpr int kFastCompression = 80; // zlib level 1
    if (!image.save(QString::fromLocal8Bit(outFile.c_str()), "PNG", kFastCompression)) {
        reason = "could not write " + outFile;
        return false;
    }
    return true;
}
