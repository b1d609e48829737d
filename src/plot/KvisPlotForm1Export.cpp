// The plot window's exports: the plotter files of the view, and the view as SVG or PDF.
#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "model/TextClock.h"
#include "plot/HPGLWriter.h"
#include "plot/KvisPlotForm1.h"
#include "plot/PlotVectorFile.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// Large surveys take a moment to write: the pointer says so.
class TBusy {
public:
    TBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusy() { QApplication::restoreOverrideCursor(); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
};

QString Local(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), qsizetype(s.size()));
}

} // namespace

void TKvisPlotForm1::HPGLExport() {
    if (!Processed || CurrentFile.empty())
        return;
    const SystemClock systemClock;
    const TextClock& clock = Clock ? *Clock : systemClock;
    std::string message;
    bool ok;
    {
        const TBusy busy;
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
        Dialogs().Warning(Local(message));
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
    const QString dir = CurrentFile.empty() ? QString() : Local(DirectoryOf(CurrentFile));
    QString name = Dialogs().SaveFileName(pdf ? "Export PDF" : "Export SVG", dir,
                                          pdf ? "PDF document (*.pdf)" : "SVG drawing (*.svg)");
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += "." + suffix;
    std::string reason;
    bool ok;
    {
        const TBusy busy;
        RebuildIndex();
        ok = WriteVectorView(pdf ? TVectorFormat::Pdf : TVectorFormat::Svg,
                             name.toLocal8Bit().toStdString(), Surface->width(), Surface->height(),
                             Cave, View, Switches, PlotColors, index_, reason);
    }
    if (!ok)
        Dialogs().Warning("Could NOT write " + name + " (" + Local(reason) + ")");
}
