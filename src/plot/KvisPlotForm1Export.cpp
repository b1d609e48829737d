// The plot window's exports: the plotter files of the view, and the view as SVG or PDF.
#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "model/TextClock.h"
#include "plot/HPGLWriter.h"
#include "plot/KvisPlotForm1.h"
#include "plot/PlotVectorFile.h"
#include "plot/QtCanvas.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>

#include <memory>
#include <optional>

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

// The clip polygon's part of the cave file, when it is marked printable. None yet.
std::function<void(TPlotWorldSink&)> PrintableClipWriter() {
    return {};
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
        // The pass paints the screen as it writes the cave file; a window not yet shown has
        // no picture, and the files are the same without one.
        std::optional<QPainter> painter;
        std::unique_ptr<TPlotCanvas> canvas;
        if (!Surface->Image.isNull()) {
            painter.emplace(&Surface->Image);
            canvas = std::make_unique<TQtCanvas>(*painter);
        } else {
            canvas = std::make_unique<TNoCanvas>();
        }
        THPGLExportInput in{*canvas,     Cave,        View,
                            Switches,    PlotColors,  index_,
                            CurrentFile, clock.Now(), PrintableClipWriter()};
        ok = ::HPGLExport(PlotHPGL(), in, message);
        canvas.reset();
        painter.reset();
        // The export's pass leaves out the grid and the clip polygons; bring the picture back.
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
