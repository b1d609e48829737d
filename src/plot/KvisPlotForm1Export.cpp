// The plot window's exports: the plotter files of the view, and the view as SVG or PDF.
#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "model/TextClock.h"
#include "plot/HPGLWriter.h"
#include "plot/KvisPlotForm1.h"
#include "plot/PlotVectorFile.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QFileInfo>

void TKvisPlotForm1::HPGLExport() {
    if (!Processed || CurrentFile.empty())
        return;
    const SystemClock systemClock;
    const TextClock& clock = Clock ? *Clock : systemClock;
    std::string message;
    bool ok;
    {
        const BusyCursor busy; // large surveys take a moment
        RebuildIndex();
        // The screen is redrawn in full below, so the writing pass paints nothing.
        TNoCanvas canvas;
        THPGLExportInput in{canvas, Cave, View, Switches, PlotColors, index_, CurrentFile,
                            clock.Now(),
                            // the clip polygon, when it is marked printable
                            [this](TPlotWorldSink& sink) { PlotClipPolygon(Clip, sink); }};
        ok = ::HPGLExport(PlotHPGL(), in, message);
        PlottKviste();
    }
    if (!ok)
        Dialogs().Warning(FromFileName(message));
}

void TKvisPlotForm1::ExportSVG1Click() {
    ExportVector(false);
}

void TKvisPlotForm1::ExportPDF1Click() {
    ExportVector(true);
}

void TKvisPlotForm1::ExportVector(bool pdf) {
    if (!Processed)
        return;
    const QString suffix = pdf ? "pdf" : "svg";
    const QString dir = CurrentFile.empty() ? QString() : FromFileName(DirectoryOf(CurrentFile));
    QString name = Dialogs().SaveFileName(pdf ? "Export PDF" : "Export SVG", dir,
                                          pdf ? "PDF document (*.pdf)" : "SVG drawing (*.svg)");
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += "." + suffix;
    std::string reason;
    bool ok;
    {
        const BusyCursor busy; // large surveys take a moment
        RebuildIndex();
        ok = WriteVectorView(pdf ? TVectorFormat::Pdf : TVectorFormat::Svg, ToFileName(name),
                             Surface->width(), Surface->height(), Cave, View, Switches, PlotColors,
                             index_, !OverlappingNames1->isChecked(), reason);
    }
    if (!ok)
        Dialogs().Warning("Could NOT write " + name + " (" + FromFileName(reason) + ")");
}
