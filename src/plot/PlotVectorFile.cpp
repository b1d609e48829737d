// SVG through Qt's SVG generator and PDF through its PDF writer, both into memory first.
#include "plot/PlotVectorFile.h"

#include "model/FileIO.h"
#include "plot/QtCanvas.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <memory>

namespace {

// Labels as text elements that drawing programs can edit, rather than glyph outlines.
class TTextCanvas final : public TQtCanvas {
public:
    explicit TTextCanvas(QPainter& painter)
        : TQtCanvas(painter), painter_(painter), metrics_(painter.font()) {}

    void TextOut(int x, int y, const std::string& text) override {
        painter_.save();
        painter_.setPen(ToQColor(FontColour()));
        painter_.drawText(QPointF(x, y + metrics_.ascent()),
                          QString::fromLatin1(text.data(), qsizetype(text.size())));
        painter_.restore();
    }

protected:
    void FontChanged() override {
        TQtCanvas::FontChanged();
        metrics_ = QFontMetrics(painter_.font());
    }

private:
    QPainter& painter_;
    QFontMetrics metrics_;
};

void Draw(QPainter& painter, TKviste& cave, TPlotView& view, const TPlotSwitches& sw,
          const TPlotColorTable& colors, const TStationIndex& index) {
    TTextCanvas canvas(painter);
    const TViewLimits v = view.Limits;
    SetToPCParams(view, v.West, v.South, v.East, v.North);
    ClearPlotScreen(canvas, view);
    TPlotPass pass{canvas, cave, view, sw, colors, index};
    PlottPolygon(pass);
    if (sw.ShowGrid)
        TegnGrid(canvas, view, colors, v.West, v.North, v.East, v.South);
}

} // namespace

bool WriteVectorView(TVectorFormat format, const std::string& path, int width, int height,
                     TKviste& cave, TPlotView view, const TPlotSwitches& switches,
                     const TPlotColorTable& colors, const TStationIndex& index,
                     std::string& reason) {
    if (width < 1 || height < 1) {
        reason = "the drawing has no area";
        return false;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QString title =
        QString::fromLatin1(cave.CaveName.data(), qsizetype(cave.CaveName.size()));
    if (format == TVectorFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(title);
        QPainter painter;
        if (!painter.begin(&svg)) {
            reason = "the SVG drawing could not be started";
            return false;
        }
        Draw(painter, cave, view, switches, colors, index);
        painter.end();
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator("Kvistrel");
        // One point a pixel, so the page has the proportions of the view.
        pdf.setResolution(72);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width, height), QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            reason = "the PDF page could not be started";
            return false;
        }
        Draw(painter, cave, view, switches, colors, index);
        painter.end();
    }
    const QByteArray& bytes = buffer.data();
    return WriteFileAtomically(path, std::string(bytes.constData(), std::size_t(bytes.size())),
                               reason, false);
}
