// SVG and PDF drawings for the batch program: the PNG's view through the plot's vector writer.
#include "VectorExport.h"

#include "plot/PlotVectorFile.h"

#include <QGuiApplication>

namespace {

bool ExportVector(TVectorFormat format, const TKviste& cave, const TSummaryValues& summary,
                  const TPngOptions& options, const std::string& outFile, std::string& reason) {
    if (!CheckPngOptions(options, reason))
        return false;
    const std::unique_ptr<QGuiApplication> app = EnsureGuiApplication();
    TPlotView view;
    SetPngView(view, cave, summary, options);
    TPlotColorTable colors;
    SetPlotColors(colors);
    TKviste copy = cave; // the pass writes ScreenPos
    const TStationIndex index(copy);
    return WriteVectorView(format, outFile, options.Width, options.Height, copy, view,
                           PngSwitches(options), colors, index, false, reason);
}

} // namespace

bool ExportSvg(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& outFile, std::string& reason) {
    return ExportVector(TVectorFormat::Svg, cave, summary, options, outFile, reason);
}

bool ExportPdf(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& outFile, std::string& reason) {
    return ExportVector(TVectorFormat::Pdf, cave, summary, options, outFile, reason);
}
