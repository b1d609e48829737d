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

void SetPngView(TPlotView& view, const TKviste& cave, const TSummaryValues& summary,
                const TPngOptions& options) {
    InitPlotparameters(view);
    SetViewPort(view, 0, 0, options.Width, options.Height, summary);
    view.RotAngle = std::fmod(options.Rotation, 360);
    if (view.RotAngle < 0)
        view.RotAngle += 360;
    view.TiltAngle = std::clamp(options.Tilt, -90.0, 90.0);
    // The window's fit keeps the cave's plan proportions and may run past the viewport's
    // bottom or top; a picture for a report must show the whole cave in any view.
    const TViewRotation rot(view);
    TVec3 r;
    rot.Apply(cave.StartPos, r);
    double minX = r.X, maxX = r.X, minY = r.Y, maxY = r.Y;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        rot.Apply(cave.Lines[static_cast<std::size_t>(i)].Pos, r);
        minX = std::min(minX, r.X);
        maxX = std::max(maxX, r.X);
        minY = std::min(minY, r.Y);
        maxY = std::max(maxY, r.Y);
    }
    const double vpW = std::max(view.VpRight - view.VpLeft, 1);
    const double vpH = std::max(view.VpBottom - view.VpTop, 1);
    double w = std::max(maxX - minX, kMinViewExtent) * 1.1;
    double h = std::max(maxY - minY, kMinViewExtent) * 1.1;
    if (w / h < vpW / vpH)
        w = h * vpW / vpH;
    else
        h = w * vpH / vpW;
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    view.Limits = {cx - w / 2, cx + w / 2, cy - h / 2, cy + h / 2};
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

    // The pass writes ScreenPos; the caller's cave stays as it is.
    TKviste copy = cave;
    const TStationIndex index(copy);
    QImage image(options.Width, options.Height, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        TQtCanvas canvas(painter);
        const TViewLimits& v = view.Limits;
        SetToPCParams(view, v.West, v.South, v.East, v.North);
        ClearPlotScreen(canvas, view);
        TPlotPass pass{canvas, copy, view, sw, colors, index};
        PlottPolygon(pass);
        if (sw.ShowGrid)
            TegnGrid(canvas, view, colors, v.West, v.North, v.East, v.South);
    }
    if (!image.save(QString::fromLocal8Bit(outFile.c_str()), "PNG")) {
        reason = "could not write " + outFile;
        return false;
    }
    return true;
}
